// The hot keys on Windows: RegisterHotKey on the headline window, and the dialog that edits them
// (resource 191, or its English variant 192 on systems of another language).
//
// Window thread only.
#ifndef KORVO_TICKER_WIN_HOTKEY_DIALOG_H_
#define KORVO_TICKER_WIN_HOTKEY_DIALOG_H_

#include <windows.h>

#include <array>

#include "ticker/hotkey_set.h"

namespace korvo {

class WindowHotkeyRegistrar : public HotkeyRegistrar {
 public:
  explicit WindowHotkeyRegistrar(HWND window) : window_(window) {}
  bool Register(int id, int modifiers, int key) override;
  void Unregister(int id) override;

 private:
  HWND window_;
};

// Shows the dialog `resource` owned by `owner` with the settings of `hotkeys`; on OK registers
// the new combinations (releasing the old ones first), stores the enabled flag and returns the
// settings to save in `*chosen`. True for OK.
bool ShowHotkeyDialog(HINSTANCE instance, HWND owner, int resource, const HotkeySettings& current,
                      HotkeySettings* chosen);

}  // namespace korvo

#endif  // KORVO_TICKER_WIN_HOTKEY_DIALOG_H_
