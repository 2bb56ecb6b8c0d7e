#include "browse/win/pane_window.h"

namespace korvo {

PaneWindow::~PaneWindow() {
  if (hwnd_ != nullptr) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    HWND window = hwnd_;
    hwnd_ = nullptr;
    DestroyWindow(window);
  }
}

bool PaneWindow::RegisterClass(HINSTANCE instance, const wchar_t* name, HBRUSH background,
                               UINT style, HICON icon) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExW(instance, name, &wc)) return true;
  wc = {};
  wc.cbSize = sizeof wc;
  wc.style = style;
  wc.lpfnWndProc = &PaneWindow::Procedure;
  wc.hInstance = instance;
  wc.hIcon = icon;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  return RegisterClassExW(&wc) != 0;
}

HWND PaneWindow::CreatePane(const wchar_t* class_name, const wchar_t* title, DWORD style,
                            DWORD ex_style, int x, int y, int width, int height, HWND parent,
                            HMENU menu_or_id, HINSTANCE instance) {
  return CreateWindowExW(ex_style, class_name, title, style, x, y, width, height, parent,
                         menu_or_id, instance, this);
}

bool PaneWindow::CreateChild(const wchar_t* class_name, HBRUSH background, HWND parent, int id,
                             const RECT& r, HINSTANCE instance, DWORD style) {
  if (!RegisterClass(instance, class_name, background)) return false;
  return CreatePane(class_name, L"", style, 0, r.left, r.top, r.right - r.left, r.bottom - r.top,
                    parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance) != nullptr;
}

LRESULT PaneWindow::Handle(UINT message, WPARAM w, LPARAM l) { return Default(message, w, l); }

LRESULT CALLBACK PaneWindow::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  PaneWindow* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<PaneWindow*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    if (self != nullptr) self->hwnd_ = window;
  } else {
    self = reinterpret_cast<PaneWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  }
  if (self == nullptr) return DefWindowProcW(window, message, w, l);
  const LRESULT result = self->Handle(message, w, l);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    self->OnDestroyed();
  }
  return result;
}

}  // namespace korvo
