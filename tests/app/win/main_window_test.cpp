// The main window in the test's own process: resources, start-up continuation, messages that
// change state, the tray mode, the shut-down order and the second-copy path.
#include "app/win/main_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/win/font_view_window.h"
#include "app/win/korvo_app.h"
#include "app/win/second_instance.h"
#include "app/win/win_text.h"
#include "app/win/window_classes.h"
#include "common/temp_folder.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/named_lock.h"
#include "shell/app_shell.h"
#include "shell/main_window_ids.h"
#include "shell/profile_file.h"

namespace korvo {
namespace {

using korvo::testing::ScopedCurrentDirectory;
using korvo::testing::TempFolder;
namespace msg = main_window_message;

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

// Records the notice message the main window posts to the notice window.
LRESULT CALLBACK RecordNotice(HWND w, UINT m, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
  if (m == main_window_message::kNoticeShow) {
    reinterpret_cast<std::vector<UINT>*>(data)->push_back(m);
  }
  return DefSubclassProc(w, m, wp, lp);
}

std::vector<WPARAM> g_loop_commands;  // WM_COMMANDs seen by the message loop test's window

LRESULT CALLBACK RecordCommands(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_COMMAND) g_loop_commands.push_back(wp);
  return DefWindowProcW(w, m, wp, lp);
}

// Dispatches this thread's messages for `ms` milliseconds, or until `done` says so.
bool Pump(int ms, const std::function<bool()>& done = nullptr) {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(ms);
  for (;;) {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (m.message == WM_QUIT) continue;
      TranslateMessage(&m);
      DispatchMessageW(&m);
    }
    if (done && done()) return true;
    if (GetTickCount64() >= end) return !done;
    Sleep(5);
  }
}

std::wstring MenuString(HMENU menu, int position) {
  wchar_t text[256] = {};
  GetMenuStringW(menu, static_cast<UINT>(position), text, 256, MF_BYPOSITION);
  return text;
}

RECT WindowRect(HWND window) {
  RECT r = {};
  GetWindowRect(window, &r);
  return r;
}

// Writes what happens to it into a shared log; used at the engine and scheduler stages.
class RecordingComponent : public AppComponent {
 public:
  RecordingComponent(std::string name, std::vector<std::string>* log)
      : name_(std::move(name)), log_(log) {}
  bool Start(AppShell&) override {
    log_->push_back("start " + name_);
    return true;
  }
  void Stop(AppShell& shell) override {
    const bool saved = platform::FileExists(shell.folders().working_folder + "/setup.ini");
    log_->push_back("stop " + name_ + (saved ? " (saved)" : ""));
  }

 private:
  std::string name_;
  std::vector<std::string>* log_;
};

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(RegisterWindowClasses(Instance(), L"DIGITAL")); }

  // Prepares the shell as korvo.exe does before it creates the window.
  void StartShell(const std::string& command_line = "", int language = 1041,
                  platform::SystemVersion system = {6, 1}) {
    shell_ = std::make_unique<AppShell>();
    shell_->RecordSystem(system, language);
    shell_->ScanCommandLine(command_line);
    shell_->EnterWorkingFolder(program_.path(), app_data_.path());
  }

  MainWindowHooks RecordingHooks() {
    MainWindowHooks hooks;
    hooks.push_engine_command = [this](EngineCommand c) { engine_.push_back(static_cast<int>(c)); };
    hooks.notify_plugins = [this](int n) { notifications_.push_back(n); };
    hooks.load_skin = [this](int command, const std::string& name) {
      loaded_skins_.push_back(std::to_string(command) + " " + name);
    };
    return hooks;
  }

  // Creates the window and waits for the start-up timer.
  MainWindow& Open(MainWindowHooks hooks, bool wait_for_startup = true) {
    window_ = std::make_unique<MainWindow>(Instance(), *shell_, std::move(hooks));
    EXPECT_TRUE(window_->Create(L"DIGITAL", L"KorvoNewsReader", SW_SHOWNOACTIVATE));
    if (wait_for_startup) {
      EXPECT_TRUE(Pump(3000, [this] { return window_->started(); }));
    }
    return *window_;
  }

  void WriteSetup(const std::string& key, const std::string& value,
                  const std::string& section = "app_data") {
    ASSERT_TRUE(WriteProfileValue(program_ / "setup.ini", section, key, value));
  }
  std::string Saved(const std::string& key, const std::string& section = "app_data") {
    return ReadProfileString(program_ / "setup.ini", section, key, "<missing>");
  }

  bool Has(const std::vector<int>& list, int value) {
    return std::find(list.begin(), list.end(), value) != list.end();
  }

  TempFolder program_;
  TempFolder app_data_;
  ScopedCurrentDirectory cwd_{program_.path()};
  std::unique_ptr<AppShell> shell_;
  std::unique_ptr<MainWindow> window_;
  std::vector<int> engine_;
  std::vector<int> notifications_;
  std::vector<std::string> loaded_skins_;
};

