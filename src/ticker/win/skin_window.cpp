#include "ticker/win/skin_window.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "shell/text_limit.h"
#include "ticker/skin_button.h"
#include "ticker/skin_window_messages.h"
#include "ticker/ticker_tooltip.h"

namespace korvo {

namespace sw = skin_window_message;
namespace mwm = main_window_message;

namespace {

constexpr wchar_t kClass[] = L"DrawString";
constexpr COLORREF kInitialKey = RGB(255, 0, 255);
constexpr size_t kMaxItemText = 65536;  // longest text taken from a message
constexpr int kNotifyMoved = 9;
constexpr int kNotifyOpenSite = 14;
constexpr int kNotifyOpenedSite = 15;

SkinWindow* From(HWND window) {
  return reinterpret_cast<SkinWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

RECT Rect(const SkinRect& r) { return {r.x, r.y, r.right(), r.bottom()}; }

}  // namespace

SkinWindow::~SkinWindow() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
}

bool SkinWindow::RegisterWindowClass(HINSTANCE instance) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExW(instance, kClass, &wc)) return true;
  wc = {};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = &SkinWindow::WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.lpszClassName = kClass;
  return RegisterClassExW(&wc) != 0;
}

bool SkinWindow::Create(HINSTANCE instance, HWND headline, Host host,
                        const std::string& cache_folder) {
  if (hwnd_ != nullptr || !RegisterWindowClass(instance)) return false;
  instance_ = instance;
  headline_ = headline;
  host_ = std::move(host);
  icons_ = std::make_unique<SiteIconList>(instance, cache_folder);
  HWND window =
      CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_LAYERED, kClass, L"", WS_POPUP | WS_CLIPCHILDREN, 0,
                      0, 0, 0, nullptr, nullptr, instance, this);
  if (window == nullptr) return false;
  SetLayeredWindowAttributes(window, kInitialKey, 255, LWA_COLORKEY);
  DragAcceptFiles(window, TRUE);
  CreateTooltip();
  ShowWindow(window, SW_SHOWNA);
  return true;
}

LRESULT CALLBACK SkinWindow::WindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  SkinWindow* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<SkinWindow*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    if (self != nullptr) self->hwnd_ = window;
  } else {
    self = From(window);
  }
  if (self == nullptr) return DefWindowProcW(window, message, w, l);
  const LRESULT result = self->Handle(message, w, l);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    self->tooltip_ = nullptr;
    self->buttons_.clear();
  }
  return result;
}

