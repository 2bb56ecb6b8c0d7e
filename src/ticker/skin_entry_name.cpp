#include "ticker/skin_entry_name.h"

#include "platform/code_page.h"
#include "ticker/skin_files.h"

namespace korvo {

namespace {

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

bool IsDeviceName(std::string_view name) {
  // The part before the first dot decides: "con.txt" is the console too.
  const std::string base = Lower(name.substr(0, name.find('.')));
  if (base == "con" || base == "prn" || base == "aux" || base == "nul" || base == "conin$" ||
      base == "conout$") {
    return true;
  }
  if (base.size() == 4 && (base.compare(0, 3, "com") == 0 || base.compare(0, 3, "lpt") == 0)) {
    return base[3] >= '1' && base[3] <= '9';
  }
  return false;
}

}  // namespace

bool SplitCp932Path(std::string_view path, std::vector<std::string>* parts, bool* trailing) {
  parts->clear();
  *trailing = false;
  std::string part;
  for (size_t i = 0; i < path.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(path[i]);
    if (c == 0) return false;
    if (platform::IsCp932LeadByte(c)) {
      if (i + 1 >= path.size() || path[i + 1] == '\0') return false;
      part += path[i];
      part += path[++i];
      continue;
    }
    if (c == '\\' || c == '/') {
      parts->push_back(std::move(part));
      part.clear();
      if (i + 1 == path.size()) *trailing = true;
      continue;
    }
    part += path[i];
  }
  if (!*trailing) parts->push_back(std::move(part));
  return true;
}

bool IsSafeFileName(std::string_view name) {
  if (name.empty() || name.size() > 255 || name == "." || name == "..") return false;
  for (size_t i = 0; i < name.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    if (platform::IsCp932LeadByte(c)) {
      if (i + 1 >= name.size()) return false;
      ++i;  // the trail byte may be any value, '\' included
      continue;
    }
    if (c < 0x20 || c == 0x7F) return false;
    switch (c) {
      case '<':
      case '>':
      case ':':
      case '"':
      case '/':
      case '\\':
      case '|':
      case '?':
      case '*':
        return false;
      default:
        break;
    }
  }
  const char last = name.back();
  // A trail byte can be 0x20..0x7E only from 0x40 up, so a blank or a dot at the end is always a
  // single-byte character.
  if (last == ' ' || last == '.') return false;
  return !IsDeviceName(name);
}

bool IsSafeSkinName(std::string_view name) {
  return IsSafeFileName(name) && Lower(name) != kReservedSkinFolder;
}

bool IsProgramFileName(std::string_view name) {
  static const char* const kSuffixes[] = {".exe", ".dll", ".ocx", ".scr", ".com",
                                          ".bat", ".cmd", ".cpl", ".sys"};
  for (const char* suffix : kSuffixes) {
    if (HasSuffixNoCase(name, suffix)) return true;
  }
  return false;
}

}  // namespace korvo
