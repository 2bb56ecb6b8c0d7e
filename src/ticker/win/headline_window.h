// HeadlineWindow: the ticker's part of korvo.exe's main window, which is also the headline
// window, for the case without a skin (the skin window, its messages and the translucency come
// with the skins). It is what the main window's hooks reach:
//
//   create_ticker_parts    Attach: remembers the window the display draws into.
//   apply_window_settings  ApplySettings: the engine's style, the browser settings, the layout.
//   handle_message         HandleMessage:
//     kRelayoutMessage     the layout step (posted by the engine thread for Relayout and
//                          RelayoutAndShow): the headline font's height of "abc...XYZ" (one and a
//                          half times that for the electric-sign style) becomes the window's
//                          height; the width stays;
//     WM_ERASEBKGND, WM_PAINT  the back colour (the display thread draws the headline itself);
//     WM_COMMAND 32783 / 32785 / 32860 / 32814  Next, Previous, OpenCurrent, CopyUrl;
//     WM_COMMAND 40000 + i the i-th item of the shown list: its record marked read under the
//                          store lock, its link opened.
//
// Threads: everything on the window thread, except hwnd() and browser(), which the engine and
// display threads read.
#ifndef KORVO_TICKER_WIN_HEADLINE_WINDOW_H_
#define KORVO_TICKER_WIN_HEADLINE_WINDOW_H_

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "shell/general_settings.h"
#include "shell/main_window_ids.h"
#include "ticker/headline_style.h"
#include "ticker/skin.h"
#include "ticker/ticker_engine.h"
#include "ticker/win/browser_launch.h"

namespace korvo {

// Posted to the headline window by the engine thread: run the layout step (wParam non-zero:
// repaint the skin window too).
constexpr UINT kRelayoutMessage = WM_APP + 0x131;

class HeadlineWindow {
 public:
  // `lists` and `working_folder` serve the news-item menu.
  HeadlineWindow(std::shared_ptr<TickerLists> lists, std::string working_folder);

  // The engine the window's commands go to (set once, before the window exists).
  void SetEngine(std::shared_ptr<TickerEngine> engine) { engine_ = std::move(engine); }
  // The skin window that takes the headline window's size without a skin (may stay empty).
  void SetSkinWindowSource(std::function<HWND()> source) { skin_window_ = std::move(source); }

  void Attach(HWND window) { window_ = window; }
  HWND hwnd() const { return window_.load(); }

  void ApplySettings(const GeneralSettings& settings);
  // What the skin gives the headline (null: no skin): its colours, effect, hold time, appended
  // description, antialiasing, and `background` (the face's colour at the news box, which is the
  // strips' background and colour key). The engine gets the new style.
  void SetSkin(const Skin* skin, uint32_t background);
  // The layout step without a skin (with one, the ticker windows lay out both windows).
  void Layout();
  bool HandleMessage(HWND window, UINT message, WPARAM w, LPARAM l, LRESULT* result);

  BrowserSettings browser() const;
  int layout_height() const { return layout_height_; }

 private:
  void Push(EngineCommand command);
  void OpenNewsItem(size_t index);
  void PaintBackground(HDC dc);

  std::shared_ptr<TickerLists> lists_;
  const std::string working_folder_;
  std::shared_ptr<TickerEngine> engine_;
  std::function<HWND()> skin_window_;
  std::atomic<HWND> window_{nullptr};
  HeadlineStyle style_;       // window thread
  HeadlineStyle user_style_;  // the settings' part, without the skin's
  int layout_height_ = 0;
  mutable std::mutex browser_mutex_;
  BrowserSettings browser_;
};

}  // namespace korvo

#endif  // KORVO_TICKER_WIN_HEADLINE_WINDOW_H_