LRESULT SkinWindow::Handle(UINT message, WPARAM w, LPARAM l) {
  LRESULT result = 0;
  if (message >= sw::kStartAnimation && message <= sw::kScreenSize &&
      HandleSkinMessage(message, w, l, &result)) {
    return result;
  }
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      if (!animation_.frozen()) Paint(dc);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_TIMER:
      if (w == skin_window_timer::kAnimation) {
        ApplyAnimationStep(animation_.LoopTick());
      } else if (w == skin_window_timer::kOneShot) {
        const SkinAnimation::Step step = animation_.OneShotTick();
        ApplyAnimationStep(step);
        if (step.end_one_shot) PostMessageW(hwnd_, sw::kEndOneShot, 0, 0);
      }
      return 0;
    case WM_WINDOWPOSCHANGING: {
      // Always directly beneath the headline window.
      auto* pos = reinterpret_cast<WINDOWPOS*>(l);
      if (headline_ != nullptr && (pos->flags & SWP_NOZORDER) == 0) {
        pos->hwndInsertAfter = headline_;
      }
      return 0;
    }
    case WM_MOUSEMOVE:
      OnMouseMove({GET_X_LPARAM(l), GET_Y_LPARAM(l)});
      return 0;
    case WM_MOUSELEAVE:
      tracking_leave_ = false;
      if (press_ == Press::kNone) SetHover(false);
      return 0;
    case WM_LBUTTONDOWN:
      OnLeftDown({GET_X_LPARAM(l), GET_Y_LPARAM(l)});
      return 0;
    case WM_LBUTTONUP:
      OnLeftUp({GET_X_LPARAM(l), GET_Y_LPARAM(l)});
      return 0;
    case WM_CAPTURECHANGED:
      if (press_ == Press::kResize) EndResize(false);
      press_ = Press::kNone;
      return 0;
    case WM_RBUTTONUP: {
      POINT p = {GET_X_LPARAM(l), GET_Y_LPARAM(l)};
      ClientToScreen(hwnd_, &p);
      ScreenToClient(headline_, &p);
      PostMessageW(headline_, mwm::kOpenTickerMenu, 0, MAKELPARAM(p.x, p.y));
      SetForegroundWindow(headline_);
      return 0;
    }
    case WM_SETCURSOR:
      if (LOWORD(l) == HTCLIENT && reinterpret_cast<HWND>(w) == hwnd_) {
        POINT p;
        GetCursorPos(&p);
        ScreenToClient(hwnd_, &p);
        LPCWSTR cursor = IDC_ARROW;
        RECT r;
        GetClientRect(hwnd_, &r);
        const TickerGrip grip =
            skin_ ? GripAt(p.x, p.y, r.right, r.bottom, skin_->def.grip_x, skin_->def.grip_y)
                  : TickerGrip::kNone;
        if (press_ == Press::kDrag && moved_) {
          cursor = IDC_SIZEALL;
        } else if (grip == TickerGrip::kHorizontal || grip_ == TickerGrip::kHorizontal) {
          cursor = IDC_SIZEWE;
        } else if (grip == TickerGrip::kVertical || grip_ == TickerGrip::kVertical) {
          cursor = IDC_SIZENS;
        } else if (InNewsBox(p)) {
          cursor = IDC_HAND;
        }
        SetCursor(LoadCursorW(nullptr, cursor));
        return TRUE;
      }
      break;
    case WM_DROPFILES:
      // The headline window installs skins and subscribes feeds.
      PostMessageW(headline_, WM_DROPFILES, w, l);
      return 0;
    case WM_COMMAND: {
      const int id = LOWORD(w);
      // An owner-drawn button reports the second of two quick clicks as a double click: it is
      // a click like the first (two quick "next" clicks step twice).
      const int code = HIWORD(w);
      if (id >= kFirstSkinButtonId && id <= kLastSkinButtonId &&
          (code == BN_CLICKED || code == BN_DOUBLECLICKED)) {
        RunButton(id - kFirstSkinButtonId);
        return 0;
      }
      break;
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(l);
      if (item->CtlType == ODT_BUTTON) {
        DrawButton(*item);
        return TRUE;
      }
      break;
    }
    case WM_NOTIFY:
      if (tooltip_ != nullptr && reinterpret_cast<NMHDR*>(l)->hwndFrom == tooltip_) {
        return OnTooltipNotify(reinterpret_cast<NMHDR*>(l));
      }
      break;
    case WM_CLOSE:
      DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY:
      KillTimer(hwnd_, skin_window_timer::kAnimation);
      KillTimer(hwnd_, skin_window_timer::kOneShot);
      if (tooltip_ != nullptr) DestroyWindow(tooltip_);
      tooltip_ = nullptr;
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, w, l);
}

