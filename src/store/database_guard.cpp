#include "store/database_guard.h"

#include <mutex>

namespace korvo {

namespace {

// Process-wide state of the guards, guarded by Mutex().
struct Shared {
  int count = 0;
  std::unique_ptr<NewsDatabase> database;
  bool opened = false;
  ProgressProvider* progress = nullptr;
  StoreFiles* files = nullptr;
  uint32_t entry_count = NewsDatabase::kEntryCount;
};

std::mutex& Mutex() {
  static std::mutex m;
  return m;
}

Shared& State() {
  static Shared s;
  return s;
}

}  // namespace

DatabaseGuard::DatabaseGuard(const std::string& folder) {
  std::lock_guard<std::mutex> hold(Mutex());
  Shared& s = State();
  if (++s.count == 1) {
    s.database = std::make_unique<NewsDatabase>();
    const std::string where = folder.empty() ? std::string(".") : folder;
    platform::NamedLock open_lock(kLockName, where);
    platform::NamedLockHolder held(open_lock);
    StoreFiles& files = s.files != nullptr ? *s.files : StoreFiles::System();
    s.opened = held.held() && s.database->Open(where, s.progress, files, s.entry_count);
  }
  lock_ = std::make_unique<platform::NamedLock>(
      kLockName, s.database->folder().empty() ? folder : s.database->folder());
  if (s.opened && lock_->valid()) database_ = s.database.get();
}

DatabaseGuard::~DatabaseGuard() {
  std::lock_guard<std::mutex> hold(Mutex());
  Shared& s = State();
  if (--s.count == 0) {
    if (s.opened && lock_->Acquire()) {
      // The table is saved whole at close: first take in what other processes changed.
      s.database->SyncFromDisk();
      s.database->Close();
      lock_->Release();
    }
    s.database.reset();
    s.opened = false;
  }
}

NewsDatabase* DatabaseGuard::Lock() {
  if (database_ == nullptr || !lock_->Acquire()) return nullptr;
  database_->SyncFromDisk();
  return database_;
}

void DatabaseGuard::Unlock() {
  if (database_ != nullptr) lock_->Release();
}

void DatabaseGuard::SetProgressProvider(ProgressProvider* provider) {
  std::lock_guard<std::mutex> hold(Mutex());
  State().progress = provider;
}

void DatabaseGuard::SetFiles(StoreFiles* files) {
  std::lock_guard<std::mutex> hold(Mutex());
  State().files = files;
}

void DatabaseGuard::SetEntryCount(uint32_t entry_count) {
  std::lock_guard<std::mutex> hold(Mutex());
  State().entry_count = entry_count;
}

int DatabaseGuard::Count() {
  std::lock_guard<std::mutex> hold(Mutex());
  return State().count;
}

}  // namespace korvo
