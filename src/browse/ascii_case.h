// Comparing the ASCII letters of addresses and words without regard to case (other bytes, the
// bytes of CP932 characters included, compare exactly). Pure; any thread.
#ifndef KORVO_BROWSE_ASCII_CASE_H_
#define KORVO_BROWSE_ASCII_CASE_H_

#include <string_view>

namespace korvo {

constexpr char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

inline bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         EqualsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace korvo

#endif  // KORVO_BROWSE_ASCII_CASE_H_