bool SkinWindow::HandleSkinMessage(UINT message, WPARAM w, LPARAM l, LRESULT* result) {
  const auto text = [](WPARAM p) {
    return ReadMessageText(reinterpret_cast<const void*>(p), kMaxItemText);
  };
  const auto repaint = [this] {
    if (!animation_.frozen()) InvalidateRect(hwnd_, nullptr, FALSE);
  };
  const auto give = [result](const std::string& s, WPARAM ask) {
    *result = ask != 0 ? reinterpret_cast<LRESULT>(s.c_str()) : 0;
  };
  *result = 0;
  switch (message) {
    case sw::kStartAnimation:
      ApplyAnimationStep(animation_.Start(static_cast<int>(w), static_cast<int>(l)));
      return true;
    case sw::kStopAnimation:
      ApplyAnimationStep(animation_.Stop(w != 0));
      return true;
    case sw::kPauseAnimation:
      ApplyAnimationStep(animation_.Pause());
      return true;
    case sw::kResumeAnimation:
      ApplyAnimationStep(animation_.Resume());
      return true;
    case sw::kSetSiteName:
      site_name_ = text(w);
      site_link_ = ReadMessageText(reinterpret_cast<const void*>(l), kMaxItemText);
      repaint();
      return true;
    case sw::kCreateSiteFont:
    case sw::kCreateDescFont: {
      const std::string face =
          TruncateCp932(ReadMessageText(reinterpret_cast<const void*>(l), kSkinFaceNameSize),
                        kSkinFaceNameSize - 1);
      HFONT font = CreateTextFont(LOWORD(w), HIWORD(w) != 0, face);
      (message == sw::kCreateSiteFont ? site_font_ : desc_font_).Reset(font);
      repaint();
      return true;
    }
    case sw::kOpenSiteLink:
      OpenSiteLink();
      return true;
    case sw::kSetDescription:
      description_ = text(w);
      repaint();
      return true;
    case sw::kGetDescription:
      give(description_, w);
      return true;
    case sw::kGetSiteName:
      give(site_name_, w);
      return true;
    case sw::kSetCreated:
      created_ = text(w);
      return true;
    case sw::kGetCreated:
      give(created_, w);
      return true;
    case sw::kSetCategory:
      category_ = text(w);
      return true;
    case sw::kGetCategory:
      give(category_, w);
      return true;
    case sw::kSetAuthor:
      author_ = text(w);
      return true;
    case sw::kGetAuthor:
      give(author_, w);
      return true;
    case sw::kGetTitle:
      give(title_, w);
      return true;
    case sw::kSetTitle:
      title_ = text(w);
      return true;
    case sw::kDisableButtons:
      SetButtonsDisabled(w != 0);
      return true;
    case sw::kPlayOnce: {
      SkinAnimation::Step step = animation_.PlayOnce(static_cast<int>(w), static_cast<int>(l));
      ApplyAnimationStep(step);
      return true;
    }
    case sw::kEndOneShot:
      ApplyAnimationStep(animation_.EndOneShot());
      return true;
    case sw::kToggleFrozen:
      ApplyAnimationStep(animation_.ToggleFrozen());
      return true;
    case sw::kRestoreBaseSize:
      if (skin_) {
        skin_->layout.Restore();
        SizeChanged();
      }
      return true;
    case sw::kStoreNewsBoxBase:
      if (skin_) skin_->layout.SetNewsBoxBaseSize(LOWORD(w), HIWORD(w));
      return true;
    case sw::kPlacePlugin:
      *result = host_.place_plugin && host_.place_plugin(reinterpret_cast<void*>(w)) ? 1 : 0;
      return true;
    case sw::kResizeNewsBox:
      if (skin_) {
        skin_->layout.ResizeNewsBox(static_cast<int>(w), static_cast<int>(l));
        SizeChanged();
      }
      return true;
    case sw::kOpenLink:
      *result = host_.open_listed_link ? host_.open_listed_link(text(w)) : -1;
      return true;
    case sw::kToggleFold:
      if (skin_) {
        skin_->layout.ToggleFold();
        SizeChanged();
      }
      return true;
    case sw::kGetServerPort: {
      auto* target = reinterpret_cast<uint16_t*>(l);
      if (IsWritableBuffer(target, sizeof *target)) {
        *target = host_.server_port ? host_.server_port() : 0;
        *result = 1;
      }
      return true;
    }
    case sw::kToggleTray:
      PostMessageW(headline_, WM_COMMAND, menu_command::kToggleTray, 0);
      return true;
    case sw::kScreenSize:
      return true;  // the snapping asks the system for the screen when it needs it
    default:
      return false;
  }
}

void SkinWindow::ApplyAnimationStep(const SkinAnimation::Step& step) {
  const UINT interval = skin_ ? static_cast<UINT>(std::max(16, skin_->def.interval)) : 500;
  if (step.loop == SkinAnimation::Timer::kStart) {
    SetTimer(hwnd_, skin_window_timer::kAnimation, interval, nullptr);
  } else if (step.loop == SkinAnimation::Timer::kStop) {
    KillTimer(hwnd_, skin_window_timer::kAnimation);
  }
  if (step.one_shot == SkinAnimation::Timer::kStart) {
    SetTimer(hwnd_, skin_window_timer::kOneShot, interval, nullptr);
  } else if (step.one_shot == SkinAnimation::Timer::kStop) {
    KillTimer(hwnd_, skin_window_timer::kOneShot);
  }
  if (step.repaint && !animation_.frozen()) InvalidateRect(hwnd_, nullptr, FALSE);
  if (step.draw_frame) DrawFrameNow();
}

