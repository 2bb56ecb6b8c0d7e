#include "app/headless/command_file.h"

#include "platform/files.h"

namespace korvo {

namespace {

constexpr size_t kMaxCommandFileBytes = 64 * 1024;

}  // namespace

std::vector<HeadlessCommand> ParseCommands(const std::string& text) {
  std::vector<HeadlessCommand> commands;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find_first_not_of(" \t") == std::string::npos) continue;
    HeadlessCommand command;
    if (line == "run") {
      command.kind = HeadlessCommand::kRun;
    } else if (line == "run-cached") {
      command.kind = HeadlessCommand::kRunCached;
    } else if (line == "quit") {
      command.kind = HeadlessCommand::kQuit;
    } else if (line.compare(0, 7, "ticker ") == 0 && line.size() > 7 && line.size() <= 10 &&
               line.find_first_not_of("0123456789", 7) == std::string::npos &&
               std::stoi(line.substr(7)) >= 1 && std::stoi(line.substr(7)) <= 255) {
      command.kind = HeadlessCommand::kTicker;
      command.code = std::stoi(line.substr(7));
    } else if (line.compare(0, 5, "dump ") == 0 && line.size() > 5) {
      command.kind = HeadlessCommand::kDump;
      command.argument = line.substr(5);
    } else {
      command.argument = line;
    }
    commands.push_back(std::move(command));
  }
  return commands;
}

std::vector<HeadlessCommand> TakeCommands(const std::string& path) {
  if (path.empty() || !platform::FileExists(path)) return {};
  // Moved aside before it is read: a command file renamed into place meanwhile is a new one and
  // waits for the next look instead of being deleted unread.
  const std::string taken = path + ".taken";
  if (!platform::RenameFile(path, taken, /*replace=*/true)) return {};
  std::string text;
  const bool read = platform::ReadWholeFile(taken, &text, kMaxCommandFileBytes);
  platform::RemoveFile(taken);
  if (!read) return {};
  return ParseCommands(text);
}

}  // namespace korvo
