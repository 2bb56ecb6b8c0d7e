// The handle through which every user of the news store locks it.
//
// The guard count and the single NewsDatabase are process-wide. The first guard creates and
// opens the database (in the working folder it names); the last one to go closes it. Each guard
// holds the cross-process lock "Korvo_News_Reader_275" (platform::NamedLock; on POSIX a lock
// file in the working folder), which serialises every database operation of every thread and of
// every process that uses the same working folder.
//
// Lock order: the store lock comes after the update run lock and before the scheduler's
// schedule lock and the changed-set lock. The guard's own process-wide mutex is taken only inside
// the constructor and destructor, never while the store lock is held by the same call.
//
// Usage: { DatabaseGuard guard; if (NewsDatabase* db = guard.Lock()) { ...; guard.Unlock(); } }
// The main program keeps one guard for its whole run; other users make short-lived ones.
#ifndef KORVO_STORE_DATABASE_GUARD_H_
#define KORVO_STORE_DATABASE_GUARD_H_

#include <memory>
#include <string>

#include "platform/named_lock.h"
#include "store/news_database.h"
#include "store/progress.h"

namespace korvo {

class DatabaseGuard {
 public:
  static constexpr const char* kLockName = "Korvo_News_Reader_275";

  // `folder` is the working folder; it counts only for the guard that opens the database (later
  // guards share the open one, wherever it is). Opening, with a rebuild after an interrupted
  // update, runs under the store lock.
  explicit DatabaseGuard(const std::string& folder = ".");
  ~DatabaseGuard();
  DatabaseGuard(const DatabaseGuard&) = delete;
  DatabaseGuard& operator=(const DatabaseGuard&) = delete;

  // Waits without time limit for the store lock and returns the database; null (lock not held)
  // when the database could not be opened or the lock not created. Recursive per thread: every
  // successful Lock needs one Unlock.
  NewsDatabase* Lock();
  void Unlock();

  // The display used when the first guard's open rebuilds the indexes; null (the default) for
  // none. Set before the first guard; the provider must outlive the database.
  static void SetProgressProvider(ProgressProvider* provider);
  // The files the first guard opens the database through; null (the default) for the system's.
  // Tests set a fault-injecting layer here before the first guard; it must outlive the database.
  static void SetFiles(StoreFiles* files);
  // The table size the first guard opens the database with (NewsDatabase::kEntryCount unless a
  // test that fills the store sets a smaller one).
  static void SetEntryCount(uint32_t entry_count);
  // The number of live guards in this process.
  static int Count();

 private:
  std::unique_ptr<platform::NamedLock> lock_;
  NewsDatabase* database_ = nullptr;
};

// Holds a guard's lock for a scope: `ScopedDatabase db(guard); if (db) db->ReadItem(...)`.
class ScopedDatabase {
 public:
  explicit ScopedDatabase(DatabaseGuard& guard) : guard_(guard), database_(guard.Lock()) {}
  ~ScopedDatabase() {
    if (database_ != nullptr) guard_.Unlock();
  }
  ScopedDatabase(const ScopedDatabase&) = delete;
  ScopedDatabase& operator=(const ScopedDatabase&) = delete;
  explicit operator bool() const { return database_ != nullptr; }
  NewsDatabase* operator->() const { return database_; }
  NewsDatabase& operator*() const { return *database_; }

 private:
  DatabaseGuard& guard_;
  NewsDatabase* database_;
};

}  // namespace korvo

#endif  // KORVO_STORE_DATABASE_GUARD_H_
