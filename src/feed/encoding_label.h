// The names feeds and documents give their encodings. Real Japanese feeds declare Shift_JIS under
// many names (SJIS, x-sjis, Windows-31J, CP932, MS932 ...); every label that the WHATWG Encoding
// Standard and the IANA character-set registry list for UTF-8, Shift_JIS (with its Microsoft form
// windows-31j), EUC-JP and UTF-16 is recognised, as are the spellings the program always took
// (UTF_8, SHIFT_JIS, EUC_JP, UTF_16, UFT-16). Case and surrounding blanks are ignored.
//
// Thread-safe: the function touches only its argument.
#ifndef KORVO_FEED_ENCODING_LABEL_H_
#define KORVO_FEED_ENCODING_LABEL_H_

#include <string_view>

namespace korvo {

enum class EncodingLabel { kUnknown, kUtf8, kShiftJis, kEucJp, kUtf16, kUtf16Le, kUtf16Be };

EncodingLabel EncodingFromLabel(std::string_view name);

}  // namespace korvo

#endif  // KORVO_FEED_ENCODING_LABEL_H_
