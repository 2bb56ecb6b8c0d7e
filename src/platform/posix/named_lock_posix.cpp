// Named locks on POSIX: flock() on a file in the given folder, plus a process-local recursive
// mutex per lock file, because flock() locks held through different descriptors of one process
// would block each other and a thread must be able to take the lock again.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <map>
#include <mutex>
#include <thread>

#include "platform/named_lock.h"

namespace korvo::platform {

namespace {

std::string LockPath(const std::string& name, const std::string& folder) {
  std::string dir = folder.empty() ? std::string(".") : folder;
  std::replace(dir.begin(), dir.end(), '\\', '/');
  return dir + "/." + name + ".lock";
}

// Shared by every NamedLock object of this process that names the same lock file.
struct ProcessLock {
  std::recursive_timed_mutex mutex;  // threads of this process
  int fd = -1;                       // the lock file; flock held while depth > 0
  int depth = 0;                     // guarded by `mutex`
  int users = 0;                     // guarded by RegistryMutex()
};

std::mutex& RegistryMutex() {
  static std::mutex m;
  return m;
}

std::map<std::string, ProcessLock*>& Registry() {
  static std::map<std::string, ProcessLock*> r;
  return r;
}

}  // namespace

struct NamedLock::State {
  std::string path;
  ProcessLock* lock = nullptr;
};

NamedLock::NamedLock(const std::string& name, const std::string& folder)
    : state_(new State) {
  state_->path = LockPath(name, folder);
  std::lock_guard<std::mutex> g(RegistryMutex());
  ProcessLock*& lock = Registry()[state_->path];
  if (lock == nullptr) {
    lock = new ProcessLock;  // freed when its last user goes
    lock->fd = ::open(state_->path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  }
  ++lock->users;
  state_->lock = lock;
}

NamedLock::~NamedLock() {
  std::lock_guard<std::mutex> g(RegistryMutex());
  ProcessLock* lock = state_->lock;
  if (--lock->users == 0) {
    if (lock->fd >= 0) ::close(lock->fd);
    Registry().erase(state_->path);
    delete lock;
  }
}

bool NamedLock::valid() const { return state_->lock->fd >= 0; }

bool NamedLock::Acquire(int timeout_ms) {
  ProcessLock* lock = state_->lock;
  if (lock->fd < 0) return false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  if (timeout_ms < 0) {
    lock->mutex.lock();
  } else if (!lock->mutex.try_lock_until(deadline)) {
    return false;
  }
  if (lock->depth > 0) {  // this thread already holds the file lock
    ++lock->depth;
    return true;
  }
  if (timeout_ms < 0) {
    while (::flock(lock->fd, LOCK_EX) != 0) {
      if (errno != EINTR) {
        lock->mutex.unlock();
        return false;
      }
    }
  } else {
    // flock() has no time-out: poll without blocking until the deadline.
    while (::flock(lock->fd, LOCK_EX | LOCK_NB) != 0) {
      if ((errno != EWOULDBLOCK && errno != EINTR) ||
          std::chrono::steady_clock::now() >= deadline) {
        lock->mutex.unlock();
        return false;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }
  lock->depth = 1;
  return true;
}

void NamedLock::Release() {
  ProcessLock* lock = state_->lock;
  if (lock->fd < 0) return;
  if (--lock->depth == 0) ::flock(lock->fd, LOCK_UN);
  lock->mutex.unlock();
}

InstanceClaim::InstanceClaim(const std::string& name, const std::string& folder) {
  fd_ = ::open(LockPath(name, folder).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  claimed_ = fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) == 0;
}

InstanceClaim::~InstanceClaim() {
  if (fd_ >= 0) ::close(fd_);  // closing drops the flock
}

}  // namespace korvo::platform