// --- Skin ---

bool SkinWindow::ApplySkin(std::optional<Skin> skin, const GeneralSettings& settings) {
  DestroyButtons();
  painter_.Clear();
  face_copy_.Reset();
  skin_.reset();
  flags_ = settings.flags;
  system_major_ = static_cast<int>(settings.system_major);
  back_colour_ = settings.back_color;
  background_ = settings.back_color;
  ApplyAnimationStep(animation_.Stop(true));
  bool ok = false;
  if (skin) {
    bool button_images = false;
    if (painter_.Load(*skin, settings.over_back_color != 0, settings.back_color, &button_images)) {
      if (!button_images) skin->buttons.clear();
      button_images_ = button_images;
      skin_ = std::move(skin);
      ok = true;
    }
  }
  if (skin_) {
    const SkinDefinition& s = skin_->def;
    SetLayeredWindowAttributes(hwnd_, s.colour_key, 255, LWA_COLORKEY);
    if (s.site_width != 0) {
      site_font_.Reset(CreateTextFont(s.site_height, s.site_bold_off, s.site_font_name));
    }
    if (s.desc_width != 0) {
      desc_font_.Reset(CreateTextFont(s.desc_font_size, s.desc_bold_off, s.desc_font_name));
    }
    background_ = painter_.SampleBackground(skin_->layout);
    CreateButtons();
  } else {
    SetLayeredWindowAttributes(hwnd_, kInitialKey, 255, LWA_COLORKEY);
    site_font_.Reset();
    desc_font_.Reset();
  }
  UpdateTooltipTools();
  InvalidateRect(hwnd_, nullptr, FALSE);
  return ok;
}

SkinMargins SkinWindow::margins() const { return skin_ ? skin_->layout.margins() : SkinMargins(); }

COLORREF SkinWindow::colour_key() const { return skin_ ? skin_->def.colour_key : kInitialKey; }

void SkinWindow::SetFlags(uint32_t flags, uint32_t tip_flags, bool multi_monitor) {
  flags_ = flags;
  tip_flags_ = tip_flags == 0 ? tip_flag::kAll : tip_flags;
  multi_monitor_ = multi_monitor;
}

void SkinWindow::SetTooltipRoom(int room, int top) {
  tooltip_room_ = room;
  tooltip_top_ = top;
}

void SkinWindow::SetButtonsDisabled(bool disabled) {
  buttons_disabled_ = disabled;
  for (const Button& b : buttons_) EnableWindow(b.window, disabled ? FALSE : TRUE);
}

