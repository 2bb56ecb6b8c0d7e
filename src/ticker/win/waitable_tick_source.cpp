#include "ticker/win/waitable_tick_source.h"

namespace korvo {

WaitableTickSource::WaitableTickSource()
    : timer_(CreateWaitableTimerW(nullptr, FALSE, nullptr)),
      interrupt_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

WaitableTickSource::~WaitableTickSource() {
  if (timer_ != nullptr) CloseHandle(timer_);
  if (interrupt_ != nullptr) CloseHandle(interrupt_);
}

void WaitableTickSource::Begin() {
  if (timer_ == nullptr) return;
  LARGE_INTEGER due;
  due.QuadPart = -1000;  // 0.1 ms, relative, in 100 ns units
  SetWaitableTimer(timer_, &due, kTickMilliseconds, nullptr, nullptr, FALSE);
}

void WaitableTickSource::Wait() {
  if (timer_ == nullptr) {
    // No timer could be made: sleep the period instead, still interruptible.
    if (interrupt_ != nullptr) {
      WaitForSingleObject(interrupt_, kTickMilliseconds);
    } else {
      Sleep(kTickMilliseconds);
    }
    return;
  }
  HANDLE handles[2] = {timer_, interrupt_};
  // The time limit only guards against a timer that could not be armed.
  WaitForMultipleObjects(interrupt_ != nullptr ? 2 : 1, handles, FALSE, 250);
}

void WaitableTickSource::End() {
  if (timer_ != nullptr) CancelWaitableTimer(timer_);
}

void WaitableTickSource::Interrupt() {
  if (interrupt_ != nullptr) SetEvent(interrupt_);
}

}  // namespace korvo
