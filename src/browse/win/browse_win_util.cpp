#include "browse/win/browse_win_util.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "platform/code_page.h"
#include "platform/win/clipboard_text.h"

namespace korvo {

HFONT MakeFont(int height, int weight, const wchar_t* face, bool underline) {
  LOGFONTW font = {};
  font.lfHeight = height;
  font.lfWeight = weight;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfUnderline = underline ? TRUE : FALSE;
  lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
  return CreateFontIndirectW(&font);
}

LOGFONTW ToLogFont(const TitleFont& f) {
  LOGFONTW font = {};
  font.lfHeight = f.height;
  font.lfWidth = f.width;
  font.lfEscapement = f.escapement;
  font.lfOrientation = f.orientation;
  font.lfWeight = f.weight;
  font.lfItalic = f.italic;
  font.lfUnderline = f.underline;
  font.lfStrikeOut = f.strike_out;
  font.lfCharSet = f.char_set;
  font.lfOutPrecision = f.out_precision;
  font.lfClipPrecision = f.clip_precision;
  font.lfQuality = f.quality;
  font.lfPitchAndFamily = f.pitch_and_family;
  lstrcpynW(font.lfFaceName, platform::WideFromCp932(f.face_name).c_str(), LF_FACESIZE);
  return font;
}

TitleFont FromLogFont(const LOGFONTW& font) {
  TitleFont f;
  f.height = font.lfHeight;
  f.width = font.lfWidth;
  f.escapement = font.lfEscapement;
  f.orientation = font.lfOrientation;
  f.weight = font.lfWeight;
  f.italic = font.lfItalic;
  f.underline = font.lfUnderline;
  f.strike_out = font.lfStrikeOut;
  f.char_set = font.lfCharSet;
  f.out_precision = font.lfOutPrecision;
  f.clip_precision = font.lfClipPrecision;
  f.quality = font.lfQuality;
  f.pitch_and_family = font.lfPitchAndFamily;
  f.face_name = platform::Cp932FromWide(font.lfFaceName);
  return f;
}

HFONT MakeFont(const TitleFont& font) {
  const LOGFONTW log = ToLogFont(font);
  HFONT made = CreateFontIndirectW(&log);
  return made != nullptr ? made : MakeFont(-12, FW_NORMAL);
}

std::string WindowTextCp932(HWND window) {
  const int length = GetWindowTextLengthW(window);
  if (length <= 0) return std::string();
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
  const int got = GetWindowTextW(window, buffer.data(), length + 1);
  return platform::Cp932FromWide(std::wstring_view(buffer.data(), static_cast<size_t>(got)));
}

void SetWindowTextCp932(HWND window, std::string_view text) {
  SetWindowTextW(window, platform::WideFromCp932(text).c_str());
}

int MessageBoxCp932(HWND owner, std::string_view text, std::string_view caption, UINT flags) {
  return MessageBoxW(owner, platform::WideFromCp932(text).c_str(),
                     platform::WideFromCp932(caption).c_str(), flags);
}

int MessageBoxUtf8(HWND owner, const char* text, const char* caption, UINT flags) {
  return MessageBoxW(owner, platform::WideFromUtf8(text).c_str(),
                     platform::WideFromUtf8(caption).c_str(), flags);
}

bool CopyTextToClipboard(HWND owner, std::string_view text) {
  return platform::CopyToClipboard(owner, platform::WideFromCp932(text));
}

SYSTEMTIME ToSystemTime(const platform::CalendarTime& t) {
  SYSTEMTIME s = {};
  s.wYear = static_cast<WORD>(t.year);
  s.wMonth = static_cast<WORD>(t.month);
  s.wDayOfWeek = static_cast<WORD>(t.day_of_week);
  s.wDay = static_cast<WORD>(t.day);
  s.wHour = static_cast<WORD>(t.hour);
  s.wMinute = static_cast<WORD>(t.minute);
  s.wSecond = static_cast<WORD>(t.second);
  s.wMilliseconds = static_cast<WORD>(t.millisecond);
  return s;
}

platform::CalendarTime FromSystemTime(const SYSTEMTIME& s) {
  platform::CalendarTime t;
  t.year = s.wYear;
  t.month = s.wMonth;
  t.day_of_week = s.wDayOfWeek;
  t.day = s.wDay;
  t.hour = s.wHour;
  t.minute = s.wMinute;
  t.second = s.wSecond;
  t.millisecond = s.wMilliseconds;
  return t;
}

void CentreOver(HWND window, HWND over) {
  RECT area = {};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  RECT target = area;
  if (over != nullptr && IsWindowVisible(over) && !IsIconic(over)) GetWindowRect(over, &target);
  RECT own = {};
  GetWindowRect(window, &own);
  const int w = own.right - own.left;
  const int h = own.bottom - own.top;
  int x = target.left + ((target.right - target.left) - w) / 2;
  int y = target.top + ((target.bottom - target.top) - h) / 2;
  x = std::max(static_cast<int>(area.left), std::min(x, static_cast<int>(area.right) - w));
  y = std::max(static_cast<int>(area.top), std::min(y, static_cast<int>(area.bottom) - h));
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {

struct FormState {
  const std::function<void(HWND)>* load;
  const std::function<bool(HWND)>* store;
  const std::function<void(HWND, int, int)>* command;
};

INT_PTR CALLBACK FormProc(HWND dialog, UINT message, WPARAM w, LPARAM l) {
  auto* state = reinterpret_cast<FormState*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      state = reinterpret_cast<FormState*>(l);
      SetWindowLongPtrW(dialog, DWLP_USER, l);
      if (*state->load) (*state->load)(dialog);
      return TRUE;
    case WM_COMMAND:
      if (state == nullptr) return FALSE;
      if (LOWORD(w) == IDOK) {
        if (!*state->store || (*state->store)(dialog)) EndDialog(dialog, IDOK);
      } else if (LOWORD(w) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
      } else if (*state->command) {
        (*state->command)(dialog, LOWORD(w), HIWORD(w));
      }
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

bool RunFormDialog(HINSTANCE instance, int resource, HWND owner,
                   const std::function<void(HWND dialog)>& load,
                   const std::function<bool(HWND dialog)>& store,
                   const std::function<void(HWND dialog, int id, int code)>& command) {
  FormState state{&load, &store, &command};
  return DialogBoxParamW(instance, MAKEINTRESOURCEW(resource), owner, FormProc,
                         reinterpret_cast<LPARAM>(&state)) == IDOK;
}

void AddTab(HWND tabs, const std::wstring& text) {
  std::wstring copy = text;
  TCITEMW item = {};
  item.mask = TCIF_TEXT;
  item.pszText = copy.data();
  TabCtrl_InsertItem(tabs, TabCtrl_GetItemCount(tabs), &item);
}

}  // namespace korvo
