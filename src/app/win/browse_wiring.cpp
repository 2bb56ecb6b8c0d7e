#include "app/win/browse_wiring.h"

#include <utility>

#include "browse/browse_ids.h"
#include "browse/list_page.h"
#include "browse/win/browse_win_util.h"
#include "browse/win/browser_launch.h"
#include "browse/win/channel_dialog.h"
#include "channels/channel_list_component.h"
#include "channels/favourites.h"
#include "channels/page_download.h"
#include "fetch/fetch_context.h"
#include "fetch/http_settings.h"
#include "platform/code_page.h"
#include "store/database_guard.h"
#include "ticker/ticker_lists.h"
#include "update/update_component.h"

namespace korvo {

namespace {

constexpr int kDiscoveryDeadlineMs = 30000;

}  // namespace

BrowseWiring::BrowseWiring(HINSTANCE instance, AppShell& shell, const UpdateWiring& road)
    : shell_(shell), favourites_(ChannelList::Kind::kFavourites) {
  services_.instance = instance;
  services_.working_folder = shell.folders().working_folder;
  services_.program_folder = shell.folders().program_folder;
  services_.catalog = &shell.catalog();
  services_.channels = road.channels;
  services_.favourites = &favourites_;
  services_.save_favourites = [this] {
    return EnsureFavourites() && SaveFavourites(services_.working_folder, &favourites_);
  };
  services_.reload_favourites = [this] {
    favourites_loaded_ = false;
    return EnsureFavourites();
  };
  std::shared_ptr<TickerLists> ticker = road.ticker;
  if (ticker) services_.shown_items = [ticker] { return ticker->shown(); };
  services_.pause_ticker = [this](bool pause) {
    browse_holds_ticker_.store(pause);
    Pause(pause);
  };
  UpdateComponent* update = road.update;
  if (update != nullptr) {
    services_.start_update = [update] { return update->RunNow(); };
    services_.runs_started = [update] { return update->runs_started(); };
    services_.runs_finished = [update] { return update->runs_finished(); };
    services_.import_feed_file = [update](const std::string& path) {
      const FeedImportReport report = update->ImportFeedFile(path);
      return report.items_read == 0 ? -1 : report.items_added;
    };
  }
  services_.fetch_context = CurrentFolderContext(HttpSettings());
  services_.fetch_context.working_folder = services_.working_folder;
}

BrowseWiring::~BrowseWiring() { window_.reset(); }

void BrowseWiring::Attach(MainWindowHooks& hooks) {
  // The engine's pause is one flag, and menus and dialogs resume the ticker when they close: while
  // the browse window is open those resumes are dropped, so the ticker stays paused until the
  // window closes and resumes it itself.
  push_engine_command_ = hooks.push_engine_command;
  if (push_engine_command_) {
    hooks.push_engine_command = [this, push = push_engine_command_](EngineCommand command) {
      if (command == EngineCommand::kResume && browse_holds_ticker_.load()) return;
      push(command);
    };
  }
  hooks.edit_channels = [this](HWND main_window) {
    services_.main_window = main_window;
    Pause(true);
    const bool ok = RunChannelDialog(services_, main_window);
    if (!browse_holds_ticker_.load()) Pause(false);
    return ok;
  };
  // At shut-down, before the settings are saved and the services stop, the browse window closes
  // as the user would close it (layout saved, channel changes applied or discarded).
  auto save = hooks.save_window_settings;
  hooks.save_window_settings = [this, save](GeneralSettings& settings) {
    if (window_ && window_->is_open()) SendMessageW(window_->hwnd(), WM_CLOSE, 0, 0);
    if (save) save(settings);
  };
  auto previous = hooks.handle_message;
  hooks.handle_message = [this, previous](HWND window, UINT message, WPARAM w, LPARAM l,
                                          LRESULT* result) {
    if (HandleMessage(window, message, w, l, result)) return true;
    return previous && previous(window, message, w, l, result);
  };
}

void BrowseWiring::Pause(bool pause) {
  if (push_engine_command_) {
    push_engine_command_(pause ? EngineCommand::kPause : EngineCommand::kResume);
  }
}

bool BrowseWiring::EnsureFavourites() {
  if (favourites_loaded_) return true;
  favourites_loaded_ = LoadFavourites(services_.working_folder, &favourites_);
  if (favourites_loaded_) OutlineTreeView::RebuildAll(OutlineTreeView::Kind::kFavourites);
  return favourites_loaded_;
}

void BrowseWiring::FillFavouritesMenu(HMENU submenu) {
  while (GetMenuItemCount(submenu) > 0) DeleteMenu(submenu, 0, MF_BYPOSITION);
  EnsureFavourites();
  favourites_menu_ = BuildFavouritesMenu(favourites_);
  std::vector<HMENU> stack = {submenu};
  std::vector<std::wstring> names;
  for (const FavouriteMenuEntry& entry : favourites_menu_) {
    switch (entry.kind) {
      case FavouriteMenuEntry::Kind::kSite:
        AppendMenuW(stack.back(), MF_STRING, static_cast<UINT_PTR>(entry.command),
                    platform::WideFromCp932(entry.label).c_str());
        break;
      case FavouriteMenuEntry::Kind::kFolderStart:
        stack.push_back(CreatePopupMenu());
        names.push_back(platform::WideFromCp932(entry.label));
        break;
      case FavouriteMenuEntry::Kind::kFolderEnd: {
        HMENU folder = stack.back();
        stack.pop_back();
        AppendMenuW(stack.back(), MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(folder),
                    names.back().c_str());
        names.pop_back();
        break;
      }
    }
  }
  if (GetMenuItemCount(submenu) == 0) {
    AppendMenuW(submenu, MF_STRING | MF_GRAYED, 0, L"(\u306A\u3057)");  // (なし)
  }
}

void BrowseWiring::OpenBrowseWindow(HWND main_window) {
  services_.main_window = main_window;
  EnsureFavourites();
  if (window_ && window_->is_open()) {
    window_->Open();
    return;
  }
  if (!services_.download) {
    FetchContext context = CurrentFolderContext(HttpSettingsFrom(shell_.network()));
    context.working_folder = services_.working_folder;
    services_.fetch_context = context;
    services_.download = WebPageDownloader(context, kDiscoveryDeadlineMs);
  }
  window_ = std::make_unique<BrowseWindow>(services_);
  if (!window_->Open()) window_.reset();
}

void BrowseWiring::WriteCheckedToday(HWND main_window) {
  DatabaseGuard guard(services_.working_folder);
  const std::string page = BuildCheckedPage(platform::Utf8ToCp932(services_.program_folder),
                                            platform::LocalNow(), guard);
  const std::string path = services_.working_folder + "/" + kListPageFile;
  if (!WritePageFile(path, page)) {
    MessageBoxUtf8(main_window, u8"checkedurl.html を書き込めませんでした。", u8"エラー",
                   MB_OK | MB_ICONWARNING);
    return;
  }
  OpenFileWithShell(main_window, path);
}

bool BrowseWiring::HandleMessage(HWND main_window, UINT message, WPARAM w, LPARAM l,
                                 LRESULT* result) {
  if (message == WM_INITMENUPOPUP) {
    // The ticker menu is about to open: its favourites submenu is filled from fav.opml.
    HMENU menu = reinterpret_cast<HMENU>(w);
    if (GetMenuItemCount(menu) > menu_position::kFavouritesSubmenu) {
      if (HMENU favourites = GetSubMenu(menu, menu_position::kFavouritesSubmenu)) {
        FillFavouritesMenu(favourites);
      }
    }
    return false;  // others may want it too
  }
  if (message != WM_COMMAND) return false;
  const int command = LOWORD(w);
  if (command == browse_command::kOpenBrowseWindow) {
    OpenBrowseWindow(main_window);
  } else if (command == browse_command::kCheckedToday) {
    WriteCheckedToday(main_window);
  } else if (IsFavouriteCommand(command)) {
    const std::string address = FavouriteForCommand(favourites_menu_, command);
    if (!address.empty()) OpenInExternalBrowser(main_window, address, false);
  } else {
    return false;
  }
  *result = 0;
  (void)l;
  return true;
}

}  // namespace korvo
