#include "app/win/main_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <utility>
#include <vector>

#include "app/screen_fit.h"
#include "app/shell_queries.h"
#include "app/win/resource.h"
#include "app/win/win_text.h"
#include "fetch/browser_proxy.h"
#include "fetch/http_settings.h"
#include "shell/main_window_ids.h"
#include "shell/text_limit.h"

namespace korvo {

namespace msg = main_window_message;
namespace timer = main_window_timer;

// The resource script and the code name the same things.
static_assert(IDS_APP_TITLE == resource_id::kTitleString, "title string");
static_assert(IDS_WINDOW_CLASS == resource_id::kClassString, "class string");
static_assert(IDI_APPLICATION_ICON == resource_id::kApplicationIcon, "application icon");
static_assert(IDI_TRAY == resource_id::kTrayIcon && IDI_TRAY_OLD == resource_id::kTrayIconOld,
              "tray icons");
static_assert(IDA_MAIN == resource_id::kAccelerators, "accelerators");
static_assert(IDD_ABOUT == resource_id::kAboutDialog, "About box");
static_assert(IDM_ABOUT == menu_command::kAbout && IDM_EXIT == menu_command::kExit, "commands");
static_assert(IDM_NO_SKIN == menu_command::kNoSkin && IDM_TOGGLE_TRAY == menu_command::kToggleTray,
              "commands");
static_assert(IDM_UPDATE_NOW == menu_command::kUpdateNow &&
                  IDM_EDIT_CHANNELS == menu_command::kEditChannels &&
                  IDM_READ_LATER == menu_command::kReadLater &&
                  IDM_PREVIOUS_SITE == menu_command::kPreviousSite &&
                  IDM_NEXT_SITE == menu_command::kNextSite,
              "commands");

namespace {

constexpr wchar_t kNoticeClass[] = L"emu_cococ_20051102";
constexpr int kNoticeWidth = 185;
constexpr int kNoticeHeight = 35;

// True when the `size` bytes at `address` are committed, writable memory of this process. The
// buffers of messages 1164 and 1166 come from other windows, possibly of other processes, where
// the pointer means nothing here: writing through it unchecked could crash the program.
bool IsWritableMemory(void* address, size_t size) {
  if (address == nullptr) return false;
  auto* p = static_cast<unsigned char*>(address);
  const uintptr_t end = reinterpret_cast<uintptr_t>(p) + size;
  if (end < reinterpret_cast<uintptr_t>(p)) return false;  // wraps around
  constexpr DWORD kWritable =
      PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
  while (reinterpret_cast<uintptr_t>(p) < end) {
    MEMORY_BASIC_INFORMATION info;
    if (VirtualQuery(p, &info, sizeof info) == 0) return false;
    if (info.State != MEM_COMMIT || (info.Protect & kWritable) == 0 ||
        (info.Protect & (PAGE_GUARD | PAGE_NOACCESS)) != 0) {
      return false;
    }
    p = static_cast<unsigned char*>(info.BaseAddress) + info.RegionSize;
  }
  return true;
}

// A menu text for a skin name: '&' would otherwise underline the next letter.
std::wstring MenuText(const std::string& name) {
  std::wstring text;
  for (wchar_t c : WideFromCp932(name)) {
    if (c == L'&') text += L'&';
    text += c;
  }
  return text;
}

// Makes the entry at `position` of `menu` a pop-up (keeping its text) when it is not one.
void EnsureSubmenu(HMENU menu, int position) {
  if (menu == nullptr || position >= GetMenuItemCount(menu) ||
      GetSubMenu(menu, position) != nullptr) {
    return;
  }
  wchar_t text[256] = {};
  GetMenuStringW(menu, static_cast<UINT>(position), text, 256, MF_BYPOSITION);
  HMENU submenu = CreatePopupMenu();
  if (submenu == nullptr) return;
  if (!ModifyMenuW(menu, static_cast<UINT>(position), MF_BYPOSITION | MF_POPUP | MF_STRING,
                   reinterpret_cast<UINT_PTR>(submenu), text)) {
    DestroyMenu(submenu);
  }
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM w, LPARAM /*l*/) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(w) == IDOK || LOWORD(w) == IDCANCEL) {
        EndDialog(dialog, LOWORD(w));
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

bool RegisterNoticeClass(HINSTANCE instance) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExW(instance, kNoticeClass, &wc)) return true;
  wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = DefWindowProcW;  // the notice window installs its own procedure
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = kNoticeClass;
  return RegisterClassExW(&wc) != 0;
}

}  // namespace

