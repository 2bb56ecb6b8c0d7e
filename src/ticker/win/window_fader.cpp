#include "ticker/win/window_fader.h"

#include <cwchar>

#include "ticker/fade_controller.h"

namespace korvo {

namespace {

constexpr wchar_t kClass[] = L"CloneWindowClass";

}  // namespace

WindowFader::~WindowFader() = default;

LRESULT CALLBACK WindowFader::SnapshotProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    auto* picture = reinterpret_cast<HBITMAP>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (picture != nullptr) {
      MemoryDc source(dc);
      source.Select(picture);
      RECT r;
      GetClientRect(window, &r);
      BitBlt(dc, 0, 0, r.right, r.bottom, source.get(), 0, 0, SRCCOPY);
    }
    EndPaint(window, &ps);
    return 0;
  }
  if (message == WM_ERASEBKGND) return 1;
  return DefWindowProcW(window, message, w, l);
}

bool WindowFader::RegisterSnapshotClass() {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExW(instance_, kClass, &wc)) return true;
  wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &WindowFader::SnapshotProc;
  wc.hInstance = instance_;
  wc.lpszClassName = kClass;
  return RegisterClassExW(&wc) != 0;
}

void WindowFader::Report(DWORD error) {
  wchar_t text[64];
  std::swprintf(text, 64, L"err_code=%u", static_cast<unsigned>(error));
  MessageBoxW(nullptr, text, L"err", MB_OK);
}

HWND WindowFader::CreateSnapshot(const RECT& rect) {
  if (!RegisterSnapshotClass()) {
    Report(GetLastError());
    return nullptr;
  }
  HWND snapshot = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kClass, L"",
                                  WS_POPUP, rect.left, rect.top, rect.right - rect.left,
                                  rect.bottom - rect.top, nullptr, nullptr, instance_, nullptr);
  if (snapshot == nullptr) return nullptr;
  SetWindowLongPtrW(snapshot, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(picture_.get()));
  if (!SetWindowPos(snapshot, HWND_TOPMOST, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, SWP_NOACTIVATE)) {
    Report(GetLastError());
    DestroyWindow(snapshot);
    return nullptr;
  }
  return snapshot;
}

void WindowFader::Fade(HWND snapshot, bool show) {
  HANDLE timer = CreateWaitableTimerW(nullptr, FALSE, nullptr);
  LARGE_INTEGER due;
  due.QuadPart = -1000;  // the first tick after 0.1 ms
  if (timer != nullptr) {
    SetWaitableTimer(timer, &due, SnapshotFade::kPeriodMs, nullptr, nullptr, FALSE);
  }
  for (int alpha : SnapshotFade::Steps(show)) {
    SetLayeredWindowAttributes(snapshot, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
    UpdateWindow(snapshot);
    if (timer != nullptr) {
      WaitForSingleObject(timer, 100);
    } else {
      Sleep(SnapshotFade::kPeriodMs);
    }
  }
  if (timer != nullptr) {
    CancelWaitableTimer(timer);
    CloseHandle(timer);
  }
}

void WindowFader::Hide() {
  if (windows_.empty()) return;
  RECT rect;
  if (!GetWindowRect(windows_.front(), &rect) || rect.right <= rect.left ||
      !IsWindowVisible(windows_.front())) {
    for (HWND w : windows_) ShowWindow(w, SW_HIDE);
    return;
  }
  // The screen under the ticker: the ticker as it looks now.
  HDC screen = GetDC(nullptr);
  picture_.Reset(CreateCompatibleBitmap(screen, rect.right - rect.left, rect.bottom - rect.top));
  if (picture_) {
    MemoryDc copy(screen);
    copy.Select(picture_.get());
    BitBlt(copy.get(), 0, 0, rect.right - rect.left, rect.bottom - rect.top, screen, rect.left,
           rect.top, SRCCOPY);
  }
  ReleaseDC(nullptr, screen);
  picture_rect_ = rect;
  HWND snapshot = picture_ ? CreateSnapshot(rect) : nullptr;
  if (snapshot != nullptr) {
    SetLayeredWindowAttributes(snapshot, 0, 255, LWA_ALPHA);
    ShowWindow(snapshot, SW_SHOWNA);
    UpdateWindow(snapshot);
  }
  for (HWND w : windows_) ShowWindow(w, SW_HIDE);
  if (snapshot != nullptr) {
    Fade(snapshot, false);
    DestroyWindow(snapshot);
  }
}

void WindowFader::Show() {
  if (windows_.empty()) return;
  RECT rect;
  GetWindowRect(windows_.front(), &rect);
  HWND snapshot = nullptr;
  if (picture_ && EqualRect(&rect, &picture_rect_)) {
    snapshot = CreateSnapshot(rect);
    if (snapshot != nullptr) {
      SetLayeredWindowAttributes(snapshot, 0, 0, LWA_ALPHA);
      ShowWindow(snapshot, SW_SHOWNA);
      Fade(snapshot, true);
    }
  }
  // The skin window first, so the headline window ends above it.
  for (HWND w : windows_) ShowWindow(w, SW_SHOWNA);
  if (snapshot != nullptr) DestroyWindow(snapshot);
}

}  // namespace korvo