TEST_F(MainWindowTest, ResourcesStringsAcceleratorsAndTheTwoMenus) {
  EXPECT_EQ(LoadResourceString(Instance(), 103, L"?"), L"KorvoNewsReader");
  EXPECT_EQ(LoadResourceString(Instance(), 109, L"?"), L"DIGITAL");
  EXPECT_EQ(LoadResourceString(Instance(), 4711, L"fallback"), L"fallback");

  HACCEL accelerators = LoadAcceleratorsW(Instance(), MAKEINTRESOURCEW(109));
  ASSERT_NE(accelerators, nullptr);
  ACCEL entries[8];
  ASSERT_EQ(CopyAcceleratorTableW(accelerators, entries, 8), 2);
  std::vector<WORD> keys;
  for (const ACCEL& a : entries) {
    if (&a - entries >= 2) break;
    EXPECT_EQ(a.cmd, 104);
    EXPECT_TRUE(a.fVirt & FALT);
    EXPECT_FALSE(a.fVirt & FVIRTKEY);
    keys.push_back(a.key);
  }
  EXPECT_EQ(keys, (std::vector<WORD>{'?', '/'}));
  DestroyAcceleratorTable(accelerators);

  for (int id : {107, 133, 190}) {
    EXPECT_NE(LoadImageW(Instance(), MAKEINTRESOURCEW(id), IMAGE_ICON, 16, 16, LR_SHARED), nullptr)
        << "icon " << id;
  }

  // The English menu mirrors the Japanese one entry for entry: same ids, pop-ups, separators.
  HMENU japanese = LoadMenuW(Instance(), MAKEINTRESOURCEW(109));
  HMENU english = LoadMenuW(Instance(), MAKEINTRESOURCEW(156));
  ASSERT_NE(japanese, nullptr);
  ASSERT_NE(english, nullptr);
  std::function<void(HMENU, HMENU, const std::string&)> compare = [&](HMENU a, HMENU b,
                                                                      const std::string& where) {
    ASSERT_EQ(GetMenuItemCount(a), GetMenuItemCount(b)) << where;
    for (int i = 0; i < GetMenuItemCount(a); ++i) {
      const std::string here = where + "/" + std::to_string(i);
      EXPECT_EQ(GetMenuItemID(a, i), GetMenuItemID(b, i)) << here;
      EXPECT_EQ(GetMenuState(a, i, MF_BYPOSITION) & (MF_SEPARATOR | MF_POPUP),
                GetMenuState(b, i, MF_BYPOSITION) & (MF_SEPARATOR | MF_POPUP))
          << here;
      EXPECT_EQ(MenuString(a, i).empty(), MenuString(b, i).empty()) << here;
      if (HMENU sa = GetSubMenu(a, i)) compare(sa, GetSubMenu(b, i), here);
    }
  };
  compare(japanese, english, "menu");
  HMENU ticker = GetSubMenu(japanese, menu_position::kTickerMenu);
  ASSERT_EQ(GetMenuItemCount(ticker), menu_position::kTickerMenuItems);
  EXPECT_NE(GetSubMenu(ticker, menu_position::kSkinSubmenu), nullptr);
  EXPECT_EQ(MenuString(ticker, menu_position::kInternetSubmenu),
            WideFromUtf8(u8"ライブブックマーク"));
  EXPECT_EQ(MenuString(ticker, 17), WideFromUtf8(u8"今すぐ更新(&R)"));
  EXPECT_EQ(GetMenuItemID(ticker, 17), 32879u);
  EXPECT_EQ(GetMenuItemID(ticker, 28), 32789u);  // enabled in the tray: the way back
  EXPECT_EQ(GetMenuItemID(ticker, 30), 105u);
  DestroyMenu(japanese);
  DestroyMenu(english);
}

