// TickerWindows: the ticker's side of the headline window (the main window, class "DIGITAL") and
// the skin window beneath it. korvo.exe's main window reaches it through MainWindowHooks:
//
//   create_ticker_parts    the skin window, its tooltip, the translucency controller, the hot keys
//   skin_window            the skin window
//   news_box_offset        where the headline window sits on the skin
//   apply_window_settings  flags, alpha, tooltips, translucency from the general settings
//   load_skin              a skin from the skin menu (or none), laid out
//   show_ticker            the tray toggle's fade
//   save_window_settings   the ticker's size and spacing into the settings; user.ini's sizes
//   handle_message         messages 1131-1141, 1160, 1161; WM_DROPFILES, WM_HOTKEY, timer 13;
//                          the engine's layout message while a skin is chosen; the item texts;
//                          the headline window's pointer (hover pause, click, drag, right
//                          click), menus and the commands 32828, 32856, 32862
//   release_ticker_parts   hot keys and windows released
//
// What the engine needs of the skin (colours, effect, hold time, background) goes out through
// Options::skin_applied whenever the skin changes.
//
// Window thread only, except Layout(), which the engine's relayout may ask for through a sent
// message, and the functions of Options, which are called on the window thread.
#ifndef KORVO_TICKER_WIN_TICKER_WINDOWS_H_
#define KORVO_TICKER_WIN_TICKER_WINDOWS_H_

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "channels/feed_summary.h"
#include "fetch/fetch_context.h"
#include "shell/general_settings.h"
#include "shell/main_window_ids.h"
#include "shell/message_catalog.h"
#include "ticker/fade_controller.h"
#include "ticker/hotkey_set.h"
#include "ticker/ticker_item.h"
#include "ticker/ticker_tooltip.h"
#include "ticker/win/drop_target.h"
#include "ticker/win/hotkey_dialog.h"
#include "ticker/win/layered_headline_renderer.h"
#include "ticker/win/skin_window.h"
#include "ticker/win/window_fader.h"

namespace korvo {

class ChannelListComponent;

class TickerWindows {
 public:
  // Posted to the headline window when a drop waits to be handled (after the drop has ended).
  static constexpr UINT kDropPending = WM_APP + 21;
  // Posted to the headline window when the engine selected an item (its texts wait in ItemShown).
  static constexpr UINT kItemTexts = WM_APP + 22;

  struct Options {
    HINSTANCE instance = nullptr;
    std::string skin_root;       // the program folder's "skin" (UTF-8)
    std::string working_folder;  // UTF-8
    int language_id = MessageCatalog::kJapaneseLanguage;
    std::function<void(EngineCommand)> push_engine_command;
    std::function<int(int notification)> notify_plugins;  // -1: vetoed
    std::function<void(const std::string& link)> open_link_explicitly;
    std::function<int(const std::string& link)> open_listed_link;
    std::function<uint16_t()> server_port;
    std::function<bool(void* record)> place_plugin;
    // The plug-in area after the face changed size (face coordinates).
    std::function<void(const SkinRect& area)> plugin_area_changed;
    // The skin changed (null: none); `background` is the headline's background and colour key.
    std::function<void(const Skin* skin, COLORREF background)> skin_applied;
    // The channel list dropped feeds are added to (owned by the shell); may be null.
    ChannelListComponent* channels = nullptr;
    // A dropped skin was installed and is new: an entry in the skin menu.
    std::function<void(const std::string& name)> add_skin_menu_entry;
  };

  explicit TickerWindows(Options options);
  ~TickerWindows();
  TickerWindows(const TickerWindows&) = delete;
  TickerWindows& operator=(const TickerWindows&) = delete;

  // The hooks.
  void CreateParts(HWND main_window);
  HWND skin_window() const { return skin_.hwnd(); }
  POINT NewsBoxOffset() const;
  void ApplyWindowSettings(HWND main_window, const GeneralSettings& settings);
  void LoadSkin(int command, const std::string& name);
  void ShowTicker(bool show);
  void SaveWindowSettings(GeneralSettings& settings);
  bool HandleMessage(HWND window, UINT message, WPARAM w, LPARAM l, LRESULT* result);
  void ReleaseParts();

