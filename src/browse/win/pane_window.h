// The base of the browse window's own window classes: one C++ object per window, reached from
// the window procedure through GWLP_USERDATA (set at WM_NCCREATE from the creation parameter).
// The object outlives its window or destroys it first; after WM_NCDESTROY it is detached.
//
// Window thread only.
#ifndef KORVO_BROWSE_WIN_PANE_WINDOW_H_
#define KORVO_BROWSE_WIN_PANE_WINDOW_H_

#include <windows.h>

namespace korvo {

class PaneWindow {
 public:
  virtual ~PaneWindow();
  PaneWindow(const PaneWindow&) = delete;
  PaneWindow& operator=(const PaneWindow&) = delete;

  HWND hwnd() const { return hwnd_; }

  // Registers a class whose windows are PaneWindow objects. True when it exists afterwards.
  static bool RegisterClass(HINSTANCE instance, const wchar_t* name, HBRUSH background,
                            UINT style = CS_HREDRAW | CS_VREDRAW, HICON icon = nullptr);

 protected:
  PaneWindow() = default;
  // Registers `class_name` (with `background`) and creates this object's child window of it with
  // control id `id` at `rect`; false when either failed.
  bool CreateChild(const wchar_t* class_name, HBRUSH background, HWND parent, int id,
                   const RECT& rect, HINSTANCE instance,
                   DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN);
  // Creates the window of class `class_name` for this object.
  HWND CreatePane(const wchar_t* class_name, const wchar_t* title, DWORD style, DWORD ex_style,
                  int x, int y, int width, int height, HWND parent, HMENU menu_or_id,
                  HINSTANCE instance);
  // The window's messages; the default passes them to DefWindowProc.
  virtual LRESULT Handle(UINT message, WPARAM w, LPARAM l);
  LRESULT Default(UINT message, WPARAM w, LPARAM l) { return DefWindowProcW(hwnd_, message, w, l); }
  // Called once the window is gone (after WM_NCDESTROY); hwnd() is then null.
  virtual void OnDestroyed() {}

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l);
  HWND hwnd_ = nullptr;
};

}  // namespace korvo

#endif  // KORVO_BROWSE_WIN_PANE_WINDOW_H_
