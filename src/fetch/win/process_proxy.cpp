// The system headers need this order.
// clang-format off
#include <windows.h>
#include <wininet.h>
// clang-format on

#include "fetch/win/process_proxy.h"

#include <mutex>
#include <string>

#include "platform/code_page.h"

namespace korvo {

namespace {

// INTERNET_PROXY_INFO of the wide WinINet functions.
struct ProxyInfoWide {
  DWORD access_type;
  const wchar_t* proxy;
  const wchar_t* bypass;
};

// What this process has handed to WinINet so far; guarded by ProcessProxyLock().
struct TakenProxy {
  bool taken = false;
  BrowserProxy choice;
};

std::mutex& ProcessProxyLock() {
  static std::mutex lock;
  return lock;
}

TakenProxy& Taken() {
  static TakenProxy taken;
  return taken;
}

bool SameChoice(const BrowserProxy& a, const BrowserProxy& b) {
  if (a.kind != b.kind) return false;
  return a.kind != BrowserProxy::Kind::kProxy || (a.server == b.server && a.bypass == b.bypass);
}

bool CallWinInet(const BrowserProxy& choice) {
  const std::u16string server = platform::Cp932ToUtf16(choice.server);
  const std::u16string bypass = platform::Cp932ToUtf16(choice.bypass);
  const std::wstring wide_server(server.begin(), server.end());
  const std::wstring wide_bypass(bypass.begin(), bypass.end());
  ProxyInfoWide info;
  if (choice.kind == BrowserProxy::Kind::kProxy) {
    info.access_type = INTERNET_OPEN_TYPE_PROXY;
    info.proxy = wide_server.c_str();
    info.bypass = wide_bypass.c_str();
  } else {
    info.access_type = INTERNET_OPEN_TYPE_DIRECT;
    info.proxy = nullptr;
    info.bypass = nullptr;
  }
  // WinINet copies both strings before returning.
  return InternetSetOptionW(nullptr, INTERNET_OPTION_PROXY, &info, sizeof info) != FALSE;
}

}  // namespace

bool WineVersionSetsProxyOnlyOnce(const std::string& wine_version) {
  int major = 0;
  size_t i = 0;
  while (i < wine_version.size() && wine_version[i] >= '0' && wine_version[i] <= '9' &&
         major < 1000) {
    major = major * 10 + (wine_version[i] - '0');
    ++i;
  }
  if (i == 0) return true;
  return major < 9;
}

bool ProcessProxySetOnlyOnce() {
  static const bool once = [] {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (ntdll == nullptr) return false;
    using WineGetVersion = const char*(__cdecl*)();
    const auto get_version = reinterpret_cast<WineGetVersion>(
        reinterpret_cast<void (*)()>(GetProcAddress(ntdll, "wine_get_version")));
    if (get_version == nullptr) return false;  // not Wine
    const char* text = get_version();
    return WineVersionSetsProxyOnlyOnce(text != nullptr ? std::string(text) : std::string());
  }();
  return once;
}

bool SetProcessProxy(const BrowserProxy& choice) {
  if (choice.kind == BrowserProxy::Kind::kUntouched) return true;
  std::lock_guard<std::mutex> hold(ProcessProxyLock());
  TakenProxy& taken = Taken();
  if (taken.taken && ProcessProxySetOnlyOnce()) return SameChoice(taken.choice, choice);
  if (!CallWinInet(choice)) return false;
  taken.taken = true;
  taken.choice = choice;
  return true;
}

}  // namespace korvo
