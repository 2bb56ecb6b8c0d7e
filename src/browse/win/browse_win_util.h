// Small Win32 helpers of the browse window and its dialogs: owned GDI fonts, text of windows and
// message boxes in the program's CP932, the clipboard, dates of the date pickers, placing a
// dialog over its owner.
//
// Window thread only.
#ifndef KORVO_BROWSE_WIN_BROWSE_WIN_UTIL_H_
#define KORVO_BROWSE_WIN_BROWSE_WIN_UTIL_H_

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "shell/general_settings.h"

namespace korvo {

// An HFONT owned for its scope.
class OwnedFont {
 public:
  OwnedFont() = default;
  explicit OwnedFont(HFONT font) : font_(font) {}
  ~OwnedFont() { Reset(nullptr); }
  OwnedFont(const OwnedFont&) = delete;
  OwnedFont& operator=(const OwnedFont&) = delete;
  void Reset(HFONT font) {
    if (font_ != nullptr) DeleteObject(font_);
    font_ = font;
  }
  HFONT get() const { return font_; }

 private:
  HFONT font_ = nullptr;
};

// A font of `height` pixels (negative: character height) and `weight` in the face `face`.
HFONT MakeFont(int height, int weight, const wchar_t* face = L"MS UI Gothic",
               bool underline = false);
// The font a LOGFONT section describes (browse/browse_fonts.h).
HFONT MakeFont(const TitleFont& font);
LOGFONTW ToLogFont(const TitleFont& font);
TitleFont FromLogFont(const LOGFONTW& font);

// The window's text, CP932.
std::string WindowTextCp932(HWND window);
void SetWindowTextCp932(HWND window, std::string_view text);

// A message box with CP932 texts; returns the button pressed.
int MessageBoxCp932(HWND owner, std::string_view text, std::string_view caption, UINT flags);
int MessageBoxUtf8(HWND owner, const char* text, const char* caption, UINT flags);

// Puts CP932 text on the clipboard as Unicode text; false when the clipboard could not be had.
bool CopyTextToClipboard(HWND owner, std::string_view text);

SYSTEMTIME ToSystemTime(const platform::CalendarTime& time);
platform::CalendarTime FromSystemTime(const SYSTEMTIME& time);

// Centres `window` over `over` (the screen when null), kept inside the work area.
void CentreOver(HWND window, HWND over);

// A modal form: dialog `resource` whose fields `load` fills when it starts; OK calls `store`,
// which reads them (false keeps the dialog open, having said why); Cancel ends it. `command`
// (may be empty) receives the dialog's other commands (id and notification code). True on OK.
bool RunFormDialog(HINSTANCE instance, int resource, HWND owner,
                   const std::function<void(HWND dialog)>& load,
                   const std::function<bool(HWND dialog)>& store,
                   const std::function<void(HWND dialog, int id, int code)>& command = nullptr);

// Appends a tab to a tab control.
void AddTab(HWND tabs, const std::wstring& text);

}  // namespace korvo

#endif  // KORVO_BROWSE_WIN_BROWSE_WIN_UTIL_H_
