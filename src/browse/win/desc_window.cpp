#include "browse/win/desc_window.h"

#include <algorithm>

#include "browse/browse_fonts.h"
#include "browse/browse_ids.h"
#include "feed/feed_date.h"
#include "platform/code_page.h"

namespace korvo {

namespace {

constexpr COLORREF kPanel = 0xDEEBEF;
constexpr COLORREF kFramePen = 0x9CAAAC;
constexpr int kRowHeight = 20;
constexpr int kMargin = 5;
// Field order; the title is index 1 and the link index 7.
const char* const kLabels[DescWindow::kFieldCount] = {u8"サイト",     u8"タイトル", u8"カテゴリー",
                                                      u8"作成者",     u8"取得日",   u8"作成日",
                                                      u8"チェック日", u8"URL"};
constexpr int kTitle = 1;

HMENU ControlId(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }
constexpr int kLink = 7;

}  // namespace

std::string SummaryDate(const PackedDate& date, int offset_minutes) {
  if (date.empty()) return std::string();
  return FormatW3cDate(PackedDate::Unpack(date.packed), offset_minutes);
}

DescWindow::~DescWindow() {
  if (hwnd() != nullptr) DestroyWindow(hwnd());
  if (panel_brush_ != nullptr) DeleteObject(panel_brush_);
}

bool DescWindow::Create(HWND parent, const RECT& r) {
  if (!CreateChild(kClassName, nullptr, parent, browse_control::kSummary, r, services_.instance,
                   WS_CHILD | WS_CLIPCHILDREN)) {
    return false;
  }
  panel_brush_ = CreateSolidBrush(kPanel);
  label_font_.Reset(MakeFont(-12, FW_BOLD));
  value_font_.Reset(MakeFont(-12, FW_NORMAL));
  link_font_.Reset(MakeFont(-16, FW_NORMAL));
  title_font_.Reset(MakeFont(-12, FW_NORMAL, L"MS UI Gothic", true));
  for (int i = 0; i < kFieldCount; ++i) {
    labels_[i] = CreateWindowExW(0, L"STATIC", platform::WideFromUtf8(kLabels[i]).c_str(),
                                 WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 0, 10, 10, hwnd(),
                                 ControlId(browse_control::kSummaryFirstLabel + i),
                                 services_.instance, nullptr);
    SendMessageW(labels_[i], WM_SETFONT, reinterpret_cast<WPARAM>(label_font_.get()), FALSE);
    if (i == kTitle) {
      // The title is a notifying label drawn as a link.
      values_[i] = CreateWindowExW(
          0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_NOTIFY | SS_NOPREFIX | SS_ENDELLIPSIS, 0, 0,
          10, 10, hwnd(), ControlId(browse_control::kSummaryFirstValue + i), services_.instance,
          nullptr);
      SendMessageW(values_[i], WM_SETFONT, reinterpret_cast<WPARAM>(title_font_.get()), FALSE);
    } else {
      values_[i] = CreateWindowExW(
          0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_READONLY | ES_AUTOHSCROLL, 0, 0, 10, 10,
          hwnd(), ControlId(browse_control::kSummaryFirstValue + i), services_.instance, nullptr);
      SendMessageW(values_[i], WM_SETFONT,
                   reinterpret_cast<WPARAM>(i == kLink ? link_font_.get() : value_font_.get()),
                   FALSE);
    }
  }
  description_ = CreateWindowExW(
      WS_EX_CLIENTEDGE, L"EDIT", L"",
      WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0, 0, 10,
      10, hwnd(), ControlId(browse_control::kSummaryDescription), services_.instance, nullptr);
  SendMessageW(description_, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(5, 5));
  LoadDescriptionFont();
  // The labels' column fits the widest label, and dates fit their W3C form.
  HDC dc = GetDC(hwnd());
  HGDIOBJ old = SelectObject(dc, label_font_.get());
  for (const char* label : kLabels) {
    const std::wstring text = platform::WideFromUtf8(label);
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    label_width_ = std::max(label_width_, static_cast<int>(size.cx) + 8);
  }
  SelectObject(dc, old);
  ReleaseDC(hwnd(), dc);
  LayOut();
  return true;
}

void DescWindow::LoadDescriptionFont() {
  description_font_.Reset(MakeFont(LoadBrowseFont(services_.working_folder, kDescFontSection)));
  SendMessageW(description_, WM_SETFONT, reinterpret_cast<WPARAM>(description_font_.get()), TRUE);
}

void DescWindow::LayOut() {
  RECT client = {};
  GetClientRect(hwnd(), &client);
  const int value_left = kMargin + label_width_;
  const int value_width = std::max(10, static_cast<int>(client.right) - value_left - kMargin);
  int y = kMargin;
  for (int i = 0; i < kFieldCount; ++i) {
    const int height = i == kLink ? kRowHeight + 4 : kRowHeight - 2;
    MoveWindow(labels_[i], kMargin, y + 2, label_width_ - 4, kRowHeight - 4, TRUE);
    MoveWindow(values_[i], value_left, y, value_width, height, TRUE);
    y += height + 2;
  }
  MoveWindow(description_, kMargin, y + 2,
             std::max(10, static_cast<int>(client.right) - 2 * kMargin),
             std::max(10, static_cast<int>(client.bottom) - y - 2 - kMargin), TRUE);
}

void DescWindow::Show(const NewsItem& item) {
  const int offset = platform::LocalOffsetMinutes();
  const std::u16string* texts[] = {&item.site, &item.title, &item.category, &item.author};
  for (int i = 0; i < 4; ++i) {
    SetWindowTextW(values_[i], std::wstring(texts[i]->begin(), texts[i]->end()).c_str());
  }
  SetWindowTextCp932(values_[4], SummaryDate(item.get_day, offset));
  SetWindowTextCp932(values_[5], SummaryDate(item.create_day, offset));
  SetWindowTextCp932(values_[6], SummaryDate(item.check_day, offset));
  SetWindowTextW(values_[kLink], std::wstring(item.link.begin(), item.link.end()).c_str());
  link_ = platform::Utf16ToCp932(item.link);
  // The edit control wants CR LF line ends.
  std::wstring description;
  for (char16_t c : item.description) {
    if (c == u'\n' && (description.empty() || description.back() != L'\r')) description += L'\r';
    description += static_cast<wchar_t>(c);
  }
  SetWindowTextW(description_, description.c_str());
}

void DescWindow::Clear() {
  for (HWND value : values_) SetWindowTextW(value, L"");
  SetWindowTextW(description_, L"");
  link_.clear();
}

LRESULT DescWindow::Handle(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_SIZE:
      LayOut();
      return 0;
    case WM_ERASEBKGND: {
      RECT client = {};
      GetClientRect(hwnd(), &client);
      FillRect(reinterpret_cast<HDC>(w), &client, panel_brush_);
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(hwnd(), &paint);
      RECT client = {};
      GetClientRect(hwnd(), &client);
      HPEN pen = CreatePen(PS_SOLID, 1, kFramePen);
      HGDIOBJ old_pen = SelectObject(dc, pen);
      HGDIOBJ old_brush = SelectObject(dc, GetStockObject(NULL_BRUSH));
      Rectangle(dc, 0, 0, client.right, client.bottom);
      SelectObject(dc, old_brush);
      SelectObject(dc, old_pen);
      DeleteObject(pen);
      EndPaint(hwnd(), &paint);
      return 0;
    }
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(w);
      HWND control = reinterpret_cast<HWND>(l);
      SetBkColor(dc, kPanel);
      if (control == values_[kTitle]) {
        SetTextColor(dc, RGB(0, 0, 0xFF));
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(panel_brush_);
      }
      if (control == description_) {
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
      }
      return reinterpret_cast<LRESULT>(panel_brush_);
    }
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(w) == values_[kTitle] && !link_.empty()) {
        SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
        return TRUE;
      }
      return Default(message, w, l);
    case WM_COMMAND:
      if (reinterpret_cast<HWND>(l) == values_[kTitle] && HIWORD(w) == STN_CLICKED &&
          !link_.empty()) {
        SendMessageW(GetParent(hwnd()), browse_message::kOpenBrowserTab, 1,
                     reinterpret_cast<LPARAM>(link_.c_str()));
      }
      return 0;
    case browse_message::kFontChanged: {
      const char* section = reinterpret_cast<const char*>(l);
      if (section != nullptr && std::string(section) == kDescFontSection) LoadDescriptionFont();
      return 0;
    }
    default:
      return Default(message, w, l);
  }
}

}  // namespace korvo
