// Text conversions at the Win32 edge of the application shell: CP932 (internal) and UTF-8
// (paths) to and from the UTF-16 of the wide Win32 functions.
#ifndef KORVO_APP_WIN_WIN_TEXT_H_
#define KORVO_APP_WIN_WIN_TEXT_H_

#include <windows.h>

#include <string>
#include <string_view>

namespace korvo {

std::wstring WideFromCp932(std::string_view text);
std::string Cp932FromWide(std::wstring_view text);
std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

// String resource `id` of `instance`, read as the program always did into a buffer of 100
// characters (at most 99 of them); `fallback` when the resource is missing or empty.
std::wstring LoadResourceString(HINSTANCE instance, int id, const wchar_t* fallback);

}  // namespace korvo

#endif  // KORVO_APP_WIN_WIN_TEXT_H_
