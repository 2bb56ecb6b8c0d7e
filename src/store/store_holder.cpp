#include "store/store_holder.h"

#include "shell/app_shell.h"

namespace korvo {

StoreHolder::~StoreHolder() { Release(); }

bool StoreHolder::Start(AppShell& shell) {
  Release();
  DatabaseGuard::SetProgressProvider(progress_);
  guard_ = std::make_unique<DatabaseGuard>(shell.folders().working_folder);
  // Lock once: a guard whose database did not open (or whose lock could not be made) gives
  // null here, and the program then runs without a store.
  NewsDatabase* db = guard_->Lock();
  if (db == nullptr) {
    Release();
    return false;
  }
  guard_->Unlock();
  return true;
}

void StoreHolder::Stop(AppShell& /*shell*/) { Release(); }

void StoreHolder::Release() {
  if (guard_ == nullptr) return;
  guard_.reset();
  // The provider may go away with its owner; a later first guard opens without a display.
  DatabaseGuard::SetProgressProvider(nullptr);
}

}  // namespace korvo
