// The store holder of a program run: the guard that the main program keeps from start-up until
// after its message loop, so that the news database is opened once at start-up (rebuilding its
// indexes there when an update was interrupted) and closed at exit. Plugged into the application
// shell at AppStage::kStoreHolder; korvo.exe passes the progress window's provider,
// korvo-headless the console one.
//
// Threads: Start and Stop run on the shell's thread. Other threads make their own short-lived
// DatabaseGuard; they share the database this holder keeps open.
#ifndef KORVO_STORE_STORE_HOLDER_H_
#define KORVO_STORE_STORE_HOLDER_H_

#include <memory>

#include "shell/app_component.h"
#include "store/database_guard.h"
#include "store/progress.h"

namespace korvo {

class StoreHolder : public AppComponent {
 public:
  // `progress` shows an index rebuild at open; null for none. It must outlive the holder.
  explicit StoreHolder(ProgressProvider* progress) : progress_(progress) {}
  ~StoreHolder() override;

  // Opens the database in the shell's working folder. False (and nothing held) when the
  // database cannot be opened or the store lock cannot be created.
  bool Start(AppShell& shell) override;
  // Lets go of the guard; the database closes when no other guard of the process is left.
  void Stop(AppShell& shell) override;

  // The held guard; null before Start and after Stop.
  DatabaseGuard* guard() const { return guard_.get(); }

 private:
  void Release();

  ProgressProvider* progress_;
  std::unique_ptr<DatabaseGuard> guard_;
};

}  // namespace korvo

#endif  // KORVO_STORE_STORE_HOLDER_H_