void SkinWindow::Place(const RECT& rect) {
  const SIZE size = {rect.right - rect.left, rect.bottom - rect.top};
  SetWindowPos(hwnd_, headline_, rect.left, rect.top, size.cx, size.cy, SWP_NOACTIVATE);
  if (skin_) {
    // The face at this size, behind masked buttons.
    face_copy_.Reset(CreateDib32(size.cx, size.cy, nullptr));
    MemoryDc dc;
    dc.Select(face_copy_.get());
    painter_.PaintFace(dc.get(), skin_->layout, 0, 0);
    LayoutChildren();
  }
  UpdateTooltipTools();
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void SkinWindow::SizeChanged() {
  if (host_.size_changed) {
    host_.size_changed();
  } else if (skin_) {
    RECT r;
    GetWindowRect(hwnd_, &r);
    Place(
        {r.left, r.top, r.left + skin_->layout.size().width, r.top + skin_->layout.size().height});
  }
}

HFONT SkinWindow::CreateTextFont(int height, bool bold_off, const std::string& face) const {
  LOGFONTW lf = {};
  lf.lfHeight = height;
  lf.lfWeight = bold_off ? FW_NORMAL : 700;
  lf.lfCharSet = DEFAULT_CHARSET;
  std::wstring name = WideText(face);
  if (name.empty()) {
    if (system_major_ >= 6) {
      name = L"meiryo";
    } else {
      lf.lfQuality = NONANTIALIASED_QUALITY;
      lf.lfPitchAndFamily = 0x22;
    }
  }
  lstrcpynW(lf.lfFaceName, name.c_str(), LF_FACESIZE);
  HFONT font = CreateFontIndirectW(&lf);
  if (font == nullptr) {
    lf.lfHeight = std::clamp(height, 9, 72);
    lf.lfCharSet = OEM_CHARSET;
    lf.lfFaceName[0] = L'\0';
    font = CreateFontIndirectW(&lf);
  }
  return font;
}

// --- Painting ---

void SkinWindow::Paint(HDC dc) {
  RECT client;
  GetClientRect(hwnd_, &client);
  if (client.right <= 0 || client.bottom <= 0) return;
  MemoryDc buffer(dc);
  GdiHandle<HBITMAP> surface(CreateCompatibleBitmap(dc, client.right, client.bottom));
  if (!surface || buffer.get() == nullptr) return;
  buffer.Select(surface.get());
  if (skin_) {
    painter_.PaintFace(buffer.get(), skin_->layout, animation_.row(), animation_.frame());
    PaintTexts(buffer.get());
  } else {
    HBRUSH brush = CreateSolidBrush(background_);
    FillRect(buffer.get(), &client, brush);
    DeleteObject(brush);
  }
  BitBlt(dc, 0, 0, client.right, client.bottom, buffer.get(), 0, 0, SRCCOPY);
}

void SkinWindow::PaintTexts(HDC dc) {
  const SkinDefinition& s = skin_->def;
  const SkinLayout& layout = skin_->layout;
  SetBkMode(dc, TRANSPARENT);
  if (s.site_width != 0 && !site_name_.empty()) {
    RECT r = Rect(layout.Place(s.site_x, s.site_y, s.site_width, s.site_height));
    HGDIOBJ old = site_font_ ? SelectObject(dc, site_font_.get()) : nullptr;
    SetTextColor(dc, s.site_colour);
    const std::wstring text = WideText(site_name_);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_SINGLELINE | DT_WORD_ELLIPSIS | DT_NOPREFIX | DT_VCENTER);
    if (old != nullptr) SelectObject(dc, old);
  }
  if (s.desc_width != 0 && !description_.empty()) {
    RECT r = Rect(layout.Place(s.desc_x, s.desc_y, s.desc_width, s.desc_height));
    HGDIOBJ old = desc_font_ ? SelectObject(dc, desc_font_.get()) : nullptr;
    SetTextColor(dc, s.desc_colour);
    const std::wstring text = WideText(description_);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL | DT_END_ELLIPSIS);
    if (old != nullptr) SelectObject(dc, old);
  }
  if (s.icon && !site_link_.empty() && icons_) {
    const SkinRect r = layout.Place(s.icon_x, s.icon_y, s.icon_width, s.icon_height);
    const COLORREF face = GetPixel(dc, r.x, r.y);
    icons_->Draw(dc, site_link_, r, s.blend, face == CLR_INVALID ? 0 : face);
  }
}

void SkinWindow::DrawFrameNow() {
  if (animation_.frozen() || hwnd_ == nullptr) return;
  HDC dc = GetDC(hwnd_);
  if (dc == nullptr) return;
  Paint(dc);
  ReleaseDC(hwnd_, dc);
}

// --- Buttons ---

void SkinWindow::CreateButtons() {
  if (!skin_ || !button_images_) return;
  for (const SkinButtonDefinition& def : skin_->buttons) {
    const SkinRect r = SkinButtonRect(def, skin_->def, skin_->layout);
    HWND button = CreateWindowExW(
        0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, r.x, r.y, r.width, r.height, hwnd_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstSkinButtonId + def.number)), instance_,
        nullptr);
    if (button == nullptr) continue;
    buttons_.push_back({def, button, false});
  }
  // Subclassed once the vector no longer moves: the procedure finds its entry by index.
  for (size_t i = 0; i < buttons_.size(); ++i) {
    SetWindowSubclass(buttons_[i].window, &SkinWindow::ButtonProc, i,
                      reinterpret_cast<DWORD_PTR>(this));
    EnableWindow(buttons_[i].window, buttons_disabled_ ? FALSE : TRUE);
  }
}

