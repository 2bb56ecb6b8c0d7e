// MainWindow: the program's main window (class "DIGITAL", title "KorvoNewsReader"), a topmost
// tool-window popup that is also the ticker's headline window. This class does the shell's part
// of it:
//
//   WM_CREATE     common controls, channel list and network settings (AppShell steps 6-7), the
//                 browser proxy, the ticker parts (hook), screen size, the menu (109 Japanese /
//                 156 English) with the skin list, the notice window class, timer 10.
//   timer 10      once, 10 ms after creation: ContinueStartup() (AppShell steps 8-11 with the
//                 topmost state, the placement, the skin, timer 13, the tray mode).
//   messages      1038, 1123, 1128, 1129, 1140, 1155, 1157, 1158, 1159, 1162, 1164-1166,
//                 WM_DISPLAYCHANGE, "TaskbarCreated"; the rest go to the handle_message hook.
//   commands      104 About, 105 close, 32789 tray, the skin menu, 32879 update now, 32870 /
//                 32876 / 32877 engine commands; the rest go to the handle_message hook.
//   WM_DESTROY    the shut-down order (AppShell steps 12-15 with the placement and the skin name
//                 saved, the tray icon removed, the menu destroyed, the quit message posted).
//                 WM_ENDSESSION runs it too when the system really ends.
//
// Everything runs on the window thread. The object must outlive its window (the destructor
// destroys a window that is still there).
#ifndef KORVO_APP_WIN_MAIN_WINDOW_H_
#define KORVO_APP_WIN_MAIN_WINDOW_H_

#include <windows.h>

#include <cstdint>
#include <string>

#include "app/skin_menu.h"
#include "app/tray_mode.h"
#include "app/win/main_window_hooks.h"
#include "app/win/tray_icon.h"
#include "shell/app_shell.h"

namespace korvo {

class MainWindow {
 public:
  MainWindow(HINSTANCE instance, AppShell& shell, MainWindowHooks hooks = MainWindowHooks());
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Registers the main window class `class_name` with this class's procedure: redraw on size
  // changes, icon 107, background of the button-text colour, no menu. True when it exists after.
  static bool RegisterWindowClass(HINSTANCE instance, const std::wstring& class_name);

  // Creates the window (extended styles topmost and tool window, style popup, position and size
  // 0, no parent) and shows it with `show_command`. False when it could not be created.
  bool Create(const std::wstring& class_name, const std::wstring& title, int show_command);
  HWND hwnd() const { return hwnd_; }

  // The start-up continuation that timer 10 runs once. Public for tests, which run it without
  // waiting for the timer; a second call does nothing.
  void ContinueStartup();
  bool started() const { return started_; }
  bool shut_down() const { return shut_down_; }

  // State, for tests and for the subsystems that plug in.
  const TrayMode& tray() const { return tray_; }
  const TrayIcon& tray_icon() const { return tray_icon_; }
  const SkinMenu& skins() const { return skins_; }
  HMENU menu() const { return menu_; }
  HMENU ticker_menu() const;
  HWND notice_window() const { return notice_window_; }
  uintptr_t opened_item() const { return opened_item_; }
  int item_count() const { return item_count_; }
  int screen_width() const { return screen_width_; }
  int screen_height() const { return screen_height_; }
  int tray_icon_resource() const { return tray_icon_resource_; }

  // Selects the skin entry `command` (32782: none): moves the check mark, loads the skin (hook)
  // and relayouts. False when `command` is no entry.
  bool SelectSkin(int command);
  // A skin installed while running (a dropped package): appended to the skin submenu. Returns
  // its command; 0 when the menu is full or the name is empty or already listed.
  int AddSkinEntry(const std::string& name);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w, LPARAM l);
  LRESULT Handle(UINT message, WPARAM w, LPARAM l);
  bool PassOn(UINT message, WPARAM w, LPARAM l, LRESULT* result);

  void OnCreate();
  void LoadMenus();
  void OnCommand(int command, WPARAM w, LPARAM l);
  void OnTrayIcon(LPARAM mouse_message);
  void MoveToCorner();
  void OnDisplayChange(int width, int height);
  LRESULT CopySetting(const std::string& text, size_t buffer_size, WPARAM buffer);
  void ShowTickerMenu(POINT screen_point, bool grey_for_tray);
  void ShowAbout();
  void ApplyTray(const TrayAction& action);
  void ShowTicker(bool show);
  void CreateNoticeWindow();
  void DestroyNoticeWindow();
  void UpdateSkinChecks();
  void ShutDown();
  void Push(EngineCommand command);
  void Notify(int notification);
  HWND SkinWindow() const;

  HINSTANCE instance_;
  AppShell& shell_;
  MainWindowHooks hooks_;
  HWND hwnd_ = nullptr;
  HMENU menu_ = nullptr;
  HWND notice_window_ = nullptr;
  TrayMode tray_;
  TrayIcon tray_icon_;
  SkinMenu skins_;
  UINT taskbar_created_ = 0;
  int tray_icon_resource_ = 0;
  int screen_width_ = 0;
  int screen_height_ = 0;
  uintptr_t opened_item_ = 0;
  int item_count_ = 0;
  bool started_ = false;
  bool shut_down_ = false;
};

// Conversions between the settings record's placement and a WINDOWPLACEMENT, field for field.
WINDOWPLACEMENT ToWindowPlacement(const WindowPlacementFields& fields);
WindowPlacementFields FromWindowPlacement(const WINDOWPLACEMENT& placement);

}  // namespace korvo

#endif  // KORVO_APP_WIN_MAIN_WINDOW_H_
