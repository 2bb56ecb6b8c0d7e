// The program's command-line switches.
#ifndef KORVO_SHELL_COMMAND_LINE_H_
#define KORVO_SHELL_COMMAND_LINE_H_

#include <string>
#include <string_view>
#include <vector>

namespace korvo {

struct CommandLineOptions {
  bool user_folder = false;    // "-user": the per-user data folder is the working folder
  bool start_in_tray = false;  // "-m": start with only the tray icon
};

// Scans the command line (the text after the program name) left to right. At each '-' the text
// that follows is compared, case-sensitively, with the start of each switch name ("user", "m"),
// and the scan then skips to the next blank (space or tab). So unknown switches are passed over,
// and a word that merely begins with a switch name counts as that switch ("-mfoo" is "-m",
// "-username" is "-user").
CommandLineOptions ScanCommandLine(std::string_view text);

// The arguments after the program name joined with single spaces: the command line of a program
// that received its arguments split (main's argv).
std::string JoinArguments(const std::vector<std::string>& arguments);

}  // namespace korvo

#endif  // KORVO_SHELL_COMMAND_LINE_H_
