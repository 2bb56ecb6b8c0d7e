// Console control events. The handler runs on a thread of its own that the system creates; for
// console close, log-off and shut-down the process ends as soon as it returns, so it waits (at
// most 10 s) until the program has called Done().
#include <windows.h>

#include <atomic>

#include "platform/termination_signal.h"

namespace korvo::platform {

namespace {

HANDLE g_requested = nullptr;  // auto-reset: one Wait() per request
HANDLE g_done = nullptr;       // manual reset: set by Done()
std::atomic<int> g_reason{0};

BOOL WINAPI OnControl(DWORD type) {
  g_reason = static_cast<int>(type) + 1000;
  SetEvent(g_requested);
  if (type == CTRL_CLOSE_EVENT || type == CTRL_LOGOFF_EVENT || type == CTRL_SHUTDOWN_EVENT) {
    WaitForSingleObject(g_done, 10000);
  }
  return TRUE;
}

}  // namespace

TerminationSignal::TerminationSignal() {
  g_requested = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  g_done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (g_requested == nullptr || g_done == nullptr) return;
  installed_ = SetConsoleCtrlHandler(OnControl, TRUE) != FALSE;
}

TerminationSignal::~TerminationSignal() {
  if (installed_) SetConsoleCtrlHandler(OnControl, FALSE);
  if (g_done != nullptr) {
    SetEvent(g_done);  // never leave the handler thread waiting
    CloseHandle(g_done);
  }
  if (g_requested != nullptr) CloseHandle(g_requested);
  g_done = g_requested = nullptr;
}

int TerminationSignal::Wait(int timeout_ms) {
  if (!installed_) return 0;
  const DWORD wait = timeout_ms < 0 ? INFINITE : static_cast<DWORD>(timeout_ms);
  if (WaitForSingleObject(g_requested, wait) != WAIT_OBJECT_0) return 0;
  return g_reason.exchange(0);
}

void TerminationSignal::Request() {
  if (!installed_) return;
  g_reason = -1;
  SetEvent(g_requested);
}

void TerminationSignal::Done() {
  if (g_done != nullptr) SetEvent(g_done);
}

}  // namespace korvo::platform