  // Lays out both windows: with a skin the skin window takes the face's size beneath the
  // headline window, which covers the news box; without one the skin window covers the headline
  // window.
  void Layout();

  // The engine selected `item` (engine thread): its texts go to the skin window and the skin's
  // animation row follows its state, on the window thread.
  void ItemShown(const TickerItem& item);
  // How the display thread draws the headline now (any thread).
  HeadlinePresentation Presentation() const;

  // Set before the windows exist (the engine is made after this object).
  void SetEngineCommands(std::function<void(EngineCommand)> push) {
    options_.push_engine_command = std::move(push);
  }
  void SetSkinApplied(std::function<void(const Skin*, COLORREF)> applied) {
    options_.skin_applied = std::move(applied);
  }

  // Set after the main window exists (the skin menu belongs to it).
  void SetSkinMenuAdder(std::function<void(const std::string&)> add) {
    options_.add_skin_menu_entry = std::move(add);
  }

  // State, for tests.
  const FadeController& fade() const { return fade_; }
  const SkinWindow& skin() const { return skin_; }
  const HotkeySet* hotkeys() const { return hotkeys_.get(); }
  const std::string& skin_name() const { return skin_name_; }

 private:
  void ApplyTranslucency();
  void FadeIn();
  void FadeOut();
  void SetLayeredStyles(HWND window, bool layered, bool transparent);
  void RunFade(FadeController::Action action);
  void OnTranslucencyTimer();

  void OnHeadlineMouseMove();
  void OnHeadlineLeftDown();
  void OnHeadlineLeftUp();
  void SetHeadlineHover(bool hover);
  void MoveBothTo(POINT skin_position);
  void KeepSkinBelow();
  void UpdateTooltipRoom();

  void OnDropFiles(HDROP drop);
  void QueueDrop(DroppedThing thing);
  void HandleDrops();
  void HandleDrop(const DroppedThing& thing);
  void EditHotkeys();
  void RestoreSkinSize();
  void BeginModal();
  void EndModal();
  void Push(EngineCommand command);
  void ShowItemTexts();
  bool Dispatch(HWND window, UINT message, WPARAM w, LPARAM l, LRESULT* result);
  void UpdatePresentation();
  void SkinSizeChanged();
  std::string UserIniPath() const;
  std::string SetupIniPath() const;

  Options options_;
  MessageCatalog catalog_;
  HWND main_ = nullptr;
  SkinWindow skin_;
  std::unique_ptr<WindowHotkeyRegistrar> registrar_;
  std::unique_ptr<HotkeySet> hotkeys_;
  std::unique_ptr<WindowFader> fader_;
  TickerDropTarget* drop_target_ = nullptr;  // COM reference held while registered
  std::deque<DroppedThing> drops_;
  bool handling_drops_ = false;
  FadeController fade_;
  GeneralSettings settings_;
  bool settings_applied_ = false;
  std::string skin_name_;  // CP932; empty: no skin
  bool skin_resized_ = false;

  // The headline window's pointer.
  bool hover_ = false;
  bool tracking_leave_ = false;
  bool pressing_ = false;
  bool dragging_ = false;
  POINT press_cursor_ = {};
  POINT press_window_ = {};
  POINT grab_offset_ = {};
  int menu_depth_ = 0;

  // The item waiting for the window thread (ItemShown, engine thread).
  std::mutex item_mutex_;
  std::optional<TickerItem> pending_item_;

  // What the display thread reads (Presentation).
  std::atomic<bool> per_pixel_{false};
  std::atomic<uint32_t> blend_{255};  // alpha, and 0x100 when it is used
};

}  // namespace korvo

#endif  // KORVO_TICKER_WIN_TICKER_WINDOWS_H_
