// Cutting texts to the size of the fixed buffers the settings and the Windows API use.
#ifndef KORVO_SHELL_TEXT_LIMIT_H_
#define KORVO_SHELL_TEXT_LIMIT_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace korvo {

// The longest prefix of the CP932 `text` that fits in `max_bytes` without splitting a two-byte
// character. The text is also cut at its first NUL, as a C string would be.
std::string TruncateCp932(std::string_view text, size_t max_bytes);

// The longest prefix of the UTF-16 `text` of at most `max_units` code units that does not split a
// surrogate pair; cut at the first NUL as well.
std::u16string TruncateUtf16(std::u16string_view text, size_t max_units);

}  // namespace korvo

#endif  // KORVO_SHELL_TEXT_LIMIT_H_
