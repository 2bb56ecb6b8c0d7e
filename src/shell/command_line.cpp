#include "shell/command_line.h"

namespace korvo {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

CommandLineOptions ScanCommandLine(std::string_view text) {
  CommandLineOptions options;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] != '-') {
      ++i;
      continue;
    }
    const std::string_view name = text.substr(i + 1);
    if (name.compare(0, 4, "user") == 0) {
      options.user_folder = true;
    } else if (name.compare(0, 1, "m") == 0) {
      options.start_in_tray = true;
    }
    while (i < text.size() && !IsBlank(text[i])) ++i;
  }
  return options;
}

std::string JoinArguments(const std::vector<std::string>& arguments) {
  std::string line;
  for (const std::string& argument : arguments) {
    if (!line.empty()) line.push_back(' ');
    line += argument;
  }
  return line;
}

}  // namespace korvo
