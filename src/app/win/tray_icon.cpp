#include "app/win/tray_icon.h"

#include <shellapi.h>

#include <cwchar>

#include "shell/main_window_ids.h"

namespace korvo {

namespace {
constexpr UINT kIconId = 1;
}  // namespace

bool TrayIcon::Notify(DWORD message) {
  NOTIFYICONDATAW data = {};
  data.cbSize = sizeof data;
  data.hWnd = window_;
  data.uID = kIconId;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = main_window_message::kTrayIcon;
  data.hIcon = icon_;
  wcsncpy(data.szTip, L"KorvoNewsReader", sizeof data.szTip / sizeof data.szTip[0] - 1);
  return Shell_NotifyIconW(message, &data) != FALSE;
}

bool TrayIcon::Add(HWND window, HICON icon) {
  Remove();
  window_ = window;
  icon_ = icon;
  added_ = Notify(NIM_ADD);
  return added_;
}

bool TrayIcon::Readd() {
  if (window_ == nullptr) return false;
  added_ = Notify(NIM_ADD);
  return added_;
}

void TrayIcon::Remove() {
  if (window_ == nullptr) return;
  if (added_) Notify(NIM_DELETE);
  window_ = nullptr;
  icon_ = nullptr;
  added_ = false;
}

}  // namespace korvo
