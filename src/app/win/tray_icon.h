// The program's one tray icon (id 1) on the main window: callback message 1123, tip
// "KorvoNewsReader". Belongs to the window thread; removed by the destructor if still shown.
#ifndef KORVO_APP_WIN_TRAY_ICON_H_
#define KORVO_APP_WIN_TRAY_ICON_H_

#include <windows.h>

namespace korvo {

class TrayIcon {
 public:
  TrayIcon() = default;
  ~TrayIcon() { Remove(); }
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // Adds the icon to `window` (replacing one this object added before). False when the shell
  // refused it (no notification area yet, for one); Readd() tries again later.
  bool Add(HWND window, HICON icon);
  // Adds the icon again after the notification area was rebuilt ("TaskbarCreated"). Nothing
  // when no icon was wanted.
  bool Readd();
  void Remove();
  // Whether the icon is wanted (Add was called and Remove was not), whether or not the shell
  // took it.
  bool wanted() const { return window_ != nullptr; }
  bool added() const { return added_; }

 private:
  bool Notify(DWORD message);

  HWND window_ = nullptr;
  HICON icon_ = nullptr;
  bool added_ = false;
};

}  // namespace korvo

#endif  // KORVO_APP_WIN_TRAY_ICON_H_
