// The start-up stage that imports the earlier database format (AppStage::kStoreImport): as the
// main window is created, before the channel list loads, a working folder that still holds
// database/newsdata.dat has it converted once into the news store (ImportLegacyDatabase), with
// the progress display of the program (korvo.exe: the progress window with its stop question;
// korvo-headless: lines on the console).
//
// Threads: Start and Stop run on the shell's thread. The store holder keeps the database open
// meanwhile; the import takes its own guard.
#ifndef KORVO_STORE_LEGACY_IMPORT_STAGE_H_
#define KORVO_STORE_LEGACY_IMPORT_STAGE_H_

#include "shell/app_component.h"
#include "store/progress.h"

namespace korvo {

class LegacyImportStage : public AppComponent {
 public:
  // `progress` shows the conversion; null for none. It must outlive Start.
  explicit LegacyImportStage(ProgressProvider* progress) : progress_(progress) {}

  // Imports when there is something to import. Always true: a failed or stopped conversion
  // leaves the old files for the next start, and the program runs on with the store it has.
  bool Start(AppShell& shell) override;
  void Stop(AppShell&) override {}

  // ImportLegacyDatabase's result at Start: 1 nothing to import, 0 converted, -1 not (yet).
  int result() const { return result_; }

 private:
  ProgressProvider* progress_;
  int result_ = 1;
};

}  // namespace korvo

#endif  // KORVO_STORE_LEGACY_IMPORT_STAGE_H_
