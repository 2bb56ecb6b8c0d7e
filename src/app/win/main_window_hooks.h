// Where the subsystems that live in the ticker windows plug into the main window. The main window
// does the shell's own work (settings, placement, tray mode, skin menu, shut-down order) and calls
// these at the fixed points of its start-up, message handling and shut-down. Every member may be
// left empty: the main window then skips that point (it never pretends the work was done).
//
// All hooks are called on the window thread, except push_engine_command, which the engine's own
// queue makes safe from any thread. They are set before MainWindow::Create and not changed after.
#ifndef KORVO_APP_WIN_MAIN_WINDOW_HOOKS_H_
#define KORVO_APP_WIN_MAIN_WINDOW_HOOKS_H_

#include <windows.h>

#include <functional>
#include <string>

#include "shell/general_settings.h"
#include "shell/main_window_ids.h"

namespace korvo {

struct MainWindowHooks {
  // --- The ticker engine ---
  // Pushes a command into the engine's queue (Pause/Resume around menus and dialogs, Relayout,
  // Shuffle, Next, Quit is pushed by the engine component's own Stop).
  std::function<void(EngineCommand)> push_engine_command;
  // The number of items of the first display list, built by the engine component's Start.
  std::function<int()> ticker_item_count;

  // --- Plug-ins ---
  // Raises a plug-in notification (9 after the move to the corner, 10 / 11 around the tray
  // toggle).
  std::function<void(int notification)> notify_plugins;

  // --- Update runs ---
  // Starts an update run now: with fetching (command 32879), or only re-reading the cached feeds.
  std::function<void(bool fetch)> run_update_now;
  // Command 32779: shows the channel-list dialog (modal); true when it closed with OK. The main
  // window then starts an update run, fetching only when general flag bit 30 is set.
  std::function<bool(HWND main_window)> edit_channels;
  // WM_ENDSESSION while the system really ends: flushes the news store under its lock before the
  // shut-down sequence saves the settings.
  std::function<void()> flush_store;

  // --- The ticker windows ---
  // WM_CREATE, after the shell's own steps: creates the skin window, the drop target, the
  // tooltip, the translucency controller and the hotkey manager.
  std::function<void(HWND main_window)> create_ticker_parts;
  // The skin window, or null while there is none.
  std::function<HWND()> skin_window;
  // Where the main window sits relative to the skin window's top-left corner (the skin's news
  // box); (0, 0) without a skin.
  std::function<POINT()> news_box_offset;
  // The start-up continuation, after the settings load: applies the window settings (size,
  // colours, fonts, translucency) to both ticker windows.
  std::function<void(HWND main_window, const GeneralSettings& settings)> apply_window_settings;
  // Loads the skin of the menu entry `command` (32782: none) and lays out both windows. The shell
  // has already moved the check mark; the engine command RelayoutAndShow follows.
  std::function<void(int command, const std::string& skin_name)> load_skin;
  // Shows or hides both ticker windows for the tray mode (with the fade, where there is one).
  // Empty: the shell shows or hides the main window and the skin window itself.
  std::function<void(bool show)> show_ticker;
  // Creates the hidden notice window (class "emu_cococ_20051102") shown while the program is in
  // the tray; it receives message 1424 when a new list arrives there. Empty: the shell creates a
  // plain hidden window of that class, so the message has its receiver.
  std::function<HWND(HWND main_window)> create_notice_window;
  // Shut-down: copies the ticker's geometry (width, height, spacing) into the settings.
  std::function<void(GeneralSettings& settings)> save_window_settings;

  // --- Everything else ---
  // Messages and commands the shell does not handle itself (the ticker windows' messages,
  // timers 11-13, WM_HOTKEY, WM_DROPFILES, the dialogs' commands, the news-item and internet
  // menus). True when handled; *result is then the message result.
  std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT* result)> handle_message;
  // Shut-down, after the settings were saved and before the services stop: releases the drop
  // target, the hotkey manager and what create_ticker_parts made.
  std::function<void()> release_ticker_parts;
};

}  // namespace korvo

#endif  // KORVO_APP_WIN_MAIN_WINDOW_HOOKS_H_
