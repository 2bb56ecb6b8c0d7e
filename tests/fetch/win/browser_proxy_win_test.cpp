// The web views' proxy on Windows: the system settings are read from the current user's
// registry, and the choice reaches the process's URL-moniker session.
#include <gtest/gtest.h>
// The system headers need this order.
// clang-format off
#include <windows.h>
#include <urlmon.h>
#include <wininet.h>
// clang-format on

#include <string>

#include "fetch/browser_proxy.h"

namespace korvo {
namespace {

const wchar_t kKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

// Sets the three values for a test and puts the old ones back afterwards.
class RegistryProxy {
 public:
  RegistryProxy() {
    saved_[0].name = L"ProxyEnable";
    saved_[1].name = L"ProxyServer";
    saved_[2].name = L"ProxyOverride";
    RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key_,
                    nullptr);
    for (Saved& s : saved_) {
      s.size = sizeof s.data;
      s.present =
          RegQueryValueExW(key_, s.name, nullptr, &s.type, s.data, &s.size) == ERROR_SUCCESS;
    }
  }
  ~RegistryProxy() {
    for (Saved& s : saved_) {
      if (s.present) {
        RegSetValueExW(key_, s.name, 0, s.type, s.data, s.size);
      } else {
        RegDeleteValueW(key_, s.name);
      }
    }
    RegCloseKey(key_);
  }
  void Set(DWORD enable, const std::wstring& server, const std::wstring& bypass) {
    RegSetValueExW(key_, L"ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&enable),
                   sizeof enable);
    RegSetValueExW(key_, L"ProxyServer", 0, REG_SZ, reinterpret_cast<const BYTE*>(server.c_str()),
                   static_cast<DWORD>((server.size() + 1) * sizeof(wchar_t)));
    RegSetValueExW(key_, L"ProxyOverride", 0, REG_SZ, reinterpret_cast<const BYTE*>(bypass.c_str()),
                   static_cast<DWORD>((bypass.size() + 1) * sizeof(wchar_t)));
  }

 private:
  struct Saved {
    const wchar_t* name = nullptr;
    bool present = false;
    DWORD type = 0;
    DWORD size = 0;
    BYTE data[2048] = {};
  };
  HKEY key_ = nullptr;
  Saved saved_[3];
};

TEST(BrowserProxyWinTest, SystemSettingsComeFromTheRegistry) {
  RegistryProxy registry;
  registry.Set(1, L"sys.example:3128", L"<local>;127.0.0.1");
  SystemProxySettings s = ReadSystemProxySettings();
  EXPECT_TRUE(s.enabled);
  EXPECT_EQ(s.server, "sys.example:3128");
  EXPECT_EQ(s.bypass, "<local>;127.0.0.1");
  HttpSettings settings;
  settings.type = 0;
  EXPECT_TRUE(ApplyBrowserProxy(settings));

  registry.Set(0, L"sys.example:3128", L"");
  s = ReadSystemProxySettings();
  EXPECT_FALSE(s.enabled);
  EXPECT_EQ(ChooseBrowserProxy(settings, s).kind, BrowserProxy::Kind::kDirect);
  EXPECT_TRUE(ApplyBrowserProxy(settings));
}

// Every mode is accepted by the system. (Which proxy the web views then use cannot be read back
// from outside them: the session option has no reading counterpart.)
TEST(BrowserProxyWinTest, EveryModeIsApplied) {
  HttpSettings settings;
  settings.proxy = "named.example";
  settings.port = 8080;
  for (int mode : {2, 1, 0, 7}) {
    settings.type = mode;
    EXPECT_TRUE(ApplyBrowserProxy(settings)) << mode;
  }
  settings.type = 1;  // leave the process direct for the other tests
  EXPECT_TRUE(ApplyBrowserProxy(settings));
}

}  // namespace
}  // namespace korvo
