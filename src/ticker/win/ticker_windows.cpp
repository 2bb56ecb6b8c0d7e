#include "ticker/win/ticker_windows.h"

#include <shellapi.h>
#include <windowsx.h>

#include <optional>
#include <utility>

#include "fetch/fetch_context.h"
#include "ticker/skin.h"
#include "ticker/skin_user_settings.h"
#include "ticker/skin_window_messages.h"
#include "ticker/ticker_drop.h"
#include "ticker/ticker_pointer.h"
#include "ticker/win/drop_host_win.h"
#include "ticker/win/headline_window.h"
#include "ticker/win/ticker_resource_ids.h"

namespace korvo {

namespace msg = main_window_message;
namespace sw = skin_window_message;

namespace {

constexpr int kNotifyMoved = 9;

POINT TopLeft(HWND window) {
  RECT r = {};
  GetWindowRect(window, &r);
  return {r.left, r.top};
}

bool Contains(HWND window, POINT p) {
  RECT r;
  return window != nullptr && IsWindowVisible(window) && GetWindowRect(window, &r) &&
         PtInRect(&r, p);
}

}  // namespace

TickerWindows::TickerWindows(Options options)
    : options_(std::move(options)), catalog_(options_.language_id) {}

TickerWindows::~TickerWindows() { ReleaseParts(); }

std::string TickerWindows::UserIniPath() const {
  return options_.working_folder + "/" + kUserIniName;
}

std::string TickerWindows::SetupIniPath() const { return options_.working_folder + "/setup.ini"; }

void TickerWindows::Push(EngineCommand command) {
  if (options_.push_engine_command) options_.push_engine_command(command);
}

// --- The hooks ---

void TickerWindows::CreateParts(HWND main_window) {
  main_ = main_window;
  SkinWindow::Host host;
  host.push_engine_command = options_.push_engine_command;
  host.notify_plugins = options_.notify_plugins;
  host.open_link_explicitly = options_.open_link_explicitly;
  host.open_listed_link = options_.open_listed_link;
  host.server_port = options_.server_port;
  host.place_plugin = options_.place_plugin;
  host.size_changed = [this] { SkinSizeChanged(); };
  host.moved = [this] {
    // The headline window follows the skin window onto its news box.
    const POINT skin = TopLeft(skin_.hwnd());
    const SkinMargins m = skin_.margins();
    SetWindowPos(main_, nullptr, skin.x + m.left, skin.y + m.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    KeepSkinBelow();
    UpdateTooltipRoom();
  };
  skin_.Create(options_.instance, main_window, std::move(host), options_.working_folder + "/cache");
  DragAcceptFiles(main_window, TRUE);
  registrar_ = std::make_unique<WindowHotkeyRegistrar>(main_window);
  hotkeys_ = std::make_unique<HotkeySet>(registrar_.get());
  hotkeys_->Create(LoadHotkeySettings(SetupIniPath()));
  fader_ = std::make_unique<WindowFader>(options_.instance);
  fader_->SetWindows({skin_.hwnd(), main_window});
  drop_target_ = new TickerDropTarget([this](DroppedThing thing) { QueueDrop(std::move(thing)); });
  drop_target_->Register(main_window);
  drop_target_->Register(skin_.hwnd());
}

POINT TickerWindows::NewsBoxOffset() const {
  const SkinMargins m = skin_.margins();
  return {m.left, m.top};
}

void TickerWindows::ApplyWindowSettings(HWND main_window, const GeneralSettings& settings) {
  main_ = main_window;
  settings_ = settings;
  settings_applied_ = true;
  skin_.SetFlags(settings.flags, settings.tip_flags, settings.multi_monitor != 0);
  // The skin window keeps the headline window's topmost state, so it can lie directly beneath.
  SetWindowPos(skin_.hwnd(),
               (settings.flags & general_flags::kTopmost) != 0 ? HWND_TOPMOST : HWND_NOTOPMOST, 0,
               0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  fade_.set_modes(FadeController::ModesFromFlags(settings.flags));
  fade_.set_alpha(settings.alpha_blend);
  ApplyTranslucency();
  UpdatePresentation();
}

void TickerWindows::LoadSkin(int command, const std::string& name) {
  std::optional<Skin> skin;
  if (command != menu_command::kNoSkin && !name.empty()) {
    skin = korvo::LoadSkin(options_.skin_root, name, UserIniPath());
  }
  skin_resized_ = false;
  const bool loaded = skin_.ApplySkin(std::move(skin), settings_);
  skin_name_ = loaded ? name : std::string();
  const Skin* applied = skin_.skin();
  // With a transparent news box the headline is drawn per pixel with the colour key, so the
  // face shows between the letters: its window must be layered.
  const bool per_pixel = applied != nullptr && applied->def.box_transparent;
  if (per_pixel) {
    SetLayeredStyles(main_, true, (GetWindowLongPtrW(main_, GWL_EXSTYLE) & WS_EX_TRANSPARENT) != 0);
  } else if (!fade_.on()) {
    SetLayeredStyles(main_, false, false);
  }
  if (applied != nullptr) {
    SendMessageW(skin_.hwnd(), sw::kStoreNewsBoxBase,
                 MAKEWPARAM(applied->layout.news_box_base_size().width,
                            applied->layout.news_box_base_size().height),
                 0);
  }
  UpdatePresentation();
  if (options_.skin_applied) options_.skin_applied(applied, skin_.background());
  Layout();
  if (applied != nullptr && options_.plugin_area_changed) {
    options_.plugin_area_changed(applied->layout.PluginArea(applied->def));
  }
}

void TickerWindows::ShowTicker(bool show) {
  if (!fader_) return;
  if (show) {
    fader_->Show();
    KeepSkinBelow();
  } else {
    fader_->Hide();
  }
}

void TickerWindows::SaveWindowSettings(GeneralSettings& settings) {
  if (main_ == nullptr) return;
  const SkinMargins m = skin_.margins();
  settings.x_spacing = static_cast<int32_t>(m.packed_x());
  settings.y_spacing = static_cast<int32_t>(m.packed_y());
  const Skin* skin = skin_.skin();
  if (skin == nullptr) return;  // without a skin the placement holds the ticker's size
  settings.width = skin->layout.size().width;
  settings.height = skin->layout.size().height;
  // The size the user gave the skin, kept per skin in user.ini.
  if (skin_resized_ && skin->layout.resized()) {
    SaveSkinUserSize(UserIniPath(), skin_name_, skin->layout.size().width,
                     skin->layout.size().height);
  }
}

void TickerWindows::ReleaseParts() {
  if (drop_target_ != nullptr) {
    if (main_ != nullptr) TickerDropTarget::Revoke(main_);
    if (skin_.hwnd() != nullptr) TickerDropTarget::Revoke(skin_.hwnd());
    drop_target_->Release();
    drop_target_ = nullptr;
  }
  drops_.clear();
  if (hotkeys_) hotkeys_->Destroy();
  hotkeys_.reset();
  registrar_.reset();
  fader_.reset();
}

// --- Layout ---

void TickerWindows::Layout() {
  if (main_ == nullptr || skin_.hwnd() == nullptr) return;
  RECT main_rect;
  GetWindowRect(main_, &main_rect);
  if (const Skin* skin = skin_.skin()) {
    const SkinMargins m = skin->layout.margins();
    const SkinRect box = skin->layout.news_box();
    const SkinSize size = skin->layout.size();
    const POINT origin = {main_rect.left - m.left, main_rect.top - m.top};
    SetWindowPos(main_, nullptr, main_rect.left, main_rect.top, box.width, box.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    skin_.Place({origin.x, origin.y, origin.x + size.width, origin.y + size.height});
  } else {
    skin_.Place(main_rect);
  }
  KeepSkinBelow();
  UpdateTooltipRoom();
}

void TickerWindows::SkinSizeChanged() {
  skin_resized_ = true;
  Layout();
  const Skin* skin = skin_.skin();
  if (skin != nullptr && options_.plugin_area_changed) {
    options_.plugin_area_changed(skin->layout.PluginArea(skin->def));
  }
  if (options_.skin_applied) options_.skin_applied(skin, skin_.background());
}

void TickerWindows::KeepSkinBelow() {
  if (skin_.hwnd() == nullptr || main_ == nullptr) return;
  SetWindowPos(skin_.hwnd(), main_, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TickerWindows::UpdateTooltipRoom() {
  RECT r;
  if (!GetWindowRect(skin_.hwnd(), &r)) return;
  const TooltipRoom room = ComputeTooltipRoom(r.top, r.bottom, GetSystemMetrics(SM_CYSCREEN));
  skin_.SetTooltipRoom(room.room, room.top);
}

// --- The engine's side ---

void TickerWindows::ItemShown(const TickerItem& item) {
  {
    std::lock_guard<std::mutex> lock(item_mutex_);
    pending_item_ = item;
  }
  if (HWND window = main_) PostMessageW(window, kItemTexts, 0, 0);
}

void TickerWindows::ShowItemTexts() {
  std::optional<TickerItem> item;
  {
    std::lock_guard<std::mutex> lock(item_mutex_);
    item.swap(pending_item_);
  }
  HWND skin_window = skin_.hwnd();
  if (!item || skin_window == nullptr) return;
  const auto text = [](const std::string& s) { return reinterpret_cast<WPARAM>(s.c_str()); };
  SendMessageW(skin_window, sw::kSetSiteName, text(item->site_name),
               static_cast<LPARAM>(text(item->site_link)));
  SendMessageW(skin_window, sw::kSetDescription, text(item->description), 0);
  SendMessageW(skin_window, sw::kSetCreated, text(item->created), 0);
  SendMessageW(skin_window, sw::kSetCategory, text(item->category), 0);
  SendMessageW(skin_window, sw::kSetAuthor, text(item->author), 0);
  SendMessageW(skin_window, sw::kSetTitle, text(item->title), 0);
  // The skin's animation row for the item's state, unless the idle row loops while the ticker
  // waits translucent.
  const Skin* skin = skin_.skin();
  if (skin == nullptr) return;
  if (skin->def.idle_number >= 0 && fade_.TranslucentAndIdle()) return;
  int row = skin->def.old_number;
  if ((item->state & TickerItem::kRead) != 0) {
    row = skin->def.read_number;
  } else if ((item->state & TickerItem::kNew) != 0) {
    row = skin->def.new_number;
  }
  SendMessageW(skin_window, sw::kStopAnimation, 0, 0);
  SendMessageW(skin_window, sw::kStartAnimation, static_cast<WPARAM>(row),
               skin->layout.FrameCount());
}

HeadlinePresentation TickerWindows::Presentation() const {
  HeadlinePresentation p;
  p.per_pixel = per_pixel_.load();
  const uint32_t blend = blend_.load();
  p.blend.alpha = static_cast<uint8_t>(blend & 0xFF);
  p.blend.use_alpha = (blend & 0x100) != 0;
  return p;
}

void TickerWindows::UpdatePresentation() {
  const Skin* skin = skin_.skin();
  const bool box_transparent = skin != nullptr && skin->def.box_transparent;
  const bool idle = fade_.TranslucentAndIdle();
  per_pixel_ = UsePerPixelDrawing(box_transparent, idle);
  const LayeredBlend blend = HeadlineBlend(settings_.flags, fade_.alpha(), !idle);
  blend_ = blend.alpha | (blend.use_alpha ? 0x100u : 0u);
}

// --- Translucency ---

void TickerWindows::SetLayeredStyles(HWND window, bool layered, bool transparent) {
  if (window == nullptr) return;
  LONG_PTR style = GetWindowLongPtrW(window, GWL_EXSTYLE);
  const LONG_PTR wanted = (style & ~static_cast<LONG_PTR>(WS_EX_LAYERED | WS_EX_TRANSPARENT)) |
                          (layered ? WS_EX_LAYERED : 0) | (transparent ? WS_EX_TRANSPARENT : 0);
  if (wanted != style) SetWindowLongPtrW(window, GWL_EXSTYLE, wanted);
}

void TickerWindows::ApplyTranslucency() {
  fade_.Apply();
  const bool on = fade_.on();
  const bool click_through = on && (fade_.modes() & FadeController::kModeHover) != 0;
  const COLORREF key = skin_.colour_key();
  // The skin window stays layered either way: its colour key cuts the face's outline.
  SetLayeredStyles(skin_.hwnd(), true, click_through);
  SetLayeredWindowAttributes(skin_.hwnd(), key, on ? fade_.alpha() : 255,
                             LWA_COLORKEY | (on ? LWA_ALPHA : 0));
  const Skin* skin = skin_.skin();
  const bool per_pixel = skin != nullptr && skin->def.box_transparent;
  SetLayeredStyles(main_, on || per_pixel, click_through);
  RedrawWindow(skin_.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void TickerWindows::FadeIn() {
  const Skin* skin = skin_.skin();
  if (skin != nullptr && skin->def.fade_in_number >= 0) {
    SendMessageW(skin_.hwnd(), sw::kPlayOnce, static_cast<WPARAM>(skin->def.fade_in_number),
                 skin->layout.FrameCount());
  }
  const COLORREF key = skin_.colour_key();
  for (int alpha : TranslucencyFadeSteps(true, fade_.alpha())) {
    SetLayeredWindowAttributes(skin_.hwnd(), key, static_cast<BYTE>(alpha),
                               LWA_COLORKEY | LWA_ALPHA);
    RedrawWindow(main_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  }
  SetLayeredStyles(skin_.hwnd(), true, false);
  const bool per_pixel = skin != nullptr && skin->def.box_transparent;
  SetLayeredStyles(main_, per_pixel, false);
  RedrawWindow(skin_.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  Push(EngineCommand::kShowAgain);
}

void TickerWindows::FadeOut() {
  const Skin* skin = skin_.skin();
  if (skin != nullptr && skin->def.fade_out_number >= 0) {
    SendMessageW(skin_.hwnd(), sw::kPlayOnce, static_cast<WPARAM>(skin->def.fade_out_number),
                 skin->layout.FrameCount());
  }
  const bool click_through = (fade_.modes() & FadeController::kModeHover) != 0;
  SetLayeredStyles(skin_.hwnd(), true, click_through);
  SetLayeredStyles(main_, true, click_through);
  const COLORREF key = skin_.colour_key();
  for (int alpha : TranslucencyFadeSteps(false, fade_.alpha())) {
    SetLayeredWindowAttributes(skin_.hwnd(), key, static_cast<BYTE>(alpha),
                               LWA_COLORKEY | LWA_ALPHA);
    RedrawWindow(main_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  }
  RedrawWindow(skin_.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  if (skin != nullptr && skin->def.idle_number >= 0) {
    SendMessageW(skin_.hwnd(), sw::kStartAnimation, static_cast<WPARAM>(skin->def.idle_number),
                 skin->layout.FrameCount());
  }
  Push(EngineCommand::kShowAgain);
}

void TickerWindows::RunFade(FadeController::Action action) {
  if (action == FadeController::Action::kFadeIn) FadeIn();
  if (action == FadeController::Action::kFadeOut) FadeOut();
}

void TickerWindows::OnTranslucencyTimer() {
  POINT p;
  if (!GetCursorPos(&p)) return;
  const bool inside = Contains(main_, p) || Contains(skin_.hwnd(), p);
  RunFade(fade_.OnTimer(inside, p.x, p.y, static_cast<int64_t>(GetTickCount64())));
}

// --- The headline window's pointer ---

void TickerWindows::SetHeadlineHover(bool hover) {
  if (hover == hover_) return;
  hover_ = hover;
  if (menu_depth_ > 0) return;  // no pause while the ticker menu is open
  Push(hover ? EngineCommand::kPause : EngineCommand::kResume);
}

void TickerWindows::OnHeadlineLeftDown() {
  SetCapture(main_);
  pressing_ = true;
  dragging_ = false;
  GetCursorPos(&press_cursor_);
  press_window_ = TopLeft(main_);
  const POINT skin = TopLeft(skin_.hwnd());
  grab_offset_ = {press_cursor_.x - skin.x, press_cursor_.y - skin.y};
}

void TickerWindows::OnHeadlineMouseMove() {
  if (!tracking_leave_) {
    TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, main_, 0};
    tracking_leave_ = TrackMouseEvent(&track) != FALSE;
  }
  if (!pressing_) {
    SetHeadlineHover(true);
    return;
  }
  POINT cursor;
  GetCursorPos(&cursor);
  if (!dragging_ && cursor.x == press_cursor_.x && cursor.y == press_cursor_.y) return;
  dragging_ = true;
  SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_SIZEALL)));
  MoveBothTo({cursor.x - grab_offset_.x, cursor.y - grab_offset_.y});
}

void TickerWindows::OnHeadlineLeftUp() {
  const bool was_pressing = pressing_;
  pressing_ = false;
  dragging_ = false;
  ReleaseCapture();
  if (!was_pressing) return;
  const POINT now = TopLeft(main_);
  if (IsHeadlineClick({press_window_.x, press_window_.y}, {now.x, now.y})) {
    Push(EngineCommand::kOpenCurrent);
  }
}

void TickerWindows::MoveBothTo(POINT skin_position) {
  RECT r;
  GetWindowRect(skin_.hwnd(), &r);
  const TickerPoint snapped = SnapTickerPosition(
      {skin_position.x, skin_position.y}, r.right - r.left, r.bottom - r.top,
      GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), settings_.multi_monitor != 0);
  if (snapped.x == r.left && snapped.y == r.top) return;
  const SkinMargins m = skin_.margins();
  SetWindowPos(skin_.hwnd(), nullptr, snapped.x, snapped.y, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(main_, nullptr, snapped.x + m.left, snapped.y + m.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  KeepSkinBelow();
  UpdateTooltipRoom();
  if (options_.notify_plugins) options_.notify_plugins(kNotifyMoved);
}

// --- Dialogs and drops ---

void TickerWindows::BeginModal() {
  Push(EngineCommand::kPause);
  fade_.SetState(FadeController::kStateMenu);
  SendMessageW(skin_.hwnd(), sw::kDisableButtons, 1, 0);
  if (!skin_.frozen()) SendMessageW(skin_.hwnd(), sw::kToggleFrozen, 0, 0);
}

void TickerWindows::EndModal() {
  if (skin_.frozen()) SendMessageW(skin_.hwnd(), sw::kToggleFrozen, 0, 0);
  SendMessageW(skin_.hwnd(), sw::kDisableButtons, 0, 0);
  fade_.ClearState(FadeController::kStateMenu);
  Push(EngineCommand::kResume);
}

void TickerWindows::EditHotkeys() {
  if (!hotkeys_) return;
  BeginModal();
  HotkeySettings chosen;
  const int resource = catalog_.DialogResource(IDD_HOTKEY_JAPANESE);
  if (ShowHotkeyDialog(options_.instance, main_, resource, hotkeys_->settings(), &chosen)) {
    hotkeys_->Replace(chosen);
    SaveHotkeySettings(SetupIniPath(), chosen);
  }
  EndModal();
}

void TickerWindows::RestoreSkinSize() {
  if (skin_.skin() == nullptr) return;
  SendMessageW(skin_.hwnd(), sw::kRestoreBaseSize, 0, 0);
  skin_resized_ = false;
  RemoveSkinUserSettings(UserIniPath(), skin_name_);
}

void TickerWindows::OnDropFiles(HDROP drop) {
  wchar_t path[MAX_PATH * 4] = {};
  const UINT length = DragQueryFileW(drop, 0, path, MAX_PATH * 4);
  DragFinish(drop);
  if (length == 0 || length >= MAX_PATH * 4) return;
  DroppedThing thing;
  thing.path = Utf8FromWideText(path);
  QueueDrop(std::move(thing));
}

void TickerWindows::QueueDrop(DroppedThing thing) {
  drops_.push_back(std::move(thing));
  if (main_ != nullptr) PostMessageW(main_, kDropPending, 0, 0);
}

void TickerWindows::HandleDrops() {
  // The questions below run modal loops; a drop arriving meanwhile waits in the queue.
  if (handling_drops_) return;
  handling_drops_ = true;
  while (!drops_.empty()) {
    DroppedThing thing = std::move(drops_.front());
    drops_.pop_front();
    HandleDrop(thing);
  }
  handling_drops_ = false;
}

void TickerWindows::HandleDrop(const DroppedThing& thing) {
  Push(EngineCommand::kPause);
  TickerDropContext context;
  context.working_folder = options_.working_folder;
  context.skin_root = options_.skin_root;
  context.catalog = &catalog_;
  DropHostWin::Functions functions;
  functions.add_skin = [this](const std::string& name) {
    if (options_.add_skin_menu_entry) options_.add_skin_menu_entry(name);
  };
  functions.subscribe = [this](const FeedSummary& summary, const std::string& address) {
    return options_.channels != nullptr &&
           SubscribeDroppedFeed(*options_.channels, main_, summary, address);
  };
  DropHostWin host(options_.instance, main_, FolderContext(options_.working_folder),
                   std::move(functions));
  if (!thing.path.empty()) {
    DropPath(thing.path, context, host);
  } else if (!thing.link.empty()) {
    DropLink(thing.link, context, host);
  }
  Push(EngineCommand::kResume);
}

// --- Messages ---

bool TickerWindows::HandleMessage(HWND window, UINT message, WPARAM w, LPARAM l, LRESULT* result) {
  const bool handled = Dispatch(window, message, w, l, result);
  UpdatePresentation();
  return handled;
}

bool TickerWindows::Dispatch(HWND window, UINT message, WPARAM w, LPARAM l, LRESULT* result) {
  *result = 0;
  switch (message) {
    case kRelayoutMessage:
      // With a skin the skin gives both windows their places and sizes; without one the
      // headline window's own layout (from the font) runs, and the skin window follows it.
      if (skin_.skin() == nullptr) return false;
      Layout();
      if (w != 0) InvalidateRect(skin_.hwnd(), nullptr, FALSE);
      return true;
    case kItemTexts:
      ShowItemTexts();
      return true;
    case msg::kTranslucencyModes:
      fade_.set_modes(FadeController::ModesFromFlags(static_cast<uint32_t>(w)));
      ApplyTranslucency();
      return true;
    case msg::kItemStateFlags:
      RunFade(fade_.OnItem(FadeController::EventFromItemState(static_cast<uint32_t>(w))));
      return true;
    case msg::kTranslucencyValue:
      // The colour key of the skin just applied; the skin window keeps it.
      ApplyTranslucency();
      return true;
    case msg::kTranslucentAndIdle:
      *result = fade_.TranslucentAndIdle() ? 1 : 0;
      return true;
    case msg::kResizeStarts:
      fade_.SetState(FadeController::kStateResize);
      return true;
    case msg::kResizeEnds:
      fade_.ClearState(FadeController::kStateResize);
      return true;
    case msg::kSetAlpha:
      fade_.set_alpha(static_cast<uint8_t>(w & 0xFF));
      settings_.alpha_blend = fade_.alpha();
      ApplyTranslucency();
      return true;
    case msg::kGetAlpha:
      *result = fade_.alpha();
      return true;
    case msg::kTranslucencyState:
      *result = fade_.state() & (FadeController::kStateItem | FadeController::kStateHover);
      return true;
    case msg::kTooltipRoom:
    case msg::kTooltipTop: {
      RECT r = {};
      GetWindowRect(skin_.hwnd(), &r);
      const TooltipRoom room = ComputeTooltipRoom(r.top, r.bottom, GetSystemMetrics(SM_CYSCREEN));
      *result = message == msg::kTooltipRoom ? room.room : room.top;
      return true;
    }
    case WM_DROPFILES:
      OnDropFiles(reinterpret_cast<HDROP>(w));
      return true;
    case kDropPending:
      HandleDrops();
      return true;
    case WM_HOTKEY: {
      const int command = hotkeys_ ? hotkeys_->Handle(static_cast<int>(w)) : -1;
      if (command > 0) SendMessageW(window, WM_COMMAND, static_cast<WPARAM>(command), 0);
      return true;
    }
    case WM_TIMER:
      if (w == main_window_timer::kTranslucency) {
        OnTranslucencyTimer();
        return true;
      }
      return false;
    case WM_COMMAND:
      switch (LOWORD(w)) {
        case menu_command::kOpenSite:
          SendMessageW(skin_.hwnd(), sw::kOpenSiteLink, 0, 0);
          return true;
        case menu_command::kRestoreSkinSize:
          RestoreSkinSize();
          return true;
        case menu_command::kHotkeys:
          EditHotkeys();
          return true;
        default:
          return false;
      }
    case WM_ENTERMENULOOP:
      if (menu_depth_++ == 0) {
        skin_.SetMenuOpen(true);
        fade_.SetState(FadeController::kStateMenu);
        if (!skin_.frozen()) SendMessageW(skin_.hwnd(), sw::kToggleFrozen, 0, 0);
      }
      return false;
    case WM_EXITMENULOOP:
      if (menu_depth_ > 0 && --menu_depth_ == 0) {
        skin_.SetMenuOpen(false);
        fade_.ClearState(FadeController::kStateMenu);
        if (skin_.frozen()) SendMessageW(skin_.hwnd(), sw::kToggleFrozen, 0, 0);
        InvalidateRect(skin_.hwnd(), nullptr, FALSE);
      }
      return false;
    case WM_MOUSEMOVE:
      OnHeadlineMouseMove();
      return true;
    case WM_MOUSELEAVE:
      tracking_leave_ = false;
      if (!pressing_) SetHeadlineHover(false);
      return true;
    case WM_LBUTTONDOWN:
      OnHeadlineLeftDown();
      return true;
    case WM_LBUTTONUP:
      OnHeadlineLeftUp();
      return true;
    case WM_CAPTURECHANGED:
      pressing_ = false;
      dragging_ = false;
      return false;
    case WM_RBUTTONUP:
      PostMessageW(window, msg::kOpenTickerMenu, 0, l);
      return true;
    case WM_SETCURSOR:
      if (LOWORD(l) == HTCLIENT && reinterpret_cast<HWND>(w) == window) {
        SetCursor(
            LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(dragging_ ? IDC_SIZEALL : IDC_HAND)));
        *result = TRUE;
        return true;
      }
      return false;
    case WM_WINDOWPOSCHANGED:
    case WM_ACTIVATE:
      KeepSkinBelow();
      if (message == WM_WINDOWPOSCHANGED) UpdateTooltipRoom();
      return false;
    default:
      return false;
  }
}

}  // namespace korvo
