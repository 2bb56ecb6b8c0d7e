// Opening links and pages from the browse window: a link goes to the user's browser by the
// ticker's rules (ticker/link_opening.h, ticker/win/browser_launch.h) with the browser settings
// the headline window answers (messages 1140, 1164, 1166), as every window of the program asks
// them; a list page written to the disk is opened with the shell.
//
// Window thread.
#ifndef KORVO_BROWSE_WIN_BROWSER_LAUNCH_H_
#define KORVO_BROWSE_WIN_BROWSER_LAUNCH_H_

#include <windows.h>

#include <string>

namespace korvo {

// Opens `link` (CP932). `explicit_browser`: the default browser's program rather than the
// shell's own open. False when the link was refused or nothing could be started.
bool OpenInExternalBrowser(HWND main_window, const std::string& link, bool explicit_browser);

// Opens a local file (UTF-8 path) with the shell, as the list pages are opened. False on failure.
bool OpenFileWithShell(HWND owner, const std::string& utf8_path);

}  // namespace korvo

#endif  // KORVO_BROWSE_WIN_BROWSER_LAUNCH_H_