WINDOWPLACEMENT ToWindowPlacement(const WindowPlacementFields& fields) {
  WINDOWPLACEMENT wp = {};
  wp.length = sizeof wp;
  wp.flags = fields.flags;
  wp.showCmd = fields.show_command;
  wp.ptMinPosition = {fields.min_x, fields.min_y};
  wp.ptMaxPosition = {fields.max_x, fields.max_y};
  wp.rcNormalPosition = {fields.left, fields.top, fields.right, fields.bottom};
  return wp;
}

WindowPlacementFields FromWindowPlacement(const WINDOWPLACEMENT& wp) {
  WindowPlacementFields fields;
  fields.length = 44;
  fields.flags = wp.flags;
  fields.show_command = wp.showCmd;
  fields.min_x = wp.ptMinPosition.x;
  fields.min_y = wp.ptMinPosition.y;
  fields.max_x = wp.ptMaxPosition.x;
  fields.max_y = wp.ptMaxPosition.y;
  fields.left = wp.rcNormalPosition.left;
  fields.top = wp.rcNormalPosition.top;
  fields.right = wp.rcNormalPosition.right;
  fields.bottom = wp.rcNormalPosition.bottom;
  return fields;
}

MainWindow::MainWindow(HINSTANCE instance, AppShell& shell, MainWindowHooks hooks)
    : instance_(instance), shell_(shell), hooks_(std::move(hooks)) {
  taskbar_created_ = RegisterWindowMessageW(L"TaskbarCreated");
}

MainWindow::~MainWindow() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
  if (menu_ != nullptr) DestroyMenu(menu_);
}

bool MainWindow::RegisterWindowClass(HINSTANCE instance, const std::wstring& class_name) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExW(instance, class_name.c_str(), &wc)) return true;
  wc = {};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = &MainWindow::WindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(resource_id::kApplicationIcon));
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNTEXT + 1));
  wc.lpszClassName = class_name.c_str();
  return RegisterClassExW(&wc) != 0;
}

bool MainWindow::Create(const std::wstring& class_name, const std::wstring& title,
                        int show_command) {
  if (hwnd_ != nullptr) return false;
  HWND window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, class_name.c_str(), title.c_str(),
                                WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance_, this);
  if (window == nullptr) return false;
  ShowWindow(window, show_command);
  return true;
}

HMENU MainWindow::ticker_menu() const {
  return menu_ != nullptr ? GetSubMenu(menu_, menu_position::kTickerMenu) : nullptr;
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  MainWindow* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    if (self != nullptr) self->hwnd_ = window;
  } else {
    self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  }
  if (self == nullptr) return DefWindowProcW(window, message, w, l);
  const LRESULT result = self->Handle(message, w, l);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
  }
  return result;
}

bool MainWindow::PassOn(UINT message, WPARAM w, LPARAM l, LRESULT* result) {
  return hooks_.handle_message && hooks_.handle_message(hwnd_, message, w, l, result);
}

