// The proxy of the embedded web views: one process-wide setting (the URL-moniker session option)
// chosen from the same network settings as the program's own requests.
//
// Mode 0 takes the current user's system settings: when "ProxyEnable" is non-zero, the proxy is
// "ProxyServer" with the bypass list "ProxyOverride"; otherwise direct. Mode 1 is direct. Mode 2
// is the named proxy (ProxyText) with the bypass list "127.0.0.1". Any other mode leaves the
// web views as they are.
#ifndef KORVO_FETCH_BROWSER_PROXY_H_
#define KORVO_FETCH_BROWSER_PROXY_H_

#include <string>

#include "fetch/http_settings.h"

namespace korvo {

// The system's proxy settings of the current user (Windows: the registry key
// HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Internet Settings).
struct SystemProxySettings {
  bool enabled = false;  // "ProxyEnable" non-zero
  std::string server;    // "ProxyServer"
  std::string bypass;    // "ProxyOverride"
};

struct BrowserProxy {
  enum class Kind {
    kUntouched,  // leave the current setting
    kDirect,
    kProxy,
  };
  Kind kind = Kind::kUntouched;
  std::string server;
  std::string bypass;
};

// The decision, without touching anything. `system` is only looked at in mode 0.
BrowserProxy ChooseBrowserProxy(const HttpSettings& settings, const SystemProxySettings& system);

#ifdef _WIN32
// Windows only (there is no web view elsewhere). Reads the current user's settings; missing
// values read as disabled and empty.
SystemProxySettings ReadSystemProxySettings();
// Applies ChooseBrowserProxy(settings, ReadSystemProxySettings()) to the process's URL-moniker
// session. Call on the window thread at start and after the network settings were saved. True
// when applied or left untouched by the mode; false when the system refused it.
bool ApplyBrowserProxy(const HttpSettings& settings);
#endif

}  // namespace korvo

#endif  // KORVO_FETCH_BROWSER_PROXY_H_