TEST_F(MainWindowTest, CreatesTheTopmostToolPopupWithTheMenuOfTheLanguage) {
  ASSERT_TRUE(platform::MakeDirectory(program_ / "skin"));
  ASSERT_TRUE(platform::MakeDirectory(program_ / "skin/blue"));
  ASSERT_TRUE(platform::MakeDirectory(program_ / "skin/noskin260"));
  StartShell();
  MainWindow& window = Open(RecordingHooks(), false);
  HWND hwnd = window.hwnd();
  wchar_t class_name[64] = {};
  GetClassNameW(hwnd, class_name, 64);
  EXPECT_STREQ(class_name, L"DIGITAL");
  EXPECT_EQ(FindWindowW(L"DIGITAL", L"KorvoNewsReader"), hwnd);
  const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
  const LONG_PTR ex_style = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & WS_CAPTION);
  EXPECT_TRUE(ex_style & WS_EX_TOPMOST);
  EXPECT_TRUE(ex_style & WS_EX_TOOLWINDOW);
  EXPECT_EQ(window.screen_width(), GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(window.tray_icon_resource(), 133);
  // The skin list: "なし" and the one skin folder, none chosen yet.
  HMENU skins = GetSubMenu(window.ticker_menu(), menu_position::kSkinSubmenu);
  ASSERT_EQ(GetMenuItemCount(skins), 2);
  EXPECT_EQ(MenuString(skins, 0), WideFromUtf8(u8"なし"));
  EXPECT_EQ(MenuString(skins, 1), L"blue");
  EXPECT_EQ(GetMenuItemID(skins, 1), 32901u);
  EXPECT_TRUE(GetMenuState(skins, 0, MF_BYPOSITION) & MF_CHECKED);
  // The internet menu and the favourites have (empty) submenus to fill.
  HMENU internet = GetSubMenu(window.ticker_menu(), menu_position::kInternetSubmenu);
  ASSERT_NE(internet, nullptr);
  EXPECT_EQ(GetMenuItemCount(internet), 0);
  EXPECT_EQ(MenuString(window.ticker_menu(), menu_position::kInternetSubmenu),
            WideFromUtf8(u8"ライブブックマーク"));
  EXPECT_NE(GetSubMenu(window.ticker_menu(), menu_position::kFavouritesSubmenu), nullptr);
  // Before the start-up timer: 1159 says 0, 1140 the record's default word.
  EXPECT_EQ(SendMessageW(hwnd, msg::kLoadedGeneralFlags, 0, 0), 0);
  EXPECT_EQ(SendMessageW(hwnd, msg::kGeneralFlags, 0, 0), 135996);
  EXPECT_TRUE(Pump(3000, [&] { return window.started(); }));
  EXPECT_EQ(SendMessageW(hwnd, msg::kLoadedGeneralFlags, 0, 0), 135996);

  window_.reset();
  StartShell("", 1033, {5, 0});
  MainWindow& english = Open(RecordingHooks(), false);
  EXPECT_EQ(MenuString(english.ticker_menu(), 0), L"&Previous news");
  EXPECT_EQ(english.tray_icon_resource(), 190);
}

