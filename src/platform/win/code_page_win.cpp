// CP932 <-> UTF-16 through the OS tables (code page 932), whatever the system code page is.
#include <windows.h>

#include <climits>

#include "platform/code_page.h"

namespace korvo::platform {

namespace {

constexpr UINT kCp932 = 932;

bool IsCp932Trail(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

// Converts one run that the OS accepts strictly; false when it holds a bad sequence.
bool StrictToUtf16(std::string_view run, std::u16string* out) {
  if (run.empty()) return true;
  const int n = MultiByteToWideChar(kCp932, MB_ERR_INVALID_CHARS, run.data(),
                                    static_cast<int>(run.size()), nullptr, 0);
  if (n <= 0) return false;
  const size_t at = out->size();
  out->resize(at + static_cast<size_t>(n));
  MultiByteToWideChar(kCp932, MB_ERR_INVALID_CHARS, run.data(), static_cast<int>(run.size()),
                      reinterpret_cast<wchar_t*>(&(*out)[at]), n);
  return true;
}

}  // namespace

std::u16string Cp932ToUtf16(std::string_view text) {
  std::u16string out;
  if (text.size() > INT_MAX / 2) text = text.substr(0, INT_MAX / 2);
  out.reserve(text.size());
  if (StrictToUtf16(text, &out)) return out;
  // Some sequence is bad: convert character by character so that each bad byte (or a well
  // formed but unassigned pair) gives exactly one default character, as on every machine.
  out.clear();
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    size_t len = 1;
    if (IsCp932LeadByte(lead) && i + 1 < text.size() &&
        IsCp932Trail(static_cast<unsigned char>(text[i + 1]))) {
      len = 2;
    }
    if (!StrictToUtf16(text.substr(i, len), &out)) out.push_back(kCp932UnicodeDefault);
    i += len;
  }
  return out;
}

std::string Utf16ToCp932(std::u16string_view text, char replacement) {
  std::string out;
  out.reserve(text.size() * 2);
  // Character by character so that an unmappable character gives exactly one replacement byte
  // (WideCharToMultiByte's best-fit mapping would turn some into look-alikes).
  char buffer[8];
  size_t i = 0;
  while (i < text.size()) {
    const char16_t c = text[i];
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
      ++i;
      continue;
    }
    if (c >= 0xD800 && c <= 0xDFFF) {  // surrogates: no CP932 form
      const bool pair = c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                        text[i + 1] <= 0xDFFF;
      out.push_back(replacement);
      i += pair ? 2 : 1;
      continue;
    }
    BOOL used_default = FALSE;
    const wchar_t w = static_cast<wchar_t>(c);
    const int n = WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, &w, 1, buffer, sizeof buffer,
                                      nullptr, &used_default);
    if (n <= 0 || used_default) {
      out.push_back(replacement);
    } else {
      out.append(buffer, static_cast<size_t>(n));
    }
    ++i;
  }
  return out;
}

}  // namespace korvo::platform
