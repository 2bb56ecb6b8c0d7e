// The process-wide proxy of WinINet (InternetSetOption(NULL, INTERNET_OPTION_PROXY)), the
// fallback of the web views' proxy where the URL-moniker session refuses the option.
//
// WinINet of Wine before 9.0 allocates its process-wide proxy record without clearing it and
// sets only some of its fields; every later call frees the record's two user-name and password
// pointers, which hold whatever the heap block held before. That frees live blocks of the CRT
// heap and crashes the process later, far from the cause. On such a WinINet the first choice of
// the process is kept: a repeat of it succeeds, a different one is refused without calling
// WinINet. Elsewhere every call reaches WinINet.
#ifndef KORVO_FETCH_WIN_PROCESS_PROXY_H_
#define KORVO_FETCH_WIN_PROCESS_PROXY_H_

#include <string>

#include "fetch/browser_proxy.h"

namespace korvo {

// True when running on a WinINet that mishandles a second process-wide proxy (Wine older than
// 9.0, or a Wine whose version cannot be read). Decided once per process.
bool ProcessProxySetOnlyOnce();

// True when `wine_version` (the text of ntdll's wine_get_version, e.g. "8.0" or "9.0-rc1") names
// a Wine whose WinINet mishandles a second process-wide proxy; unreadable text counts as such.
bool WineVersionSetsProxyOnlyOnce(const std::string& wine_version);

// Sets WinINet's process-wide proxy to `choice` (kDirect or kProxy; kUntouched returns true
// without a call). Strings are CP932. True when WinINet took it, or, on a set-once WinINet, when
// it equals the choice already taken. Thread-safe (one internal lock, taken last).
bool SetProcessProxy(const BrowserProxy& choice);

}  // namespace korvo

#endif  // KORVO_FETCH_WIN_PROCESS_PROXY_H_
