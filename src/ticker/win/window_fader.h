// WindowFader: the show and hide fade of the ticker for the tray toggle. Hiding copies the screen
// under the skin window into a snapshot window (class "CloneWindowClass": layered, tool window,
// topmost popup), shows it at full alpha, hides the real windows and fades the copy out, 4 alpha
// units per 5 ms tick of a waitable timer. Showing fades the last copy in the same way and then
// shows the real windows. The copy of the ticker taken when it was hidden is what fades in.
//
// Window thread only; a fade takes 320 ms, during which the thread waits on the timer.
#ifndef KORVO_TICKER_WIN_WINDOW_FADER_H_
#define KORVO_TICKER_WIN_WINDOW_FADER_H_

#include <windows.h>

#include <utility>
#include <vector>

#include "ticker/win/win_util.h"

namespace korvo {

class WindowFader {
 public:
  static constexpr char kClassName[] = "CloneWindowClass";

  explicit WindowFader(HINSTANCE instance) : instance_(instance) {}
  ~WindowFader();
  WindowFader(const WindowFader&) = delete;
  WindowFader& operator=(const WindowFader&) = delete;

  // The windows of the ticker, the one whose rectangle is copied first.
  void SetWindows(std::vector<HWND> windows) { windows_ = std::move(windows); }

  void Hide();
  void Show();

 private:
  static LRESULT CALLBACK SnapshotProc(HWND window, UINT message, WPARAM w, LPARAM l);
  bool RegisterSnapshotClass();
  HWND CreateSnapshot(const RECT& rect);
  void Fade(HWND snapshot, bool show);
  void Report(DWORD error);

  HINSTANCE instance_;
  std::vector<HWND> windows_;
  GdiHandle<HBITMAP> picture_;  // the ticker as it was hidden
  RECT picture_rect_ = {};
};

}  // namespace korvo

#endif  // KORVO_TICKER_WIN_WINDOW_FADER_H_
