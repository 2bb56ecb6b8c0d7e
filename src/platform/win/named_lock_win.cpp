// Named locks on Windows: named mutexes, which are already recursive per thread and shared by
// every process of the session.
#include <windows.h>

#include "platform/code_page.h"
#include "platform/named_lock.h"

namespace korvo::platform {

namespace {

std::wstring WideName(const std::string& name) {
  const std::u16string u16 = Utf8ToUtf16(name);
  std::wstring wide(u16.begin(), u16.end());
  for (wchar_t& c : wide) {
    if (c == L'\\') c = L'_';  // '\' would name a kernel object namespace
  }
  return wide;
}

}  // namespace

struct NamedLock::State {
  HANDLE mutex = nullptr;
};

NamedLock::NamedLock(const std::string& name, const std::string& /*folder*/) : state_(new State) {
  state_->mutex = CreateMutexW(nullptr, FALSE, WideName(name).c_str());
}

NamedLock::~NamedLock() {
  if (state_->mutex != nullptr) CloseHandle(state_->mutex);
}

bool NamedLock::valid() const { return state_->mutex != nullptr; }

bool NamedLock::Acquire(int timeout_ms) {
  if (state_->mutex == nullptr) return false;
  const DWORD wait = timeout_ms < 0 ? INFINITE : static_cast<DWORD>(timeout_ms);
  const DWORD r = WaitForSingleObject(state_->mutex, wait);
  // An abandoned mutex (its owner died holding it) is ours now; whatever it guarded is checked
  // by its user's own recovery.
  return r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
}

void NamedLock::Release() {
  if (state_->mutex != nullptr) ReleaseMutex(state_->mutex);
}

InstanceClaim::InstanceClaim(const std::string& name, const std::string& /*folder*/) {
  HANDLE h = CreateMutexW(nullptr, FALSE, WideName(name).c_str());
  if (h == nullptr) return;
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(h);
    return;
  }
  handle_ = h;
  claimed_ = true;
}

InstanceClaim::~InstanceClaim() {
  if (handle_ != nullptr) CloseHandle(static_cast<HANDLE>(handle_));
}

}  // namespace korvo::platform
