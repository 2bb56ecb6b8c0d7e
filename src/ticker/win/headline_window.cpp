#include "ticker/win/headline_window.h"

#include <utility>

#include "shell/main_window_ids.h"
#include "ticker/headline_layout.h"
#include "ticker/item_opening.h"
#include "ticker/win/headline_font.h"
#include "ticker/win/wide_text.h"

namespace korvo {

HeadlineWindow::HeadlineWindow(std::shared_ptr<TickerLists> lists, std::string working_folder)
    : lists_(std::move(lists)), working_folder_(std::move(working_folder)) {}

void HeadlineWindow::ApplySettings(const GeneralSettings& settings) {
  const HeadlineStyle skin_part = style_;
  user_style_ = HeadlineStyle::FromSettings(settings);
  style_ = user_style_;
  if (skin_part.skin_loaded) {
    style_.skin_loaded = true;
    style_.skin_colours = skin_part.skin_colours;
    style_.effect = skin_part.effect;
    style_.hold_ms = skin_part.hold_ms;
    style_.add_desc = skin_part.add_desc;
    style_.antialias = skin_part.antialias;
    style_.back_colour = skin_part.back_colour;
  }
  if (engine_) engine_->SetStyle(style_);
  {
    std::lock_guard<std::mutex> lock(browser_mutex_);
    browser_.flags = settings.flags;
    browser_.path = settings.browser_path;
    browser_.option = settings.browser_option;
  }
  Layout();
}

BrowserSettings HeadlineWindow::browser() const {
  std::lock_guard<std::mutex> lock(browser_mutex_);
  return browser_;
}

void HeadlineWindow::SetSkin(const Skin* skin, uint32_t background) {
  style_ = user_style_;
  if (skin != nullptr) {
    style_.skin_loaded = true;
    style_.skin_colours = {skin->def.new_colour, skin->def.read_colour, skin->def.old_colour};
    style_.effect = skin->effect;
    style_.hold_ms = static_cast<uint32_t>(skin->hold_time > 0 ? skin->hold_time : 0);
    style_.add_desc = skin->def.add_desc;
    style_.antialias = skin->def.antialias;
    style_.back_colour = background & 0xFFFFFFu;
  }
  if (engine_) engine_->SetStyle(style_);
  if (HWND window = hwnd()) InvalidateRect(window, nullptr, TRUE);
}

void HeadlineWindow::Layout() {
  HWND window = hwnd();
  if (window == nullptr || style_.skin_loaded) return;
  HDC dc = GetDC(window);
  if (dc == nullptr) return;
  HFONT font = CreateHeadlineFont(style_, style_.font_size);
  SIZE size = {};
  if (font != nullptr) {
    HGDIOBJ old = SelectObject(dc, font);
    const std::wstring sample = WideText(kHeightSample);
    GetTextExtentPoint32W(dc, sample.c_str(), static_cast<int>(sample.size()), &size);
    SelectObject(dc, old);
    DeleteObject(font);
  }
  ReleaseDC(window, dc);
  if (size.cy <= 0) return;
  layout_height_ = NoSkinHeadlineHeight(size.cy, style_.flags);
  RECT r;
  if (!GetWindowRect(window, &r)) return;
  const int width = r.right - r.left;
  const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
  SetWindowPos(window, nullptr, 0, 0, width, layout_height_, flags);
  if (HWND skin = skin_window_ ? skin_window_() : nullptr) {
    SetWindowPos(skin, nullptr, 0, 0, width, layout_height_, flags);
  }
  InvalidateRect(window, nullptr, TRUE);
}

void HeadlineWindow::PaintBackground(HDC dc) {
  RECT client;
  GetClientRect(hwnd(), &client);
  HBRUSH brush = CreateSolidBrush(style_.back_colour & 0xFFFFFFu);
  if (brush == nullptr) return;
  FillRect(dc, &client, brush);
  DeleteObject(brush);
}

void HeadlineWindow::Push(EngineCommand command) {
  if (engine_) engine_->Push(static_cast<uint8_t>(command));
}

void HeadlineWindow::OpenNewsItem(size_t index) {
  const TickerSnapshot snapshot = lists_->Snapshot();
  if (index >= snapshot.items.size()) return;
  const TickerItem& item = snapshot.items[index];
  if (item.names_record()) {
    OpenItemById(*lists_, working_folder_, item.id, platform::LocalNow());
  }
  OpenInBrowser(item.link, browser());
}

bool HeadlineWindow::HandleMessage(HWND window, UINT message, WPARAM w, LPARAM /*l*/,
                                   LRESULT* result) {
  if (window != hwnd()) return false;
  switch (message) {
    case kRelayoutMessage:
      Layout();
      *result = 0;
      return true;
    case WM_ERASEBKGND:
      PaintBackground(reinterpret_cast<HDC>(w));
      *result = 1;
      return true;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      if (dc != nullptr) {
        if (paint.fErase) PaintBackground(dc);
        EndPaint(window, &paint);
      }
      *result = 0;
      return true;
    }
    case WM_COMMAND: {
      const int command = LOWORD(w);
      switch (command) {
        case menu_command::kNextItem:
          Push(EngineCommand::kNext);
          break;
        case menu_command::kPreviousItem:
          Push(EngineCommand::kPrevious);
          break;
        case menu_command::kOpenInBrowser:
          Push(EngineCommand::kOpenCurrent);
          break;
        case menu_command::kCopyUrl:
          Push(EngineCommand::kCopyUrl);
          break;
        default:
          if (command >= menu_command::kFirstNewsItem && command <= menu_command::kLastNewsItem) {
            OpenNewsItem(static_cast<size_t>(command - menu_command::kFirstNewsItem));
            break;
          }
          return false;
      }
      *result = 0;
      return true;
    }
    default:
      return false;
  }
}

}  // namespace korvo