TEST_F(MainWindowTest, StartupRestoresThePlacementTopmostStateAndSkin) {
  ASSERT_TRUE(platform::MakeDirectory(program_ / "skin"));
  ASSERT_TRUE(platform::MakeDirectory(program_ / "skin/aqua"));
  ASSERT_TRUE(platform::MakeDirectory(program_ / "skin/blue"));
  WriteSetup("wp_left", "300");
  WriteSetup("wp_top", "200");
  WriteSetup("wp_right", "700");
  WriteSetup("wp_bottom", "240");
  WriteSetup("skin", "blue");
  // Interval 30 minutes, random order, not topmost.
  WriteSetup("iFlag", std::to_string(30u | general_flags::kRandomOrder));
  StartShell();
  MainWindowHooks hooks = RecordingHooks();
  hooks.ticker_item_count = [] { return 5; };
  MainWindow& window = Open(std::move(hooks));
  const RECT r = WindowRect(window.hwnd());
  EXPECT_EQ(r.left, 300);
  EXPECT_EQ(r.top, 200);
  EXPECT_EQ(r.right, 700);
  EXPECT_EQ(r.bottom, 240);
  EXPECT_TRUE(IsWindowVisible(window.hwnd()));
  EXPECT_FALSE(GetWindowLongPtrW(window.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(SendMessageW(window.hwnd(), msg::kLoadedGeneralFlags, 0, 0),
            static_cast<LRESULT>(30u | general_flags::kRandomOrder));
  EXPECT_EQ(SendMessageW(window.hwnd(), msg::kRandomOrderFlag, 0, 0), 0x200);

  const int blue = window.skins().CommandFor("blue");
  EXPECT_EQ(window.skins().current(), blue);
  EXPECT_EQ(loaded_skins_, std::vector<std::string>{std::to_string(blue) + " blue"});
  HMENU skins = GetSubMenu(window.ticker_menu(), menu_position::kSkinSubmenu);
  EXPECT_TRUE(GetMenuState(skins, blue, MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_FALSE(GetMenuState(skins, menu_command::kNoSkin, MF_BYCOMMAND) & MF_CHECKED);
  // Skin applied, shuffled (random order, items), laid out, first item shown.
  EXPECT_EQ(engine_, (std::vector<int>{10, 6, 7, 11}));
  // The tray stays as it was: no icon without bit 23.
  EXPECT_FALSE(window.tray_icon().wanted());
  EXPECT_EQ(window.notice_window(), nullptr);

  // The check mark follows the menu.
  const int aqua = window.skins().CommandFor("aqua");
  SendMessageW(window.hwnd(), WM_COMMAND, aqua, 0);
  EXPECT_EQ(window.skins().current(), aqua);
  EXPECT_TRUE(GetMenuState(skins, aqua, MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_FALSE(GetMenuState(skins, blue, MF_BYCOMMAND) & MF_CHECKED);
}

TEST_F(MainWindowTest, StartInTheTrayAndBack) {
  StartShell("-x -mfoo");
  MainWindowHooks hooks = RecordingHooks();
  std::vector<UINT> notice_messages;
  hooks.create_notice_window = [&](HWND owner) {
    HWND notice = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, owner, nullptr,
                                  Instance(), nullptr);
    SetWindowSubclass(notice, RecordNotice, 1, reinterpret_cast<DWORD_PTR>(&notice_messages));
    return notice;
  };
  MainWindow& window = Open(std::move(hooks));
  HWND hwnd = window.hwnd();
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_TRUE(window.tray().in_tray());
  EXPECT_TRUE(window.tray_icon().wanted());
  ASSERT_NE(window.notice_window(), nullptr);
  EXPECT_TRUE(Has(engine_, 16));

  // A new list while in the tray goes on to the notice window.
  SendMessageW(hwnd, msg::kNewListWhileInTray, 0, 0);
  Pump(100);
  EXPECT_EQ(notice_messages, std::vector<UINT>{msg::kNoticeShow});
  // 1162 must not take away the only way back.
  SendMessageW(hwnd, msg::kMatchTrayIcon, 0, 0);
  EXPECT_TRUE(window.tray_icon().wanted());

  // A left click on the icon: plug-ins told before and after, windows back, icon gone.
  engine_.clear();
  SendMessageW(hwnd, msg::kTrayIcon, 1, WM_LBUTTONUP);
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_FALSE(window.tray().in_tray());
  EXPECT_FALSE(window.tray_icon().wanted());
  EXPECT_EQ(window.notice_window(), nullptr);
  EXPECT_EQ(notifications_, (std::vector<int>{10, 11}));
  EXPECT_TRUE(Has(engine_, 17));
  // Not in the tray, a new list is not announced.
  SendMessageW(hwnd, msg::kNewListWhileInTray, 0, 0);
  Pump(50);
  EXPECT_EQ(notice_messages.size(), 1u);

  // Command 32789 goes the other way.
  SendMessageW(hwnd, WM_COMMAND, menu_command::kToggleTray, 0);
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_TRUE(window.tray().in_tray());
}

TEST_F(MainWindowTest, FlagBit22StartsInTheTrayAndBit23KeepsTheIcon) {
  WriteSetup("iFlag", std::to_string(general_flags::kDefault | general_flags::kStartInTray |
                                     general_flags::kShowTrayIcon));
  StartShell();
  MainWindow& window = Open(RecordingHooks());
  EXPECT_FALSE(IsWindowVisible(window.hwnd()));
  EXPECT_TRUE(window.tray().in_tray());
  SendMessageW(window.hwnd(), WM_COMMAND, menu_command::kToggleTray, 0);
  EXPECT_TRUE(IsWindowVisible(window.hwnd()));
  EXPECT_TRUE(window.tray_icon().wanted());  // bit 23: the icon stays
  EXPECT_NE(window.notice_window(), nullptr);

  // 1162 follows bit 23 outside the tray.
  shell_->settings().flags &= ~general_flags::kShowTrayIcon;
  SendMessageW(window.hwnd(), msg::kMatchTrayIcon, 0, 0);
  EXPECT_FALSE(window.tray_icon().wanted());
  shell_->settings().flags |= general_flags::kShowTrayIcon;
  SendMessageW(window.hwnd(), msg::kMatchTrayIcon, 0, 0);
  EXPECT_TRUE(window.tray_icon().wanted());
}

TEST_F(MainWindowTest, SecondCopyMessageMovesTheTickerToTheCorner) {
  WriteSetup("wp_left", "300");
  WriteSetup("wp_top", "200");
  WriteSetup("wp_right", "700");
  WriteSetup("wp_bottom", "240");
  StartShell();
  MainWindowHooks hooks = RecordingHooks();
  HWND skin = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"skin", WS_POPUP | WS_VISIBLE, 280, 190,
                              440, 60, nullptr, nullptr, Instance(), nullptr);
  ASSERT_NE(skin, nullptr);
  hooks.skin_window = [skin] { return skin; };
  hooks.news_box_offset = [] { return POINT{20, 10}; };
  MainWindow& window = Open(std::move(hooks));
  EXPECT_EQ(WindowRect(window.hwnd()).left, 300);

  SendMessageW(window.hwnd(), msg::kMoveToCorner, 0, 0);
  const RECT main_rect = WindowRect(window.hwnd());
  const RECT skin_rect = WindowRect(skin);
  EXPECT_EQ(skin_rect.left, 0);
  EXPECT_EQ(skin_rect.top, 0);
  EXPECT_EQ(main_rect.left, 20);
  EXPECT_EQ(main_rect.top, 10);
  EXPECT_EQ(main_rect.right - main_rect.left, 400);  // moved, not resized
  EXPECT_EQ(notifications_, std::vector<int>{9});
  window_.reset();
  DestroyWindow(skin);
}

TEST_F(MainWindowTest, DisplayChangeKeepsBothWindowsOnScreen) {
  WriteSetup("wp_left", "1000");
  WriteSetup("wp_top", "700");
  WriteSetup("wp_right", "1200");
  WriteSetup("wp_bottom", "740");
  StartShell();
  MainWindow& window = Open(RecordingHooks());
  ASSERT_EQ(WindowRect(window.hwnd()).left, 1000);
  engine_.clear();
  SendMessageW(window.hwnd(), WM_DISPLAYCHANGE, 24, MAKELPARAM(800, 600));
  EXPECT_EQ(window.screen_width(), 800);
  EXPECT_EQ(window.screen_height(), 600);
  const RECT r = WindowRect(window.hwnd());
  EXPECT_EQ(r.left, 600);
  EXPECT_EQ(r.top, 560);
  EXPECT_EQ(r.right, 800);
  EXPECT_EQ(engine_, std::vector<int>{7});

  // With several monitors the ticker may sit beyond the primary screen.
  shell_->settings().multi_monitor = 1;
  SetWindowPos(window.hwnd(), nullptr, 1000, 700, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  SendMessageW(window.hwnd(), WM_DISPLAYCHANGE, 24, MAKELPARAM(800, 600));
  EXPECT_EQ(WindowRect(window.hwnd()).left, 1000);
}

TEST_F(MainWindowTest, BrowserSettingsAreCopiedOnlyIntoWritableBuffers) {
  const std::string path = platform::Utf8ToCp932(u8"C:\\ブラウザ\\browser.exe");
  WriteSetup("browser_path", path);
  WriteSetup("browser_option", "-new %s");
  WriteSetup("iFlag", std::to_string(general_flags::kDefault | general_flags::kOpenInBrowseWindow));
  StartShell();
  MainWindow& window = Open(RecordingHooks());
  HWND hwnd = window.hwnd();
  EXPECT_EQ(SendMessageW(hwnd, msg::kOpenInBrowseWindow, 0, 0), 1);

  std::vector<char> buffer(kBrowserPathSize, 'x');
  EXPECT_EQ(SendMessageW(hwnd, msg::kCopyBrowserPath, reinterpret_cast<WPARAM>(buffer.data()), 0),
            static_cast<LRESULT>(path.size()));
  EXPECT_EQ(std::string(buffer.data()), path);
  std::vector<char> option(kBrowserOptionSize, 'x');
  SendMessageW(hwnd, msg::kCopyBrowserOption, reinterpret_cast<WPARAM>(option.data()), 0);
  EXPECT_EQ(std::string(option.data()), "-new %s");

  // Pointers that are not writable memory of this process are refused, not written through.
  EXPECT_EQ(SendMessageW(hwnd, msg::kCopyBrowserPath, 0, 0), 0);
  EXPECT_EQ(SendMessageW(hwnd, msg::kCopyBrowserPath, 0x10, 0), 0);
  void* read_only = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READONLY);
  ASSERT_NE(read_only, nullptr);
  EXPECT_EQ(SendMessageW(hwnd, msg::kCopyBrowserPath, reinterpret_cast<WPARAM>(read_only), 0), 0);
  EXPECT_EQ(static_cast<char*>(read_only)[0], 0);
  VirtualFree(read_only, 0, MEM_RELEASE);
  // A buffer whose end runs into an unmapped page is refused as a whole.
  char* pages = static_cast<char*>(VirtualAlloc(nullptr, 8192, MEM_RESERVE, PAGE_NOACCESS));
  ASSERT_NE(pages, nullptr);
  ASSERT_NE(VirtualAlloc(pages, 4096, MEM_COMMIT, PAGE_READWRITE), nullptr);
  char* tail = pages + 4096 - 4;  // four writable bytes, the path needs more
  EXPECT_EQ(SendMessageW(hwnd, msg::kCopyBrowserPath, reinterpret_cast<WPARAM>(tail), 0), 0);
  VirtualFree(pages, 0, MEM_RELEASE);

  // 1128 remembers the item; 1038 re-arms the idle timer without disturbing anything else.
  SendMessageW(hwnd, msg::kItemOpened, 1234, 0);
  EXPECT_EQ(window.opened_item(), 1234u);
  EXPECT_EQ(SendMessageW(hwnd, msg::kRestartIdleTimer, 0, 0), 0);
}

TEST_F(MainWindowTest, ShutDownStopsInOrderAndSavesPlacementAndSkin) {
  ASSERT_TRUE(platform::MakeDirectory(program_ / "skin"));
  ASSERT_TRUE(platform::MakeDirectory(program_ / "skin/blue"));
  std::vector<std::string> log;
  StartShell();
  shell_->Attach(AppStage::kTickerEngine, std::make_unique<RecordingComponent>("engine", &log));
  shell_->Attach(AppStage::kUpdateScheduler,
                 std::make_unique<RecordingComponent>("scheduler", &log));
  shell_->Attach(AppStage::kLocalServer, std::make_unique<RecordingComponent>("server", &log));
  MainWindowHooks hooks = RecordingHooks();
  bool released = false;
  hooks.release_ticker_parts = [&] { released = platform::FileExists(program_ / "setup.ini"); };
  MainWindow& window = Open(std::move(hooks));
  EXPECT_EQ(log, (std::vector<std::string>{"start engine", "start scheduler", "start server"}));
  SetWindowPos(window.hwnd(), nullptr, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  SendMessageW(window.hwnd(), WM_COMMAND, 32901, 0);  // "blue"

  DestroyWindow(window.hwnd());
  EXPECT_TRUE(window.shut_down());
  // Engine and scheduler stop before the save, the server after it.
  EXPECT_EQ(log,
            (std::vector<std::string>{"start engine", "start scheduler", "start server",
                                      "stop engine", "stop scheduler", "stop server (saved)"}));
  EXPECT_TRUE(released);
  EXPECT_EQ(Saved("wp_left"), "50");
  EXPECT_EQ(Saved("wp_top"), "60");
  EXPECT_EQ(Saved("wp_right"), "450");
  EXPECT_EQ(Saved("wp_bottom"), "100");
  EXPECT_EQ(Saved("wp_showcmd"), "1");
  EXPECT_EQ(Saved("wp_flag"), "1");  // the stored flags, not Windows' "never set" 0
  EXPECT_EQ(Saved("wp_maxxpos"), "0");
  EXPECT_EQ(Saved("skin"), "blue");
  EXPECT_EQ(Saved("iFlag"), "135996");
  EXPECT_EQ(window.menu(), nullptr);
  MSG quit;
  EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(quit.wParam, 0u);
}

TEST_F(MainWindowTest, ShutDownFromTheTraySavesAVisiblePlacement) {
  StartShell("-m");
  MainWindow& window = Open(RecordingHooks());
  ASSERT_TRUE(window.tray().in_tray());
  DestroyWindow(window.hwnd());
  EXPECT_EQ(Saved("wp_showcmd"), "1");
  EXPECT_EQ(Saved("skin"), "noskin260");
  EXPECT_FALSE(window.tray_icon().wanted());
}

TEST_F(MainWindowTest, ClosedBeforeTheStartupTimerSavesNothing) {
  WriteSetup("iFlag", "7");
  const std::string before = [&] {
    std::string s;
    platform::ReadWholeFile(program_ / "setup.ini", &s);
    return s;
  }();
  StartShell();
  MainWindow& window = Open(RecordingHooks(), false);
  DestroyWindow(window.hwnd());
  EXPECT_FALSE(window.started());
  std::string after;
  ASSERT_TRUE(platform::ReadWholeFile(program_ / "setup.ini", &after));
  EXPECT_EQ(after, before);
  // No start-up continuation runs after the window is gone.
  Pump(100);
  EXPECT_FALSE(window.started());
}

// 32879 runs an update with fetching; 32779 runs one only when the channel dialog closed with
// OK, fetching only with general flag bit 30.
TEST_F(MainWindowTest, UpdateCommandsAndTheChannelDialogsRun) {
  WriteSetup("iFlag", std::to_string(general_flags::kDefault));
  StartShell();
  MainWindowHooks hooks = RecordingHooks();
  std::vector<std::string> runs;
  bool dialog_ok = false;
  hooks.run_update_now = [&](bool fetch) { runs.push_back(fetch ? "fetch" : "cache"); };
  hooks.edit_channels = [&](HWND) { return dialog_ok; };
  MainWindow& window = Open(std::move(hooks));
  SendMessageW(window.hwnd(), WM_COMMAND, menu_command::kUpdateNow, 0);
  SendMessageW(window.hwnd(), WM_COMMAND, menu_command::kEditChannels, 0);  // cancelled
  dialog_ok = true;
  SendMessageW(window.hwnd(), WM_COMMAND, menu_command::kEditChannels, 0);
  shell_->settings().flags |= general_flags::kFetchAfterChannelEdit;
  SendMessageW(window.hwnd(), WM_COMMAND, menu_command::kEditChannels, 0);
  EXPECT_EQ(runs, (std::vector<std::string>{"fetch", "cache", "fetch"}));
  DestroyWindow(window.hwnd());
}

TEST_F(MainWindowTest, EndSessionShutsDownOnceWithTheStoreFlushedFirst) {
  std::vector<std::string> log;
  StartShell();
  shell_->Attach(AppStage::kTickerEngine, std::make_unique<RecordingComponent>("engine", &log));
  MainWindowHooks hooks = RecordingHooks();
  hooks.flush_store = [&] { log.push_back("flush"); };
  MainWindow& window = Open(std::move(hooks));
  SendMessageW(window.hwnd(), WM_ENDSESSION, FALSE, 0);  // the session goes on
  EXPECT_FALSE(window.shut_down());
  SendMessageW(window.hwnd(), WM_ENDSESSION, TRUE, 0);
  EXPECT_TRUE(window.shut_down());
  EXPECT_TRUE(platform::FileExists(program_ / "setup.ini"));
  DestroyWindow(window.hwnd());
  EXPECT_EQ(log, (std::vector<std::string>{"start engine", "flush", "stop engine"}));
}

TEST_F(MainWindowTest, SecondCopyAsksAndOnOkMovesTheRunningWindow) {
  // The instance mutex: the first claim holds it, a second one (in any process) fails.
  {
    platform::InstanceClaim first(kInstanceName);
    ASSERT_TRUE(first.claimed());
    platform::InstanceClaim second(kInstanceName);
    EXPECT_FALSE(second.claimed());
  }
  platform::InstanceClaim again(kInstanceName);
  EXPECT_TRUE(again.claimed());  // released with its holder

  const MessageCatalog japanese(1041);
  std::wstring asked_text, asked_caption;
  auto answer = [&](int button) {
    return [&, button](const std::wstring& text, const std::wstring& caption) {
      asked_text = text;
      asked_caption = caption;
      return button;
    };
  };
  // No running window: OK finds nothing and sends nothing.
  EXPECT_EQ(AnswerSecondStart(Instance(), japanese, answer(IDOK)),
            SecondStartResult::kWindowMissing);
  EXPECT_EQ(asked_caption, L"KNR");
  EXPECT_EQ(asked_text, WideFromUtf8(u8"KorvoNewsReaderはすでに起動しています。\r\n\r\n"
                                     u8"ポジションを元に戻す場合はOKを押して下さい。"));

  WriteSetup("wp_left", "300");
  WriteSetup("wp_top", "200");
  StartShell();
  MainWindow& window = Open(RecordingHooks());
  ASSERT_EQ(WindowRect(window.hwnd()).left, 300);
  EXPECT_EQ(AnswerSecondStart(Instance(), japanese, answer(IDCANCEL)),
            SecondStartResult::kCancelled);
  EXPECT_EQ(WindowRect(window.hwnd()).left, 300);
  EXPECT_TRUE(notifications_.empty());
  EXPECT_EQ(AnswerSecondStart(Instance(), MessageCatalog(1033), answer(IDOK)),
            SecondStartResult::kSent);
  EXPECT_EQ(asked_text,
            L"KorvoNewsReader is already existing.\r\n\r\n"
            L"if you want to fix the position, push OK.");
  EXPECT_EQ(WindowRect(window.hwnd()).left, 0);
  EXPECT_EQ(WindowRect(window.hwnd()).top, 0);
  EXPECT_EQ(notifications_, std::vector<int>{9});
}

TEST_F(MainWindowTest, MessageLoopTranslatesTheAcceleratorsAndEndsWithTheQuitCode) {
  Pump(10);  // nothing left over
  g_loop_commands.clear();
  WNDCLASSW wc = {};
  wc.lpfnWndProc = RecordCommands;
  wc.hInstance = Instance();
  wc.lpszClassName = L"KorvoLoopTest";
  RegisterClassW(&wc);
  HWND target = CreateWindowExW(0, L"KorvoLoopTest", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                Instance(), nullptr);
  ASSERT_NE(target, nullptr);
  HACCEL accelerators = LoadAcceleratorsW(Instance(), MAKEINTRESOURCEW(109));
  // Alt+"/" arrives as a system character with the context (Alt) bit while Alt is down.
  BYTE keys[256];
  ASSERT_TRUE(GetKeyboardState(keys));
  const BYTE alt = keys[VK_MENU];
  keys[VK_MENU] = 0x80;
  SetKeyboardState(keys);
  PostMessageW(target, WM_SYSCHAR, '/', 0x20000000);
  PostMessageW(target, WM_SYSCHAR, '?', 0x20000000);
  PostMessageW(target, WM_SYSCHAR, 'x', 0x20000000);  // no accelerator
  PostQuitMessage(7);
  EXPECT_EQ(RunMessageLoop(target, accelerators), 7);
  keys[VK_MENU] = alt;
  SetKeyboardState(keys);
  EXPECT_EQ(g_loop_commands, (std::vector<WPARAM>{MAKEWPARAM(104, 1), MAKEWPARAM(104, 1)}));
  DestroyAcceleratorTable(accelerators);
  DestroyWindow(target);
}

TEST_F(MainWindowTest, FontViewWindowDrawsWithTheFontItIsGiven) {
  HWND view =
      CreateWindowExW(0, L"FontViewWindow", WideFromUtf8(u8"あいうAbc").c_str(),
                      WS_POPUP | WS_VISIBLE, 0, 0, 200, 40, nullptr, nullptr, Instance(), nullptr);
  ASSERT_NE(view, nullptr);
  HFONT font =
      CreateFontW(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, 0, L"MS UI Gothic");
  SendMessageW(view, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(view, WM_GETFONT, 0, 0)), font);
  UpdateWindow(view);
  Pump(50);
  // The frame is drawn in black at the window's edge.
  HDC dc = GetDC(view);
  EXPECT_EQ(GetPixel(dc, 0, 20), RGB(0, 0, 0));
  ReleaseDC(view, dc);
  DestroyWindow(view);
  DeleteObject(font);
}

}  // namespace
}  // namespace korvo
