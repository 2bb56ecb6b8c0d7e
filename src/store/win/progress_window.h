// The progress window of the Windows program: a window of class "MyMessageWindow", 320 pixels
// wide and a caption height plus 35 pixels high, centred on the work area, showing a progress
// bar. It runs on a thread of its own with its own message loop; the job's thread drives it with
// posted requests (set range, step, set position, close), so a busy job never blocks on it and a
// hung window never blocks the job. The user may close it with its close box; the job then sees
// IsOpen() false and asks the stop question through the provider.
#ifndef KORVO_STORE_WIN_PROGRESS_WINDOW_H_
#define KORVO_STORE_WIN_PROGRESS_WINDOW_H_

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "store/progress.h"
#include "store/progress_meter.h"

namespace korvo {

// Registers the window class "MyMessageWindow" (window colour background, redraw on size
// changes, icon 107 when the program has it). True when the class exists afterwards. The main
// window registers it at start-up through this function; the progress window calls it too.
bool RegisterMessageWindowClass(HINSTANCE instance);

class ProgressWindow : public Progress {
 public:
  // Starts the window thread and waits up to 1 second, then up to 4 seconds more, for the
  // window. Null when it did not appear.
  static std::unique_ptr<ProgressWindow> Start(HINSTANCE instance, const std::wstring& title);
  ~ProgressWindow() override;

  // Called from the job's thread only.
  void SetRange(uint32_t range) override;
  void Step() override;
  void SetPosition(uint32_t position) override;
  bool IsOpen() const override { return open_.load(); }
  // Asks the window to close and waits for its thread.
  void Close() override;

 private:
  ProgressWindow() = default;
  void Run(HINSTANCE instance, std::wstring title);
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w, LPARAM l);
  void Post(UINT message, WPARAM w);

  std::thread thread_;
  std::mutex mutex_;  // guards ready_
  std::condition_variable ready_cv_;
  bool ready_ = false;
  std::atomic<HWND> window_{nullptr};  // null once destroyed
  std::atomic<bool> open_{false};
  std::atomic<bool> closing_{false};
  ProgressMeter meter_;  // the job's thread only
};

// Shows ProgressWindow displays and asks the stop question in a message box (OK / Cancel, warning
// icon, caption "KorvoNewsReader").
class WindowProgressProvider : public ProgressProvider {
 public:
  // `stop_question` is message 24 of the message catalog, CP932; `owner` may be null.
  WindowProgressProvider(HINSTANCE instance, const std::string& stop_question,
                         HWND owner = nullptr);
  std::unique_ptr<Progress> Start(const std::string& title) override;
  bool ConfirmStop() override;

 private:
  HINSTANCE instance_;
  std::wstring stop_question_;
  HWND owner_;
};

}  // namespace korvo

#endif  // KORVO_STORE_WIN_PROGRESS_WINDOW_H_
