// The main window's answers to the query messages about the general settings, and the copy of a
// settings text into a caller's buffer. Pure functions: the window passes the values it holds.
#ifndef KORVO_APP_SHELL_QUERIES_H_
#define KORVO_APP_SHELL_QUERIES_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace korvo {

// The result of a flag query message, or nullopt when `message` is none of them:
//   1129 the flags masked with 0x200 (random order), 1140 the whole flags word, 1159 the flags
//   word or 0 while the settings are not loaded yet, 1165 bit 31 (1: links open in the browse
//   window, else 0).
// `flags` is the settings record's word (its default before the load).
std::optional<uint32_t> AnswerFlagQuery(unsigned message, uint32_t flags, bool settings_loaded);

// Copies `text` and a terminating NUL into `buffer` of `capacity` bytes: the text is cut at its
// first NUL and to capacity - 1 bytes without splitting a two-byte CP932 character. Returns the
// number of text bytes written (NUL not counted). A null buffer or a capacity of 0 writes nothing.
size_t CopyTextToBuffer(std::string_view text, char* buffer, size_t capacity);

}  // namespace korvo

#endif  // KORVO_APP_SHELL_QUERIES_H_
