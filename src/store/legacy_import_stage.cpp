#include "store/legacy_import_stage.h"

#include "shell/app_shell.h"
#include "store/legacy_import.h"

namespace korvo {

bool LegacyImportStage::Start(AppShell& shell) {
  result_ = ImportLegacyDatabase(shell.folders().working_folder, progress_);
  return true;
}

}  // namespace korvo
