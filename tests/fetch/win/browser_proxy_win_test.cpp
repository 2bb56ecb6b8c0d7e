// The web views' proxy on Windows: the system settings are read from the current user's
// registry, and the choice reaches the process's URL-moniker session.
#include <gtest/gtest.h>
// The system headers need this order.
// clang-format off
#include <windows.h>
#include <urlmon.h>
#include <wininet.h>
// clang-format on

#include <cstdlib>
#include <cstring>
#include <string>

#include "fetch/browser_proxy.h"
#include "fetch/win/process_proxy.h"

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
  EXPECT_EQ(ChooseBrowserProxy(settings, s).kind, BrowserProxy::Kind::kProxy);
  const bool first = ApplyBrowserProxy(settings);
  if (!ProcessProxySetOnlyOnce()) {
    EXPECT_TRUE(first);
  }

  registry.Set(0, L"sys.example:3128", L"");
  s = ReadSystemProxySettings();
  EXPECT_FALSE(s.enabled);
  EXPECT_EQ(ChooseBrowserProxy(settings, s).kind, BrowserProxy::Kind::kDirect);
  const bool second = ApplyBrowserProxy(settings);
  if (!ProcessProxySetOnlyOnce()) {
    EXPECT_TRUE(second);
  }
  // On a set-once WinINet two different choices are never both taken.
  if (ProcessProxySetOnlyOnce()) {
    EXPECT_FALSE(first && second);
  }
}

// Every mode is accepted by the system, except that a set-once WinINet keeps the first choice
// of the process: a repeat gives the same answer and the mode that leaves things alone is always
// accepted. (Which proxy the web views then use cannot be read back from outside them: the
// session option has no reading counterpart.)
TEST(BrowserProxyWinTest, EveryModeIsApplied) {
  HttpSettings settings;
  settings.proxy = "named.example";
  settings.port = 8080;
  for (int mode : {2, 1, 0, 7}) {
    settings.type = mode;
    const bool applied = ApplyBrowserProxy(settings);
    if (!ProcessProxySetOnlyOnce() || mode == 7) {
      EXPECT_TRUE(applied) << mode;
    }
    EXPECT_EQ(ApplyBrowserProxy(settings), applied) << mode;
  }
  settings.type = 1;  // leave the process direct for the other tests
  const bool direct = ApplyBrowserProxy(settings);
  if (!ProcessProxySetOnlyOnce()) {
    EXPECT_TRUE(direct);
  }
}

TEST(BrowserProxyWinTest, WineVersionsBefore9SetTheProcessProxyOnce) {
  EXPECT_TRUE(WineVersionSetsProxyOnlyOnce("8.0"));
  EXPECT_TRUE(WineVersionSetsProxyOnlyOnce("8.21"));
  EXPECT_TRUE(WineVersionSetsProxyOnlyOnce("7.0-rc2"));
  EXPECT_FALSE(WineVersionSetsProxyOnlyOnce("9.0"));
  EXPECT_FALSE(WineVersionSetsProxyOnlyOnce("9.0-rc1"));
  EXPECT_FALSE(WineVersionSetsProxyOnlyOnce("10.5"));
  EXPECT_TRUE(WineVersionSetsProxyOnlyOnce(""));
  EXPECT_TRUE(WineVersionSetsProxyOnlyOnce("unknown"));
  EXPECT_FALSE(WineVersionSetsProxyOnlyOnce("99999999999999999999"));  // no overflow
}

constexpr char kChildVariable[] = "KORVO_PROCESS_PROXY_CHILD";
constexpr size_t kVictimSize = 100;