void SkinWindow::DestroyButtons() {
  for (const Button& b : buttons_) {
    RemoveWindowSubclass(b.window, &SkinWindow::ButtonProc, 0);
    DestroyWindow(b.window);
  }
  buttons_.clear();
}

void SkinWindow::LayoutChildren() {
  if (!skin_) return;
  for (const Button& b : buttons_) {
    const SkinRect r = SkinButtonRect(b.def, skin_->def, skin_->layout);
    SetWindowPos(b.window, nullptr, r.x, r.y, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(b.window, nullptr, FALSE);
  }
}

LRESULT CALLBACK SkinWindow::ButtonProc(HWND button, UINT message, WPARAM w, LPARAM l, UINT_PTR id,
                                        DWORD_PTR data) {
  auto* self = reinterpret_cast<SkinWindow*>(data);
  if (self != nullptr && id < self->buttons_.size() && self->buttons_[id].window == button) {
    Button& b = self->buttons_[id];
    if (message == WM_MOUSEMOVE && !b.hot) {
      b.hot = true;
      TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, button, 0};
      TrackMouseEvent(&track);
      InvalidateRect(button, nullptr, FALSE);
    } else if (message == WM_MOUSELEAVE) {
      b.hot = false;
      InvalidateRect(button, nullptr, FALSE);
    } else if (message == WM_ERASEBKGND) {
      return 1;
    }
  }
  return DefSubclassProc(button, message, w, l);
}

void SkinWindow::DrawButton(const DRAWITEMSTRUCT& item) {
  if (!skin_) return;
  const int index = static_cast<int>(item.CtlID) - kFirstSkinButtonId;
  const Button* button = nullptr;
  for (const Button& b : buttons_) {
    if (b.def.number == index) button = &b;
  }
  HDC images = painter_.buttons_dc();
  if (button == nullptr || images == nullptr) return;
  SkinButtonState state = SkinButtonState::kNormal;
  if ((item.itemState & ODS_SELECTED) != 0) {
    state = SkinButtonState::kPressed;
  } else if (button->hot && !buttons_disabled_) {
    state = SkinButtonState::kHot;
  }
  const SkinButtonImage image = SkinButtonImageFor(button->def, skin_->def, state);
  const RECT& r = item.rcItem;
  const int w = r.right - r.left;
  const int h = r.bottom - r.top;
  if (image.mask.width > 0 || skin_->def.button_transparent) {
    // The face behind the button first, from the copy drawn at the current size.
    const SkinRect at = SkinButtonRect(button->def, skin_->def, skin_->layout);
    MemoryDc face(item.hDC);
    if (face_copy_) {
      face.Select(face_copy_.get());
      BitBlt(item.hDC, r.left, r.top, w, h, face.get(), at.x, at.y, SRCCOPY);
    }
  }
  if (image.mask.width > 0) {
    BitBlt(item.hDC, r.left, r.top, w, h, images, image.mask.x, image.mask.y, SRCAND);
    BitBlt(item.hDC, r.left, r.top, w, h, images, image.mask.x, image.mask.y, MERGEPAINT);
    BitBlt(item.hDC, r.left, r.top, w, h, images, image.image.x, image.image.y, SRCAND);
  } else {
    BitBlt(item.hDC, r.left, r.top, w, h, images, image.image.x, image.image.y, SRCCOPY);
  }
}

void SkinWindow::RunButton(int number) {
  if (buttons_disabled_ || !skin_) return;
  const Button* button = nullptr;
  for (const Button& b : buttons_) {
    if (b.def.number == number) button = &b;
  }
  if (button == nullptr) return;
  SetForegroundWindow(headline_);
  const SkinButtonAction action = SkinButtonActionFor(button->def.action);
  switch (action.kind) {
    case SkinButtonAction::kPostCommand:
      PostMessageW(headline_, WM_COMMAND, static_cast<WPARAM>(action.command), 0);
      break;
    case SkinButtonAction::kSendCommand:
      SendMessageW(headline_, WM_COMMAND, static_cast<WPARAM>(action.command), 0);
      break;
    case SkinButtonAction::kTickerMenu: {
      RECT r;
      GetWindowRect(button->window, &r);
      POINT p = {r.left, r.bottom};
      ScreenToClient(headline_, &p);
      PostMessageW(headline_, mwm::kOpenTickerMenu, 0, MAKELPARAM(p.x, p.y));
      break;
    }
    case SkinButtonAction::kOpenParam:
      if (host_.open_link_explicitly && !button->def.param.empty()) {
        host_.open_link_explicitly(button->def.param);
      }
      break;
    case SkinButtonAction::kFold:
      SendMessageW(hwnd_, sw::kToggleFold, 0, 0);
      break;
    case SkinButtonAction::kNothing:
      break;
  }
}

