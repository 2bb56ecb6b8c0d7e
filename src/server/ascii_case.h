// Comparisons of ASCII letters without regard to case, as the server compares paths, header
// names and values (bytes above 0x7F compare as they are).
#ifndef KORVO_SERVER_ASCII_CASE_H_
#define KORVO_SERVER_ASCII_CASE_H_

#include <string_view>

namespace korvo {

inline char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

inline bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

// `text` begins with `prefix`, case ignored.
inline bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualNoCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace korvo

#endif  // KORVO_SERVER_ASCII_CASE_H_
