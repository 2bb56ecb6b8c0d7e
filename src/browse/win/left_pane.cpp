#include "browse/win/left_pane.h"

#include <commctrl.h>

#include <algorithm>

#include "browse/win/win_user_dialogs.h"
#include "channels/channel_list_component.h"
#include "platform/code_page.h"

namespace korvo {

namespace ctl = browse_control;

namespace {

constexpr int kPad = 6;
constexpr int kLine = 22;

const char* const kKindNames[kListKindCount] = {u8"すべて",    u8"未読",   u8"既読",
                                                u8"コメント",  u8"マーク", u8"現在流れている記事",
                                                u8"あとで読む"};
const char* const kFieldNames[kSearchFieldCount] = {
    u8"タイトル", u8"サイト名", u8"カテゴリー", u8"概要", u8"作成者", u8"コメント", "URL"};

// Identifiers of the labels, which nothing addresses.
constexpr int kLabelDay = 1201, kLabelKind = 1202, kLabelStart = 1203, kLabelEnd = 1204,
              kLabelWords = 1205, kLabelFields = 1206;

platform::CalendarTime PickerDate(HWND picker) {
  SYSTEMTIME time = {};
  if (DateTime_GetSystemtime(picker, &time) != GDT_VALID) return platform::LocalNow();
  platform::CalendarTime day = FromSystemTime(time);
  day.hour = day.minute = day.second = day.millisecond = 0;
  return day;
}

}  // namespace

LeftPane::LeftPane(const BrowseServices& services, const std::array<int32_t, 7>& fields)
    : services_(services), fields_(fields) {
  if (std::all_of(fields_.begin(), fields_.end(), [](int32_t f) { return f == 0; })) {
    fields_[search_field::kTitle] = 1;  // a first start searches the titles
  }
}

LeftPane::~LeftPane() {
  channels_.reset();
  favourites_.reset();
}

HWND LeftPane::AddControl(const wchar_t* class_name, const wchar_t* text, DWORD style, int id,
                          HFONT font, int page) {
  HWND control = CreateWindowExW(0, class_name, text, WS_CHILD | style, 0, 0, 10, 10, hwnd(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 services_.instance, nullptr);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  pages_[static_cast<size_t>(page)].push_back(control);
  return control;
}

bool LeftPane::Create(HWND parent, const RECT& r) {
  if (!CreateChild(kClassName, GetSysColorBrush(COLOR_BTNFACE), parent, ctl::kLeftPane, r,
                   services_.instance)) {
    return false;
  }
  font_.Reset(MakeFont(-12, FW_NORMAL));
  bold_font_.Reset(MakeFont(-12, FW_BOLD));
  words_font_.Reset(MakeFont(-14, FW_NORMAL));
  tabs_ = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0,
                          r.right - r.left, r.bottom - r.top, hwnd(),
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(ctl::kLeftTabs)),
                          services_.instance, nullptr);
  SendMessageW(tabs_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  const char* const tab_names[] = {u8"カレンダー", u8"検索", u8"お気に入り"};
  for (const char* name : tab_names) AddTab(tabs_, platform::WideFromUtf8(name));
  const DWORD visible = WS_VISIBLE;
  // Calendar.
  AddControl(L"STATIC", L"\u65E5\u6642", visible, kLabelDay, bold_font_.get(), 0);  // 日時
  AddControl(DATETIMEPICK_CLASSW, L"", visible | WS_TABSTOP | DTS_SHORTDATEFORMAT, ctl::kDatePicker,
             font_.get(), 0);
  AddControl(L"STATIC", L"\u7A2E\u985E", visible, kLabelKind, bold_font_.get(), 0);  // 種類
  HWND kinds = AddControl(L"COMBOBOX", L"", visible | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                          ctl::kKindList, font_.get(), 0);
  for (const char* name : kKindNames) {
    SendMessageW(kinds, CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(platform::WideFromUtf8(name).c_str()));
  }
  SendMessageW(kinds, CB_SETCURSEL, 0, 0);
  AddControl(L"BUTTON", L"\u66F4\u65B0", visible | WS_TABSTOP | BS_PUSHBUTTON,  // 更新
             ctl::kUpdateButton, font_.get(), 0);
  channels_ = std::make_unique<OutlineTreeView>(services_, OutlineTreeView::Kind::kChannels);
  channels_->Create(hwnd(), ctl::kChannelTree, {0, 0, 10, 10});
  pages_[0].push_back(channels_->hwnd());
  // Search.
  AddControl(L"STATIC", platform::WideFromUtf8(u8"検索開始日").c_str(), visible, kLabelStart,
             bold_font_.get(), 1);
  AddControl(DATETIMEPICK_CLASSW, L"", visible | WS_TABSTOP | DTS_SHORTDATEFORMAT, ctl::kStartDate,
             font_.get(), 1);
  AddControl(L"STATIC", platform::WideFromUtf8(u8"検索終了日").c_str(), visible, kLabelEnd,
             bold_font_.get(), 1);
  AddControl(DATETIMEPICK_CLASSW, L"", visible | WS_TABSTOP | DTS_SHORTDATEFORMAT, ctl::kEndDate,
             font_.get(), 1);
  AddControl(L"STATIC", platform::WideFromUtf8(u8"検索する語句").c_str(), visible, kLabelWords,
             bold_font_.get(), 1);
  HWND words = AddControl(L"EDIT", L"", visible | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL,
                          ctl::kWords, words_font_.get(), 1);
  SendMessageW(words, EM_LIMITTEXT, 1023, 0);
  AddControl(L"BUTTON", L"\u691C\u7D22", visible | WS_TABSTOP | BS_DEFPUSHBUTTON,  // 検索
             ctl::kSearchButton, font_.get(), 1);
  AddControl(L"STATIC", platform::WideFromUtf8(u8"検索するフィールド").c_str(), visible,
             kLabelFields, bold_font_.get(), 1);
  for (int i = 0; i < kSearchFieldCount; ++i) {
    HWND box =
        AddControl(L"BUTTON", platform::WideFromUtf8(kFieldNames[i]).c_str(),
                   visible | WS_TABSTOP | BS_AUTOCHECKBOX, ctl::kFirstFieldBox + i, font_.get(), 1);
    SendMessageW(box, BM_SETCHECK, fields_[static_cast<size_t>(i)] != 0 ? BST_CHECKED : 0, 0);
  }
  // A month back by default, so a first search finds something.
  SYSTEMTIME start = ToSystemTime(platform::LocalNow());
  if (start.wMonth > 1) {
    --start.wMonth;
  } else {
    start.wMonth = 12;
    --start.wYear;
  }
  start.wDay = std::min<WORD>(start.wDay, 28);
  DateTime_SetSystemtime(GetDlgItem(hwnd(), ctl::kStartDate), GDT_VALID, &start);
  // Favourites.
  favourites_ = std::make_unique<OutlineTreeView>(services_, OutlineTreeView::Kind::kFavourites);
  favourites_->Create(hwnd(), ctl::kFavouritesTree, {0, 0, 10, 10});
  pages_[2].push_back(favourites_->hwnd());
  LayOut();
  SelectTab(0);
  return true;
}

void LeftPane::LayOut() {
  RECT client = {};
  GetClientRect(hwnd(), &client);
  MoveWindow(tabs_, 0, 0, client.right, client.bottom, TRUE);
  RECT page = client;
  TabCtrl_AdjustRect(tabs_, FALSE, &page);
  const int left = page.left + kPad;
  const int width = std::max(20, static_cast<int>(page.right - page.left) - 2 * kPad);
  auto place = [this](int id, int x, int y, int w, int h) {
    if (HWND control = GetDlgItem(hwnd(), id)) {
      SetWindowPos(control, HWND_TOP, x, y, std::max(w, 1), std::max(h, 1), SWP_NOACTIVATE);
    }
  };
  int y = page.top + kPad;
  place(kLabelDay, left, y, width, 16);
  y += 16;
  place(ctl::kDatePicker, left, y, width, kLine);
  y += kLine + 4;
  place(kLabelKind, left, y, width, 16);
  y += 16;
  place(ctl::kKindList, left, y, width, 200);
  y += kLine + 4;
  place(ctl::kUpdateButton, left, y, std::min(width, 80), kLine);
  y += kLine + 6;
  if (channels_) {
    SetWindowPos(channels_->hwnd(), HWND_TOP, page.left + 2, y,
                 std::max(1, static_cast<int>(page.right - page.left) - 4),
                 std::max(1, static_cast<int>(page.bottom) - y - 2), SWP_NOACTIVATE);
  }
  y = page.top + kPad;
  for (int id : {kLabelStart, ctl::kStartDate, kLabelEnd, ctl::kEndDate, kLabelWords}) {
    const bool label = id == kLabelStart || id == kLabelEnd || id == kLabelWords;
    place(id, left, y, width, label ? 16 : kLine);
    y += label ? 16 : kLine + 4;
  }
  place(ctl::kWords, left, y, width, kLine + 2);
  y += kLine + 6;
  place(ctl::kSearchButton, left, y, std::min(width, 80), kLine);
  y += kLine + 6;
  place(kLabelFields, left, y, width, 16);
  y += 18;
  for (int i = 0; i < kSearchFieldCount; ++i) {
    place(ctl::kFirstFieldBox + i, left + 4, y, width - 4, 18);
    y += 19;
  }
  if (favourites_) {
    SetWindowPos(favourites_->hwnd(), HWND_TOP, page.left + 2, page.top + 2,
                 std::max(1, static_cast<int>(page.right - page.left) - 4),
                 std::max(1, static_cast<int>(page.bottom - page.top) - 4), SWP_NOACTIVATE);
  }
}

void LeftPane::SelectTab(int index) {
  TabCtrl_SetCurSel(tabs_, index);
  ShowPage();
}

void LeftPane::ShowPage() {
  const int current = TabCtrl_GetCurSel(tabs_);
  for (int page = 0; page < 3; ++page) {
    for (HWND control : pages_[static_cast<size_t>(page)]) {
      ShowWindow(control, page == current ? SW_SHOW : SW_HIDE);
    }
  }
}

ListKind LeftPane::kind() const {
  const LRESULT at = SendDlgItemMessageW(hwnd(), ctl::kKindList, CB_GETCURSEL, 0, 0);
  if (at == CB_ERR || at < 0 || at >= kListKindCount) return ListKind::kAll;
  return static_cast<ListKind>(at);
}

platform::CalendarTime LeftPane::day() const {
  return PickerDate(GetDlgItem(hwnd(), ctl::kDatePicker));
}

void LeftPane::SetDayAndKind(const platform::CalendarTime& day, ListKind kind) {
  SYSTEMTIME time = ToSystemTime(day);
  DateTime_SetSystemtime(GetDlgItem(hwnd(), ctl::kDatePicker), GDT_VALID, &time);
  SendDlgItemMessageW(hwnd(), ctl::kKindList, CB_SETCURSEL, static_cast<WPARAM>(kind), 0);
  EnableWindow(GetDlgItem(hwnd(), ctl::kDatePicker), KindIgnoresDate(kind) ? FALSE : TRUE);
}

SearchQuery LeftPane::Query() const {
  SearchQuery query;
  query.words = WindowTextCp932(GetDlgItem(hwnd(), ctl::kWords));
  query.start = PickerDate(GetDlgItem(hwnd(), ctl::kStartDate));
  query.end = PickerDate(GetDlgItem(hwnd(), ctl::kEndDate));
  const std::array<int32_t, 7> states = FieldStates();
  for (int i = 0; i < kSearchFieldCount; ++i) {
    if (states[static_cast<size_t>(i)] != 0) query.field_mask |= 1u << i;
  }
  return query;
}

std::array<int32_t, 7> LeftPane::FieldStates() const {
  std::array<int32_t, 7> states{};
  for (int i = 0; i < kSearchFieldCount; ++i) {
    states[static_cast<size_t>(i)] =
        IsDlgButtonChecked(hwnd(), ctl::kFirstFieldBox + i) == BST_CHECKED ? 1 : 0;
  }
  return states;
}

void LeftPane::KindOrDayChanged() {
  const ListKind current = kind();
  EnableWindow(GetDlgItem(hwnd(), ctl::kDatePicker), KindIgnoresDate(current) ? FALSE : TRUE);
  SYSTEMTIME time = ToSystemTime(day());
  SendMessageW(GetParent(hwnd()), browse_message::kKindOrDateChanged, static_cast<WPARAM>(current),
               reinterpret_cast<LPARAM>(&time));
}

void LeftPane::ApplyChannelChanges() {
  ChannelListComponent* channels = services_.channels;
  if (channels == nullptr || !channels->list().modified()) return;
  WinUserDialogs dialogs(services_.instance, GetAncestor(hwnd(), GA_ROOT));
  const ApplyResult result = channels->Apply(dialogs);
  if (result == ApplyResult::kSaveFailed) {
    MessageBoxUtf8(GetAncestor(hwnd(), GA_ROOT), u8"channel.opml を書き込めませんでした。",
                   u8"エラー", MB_OK | MB_ICONWARNING);
  }
  if (result == ApplyResult::kDiscarded) {
    OutlineTreeView::RebuildAll(OutlineTreeView::Kind::kChannels);
  }
}

LRESULT LeftPane::Handle(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_SIZE:
      LayOut();
      return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<NMHDR*>(l);
      if (header->hwndFrom == tabs_ && header->code == TCN_SELCHANGE) ShowPage();
      if (header->idFrom == static_cast<UINT_PTR>(ctl::kDatePicker) &&
          header->code == DTN_DATETIMECHANGE) {
        KindOrDayChanged();
      }
      return 0;
    }
    case WM_COMMAND:
      switch (LOWORD(w)) {
        case ctl::kKindList:
          if (HIWORD(w) == CBN_SELCHANGE) KindOrDayChanged();
          return 0;
        case ctl::kUpdateButton:
          // The frame applies the channel tree's changes (0x470) before it starts the update.
          SendMessageW(GetParent(hwnd()), WM_COMMAND, browse_command::kUpdateNow, 0);
          return 0;
        case ctl::kSearchButton:
          SendMessageW(GetParent(hwnd()), WM_COMMAND, ctl::kSearchButton, 0);
          return 0;
        default:
          return 0;
      }
    case browse_message::kStoreFields:
      fields_ = FieldStates();
      return 0;
    case browse_message::kFinishUpdate:
      ApplyChannelChanges();
      return 0;
    case browse_message::kFontChanged:
      if (channels_) SendMessageW(channels_->hwnd(), message, w, l);
      if (favourites_) SendMessageW(favourites_->hwnd(), message, w, l);
      return 0;
    default:
      return Default(message, w, l);
  }
}

}  // namespace korvo
