// Telling an encoding from the bytes, for feeds that declare none or one the program does not
// know.
//
// Thread-safe: the functions touch only their arguments.
#ifndef KORVO_FEED_ENCODING_GUESS_H_
#define KORVO_FEED_ENCODING_GUESS_H_

#include <string_view>

namespace korvo {

// True when `bytes` is well-formed UTF-8: no overlong forms, surrogates or values past U+10FFFF.
// A sequence cut by the end of the bytes counts as well-formed (bodies are cut at size limits).
bool IsUtf8(std::string_view bytes);

// Whether bytes that are not UTF-8 read better as EUC-JP than as CP932. Each reading is scored:
// a two-byte character counts 2, a half-width katakana (rare in real text, but what EUC-JP read
// as CP932 mostly becomes) nothing, a sequence it cannot read costs 8. EUC-JP wins only with the
// higher score, so CP932, the internal code page, is the answer for anything undecided.
bool LooksLikeEucJp(std::string_view bytes);

}  // namespace korvo

#endif  // KORVO_FEED_ENCODING_GUESS_H_
