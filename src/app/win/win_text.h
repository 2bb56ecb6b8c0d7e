// Text at the Win32 edge of the application shell: the conversions of CP932 (internal) and UTF-8
// (paths) to and from the UTF-16 of the wide Win32 functions (platform/code_page.h), and string
// resources.
#ifndef KORVO_APP_WIN_WIN_TEXT_H_
#define KORVO_APP_WIN_WIN_TEXT_H_

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/code_page.h"

namespace korvo {

using platform::Cp932FromWide;
using platform::Utf8FromWide;
using platform::WideFromCp932;
using platform::WideFromUtf8;

// String resource `id` of `instance`, read as the program always did into a buffer of 100
// characters (at most 99 of them); `fallback` when the resource is missing or empty.
std::wstring LoadResourceString(HINSTANCE instance, int id, const wchar_t* fallback);

}  // namespace korvo

#endif  // KORVO_APP_WIN_WIN_TEXT_H_