LRESULT MainWindow::Handle(UINT message, WPARAM w, LPARAM l) {
  const GeneralSettings& settings = shell_.settings();
  if (const std::optional<uint32_t> answer =
          AnswerFlagQuery(message, settings.flags, shell_.settings_loaded())) {
    return static_cast<LRESULT>(*answer);
  }
  if (message == taskbar_created_ && taskbar_created_ != 0) {
    // The notification area was rebuilt (or appeared after this program started): the icon has
    // to be added again, or a program in the tray could never be brought back.
    if (tray_icon_.wanted()) tray_icon_.Readd();
    return 0;
  }
  switch (message) {
    case WM_CREATE:
      OnCreate();
      return 0;
    case WM_TIMER:
      if (w == timer::kStartup) {
        ContinueStartup();
        return 0;
      }
      break;
    case WM_COMMAND:
      OnCommand(LOWORD(w), w, l);
      return 0;
    case msg::kRestartIdleTimer:
      KillTimer(hwnd_, timer::kIdle);
      SetTimer(hwnd_, timer::kIdleLong, timer::kIdleLongPeriodMs, nullptr);
      return 0;
    case msg::kTrayIcon:
      OnTrayIcon(l);
      return 0;
    case msg::kItemOpened:
      opened_item_ = static_cast<uintptr_t>(w);
      break;  // the ticker windows want to know too
    case msg::kNewListWhileInTray:
      if (tray_.in_tray() && notice_window_ != nullptr) {
        PostMessageW(notice_window_, msg::kNoticeShow, 0, 0);
      }
      return 0;
    case msg::kMoveToCorner:
      MoveToCorner();
      return 0;
    case msg::kOpenTickerMenu: {
      POINT point = {GET_X_LPARAM(l), GET_Y_LPARAM(l)};
      ClientToScreen(hwnd_, &point);
      ShowTickerMenu(point, false);
      return 0;
    }
    case msg::kMatchTrayIcon:
      ApplyTray(tray_.MatchIconToFlags(settings.flags));
      return 0;
    case msg::kCopyBrowserPath:
      return CopySetting(settings.browser_path, kBrowserPathSize, w);
    case msg::kCopyBrowserOption:
      return CopySetting(settings.browser_option, kBrowserOptionSize, w);
    case WM_DISPLAYCHANGE:
      OnDisplayChange(LOWORD(l), HIWORD(l));
      break;  // the ticker windows lay out again too
    case WM_ENDSESSION:
      if (w != 0) {
        if (hooks_.flush_store) hooks_.flush_store();
        ShutDown();
      }
      return 0;
    case WM_DESTROY:
      ShutDown();
      return 0;
    default:
      break;
  }
  LRESULT result = 0;
  if (PassOn(message, w, l, &result)) return result;
  return DefWindowProcW(hwnd_, message, w, l);
}

void MainWindow::OnCreate() {
  // 1. The common controls the dialogs' date pickers need.
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_DATE_CLASSES};
  if (!InitCommonControlsEx(&controls)) {
    MessageBoxW(hwnd_, L"Failed to Initialize COMMONCTRL", L"ERROR", MB_OK);
  }
  // 2. The earlier database format imported (with the progress window), the channel list (the
  // first start's conversion also with it) and the network settings, with the web views' proxy.
  shell_.ImportEarlierStore();
  shell_.OpenChannelList();
  shell_.LoadNetworkSettings();
  ApplyBrowserProxy(HttpSettingsFrom(shell_.network()));
  // 3-5, 7, 10. The skin window, drop target, tooltip, translucency and hotkeys.
  if (hooks_.create_ticker_parts) hooks_.create_ticker_parts(hwnd_);
  // 6. The tray icon: the 16-colour one for systems of minor version 0.
  tray_icon_resource_ =
      shell_.system().minor == 0 ? resource_id::kTrayIconOld : resource_id::kTrayIcon;
  // 7. The screen size, to keep the windows on screen.
  screen_width_ = GetSystemMetrics(SM_CXSCREEN);
  screen_height_ = GetSystemMetrics(SM_CYSCREEN);
  // 8. The menu in the catalog's language, with the skin list.
  LoadMenus();
  // 10. The notice window's class and the start-up timer.
  RegisterNoticeClass(instance_);
  SetTimer(hwnd_, timer::kStartup, timer::kStartupPeriodMs, nullptr);
}

void MainWindow::LoadMenus() {
  menu_ = LoadMenuW(instance_, MAKEINTRESOURCEW(shell_.catalog().MainMenuResource()));
  // The resource compiler writes a pop-up without entries as a plain entry: give the internet
  // menu and the favourites their (empty) submenus to be filled later.
  for (int position : {menu_position::kInternetSubmenu, menu_position::kFavouritesSubmenu}) {
    EnsureSubmenu(ticker_menu(), position);
  }
  skins_.SetSkins(SkinMenu::ListSkinFolders(shell_.folders().skin_folder));
  HMENU skin_menu = GetSubMenu(ticker_menu(), menu_position::kSkinSubmenu);
  if (skin_menu != nullptr) {
    for (size_t i = 0; i < skins_.skins().size(); ++i) {
      AppendMenuW(skin_menu, MF_STRING, menu_command::kFirstSkin + i,
                  MenuText(skins_.skins()[i]).c_str());
    }
  }
  UpdateSkinChecks();
  DrawMenuBar(hwnd_);
}

