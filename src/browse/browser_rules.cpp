#include "browse/browser_rules.h"

#include "browse/ascii_case.h"

namespace korvo {

bool MayOpenLink(std::string_view link) {
  if (link.empty() || link.find('@') != std::string_view::npos) return false;
  if (StartsWithIgnoringAsciiCase(link, "http://") ||
      StartsWithIgnoringAsciiCase(link, "https://")) {
    return true;
  }
  const size_t dot = link.rfind('.');
  if (dot == std::string_view::npos) return false;
  const std::string_view extension = link.substr(dot + 1);
  for (const char* known : {"html", "htm", "rdf", "rss", "xml", "atom", "mp3", "jpg", "gif", "opml",
                            "bmp", "mpeg", "mpg", "avi"}) {
    if (StartsWithIgnoringAsciiCase(extension, known)) return true;
  }
  return false;
}

std::string BrowserParameters(std::string_view options, std::string_view link) {
  std::string pattern(options);
  size_t at = pattern.find("%s");
  if (at == std::string::npos) {
    pattern += " %s";
    at = pattern.size() - 2;
  }
  return pattern.substr(0, at) + std::string(link) + pattern.substr(at + 2);
}

std::string ProgramOfCommand(std::string_view command) {
  std::string program;
  bool quoted = false;
  size_t i = 0;
  while (i < command.size() && command[i] == ' ') ++i;
  for (; i < command.size(); ++i) {
    const char c = command[i];
    if (c == '"') {
      quoted = !quoted;
      continue;
    }
    if (c == ' ' && !quoted) break;
    program += c;
  }
  return program;
}

}  // namespace korvo
