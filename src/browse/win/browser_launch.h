// Opening a link in the external browser by the rules of browse/browser_rules.h. The user's
// browser program and its options are asked of the headline window (messages 1165, 1164, 1166),
// as every window of the program does, so the settings stay the headline window's.
//
// Window thread. Failures show "can't open the browser" or "can't get path" (caption "ERROR").
#ifndef KORVO_BROWSE_WIN_BROWSER_LAUNCH_H_
#define KORVO_BROWSE_WIN_BROWSER_LAUNCH_H_

#include <windows.h>

#include <string>

namespace korvo {

// Opens `link` (CP932). `explicit_browser`: rule 4 (the default browser program) instead of the
// shell's own open. False when the link was refused or nothing could be started.
bool OpenInExternalBrowser(HWND main_window, HWND owner, const std::string& link,
                           bool explicit_browser);

// Opens a local file (UTF-8 path) with the shell, as the list pages are opened. False on failure.
bool OpenFileWithShell(HWND owner, const std::string& utf8_path);

}  // namespace korvo

#endif  // KORVO_BROWSE_WIN_BROWSER_LAUNCH_H_
