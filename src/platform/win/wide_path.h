// Path conversions shared by the Win32 side of the seam (never included outside src/platform/win).
#ifndef KORVO_PLATFORM_WIN_WIDE_PATH_H_
#define KORVO_PLATFORM_WIN_WIDE_PATH_H_

#include <string>

namespace korvo::platform {

// UTF-8 path with '/' or '\' separators -> a wide path for the W functions. The path is made
// absolute against the current directory and given the "\\?\" (or "\\?\UNC\") long form, so
// names beyond 260 characters work; "." and ".." are resolved first because the long form does
// not resolve them. An empty path stays empty.
std::wstring WidePath(const std::string& path);

// The same without the long form: for the calls that do not accept it (SetCurrentDirectoryW).
std::wstring WidePathShort(const std::string& path);

// A wide path or name from the OS -> UTF-8 with '/' separators and without a "\\?\" prefix.
std::string Utf8Path(const std::wstring& path);

}  // namespace korvo::platform

#endif  // KORVO_PLATFORM_WIN_WIDE_PATH_H_
