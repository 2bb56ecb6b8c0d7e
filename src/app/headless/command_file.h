// The command file of korvo-headless: how a test (or a user) drives a running program without a
// window. While the program waits for its end, it looks for the file every 100 ms; when it is
// there, it is moved aside (to "<name>.taken"), read (at most 64 KiB) and deleted, and each line
// is one command:
//
//   run            an update run now, with fetching (the menu's "update now")
//   run-cached     an update run now that only parses and merges the cached feeds again
//   dump <path>    writes the store listing (store_dump.h) to <path> (through a temporary file
//                  that then replaces it, so a reader never sees half a listing)
//   ticker <code>  pushes the engine command <code> (1-255, ticker/ticker_engine.h: 11 next,
//                  12 previous, 5 open, 8 pause, 9 resume, 19 / 20 next / previous site, ...)
//   quit           the orderly shut-down, as SIGTERM
//
// Blank lines are ignored; a trailing carriage return is dropped. Writers should create the file
// under another name and rename it into place, so the program never reads half a file.
#ifndef KORVO_APP_HEADLESS_COMMAND_FILE_H_
#define KORVO_APP_HEADLESS_COMMAND_FILE_H_

#include <string>
#include <vector>

namespace korvo {

struct HeadlessCommand {
  enum Kind { kRun, kRunCached, kDump, kTicker, kQuit, kUnknown };
  Kind kind = kUnknown;
  std::string argument;  // kDump: the path; kUnknown: the whole line
  int code = 0;          // kTicker: the engine command
};

// Splits the text of a command file into commands.
std::vector<HeadlessCommand> ParseCommands(const std::string& text);

// Takes the commands waiting in `path`: reads and deletes the file. Empty when there is none.
std::vector<HeadlessCommand> TakeCommands(const std::string& path);

}  // namespace korvo

#endif  // KORVO_APP_HEADLESS_COMMAND_FILE_H_
