// The options only korvo-headless takes, split from the switches it shares with korvo.exe.
//
//   --commands FILE   while running, read commands from FILE (see command_file.h)
//   --dump-store      print the news store of the working folder (store_dump.h) and end
//   --echo-plugin FILE  a stand-in plug-in for tests of the local server's "dllfunc" route
//                     (echo_plugin.h): it answers every request and logs its query to FILE
//
// Every other argument is left for the shared command line ("-user", "-m").
#ifndef KORVO_APP_HEADLESS_HEADLESS_OPTIONS_H_
#define KORVO_APP_HEADLESS_HEADLESS_OPTIONS_H_

#include <string>
#include <vector>

namespace korvo {

struct HeadlessOptions {
  std::vector<std::string> shell_arguments;  // for the shared command line
  std::string command_file;                  // absolute (UTF-8); empty: no command file
  bool dump_store = false;
  std::string echo_plugin_log;  // absolute (UTF-8); empty: no stand-in plug-in
  std::string error;            // not empty: the arguments are wrong; the text says why
};

// `start_folder` makes a relative command-file or log path absolute (the program changes its
// current folder to the working folder during start-up).
HeadlessOptions ParseHeadlessOptions(const std::vector<std::string>& arguments,
                                     const std::string& start_folder);

}  // namespace korvo

#endif  // KORVO_APP_HEADLESS_HEADLESS_OPTIONS_H_