void SkinWindow::OpenSiteLink() {
  if (site_link_.empty()) return;
  if (host_.notify_plugins && host_.notify_plugins(kNotifyOpenSite) == -1) return;
  if (host_.open_link_explicitly) host_.open_link_explicitly(site_link_);
  if (host_.notify_plugins) host_.notify_plugins(kNotifyOpenedSite);
}

// --- Tooltips ---

void SkinWindow::CreateTooltip() {
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP | TTS_BALLOON, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance_,
                             nullptr);
  if (tooltip_ == nullptr) return;
  SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, kTooltipMaxWidth);
  SendMessageW(tooltip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, kTooltipShowMs);
  SendMessageW(tooltip_, TTM_SETDELAYTIME, TTDT_INITIAL, 0);
  SendMessageW(tooltip_, TTM_SETDELAYTIME, TTDT_RESHOW, 0);
  for (HWND window : {hwnd_, headline_}) {
    TTTOOLINFOW tool = {};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd_;
    tool.uId = reinterpret_cast<UINT_PTR>(window);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void SkinWindow::UpdateTooltipTools() {
  if (tooltip_ == nullptr) return;
  for (const Button& b : buttons_) {
    if (b.def.tooltip.empty()) continue;
    const std::wstring text = WideText(b.def.tooltip);
    TTTOOLINFOW tool = {};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd_;
    tool.uId = reinterpret_cast<UINT_PTR>(b.window);
    tool.lpszText = const_cast<wchar_t*>(text.c_str());  // copied by the control
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

std::string SkinWindow::TooltipText(uint32_t flags) const {
  TooltipParts parts;
  parts.site_name = site_name_;
  parts.category = category_;
  parts.title = title_;
  parts.author = author_;
  parts.created = created_;
  parts.description = description_;
  return BuildTickerTooltip(parts, flags);
}

LRESULT SkinWindow::OnTooltipNotify(NMHDR* header) {
  if (header->code == TTN_GETDISPINFOW) {
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
    const bool headline = info->hdr.idFrom == reinterpret_cast<UINT_PTR>(headline_);
    tooltip_text_ = WideText(TooltipText(headline ? tip_flags_ : tip_flag::kAll));
    info->lpszText = &tooltip_text_[0];
    return 0;
  }
  if (header->code == TTN_SHOW) {
    RECT r;
    GetWindowRect(tooltip_, &r);
    const TooltipFit fit = FitTooltip(r.bottom - r.top, {tooltip_room_, tooltip_top_});
    if (fit.cut) {
      SetWindowPos(tooltip_, HWND_TOPMOST, r.left, fit.top, r.right - r.left, fit.height,
                   SWP_NOACTIVATE);
      return TRUE;
    }
    if (TooltipMadeTopmost(flags_)) {
      SetWindowPos(tooltip_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    return 0;
  }
  return 0;
}

// --- Pointer ---

bool SkinWindow::InNewsBox(POINT client) const {
  if (!skin_) {
    RECT r;
    GetClientRect(hwnd_, &r);
    return PtInRect(&r, client) != FALSE;
  }
  return skin_->layout.news_box().Contains(client.x, client.y);
}

void SkinWindow::SetHover(bool hover) {
  if (hover == hover_) return;
  hover_ = hover;
  if (menu_open_ || !host_.push_engine_command) return;
  host_.push_engine_command(hover ? EngineCommand::kPause : EngineCommand::kResume);
}

void SkinWindow::OnLeftDown(POINT client) {
  SetCapture(hwnd_);
  press_point_ = client;
  press_time_ = GetTickCount64();
  moved_ = false;
  RECT r;
  GetClientRect(hwnd_, &r);
  grip_ = skin_
              ? GripAt(client.x, client.y, r.right, r.bottom, skin_->def.grip_x, skin_->def.grip_y)
              : TickerGrip::kNone;
  if (grip_ != TickerGrip::kNone && skin_ && skin_->def.variable_size >= 0 &&
      skin_->def.variable_size <= 2) {
    press_ = Press::kResize;
    SendMessageW(headline_, mwm::kResizeStarts, 0, 0);
    if (host_.push_engine_command) host_.push_engine_command(EngineCommand::kPause);
    GetWindowRect(hwnd_, &outline_);
    DrawOutline();
    return;
  }
  grip_ = TickerGrip::kNone;
  if (InNewsBox(client)) {
    press_ = Press::kNewsBox;
    return;
  }
  press_ = Press::kDrag;
  grab_offset_ = client;
}

void SkinWindow::OnMouseMove(POINT client) {
  if (!tracking_leave_) {
    TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, hwnd_, 0};
    tracking_leave_ = TrackMouseEvent(&track) != FALSE;
  }
  switch (press_) {
    case Press::kDrag: {
      if (client.x == press_point_.x && client.y == press_point_.y && !moved_) return;
      moved_ = true;
      SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_SIZEALL)));
      POINT cursor;
      GetCursorPos(&cursor);
      MoveTo({cursor.x - grab_offset_.x, cursor.y - grab_offset_.y});
      return;
    }
    case Press::kResize: {
      RECT window;
      GetWindowRect(hwnd_, &window);
      int width = window.right - window.left;
      int height = window.bottom - window.top;
      ResizeBy(grip_, {press_point_.x, press_point_.y}, {client.x, client.y}, &width, &height);
      const SkinSize minimum = skin_->layout.minimum_size();
      DrawOutline();  // erases the old one
      outline_ = {window.left, window.top, window.left + std::max(width, minimum.width),
                  window.top + std::max(height, minimum.height)};
      DrawOutline();
      return;
    }
    case Press::kNewsBox:
      return;
    case Press::kNone:
      SetHover(InNewsBox(client));
      return;
  }
}

void SkinWindow::OnLeftUp(POINT client) {
  (void)client;
  const Press press = press_;
  press_ = Press::kNone;  // before the capture goes, which reports itself
  ReleaseCapture();
  if (press == Press::kNewsBox) {
    if (IsNewsBoxClick(static_cast<int64_t>(GetTickCount64() - press_time_)) &&
        host_.push_engine_command) {
      host_.push_engine_command(EngineCommand::kOpenCurrent);
    }
  } else if (press == Press::kResize) {
    press_ = Press::kResize;
    EndResize(true);
    press_ = Press::kNone;
  }
  grip_ = TickerGrip::kNone;
}

void SkinWindow::MoveTo(POINT position) {
  RECT r;
  GetWindowRect(hwnd_, &r);
  const TickerPoint snapped = SnapTickerPosition({position.x, position.y}, r.right - r.left,
                                                 r.bottom - r.top, GetSystemMetrics(SM_CXSCREEN),
                                                 GetSystemMetrics(SM_CYSCREEN), multi_monitor_);
  if (snapped.x == r.left && snapped.y == r.top) return;
  SetWindowPos(hwnd_, headline_, snapped.x, snapped.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  if (host_.moved) host_.moved();
  if (host_.notify_plugins) host_.notify_plugins(kNotifyMoved);
}

void SkinWindow::DrawOutline() {
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return;
  DrawFocusRect(screen, &outline_);
  ReleaseDC(nullptr, screen);
  outline_drawn_ = !outline_drawn_;
}

void SkinWindow::EndResize(bool apply) {
  if (outline_drawn_) DrawOutline();
  grip_ = TickerGrip::kNone;
  if (apply && skin_) {
    skin_->layout.Resize(outline_.right - outline_.left, outline_.bottom - outline_.top);
    SizeChanged();
  }
  if (host_.push_engine_command) {
    host_.push_engine_command(EngineCommand::kResume);
    host_.push_engine_command(EngineCommand::kShowAgain);
  }
  SendMessageW(headline_, mwm::kResizeEnds, 0, 0);
}

}  // namespace korvo