void MainWindow::ContinueStartup() {
  if (started_ || shut_down_ || hwnd_ == nullptr) return;
  // Killed first: a modal loop inside the steps below (a progress window, a message box) must
  // not let the timer run the start-up a second time.
  KillTimer(hwnd_, timer::kStartup);
  started_ = true;

  // 1. The general settings (with the one-time "eboard" import).
  shell_.LoadGeneralSettings();
  const GeneralSettings& settings = shell_.settings();
  // 2-3. Window settings, topmost state, translucency.
  if (hooks_.apply_window_settings) hooks_.apply_window_settings(hwnd_, settings);
  SetWindowPos(hwnd_, (settings.flags & general_flags::kTopmost) ? HWND_TOPMOST : HWND_NOTOPMOST, 0,
               0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // 4. The placement, hidden when the program starts in the tray.
  const bool start_in_tray =
      shell_.options().start_in_tray || (settings.flags & general_flags::kStartInTray) != 0;
  const WINDOWPLACEMENT placement =
      ToWindowPlacement(PlacementForStart(settings, shell_.options().start_in_tray));
  SetWindowPlacement(hwnd_, &placement);
  // 5, 7. The first display list and the engine thread.
  shell_.StartTickerEngine();
  item_count_ = hooks_.ticker_item_count ? hooks_.ticker_item_count() : 0;
  // 6. The stored skin, when the skin menu has it.
  const int skin = skins_.CommandFor(settings.skin);
  if (skin != menu_command::kNoSkin) {
    SelectSkin(skin);
  } else {
    skins_.Select(skin);
    UpdateSkinChecks();
  }
  // 8-9.
  if ((settings.flags & general_flags::kRandomOrder) != 0 && item_count_ > 0) {
    Push(EngineCommand::kShuffle);
  }
  SetTimer(hwnd_, timer::kTranslucency, timer::kTranslucencyPeriodMs, nullptr);
  Push(EngineCommand::kRelayout);
  if (HWND skin_window = SkinWindow()) {
    RECT main_rect;
    GetWindowRect(hwnd_, &main_rect);
    const POINT offset = hooks_.news_box_offset ? hooks_.news_box_offset() : POINT{0, 0};
    SetWindowPos(skin_window, hwnd_, main_rect.left - offset.x, main_rect.top - offset.y, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE);
  }
  if (item_count_ > 0) Push(EngineCommand::kNext);
  // 10-11. The update scheduler, the loopback server, the plug-ins and the internet menu.
  shell_.StartUpdateScheduler();
  shell_.StartServerAndPlugins();
  // 12. The tray.
  ApplyTray(tray_.Start(start_in_tray, settings.flags, skins_.current()));
}

bool MainWindow::SelectSkin(int command) {
  if (!skins_.Select(command)) return false;
  UpdateSkinChecks();
  if (hooks_.load_skin) {
    hooks_.load_skin(command, skins_.NameOf(command));
    Push(EngineCommand::kRelayoutAndShow);
  }
  return true;
}

int MainWindow::AddSkinEntry(const std::string& name) {
  if (skins_.CommandFor(name) != menu_command::kNoSkin) return 0;
  const int command = skins_.Add(name);
  if (command == 0) return 0;
  if (HMENU skin_menu = GetSubMenu(ticker_menu(), menu_position::kSkinSubmenu)) {
    AppendMenuW(skin_menu, MF_STRING, static_cast<UINT_PTR>(command), MenuText(name).c_str());
  }
  UpdateSkinChecks();
  return command;
}

void MainWindow::UpdateSkinChecks() {
  HMENU skin_menu = GetSubMenu(ticker_menu(), menu_position::kSkinSubmenu);
  if (skin_menu == nullptr) return;
  const int count = GetMenuItemCount(skin_menu);
  for (int i = 0; i < count; ++i) {
    const UINT id = GetMenuItemID(skin_menu, i);
    if (id == static_cast<UINT>(-1)) continue;
    CheckMenuItem(
        skin_menu, i,
        MF_BYPOSITION | (static_cast<int>(id) == skins_.current() ? MF_CHECKED : MF_UNCHECKED));
  }
}

void MainWindow::OnCommand(int command, WPARAM w, LPARAM l) {
  switch (command) {
    case menu_command::kExit:
      PostMessageW(hwnd_, WM_CLOSE, 0, 0);
      return;
    case menu_command::kAbout:
      ShowAbout();
      return;
    case menu_command::kToggleTray:
      Notify(plugin_notification::kTrayToggling);
      ApplyTray(tray_.Toggle(shell_.settings().flags, skins_.current()));
      Notify(plugin_notification::kTrayToggled);
      return;
    case menu_command::kUpdateNow:
      if (hooks_.run_update_now) hooks_.run_update_now(true);
      return;
    case menu_command::kEditChannels:
      if (!hooks_.edit_channels) break;  // no dialog yet: left to handle_message
      if (hooks_.edit_channels(hwnd_) && hooks_.run_update_now) {
        const uint32_t flags = shell_.settings().flags;
        hooks_.run_update_now((flags & general_flags::kFetchAfterChannelEdit) != 0);
      }
      return;
    case menu_command::kReadLater:
      Push(EngineCommand::kReadLater);
      return;
    case menu_command::kNextSite:
      Push(EngineCommand::kNextSite);
      return;
    case menu_command::kPreviousSite:
      Push(EngineCommand::kPreviousSite);
      return;
    default:
      break;
  }
  if (SkinMenu::IsSkinCommand(command) && SelectSkin(command)) return;
  LRESULT result = 0;
  PassOn(WM_COMMAND, w, l, &result);
}

void MainWindow::OnTrayIcon(LPARAM mouse_message) {
  if (mouse_message == WM_LBUTTONUP) {
    OnCommand(menu_command::kToggleTray, menu_command::kToggleTray, 0);
  } else if (mouse_message == WM_RBUTTONUP) {
    POINT point;
    GetCursorPos(&point);
    ShowTickerMenu(point, true);
  }
}

void MainWindow::ShowTickerMenu(POINT screen_point, bool grey_for_tray) {
  HMENU menu = ticker_menu();
  if (menu == nullptr) return;
  Push(EngineCommand::kPause);
  const int count = GetMenuItemCount(menu);
  std::vector<UINT> saved;
  if (grey_for_tray) {
    for (int i = 0; i < count; ++i) {
      saved.push_back(GetMenuState(menu, i, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED));
      if (!TrayMenuEntryEnabled(i)) EnableMenuItem(menu, i, MF_BYPOSITION | MF_GRAYED);
    }
  }
  // The usual dance for menus of hidden or tray windows: the window must be in the foreground
  // for the menu to close when the user clicks elsewhere, and the posted message lets it close.
  SetForegroundWindow(hwnd_);
  TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen_point.x, screen_point.y, 0, hwnd_,
                 nullptr);
  PostMessageW(hwnd_, WM_NULL, 0, 0);
  for (size_t i = 0; i < saved.size(); ++i) {
    EnableMenuItem(menu, static_cast<UINT>(i),
                   MF_BYPOSITION | (saved[i] != 0 ? saved[i] : MF_ENABLED));
  }
  Push(EngineCommand::kResume);
}

