// The web views' proxy through UrlMkSetSessionOption(INTERNET_OPTION_PROXY), or where that is
// refused, the same option set on the process's WinINet.
// The system headers need this order.
// clang-format off
#include <windows.h>
#include <urlmon.h>
#include <wininet.h>
// clang-format on

#include <string>

#include "fetch/browser_proxy.h"
#include "fetch/win/process_proxy.h"
#include "platform/code_page.h"

namespace korvo {

namespace {

const wchar_t kInternetSettings[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

// The session option takes INTERNET_PROXY_INFO with narrow strings whatever the character set
// of the caller.
struct ProxyInfoNarrow {
  DWORD access_type;
  const char* proxy;
  const char* bypass;
};

std::string ReadText(HKEY key, const wchar_t* name) {
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ) || size == 0 || size > 65536) {
    return std::string();
  }
  std::wstring buffer(size / sizeof(wchar_t) + 1, L'\0');
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&buffer[0]), &size) !=
      ERROR_SUCCESS) {
    return std::string();
  }
  buffer.resize(wcsnlen(buffer.c_str(), size / sizeof(wchar_t)));
  return platform::Utf16ToCp932(std::u16string(buffer.begin(), buffer.end()));
}

}  // namespace

SystemProxySettings ReadSystemProxySettings() {
  SystemProxySettings s;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kInternetSettings, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return s;
  }
  DWORD enable = 0;
  DWORD type = 0;
  DWORD size = sizeof enable;
  if (RegQueryValueExW(key, L"ProxyEnable", nullptr, &type, reinterpret_cast<BYTE*>(&enable),
                       &size) == ERROR_SUCCESS &&
      type == REG_DWORD) {
    s.enabled = enable != 0;
  }
  s.server = ReadText(key, L"ProxyServer");
  s.bypass = ReadText(key, L"ProxyOverride");
  RegCloseKey(key);
  return s;
}

bool ApplyBrowserProxy(const HttpSettings& settings) {
  const BrowserProxy choice = ChooseBrowserProxy(settings, ReadSystemProxySettings());
  if (choice.kind == BrowserProxy::Kind::kUntouched) return true;
  ProxyInfoNarrow info;
  if (choice.kind == BrowserProxy::Kind::kDirect) {
    info.access_type = INTERNET_OPEN_TYPE_DIRECT;
    info.proxy = nullptr;
    info.bypass = nullptr;
  } else {
    info.access_type = INTERNET_OPEN_TYPE_PROXY;
    info.proxy = choice.server.c_str();
    info.bypass = choice.bypass.c_str();
  }
  if (SUCCEEDED(UrlMkSetSessionOption(INTERNET_OPTION_PROXY, &info, sizeof info, 0))) return true;
  // Some URL-moniker implementations (Wine's) do not take the option; the web views load through
  // the process's WinINet, whose process-wide proxy is what the option sets.
  return SetProcessProxy(choice);
}

}  // namespace korvo
