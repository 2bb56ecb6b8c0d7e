// Text encodings of feed bytes: the encoding a feed declares (or its byte-order mark shows) and
// the conversion of the bytes to the internal code page (CP932). Conversions never fail and
// never produce a NUL or a lone lead byte; characters without a CP932 form become "-".
#ifndef KORVO_FEED_FEED_ENCODING_H_
#define KORVO_FEED_FEED_ENCODING_H_

#include <string>
#include <string_view>

namespace korvo {

enum class FeedEncoding { kUtf8, kShiftJis, kEucJp, kUtf16Le, kUtf16Be };

// The encoding of raw feed bytes: a UTF-16 byte-order mark or the NUL pattern of "<?" gives
// UTF-16 in that byte order, a UTF-8 mark UTF-8; otherwise the "encoding" of the first <?...?>
// declaration, by any label of encoding_label.h (a UTF-16 label on bytes without NULs gives
// UTF-8). With no declared encoding, or one the program does not know, bytes that are UTF-8 are
// UTF-8 and others are EUC-JP or Shift_JIS as the bytes read best (encoding_guess.h).
FeedEncoding DetectFeedEncoding(std::string_view bytes);

// The feed bytes as CP932 text, converted from DetectFeedEncoding's answer.
std::string FeedBytesToInternal(std::string_view bytes);
std::string FeedBytesToInternal(std::string_view bytes, FeedEncoding encoding);

// UTF-8 to CP932 and back, "?" for unmappable characters.
std::string Utf8ToInternal(std::string_view utf8);
std::string InternalToUtf8(std::string_view cp932);

// Rewrites the file at `utf8_path` from CP932 to UTF-8 (through a temporary file). False when it
// cannot be read or written; the file is then unchanged.
bool ReEncodeFileToUtf8(const std::string& utf8_path);

}  // namespace korvo

#endif  // KORVO_FEED_FEED_ENCODING_H_
