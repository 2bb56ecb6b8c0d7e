// XmlDocument::FromFile: the file read in line pieces, each converted by the encoding declared
// so far.
#include <algorithm>

#include "feed/cp932_text.h"
#include "feed/feed_encoding.h"
#include "feed/xml_document.h"
#include "feed/xml_token_parts.h"
#include "feed/xml_tree_builder.h"
#include "platform/code_page.h"
#include "platform/files.h"

namespace korvo {
namespace {

constexpr size_t kMaxPiece = 4095;
constexpr size_t kMaxFileBytes = size_t{256} << 20;
constexpr char kFileReplacement = '?';

// The length of the character whose first byte is `b`, in `encoding` (1 for a byte that
// starts no character).
size_t CharacterLength(unsigned char b, XmlEncoding encoding) {
  switch (encoding) {
    case XmlEncoding::kUtf8:
      if (b >= 0xF0 && b <= 0xF4) return 4;
      if (b >= 0xE0 && b <= 0xEF) return 3;
      if (b >= 0xC2 && b <= 0xDF) return 2;
      return 1;
    case XmlEncoding::kEucJp:
      if (b == 0x8F) return 3;  // JIS X 0212
      if (b == 0x8E || (b >= 0xA1 && b <= 0xFE)) return 2;
      return 1;
    case XmlEncoding::kShiftJis:
    case XmlEncoding::kNone:
      break;
  }
  return platform::IsCp932LeadByte(b) ? 2 : 1;
}

// Where a piece of an over-long line ends: at most kMaxPiece bytes, and never inside a
// character, so the converter never sees half of one. The window starts at a character (a line
// start, or where the last piece ended), so its characters are walked from there: a trail byte
// may look like ASCII in CP932, and a piece may hold no ASCII byte at all.
size_t CutLongLine(std::string_view window, XmlEncoding encoding) {
  size_t i = 0;
  while (i < window.size()) {
    const size_t length = CharacterLength(static_cast<unsigned char>(window[i]), encoding);
    if (i + length > window.size()) break;
    i += length;
  }
  return i > 0 ? i : window.size();
}

std::string ConvertPiece(std::string_view piece, XmlEncoding encoding) {
  switch (encoding) {
    case XmlEncoding::kUtf8:
      return Utf8ToInternal(piece);
    case XmlEncoding::kEucJp:
      return SanitizeCp932(platform::EucJpToCp932(piece, kFileReplacement), kFileReplacement);
    case XmlEncoding::kShiftJis:
    case XmlEncoding::kNone:
      break;
  }
  return SanitizeCp932(piece, kFileReplacement);
}

}  // namespace

XmlDocument XmlDocument::FromFile(const std::string& utf8_path) {
  XmlDocument document(Variant::kFile);
  std::string bytes;
  if (!platform::ReadWholeFile(utf8_path, &bytes, kMaxFileBytes)) return document;
  document.encoding_ = XmlEncoding::kUtf8;
  XmlTreeBuilder builder(&document);

  std::string_view input = bytes;
  std::string converted;  // the whole file in CP932 when it is UTF-16
  const FeedEncoding detected = DetectFeedEncoding(input);
  const bool utf16 = detected == FeedEncoding::kUtf16Le || detected == FeedEncoding::kUtf16Be;
  if (utf16) {
    converted = FeedBytesToInternal(input, detected);
    input = converted;
  } else if (input.size() >= 3 && input.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    input.remove_prefix(3);
  }

  size_t pos = 0;
  while (pos < input.size()) {
    const std::string_view window = input.substr(pos, kMaxPiece);
    const size_t line_feed = window.find('\n');
    const size_t line_end = line_feed == std::string_view::npos ? window.size() : line_feed + 1;
    const bool cut = line_feed == std::string_view::npos && pos + window.size() < input.size();
    // A declaration is read before its own line is converted, so a one-line document is
    // converted by the encoding it declares, not by the one in force before it. Only the bytes
    // of this line (or of this window of an over-long line) are searched.
    XmlEncoding declared;
    if (!utf16 && !builder.seen_declaration() &&
        PeekDeclaredEncoding(window.substr(0, line_end), &declared)) {
      builder.set_encoding(declared);
    }
    const size_t length = cut ? CutLongLine(window, builder.encoding()) : line_end;
    std::string_view piece = window.substr(0, length);
    // Only a line's indentation is skipped: the rest of an over-long line continues a value or
    // text whose blanks belong to it.
    const bool line_start = pos == 0 || input[pos - 1] == '\n';
    pos += length;
    while (line_start && !piece.empty() && (piece.front() == ' ' || piece.front() == '\t')) {
      piece.remove_prefix(1);
    }
    if (piece.empty()) continue;
    if (utf16) {
      builder.Feed(piece);
    } else {
      builder.Feed(ConvertPiece(piece, builder.encoding()));
    }
  }
  builder.Finish();
  return document;
}

}  // namespace korvo
