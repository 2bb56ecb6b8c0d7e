#include "feed/feed_encoding.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "feed/cp932_table.h"
#include "feed/cp932_text.h"
#include "feed/encoding_guess.h"
#include "feed/encoding_label.h"
#include "feed/text_file_replace.h"
#include "feed/xml_token_parts.h"
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

// Appends `text` without its NUL bytes.
void AppendWithoutNul(std::string_view text, std::string* out) {
  while (!text.empty()) {
    const size_t nul = text.find('\0');
    out->append(text.data(), std::min(nul, text.size()));
    if (nul == std::string_view::npos) break;
    text.remove_prefix(nul + 1);
  }
}

// UTF-16 code units to CP932 through the table. A surrogate pair (no CP932 form) and a lone
// surrogate give one replacement each, as the platform does.
std::string Utf16UnitsToInternal(const std::u16string& units) {
  const Cp932Table& table = Cp932Table::Get();
  std::string out;
  out.reserve(units.size() * 2);
  for (size_t i = 0; i < units.size(); ++i) {
    const char16_t c = units[i];
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      if (c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
        ++i;
      }
      out.push_back(kFeedReplacement);
    } else if (!table.Append(c, &out)) {
      out.push_back(kFeedReplacement);
    }
  }
  return out;
}

std::string Utf16BytesToInternal(std::string_view bytes, bool big_endian) {
  std::u16string units;
  units.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {  // an odd last byte is dropped
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    const auto unit =
        static_cast<char16_t>(big_endian ? (first << 8) | second : (second << 8) | first);
    if (unit != 0) units.push_back(unit);
  }
  return Utf16UnitsToInternal(units);
}

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// A run of non-ASCII UTF-8 bytes to CP932. Well-formed two- and three-byte sequences go through
// the table; from the first other sequence on, the rest of the run goes through the platform's
// converters, which handle bad and supplementary-plane sequences.
void AppendNonAsciiRun(std::string_view run, const Cp932Table& table, std::string* out) {
  const auto* p = reinterpret_cast<const unsigned char*>(run.data());
  const size_t n = run.size();
  size_t i = 0;
  while (i < n) {
    uint32_t c;
    if (p[i] >= 0xC2 && p[i] <= 0xDF && i + 1 < n && IsContinuation(p[i + 1])) {
      c = (p[i] & 0x1Fu) << 6 | (p[i + 1] & 0x3Fu);
      i += 2;
    } else if (p[i] >= 0xE0 && p[i] <= 0xEF && i + 2 < n && IsContinuation(p[i + 1]) &&
               IsContinuation(p[i + 2])) {
      c = (p[i] & 0x0Fu) << 12 | (p[i + 1] & 0x3Fu) << 6 | (p[i + 2] & 0x3Fu);
      if (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF)) break;  // overlong or a surrogate
      i += 3;
    } else {
      break;
    }
    if (!table.Append(static_cast<char16_t>(c), out)) out->push_back(kFeedReplacement);
  }
  if (i < n) {
    *out += platform::Utf16ToCp932(platform::Utf8ToUtf16(run.substr(i)), kFeedReplacement);
  }
}

// UTF-8 feed bytes to CP932. Markup is mostly ASCII, which both encodings share: runs of ASCII
// are copied (without NULs) and only the runs of other bytes are converted. Every UTF-8
// sequence of more than one byte lies inside such a run, so the result is the same as
// converting the whole text at once.
std::string Utf8BytesToInternal(std::string_view bytes) {
  const Cp932Table& table = Cp932Table::Get();
  std::string out;
  out.reserve(bytes.size());
  while (!bytes.empty()) {
    const size_t ascii = AsciiPrefixLength(bytes);
    AppendWithoutNul(bytes.substr(0, ascii), &out);
    bytes.remove_prefix(ascii);
    size_t other = 0;
    while (other < bytes.size() && static_cast<unsigned char>(bytes[other]) >= 0x80) ++other;
    if (other > 0) AppendNonAsciiRun(bytes.substr(0, other), table, &out);
    bytes.remove_prefix(other);
  }
  return out;
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

  EncodingLabel declared = EncodingLabel::kUnknown;
  const size_t open = bytes.find("<?");
  const size_t close = open == std::string_view::npos ? open : bytes.find("?>", open + 2);
  if (close != std::string_view::npos) {
    std::vector<XmlAttribute> attributes;
    ParseAttributes(bytes.substr(open, std::min(close + 2 - open, kMaxDeclarationBytes)),
                    &attributes);
    std::string_view name;
    if (DeclaredEncodingName(attributes, &name)) declared = EncodingFromLabel(name);
  }
  switch (declared) {
    case EncodingLabel::kUtf8:
      return FeedEncoding::kUtf8;
    case EncodingLabel::kShiftJis:
      return FeedEncoding::kShiftJis;
    case EncodingLabel::kEucJp:
      return FeedEncoding::kEucJp;
    case EncodingLabel::kUtf16:
    case EncodingLabel::kUtf16Le:
    case EncodingLabel::kUtf16Be:
      // A declaration naming UTF-16 that could be read byte by byte is not UTF-16 (real UTF-16
      // was recognised above by its mark or its NULs): such bytes were re-encoded on their way,
      // most likely to UTF-8.
      return FeedEncoding::kUtf8;
    case EncodingLabel::kUnknown:
      break;
  }
  // Nothing declared, or a name the program does not know: UTF-8 when the bytes are UTF-8 (so
  // whatever read right as UTF-8 still does), else the Japanese encoding the bytes read as.
  if (IsUtf8(bytes)) return FeedEncoding::kUtf8;
  return LooksLikeEucJp(bytes) ? FeedEncoding::kEucJp : FeedEncoding::kShiftJis;
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
  return Utf8BytesToInternal(bytes);
}

std::string Utf8ToInternal(std::string_view utf8) { return platform::Utf8ToCp932(utf8, '?'); }

std::string InternalToUtf8(std::string_view cp932) { return platform::Cp932ToUtf8(cp932); }

bool ReEncodeFileToUtf8(const std::string& utf8_path) {
  std::string bytes;
  if (!platform::ReadWholeFile(utf8_path, &bytes, kMaxReEncodedFile)) return false;
  return WriteFileReplacing(utf8_path, InternalToUtf8(bytes));
}

}  // namespace korvo
