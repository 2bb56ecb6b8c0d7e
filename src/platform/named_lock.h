// A lock shared by every thread of every process that uses the same name.
//
// Windows: a named mutex ("KorvoNewsReader_20050201", "Korvo_News_Reader_275"); a mutex left
// abandoned by a dead process counts as acquired. POSIX: an flock() lock on the file
// ".<name>.lock" in the folder given at construction (normally the working folder), so a killed
// process never blocks the next start and programs with different working folders never block
// each other.
//
// Within one process the lock is recursive per thread, like a Windows mutex: the thread that
// holds it may acquire it again and must release it as often. Other threads of the same process
// wait as other processes do.
#ifndef KORVO_PLATFORM_NAMED_LOCK_H_
#define KORVO_PLATFORM_NAMED_LOCK_H_

#include <memory>
#include <string>

namespace korvo::platform {

class NamedLock {
 public:
  // `folder` is used on POSIX only (UTF-8; empty means the current directory).
  NamedLock(const std::string& name, const std::string& folder = std::string());
  ~NamedLock();
  NamedLock(const NamedLock&) = delete;
  NamedLock& operator=(const NamedLock&) = delete;

  // True when the lock object could be created (Windows: the mutex; POSIX: the lock file).
  bool valid() const;
  // Waits until the lock is held or `timeout_ms` passed (negative: forever). True when held.
  bool Acquire(int timeout_ms = -1);
  bool TryAcquire() { return Acquire(0); }
  void Release();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// Holds a NamedLock for a scope.
class NamedLockHolder {
 public:
  explicit NamedLockHolder(NamedLock& lock) : lock_(lock), held_(lock.Acquire()) {}
  ~NamedLockHolder() {
    if (held_) lock_.Release();
  }
  NamedLockHolder(const NamedLockHolder&) = delete;
  NamedLockHolder& operator=(const NamedLockHolder&) = delete;
  bool held() const { return held_; }

 private:
  NamedLock& lock_;
  bool held_;
};

// Claims a program-wide name for the life of the object: the single-instance rule.
// Windows: if a mutex of that name already exists the claim fails; otherwise the mutex is created
// (not owned) and kept open. POSIX: an flock() on ".<name>.lock" in `folder`, held until
// destruction; it fails while another process holds it.
class InstanceClaim {
 public:
  InstanceClaim(const std::string& name, const std::string& folder = std::string());
  ~InstanceClaim();
  InstanceClaim(const InstanceClaim&) = delete;
  InstanceClaim& operator=(const InstanceClaim&) = delete;
  bool claimed() const { return claimed_; }

 private:
  bool claimed_ = false;
#ifdef _WIN32
  void* handle_ = nullptr;
#else
  int fd_ = -1;
#endif
};

}  // namespace korvo::platform

#endif  // KORVO_PLATFORM_NAMED_LOCK_H_
