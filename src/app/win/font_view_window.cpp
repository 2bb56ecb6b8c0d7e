#include "app/win/font_view_window.h"

#include <string>

#include "shell/main_window_ids.h"

namespace korvo {

namespace {

constexpr wchar_t kClassName[] = L"FontViewWindow";

void Paint(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  if (dc == nullptr) return;
  RECT client;
  GetClientRect(window, &client);
  FrameRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), length + 1)));
  HFONT font = reinterpret_cast<HFONT>(GetWindowLongPtrW(window, GWLP_USERDATA));
  HGDIOBJ old_font = font != nullptr ? SelectObject(dc, font) : nullptr;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  RECT inner = client;
  InflateRect(&inner, -2, -2);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &inner,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  if (old_font != nullptr) SelectObject(dc, old_font);
  EndPaint(window, &paint);
}

LRESULT CALLBACK FontViewProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_SETFONT:
      SetWindowLongPtrW(window, GWLP_USERDATA, static_cast<LONG_PTR>(w));
      if (LOWORD(l) != 0) InvalidateRect(window, nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return static_cast<LRESULT>(GetWindowLongPtrW(window, GWLP_USERDATA));
    case WM_SETTEXT: {
      const LRESULT r = DefWindowProcW(window, message, w, l);
      InvalidateRect(window, nullptr, TRUE);
      return r;
    }
    case WM_PAINT:
      Paint(window);
      return 0;
    default:
      return DefWindowProcW(window, message, w, l);
  }
}

}  // namespace

bool RegisterFontViewWindowClass(HINSTANCE instance) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExW(instance, kClassName, &wc)) return true;
  wc = {};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = FontViewProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(resource_id::kApplicationIcon));
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  wc.lpszClassName = kClassName;
  return RegisterClassExW(&wc) != 0;
}

}  // namespace korvo
