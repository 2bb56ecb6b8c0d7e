// How korvo.exe plugs the browse window, the channel dialog and the favourites into the main
// window's hooks:
//   - edit_channels (command 32779): the channel list dialog (resource 148) over the channel list
//     component's document, with the ticker paused around it;
//   - handle_message, chained before the hook set so far: command 32805 opens the browse window
//     (or brings it forward), 32821 writes and opens the page of the items checked today, the
//     favourite commands (34001 and up) open their sites in the browser; and the favourites
//     submenu of the ticker menu is filled from fav.opml each time the ticker menu opens;
//   - save_window_settings, chained: at shut-down an open browse window is closed first;
//   - push_engine_command, wrapped: while the browse window is open, the resumes that menus and
//     dialogs push when they close are dropped (the window keeps the ticker paused).
//
// The wiring lives as long as the shell (it is owned by KorvoApp's composition), on the window
// thread; the browse window it opens is destroyed with it at the latest.
#ifndef KORVO_APP_WIN_BROWSE_WIRING_H_
#define KORVO_APP_WIN_BROWSE_WIRING_H_

#include <windows.h>

#include <atomic>
#include <memory>
#include <vector>

#include "app/update_wiring.h"
#include "app/win/main_window_hooks.h"
#include "browse/favourites_menu.h"
#include "browse/win/browse_services.h"
#include "browse/win/browse_window.h"
#include "channels/channel_list.h"
#include "shell/app_shell.h"

namespace korvo {

class BrowseWiring {
 public:
  BrowseWiring(HINSTANCE instance, AppShell& shell, const UpdateWiring& road);
  ~BrowseWiring();
  BrowseWiring(const BrowseWiring&) = delete;
  BrowseWiring& operator=(const BrowseWiring&) = delete;

  // Sets edit_channels and chains handle_message. Call after every other subsystem set its hooks
  // (the engine's push_engine_command is taken from `hooks` then).
  void Attach(MainWindowHooks& hooks);

  // Handles the messages above; false for the others.
  bool HandleMessage(HWND main_window, UINT message, WPARAM w, LPARAM l, LRESULT* result);

  const BrowseServices& services() const { return services_; }
  BrowseWindow* browse_window() const { return window_.get(); }

 private:
  bool EnsureFavourites();
  void FillFavouritesMenu(HMENU submenu);
  void OpenBrowseWindow(HWND main_window);
  void WriteCheckedToday(HWND main_window);
  void Pause(bool pause);

  AppShell& shell_;
  BrowseServices services_;
  ChannelList favourites_;
  bool favourites_loaded_ = false;
  std::vector<FavouriteMenuEntry> favourites_menu_;
  std::unique_ptr<BrowseWindow> window_;
  // True from the browse window's opening to its closing (it pauses the ticker meanwhile). Read
  // by the push_engine_command wrapper, which any thread may call.
  std::atomic<bool> browse_holds_ticker_{false};
  std::function<void(EngineCommand)> push_engine_command_;
};

}  // namespace korvo

#endif  // KORVO_APP_WIN_BROWSE_WIRING_H_
