// The portable conversions: UTF-8 <-> UTF-16, EUC-JP -> CP932 and the wide-string forms. CP932 <->
// UTF-16 is per OS.
#include "platform/code_page.h"

namespace korvo::platform {

namespace {

constexpr char16_t kReplacement16 = u'\uFFFD';

void AppendUtf8(uint32_t cp, std::string* out) {
  if (cp < 0x80) {
    out->push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

void AppendUtf16(uint32_t cp, std::u16string* out) {
  if (cp < 0x10000) {
    out->push_back(static_cast<char16_t>(cp));
  } else {
    cp -= 0x10000;
    out->push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out->push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  }
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    const unsigned char b = p[i];
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    }
    int extra;
    uint32_t cp;
    uint32_t min;
    if (b >= 0xC2 && b <= 0xDF) {
      extra = 1, cp = b & 0x1F, min = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
      extra = 2, cp = b & 0x0F, min = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
      extra = 3, cp = b & 0x07, min = 0x10000;
    } else {
      out.push_back(kReplacement16);
      ++i;
      continue;
    }
    size_t j = i + 1;
    bool ok = true;
    for (int k = 0; k < extra; ++k, ++j) {
      if (j >= n || (p[j] & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (p[j] & 0x3F);
    }
    if (!ok || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      // The whole maximal bad run up to the failing byte becomes one replacement.
      out.push_back(kReplacement16);
      i = (j > i + 1) ? j : i + 1;
      continue;
    }
    AppendUtf16(cp, &out);
    i = j;
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size() * 3 / 2 + 1);
  const size_t n = text.size();
  for (size_t i = 0; i < n; ++i) {
    uint32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < n && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = kReplacement16;
    }
    AppendUtf8(cp, &out);
  }
  return out;
}

std::string Cp932ToUtf8(std::string_view text) { return Utf16ToUtf8(Cp932ToUtf16(text)); }

std::string Utf8ToCp932(std::string_view text, char replacement) {
  return Utf16ToCp932(Utf8ToUtf16(text), replacement);
}

std::string EucJpToCp932(std::string_view text, char replacement) {
  std::string out;
  out.reserve(text.size());
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    const unsigned char b = p[i];
    if (b < 0x80) {
      out.push_back(static_cast<char>(b));
      ++i;
    } else if (b == 0x8E) {
      // SS2: half-width katakana, which CP932 holds as single bytes 0xA1-0xDF.
      if (i + 1 < n && p[i + 1] >= 0xA1 && p[i + 1] <= 0xDF) {
        out.push_back(static_cast<char>(p[i + 1]));
        i += 2;
      } else {
        out.push_back(replacement);
        ++i;
      }
    } else if (b == 0x8F) {
      // SS3: JIS X 0212, not representable in CP932.
      if (i + 2 < n && p[i + 1] >= 0xA1 && p[i + 1] <= 0xFE && p[i + 2] >= 0xA1 &&
          p[i + 2] <= 0xFE) {
        i += 3;
      } else {
        ++i;
      }
      out.push_back(replacement);
    } else if (b >= 0xA1 && b <= 0xFE && i + 1 < n && p[i + 1] >= 0xA1 && p[i + 1] <= 0xFE) {
      // JIS X 0208 row/cell to Shift_JIS.
      const unsigned j1 = b - 0x80;
      const unsigned j2 = p[i + 1] - 0x80;
      const unsigned s1 = ((j1 + 1) >> 1) + (j1 <= 0x5E ? 0x70 : 0xB0);
      unsigned s2;
      if (j1 & 1) {
        s2 = j2 + (j2 <= 0x5F ? 0x1F : 0x20);
      } else {
        s2 = j2 + 0x7E;
      }
      out.push_back(static_cast<char>(s1));
      out.push_back(static_cast<char>(s2));
      i += 2;
    } else {
      out.push_back(replacement);
      ++i;
    }
  }
  return out;
}

namespace {

std::wstring WideOf(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }
std::u16string U16Of(std::wstring_view text) { return std::u16string(text.begin(), text.end()); }

}  // namespace

std::wstring WideFromCp932(std::string_view text) { return WideOf(Cp932ToUtf16(text)); }
std::string Cp932FromWide(std::wstring_view text) { return Utf16ToCp932(U16Of(text)); }
std::wstring WideFromUtf8(std::string_view text) { return WideOf(Utf8ToUtf16(text)); }
std::string Utf8FromWide(std::wstring_view text) { return Utf16ToUtf8(U16Of(text)); }

}  // namespace korvo::platform
