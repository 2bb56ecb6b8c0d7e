// WaitableTickSource: the display's 16 ms clock in korvo.exe, a periodic waitable timer (first
// due after 0.1 ms), so the headline moves evenly even while the window thread is busy. An event
// interrupts a wait at once.
//
// Threads: Begin, Wait and End on the display thread; Interrupt from any thread.
#ifndef KORVO_TICKER_WIN_WAITABLE_TICK_SOURCE_H_
#define KORVO_TICKER_WIN_WAITABLE_TICK_SOURCE_H_

#include <windows.h>

#include "ticker/headline_display.h"

namespace korvo {

class WaitableTickSource : public TickSource {
 public:
  WaitableTickSource();
  ~WaitableTickSource() override;
  WaitableTickSource(const WaitableTickSource&) = delete;
  WaitableTickSource& operator=(const WaitableTickSource&) = delete;

  void Begin() override;
  void Wait() override;
  void End() override;
  void Interrupt() override;

 private:
  HANDLE timer_ = nullptr;
  HANDLE interrupt_ = nullptr;  // auto-reset
};

}  // namespace korvo

#endif  // KORVO_TICKER_WIN_WAITABLE_TICK_SOURCE_H_