void MainWindow::ShowAbout() {
  Push(EngineCommand::kPause);
  DialogBoxParamW(instance_, MAKEINTRESOURCEW(resource_id::kAboutDialog), hwnd_, AboutProc, 0);
  Push(EngineCommand::kResume);
}

void MainWindow::MoveToCorner() {
  const POINT offset = hooks_.news_box_offset ? hooks_.news_box_offset() : POINT{0, 0};
  if (HWND skin = SkinWindow()) {
    SetWindowPos(skin, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  SetWindowPos(hwnd_, nullptr, offset.x, offset.y, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Notify(plugin_notification::kMovedToCorner);
}

void MainWindow::OnDisplayChange(int width, int height) {
  screen_width_ = width;
  screen_height_ = height;
  // With several monitors the ticker may rightly sit outside the primary screen.
  if (shell_.settings().multi_monitor == 0) {
    HWND skin = SkinWindow();
    RECT r;
    if (GetWindowRect(skin != nullptr ? skin : hwnd_, &r)) {
      const ScreenRect fitted = KeepOnScreen({r.left, r.top, r.right, r.bottom}, width, height);
      const int dx = fitted.left - r.left;
      const int dy = fitted.top - r.top;
      if (dx != 0 || dy != 0) {
        // Both windows move by the same amount, so the headline stays on the skin's news box.
        for (HWND window : {skin, hwnd_}) {
          RECT w;
          if (window == nullptr || !GetWindowRect(window, &w)) continue;
          SetWindowPos(window, nullptr, w.left + dx, w.top + dy, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
      }
    }
  }
  Push(EngineCommand::kRelayout);
}

LRESULT MainWindow::CopySetting(const std::string& text, size_t buffer_size, WPARAM buffer) {
  char* target = reinterpret_cast<char*>(buffer);
  const size_t needed = TruncateCp932(text, buffer_size - 1).size() + 1;
  if (!IsWritableMemory(target, needed)) return 0;
  return static_cast<LRESULT>(CopyTextToBuffer(text, target, buffer_size));
}

void MainWindow::ApplyTray(const TrayAction& action) {
  if (action.hide_windows) ShowTicker(false);
  if (action.show_windows) ShowTicker(true);
  if (action.reselect_skin != 0 && action.reselect_skin != skins_.current()) {
    SelectSkin(action.reselect_skin);
  }
  if (action.add_icon) {
    const HICON icon = static_cast<HICON>(
        LoadImageW(instance_, MAKEINTRESOURCEW(tray_icon_resource_), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    tray_icon_.Add(hwnd_, icon);
    Push(EngineCommand::kTrayIconAdded);
    CreateNoticeWindow();
  }
  if (action.remove_icon) {
    tray_icon_.Remove();
    Push(EngineCommand::kTrayIconRemoved);
    DestroyNoticeWindow();
  }
}

void MainWindow::ShowTicker(bool show) {
  if (hooks_.show_ticker) {
    hooks_.show_ticker(show);
    return;
  }
  const int command = show ? SW_SHOWNA : SW_HIDE;
  if (HWND skin = SkinWindow()) ShowWindow(skin, command);
  ShowWindow(hwnd_, command);
}

void MainWindow::CreateNoticeWindow() {
  if (notice_window_ != nullptr) return;
  if (hooks_.create_notice_window) {
    notice_window_ = hooks_.create_notice_window(hwnd_);
    return;
  }
  notice_window_ =
      CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_LAYERED, kNoticeClass, L"", WS_POPUP, 0, 0,
                      kNoticeWidth, kNoticeHeight, hwnd_, nullptr, instance_, nullptr);
}

void MainWindow::DestroyNoticeWindow() {
  if (notice_window_ == nullptr) return;
  if (IsWindow(notice_window_)) DestroyWindow(notice_window_);
  notice_window_ = nullptr;
}

void MainWindow::ShutDown() {
  if (shut_down_) return;
  shut_down_ = true;
  KillTimer(hwnd_, timer::kStartup);
  KillTimer(hwnd_, timer::kTranslucency);
  // 1-3. The engine (Quit, at most 5 s) and the update scheduler (at most 5 s).
  shell_.StopTickerEngine();
  shell_.StopUpdateScheduler();
  // 4. The skin window.
  if (HWND skin = SkinWindow()) PostMessageW(skin, WM_CLOSE, 0, 0);
  // 5. Back from the tray, so that the visible placement is saved; then the placement, the
  // ticker's geometry and the tray icon.
  GeneralSettings& settings = shell_.settings();
  const TrayAction leave = tray_.ShutDown(settings.flags);
  if (leave.reselect_skin != 0) skins_.Select(leave.reselect_skin);
  if (leave.show_windows) ShowTicker(true);
  if (started_) {
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (GetWindowPlacement(hwnd_, &placement)) {
      const WindowPlacementFields now = FromWindowPlacement(placement);
      if (IsIconic(hwnd_) || IsZoomed(hwnd_)) {
        settings.placement = now;
      } else {
        // The ticker has no caption and is never minimised or maximised, so Windows reports its
        // "never set" flags and minimised / maximised positions (0 and -1); the stored ones stay.
        settings.placement.show_command = now.show_command;
        settings.placement.left = now.left;
        settings.placement.top = now.top;
        settings.placement.right = now.right;
        settings.placement.bottom = now.bottom;
      }
    }
    if (hooks_.save_window_settings) hooks_.save_window_settings(settings);
  }
  if (leave.remove_icon) {
    tray_icon_.Remove();
    DestroyNoticeWindow();
  }
  // 6-7. The skin name, the settings (not saved when the start-up never loaded them), the menu,
  // the end of the message loop.
  if (started_) settings.skin = skins_.NameToSave();
  shell_.SaveGeneralSettings();
  if (menu_ != nullptr) {
    DestroyMenu(menu_);
    menu_ = nullptr;
  }
  PostQuitMessage(0);
  // 8. The ticker parts and the services.
  if (hooks_.release_ticker_parts) hooks_.release_ticker_parts();
  shell_.ReleaseServices();
}

void MainWindow::Push(EngineCommand command) {
  if (hooks_.push_engine_command) hooks_.push_engine_command(command);
}

void MainWindow::Notify(int notification) {
  if (hooks_.notify_plugins) hooks_.notify_plugins(notification);
}

HWND MainWindow::SkinWindow() const { return hooks_.skin_window ? hooks_.skin_window() : nullptr; }

}  // namespace korvo
