#include "feed/feed_encoding.h"

#include <algorithm>
#include <cstdint>

#include "feed/cp932_text.h"
#include "feed/text_file_replace.h"
#include "platform/code_page.h"
#include "platform/files.h"

namespace korvo {
namespace {

constexpr char kFeedReplacement = '-';
// Bytes of the head examined for the NUL pattern of UTF-16 text without a byte-order mark.
constexpr size_t kUtf16ProbeBytes = 512;
// The longest declaration searched for an encoding name.
constexpr size_t kMaxDeclarationBytes = 1023;
// Files larger than this are not re-encoded.
constexpr size_t kMaxReEncodedFile = size_t{256} << 20;

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

constexpr std::string_view kUtf8Mark("\xEF\xBB\xBF", 3);
constexpr std::string_view kUtf16LeMark("\xFF\xFE", 2);
constexpr std::string_view kUtf16BeMark("\xFE\xFF", 2);

// UTF-16 without a byte-order mark: ASCII markup leaves a NUL in every other byte, so NULs
// crowd one parity of the head (odd positions little-endian, even ones big-endian). Text in an
// 8-bit encoding holds no NULs at all.
bool Utf16ByNulParity(std::string_view bytes, FeedEncoding* encoding) {
  const size_t probe = std::min(bytes.size(), kUtf16ProbeBytes) & ~size_t{1};
  const size_t pairs = probe / 2;
  if (pairs < 2) return false;
  size_t even = 0;
  size_t odd = 0;
  for (size_t i = 0; i < probe; i += 2) {
    if (bytes[i] == '\0') ++even;
    if (bytes[i + 1] == '\0') ++odd;
  }
  const size_t needed = std::max<size_t>(2, pairs / 2);
  if (odd >= needed && even * 4 < odd) {
    *encoding = FeedEncoding::kUtf16Le;
    return true;
  }
  if (even >= needed && odd * 4 < even) {
    *encoding = FeedEncoding::kUtf16Be;
    return true;
  }
  return false;
}

std::string Utf16BytesToInternal(std::string_view bytes, bool big_endian) {
  std::u16string units;
  units.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {  // an odd last byte is dropped
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    const auto unit = static_cast<char16_t>(big_endian ? (first << 8) | second
                                                       : (second << 8) | first);
    if (unit != 0) units.push_back(unit);
  }
  return platform::Utf16ToCp932(units, kFeedReplacement);
}

}  // namespace

FeedEncoding DetectFeedEncoding(std::string_view bytes) {
  if (StartsWith(bytes, kUtf16LeMark)) return FeedEncoding::kUtf16Le;
  if (StartsWith(bytes, kUtf16BeMark)) return FeedEncoding::kUtf16Be;
  if (StartsWith(bytes, std::string_view("<\0?\0", 4))) return FeedEncoding::kUtf16Le;
  if (StartsWith(bytes, std::string_view("\0<\0?", 4))) return FeedEncoding::kUtf16Be;
  if (StartsWith(bytes, kUtf8Mark)) return FeedEncoding::kUtf8;
  FeedEncoding by_parity;
  if (Utf16ByNulParity(bytes, &by_parity)) return by_parity;

  const size_t open = bytes.find("<?");
  if (open == std::string_view::npos) return FeedEncoding::kUtf8;
  const size_t close = bytes.find("?>", open + 2);
  if (close == std::string_view::npos) return FeedEncoding::kUtf8;
  std::string declaration(bytes.substr(open, std::min(close - open, kMaxDeclarationBytes)));
  for (char& c : declaration) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  const auto has = [&declaration](std::string_view name) {
    return declaration.find(name) != std::string::npos;
  };
  if (has("UTF-8") || has("UTF_8")) return FeedEncoding::kUtf8;
  if (has("SHIFT-JIS") || has("SHIFT_JIS")) return FeedEncoding::kShiftJis;
  if (has("EUC-JP") || has("EUC_JP")) return FeedEncoding::kEucJp;
  // A declaration naming UTF-16 (also as "UTF_16" or "UFT-16") that could be read byte by byte
  // is not UTF-16 (real UTF-16 was recognised above by its mark or its NULs): such bytes were
  // re-encoded on their way, most likely to UTF-8.
  return FeedEncoding::kUtf8;
}

std::string FeedBytesToInternal(std::string_view bytes) {
  return FeedBytesToInternal(bytes, DetectFeedEncoding(bytes));
}

std::string FeedBytesToInternal(std::string_view bytes, FeedEncoding encoding) {
  switch (encoding) {
    case FeedEncoding::kShiftJis:
      return SanitizeCp932(bytes, kFeedReplacement);
    case FeedEncoding::kEucJp:
      return SanitizeCp932(platform::EucJpToCp932(bytes, kFeedReplacement), kFeedReplacement);
    case FeedEncoding::kUtf16Le:
      if (StartsWith(bytes, kUtf16LeMark)) bytes.remove_prefix(2);
      return Utf16BytesToInternal(bytes, /*big_endian=*/false);
    case FeedEncoding::kUtf16Be:
      if (StartsWith(bytes, kUtf16BeMark)) bytes.remove_prefix(2);
      return Utf16BytesToInternal(bytes, /*big_endian=*/true);
    case FeedEncoding::kUtf8:
      break;
  }
  if (StartsWith(bytes, kUtf8Mark)) bytes.remove_prefix(3);
  std::u16string units = platform::Utf8ToUtf16(bytes);
  units.erase(std::remove(units.begin(), units.end(), u'\0'), units.end());
  return platform::Utf16ToCp932(units, kFeedReplacement);
}

std::string Utf8ToInternal(std::string_view utf8) { return platform::Utf8ToCp932(utf8, '?'); }

std::string InternalToUtf8(std::string_view cp932) { return platform::Cp932ToUtf8(cp932); }

bool ReEncodeFileToUtf8(const std::string& utf8_path) {
  std::string bytes;
  if (!platform::ReadWholeFile(utf8_path, &bytes, kMaxReEncodedFile)) return false;
  return ReplaceFileContents(utf8_path, InternalToUtf8(bytes));
}

}  // namespace korvo
