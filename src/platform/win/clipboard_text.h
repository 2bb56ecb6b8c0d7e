// Placing text on the Windows clipboard, for the windows of every subsystem (Win32 builds only).
#ifndef KORVO_PLATFORM_WIN_CLIPBOARD_TEXT_H_
#define KORVO_PLATFORM_WIN_CLIPBOARD_TEXT_H_

#include <windows.h>

#include <string>

namespace korvo::platform {

// Replaces the clipboard's content with `text` as CF_UNICODETEXT, the clipboard opened for
// `owner`. False when the memory or the clipboard could not be had (the clipboard is then left as
// it was, or empty when it was taken but refused the text). Window thread of `owner`.
bool CopyToClipboard(HWND owner, const std::wstring& text);

}  // namespace korvo::platform

#endif  // KORVO_PLATFORM_WIN_CLIPBOARD_TEXT_H_