// Run only in the child process started by the next test: the first process-wide proxy of a
// fresh process is the one whose record the heap was prepared for. Freed blocks of the CRT heap
// that WinINet allocates from are filled with the address of a live block (the victim), so a
// record taken from one of them without being cleared holds that address in every field it
// leaves unset. Changing the proxy back and forth must leave the victim alive and unchanged.
TEST(BrowserProxyWinChild, ChangingTheProcessProxyLeavesTheHeapAlone) {
  if (std::getenv(kChildVariable) == nullptr) GTEST_SKIP() << "run by the next test";
  HMODULE crt = LoadLibraryW(L"ucrtbase.dll");
  if (crt == nullptr) GTEST_SKIP() << "no ucrtbase.dll";
  using Malloc = void*(__cdecl*)(size_t);
  using Free = void(__cdecl*)(void*);
  using HeapHandle = intptr_t(__cdecl*)();
  const auto crt_malloc =
      reinterpret_cast<Malloc>(reinterpret_cast<void (*)()>(GetProcAddress(crt, "malloc")));
  const auto crt_free =
      reinterpret_cast<Free>(reinterpret_cast<void (*)()>(GetProcAddress(crt, "free")));
  const auto crt_heap = reinterpret_cast<HeapHandle>(
      reinterpret_cast<void (*)()>(GetProcAddress(crt, "_get_heap_handle")));
  ASSERT_TRUE(crt_malloc != nullptr && crt_free != nullptr && crt_heap != nullptr);
  const HANDLE heap = reinterpret_cast<HANDLE>(crt_heap());

  unsigned char* victim = static_cast<unsigned char*>(crt_malloc(kVictimSize));
  ASSERT_NE(victim, nullptr);
  std::memset(victim, 0x5a, kVictimSize);
  void* blocks[8];
  for (int k = 0; k < 8; ++k) {
    const size_t words = 4 + k;
    void** block = static_cast<void**>(crt_malloc(words * sizeof(void*)));
    ASSERT_NE(block, nullptr);
    for (size_t w = 0; w < words; ++w) block[w] = victim;
    blocks[k] = block;
  }
  for (int k = 7; k >= 0; --k) crt_free(blocks[k]);

  BrowserProxy direct;
  direct.kind = BrowserProxy::Kind::kDirect;
  BrowserProxy named;
  named.kind = BrowserProxy::Kind::kProxy;
  named.server = "named.example:8080";
  named.bypass = "127.0.0.1";
  EXPECT_TRUE(SetProcessProxy(direct));
  const bool changed = SetProcessProxy(named);
  EXPECT_EQ(changed, !ProcessProxySetOnlyOnce());
  EXPECT_TRUE(SetProcessProxy(direct));
  EXPECT_EQ(SetProcessProxy(named), !ProcessProxySetOnlyOnce());
  EXPECT_TRUE(SetProcessProxy(direct));

  EXPECT_EQ(HeapSize(heap, 0, victim), kVictimSize);
  bool intact = true;
  for (size_t i = 0; i < kVictimSize; ++i) intact = intact && victim[i] == 0x5a;
  EXPECT_TRUE(intact);
  crt_free(victim);
}

TEST(BrowserProxyWinTest, ChangingTheProcessProxyLeavesTheHeapAlone) {
  wchar_t self[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
  ASSERT_TRUE(length > 0 && length < MAX_PATH);
  std::wstring command = L"\"";
  command += self;
  command += L"\" --gtest_filter=BrowserProxyWinChild.*";
  ASSERT_TRUE(SetEnvironmentVariableA(kChildVariable, "1"));
  STARTUPINFOW startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  ZeroMemory(&process, sizeof process);
  const BOOL started = CreateProcessW(self, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                                      nullptr, &startup, &process);
  SetEnvironmentVariableA(kChildVariable, nullptr);
  ASSERT_TRUE(started);
  const DWORD waited = WaitForSingleObject(process.hProcess, 120000);
  DWORD code = 1;
  if (waited == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.hProcess, &code);
  } else {
    TerminateProcess(process.hProcess, 1);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  EXPECT_EQ(waited, WAIT_OBJECT_0);
  EXPECT_EQ(code, 0u) << "the child run failed or crashed";
}

}  // namespace
}  // namespace korvo
