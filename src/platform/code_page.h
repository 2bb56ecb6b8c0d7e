// Text conversions between the program's encodings.
//
// The internal code page is always CP932 (Shift_JIS with the Microsoft extensions), whatever the
// system's own code page is. The news store holds UTF-16LE; the OS file-name layer takes UTF-8 on
// POSIX and UTF-16 on Windows. Every function here is thread-safe, never fails, and never
// produces a NUL that was not in its input: bytes that cannot be converted become a replacement.
//
// CP932 conversions go through the OS (MultiByteToWideChar / WideCharToMultiByte with code page
// 932 on Windows, iconv "CP932" on POSIX); the UTF-8/UTF-16 and EUC-JP conversions are portable
// code shared by both sides, so every machine converts alike.
#ifndef KORVO_PLATFORM_CODE_PAGE_H_
#define KORVO_PLATFORM_CODE_PAGE_H_

#include <string>
#include <string_view>

namespace korvo::platform {

// U+30FB KATAKANA MIDDLE DOT: what Windows gives for CP932 bytes that are not a character.
constexpr char16_t kCp932UnicodeDefault = u'\u30FB';

// CP932 -> UTF-16. An invalid or truncated byte sequence gives one kCp932UnicodeDefault.
std::u16string Cp932ToUtf16(std::string_view text);

// UTF-16 -> CP932. A character with no CP932 form (including an unpaired surrogate, and a
// supplementary-plane character as a whole) gives the single byte `replacement`.
std::string Utf16ToCp932(std::u16string_view text, char replacement = '?');

// UTF-8 -> UTF-16. Invalid, overlong or truncated sequences give U+FFFD per bad byte run.
std::u16string Utf8ToUtf16(std::string_view text);

// UTF-16 -> UTF-8. An unpaired surrogate gives U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

// The two compositions the program uses most.
std::string Cp932ToUtf8(std::string_view text);
std::string Utf8ToCp932(std::string_view text, char replacement = '?');

// EUC-JP -> CP932. JIS X 0208 characters and half-width katakana (SS2) convert exactly; JIS X
// 0212 characters (SS3), which CP932 lacks, and invalid sequences give the single byte
// `replacement`. ASCII passes through.
std::string EucJpToCp932(std::string_view text, char replacement = '?');

// The same for the wide strings of the Win32 "W" functions, whose wchar_t is a UTF-16 code unit
// (only meaningful where wchar_t has 16 bits, as on Windows).
std::wstring WideFromCp932(std::string_view text);
std::string Cp932FromWide(std::wstring_view text);
std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

// True when byte `b` can start a two-byte CP932 character (0x81-0x9F, 0xE0-0xFC).
constexpr bool IsCp932LeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

}  // namespace korvo::platform

#endif  // KORVO_PLATFORM_CODE_PAGE_H_
