#include "ticker/ticker_list_stage.h"

#include "shell/app_shell.h"
#include "ticker/ticker_dump.h"

namespace korvo {

namespace {

std::string DumpPath(const AppShell& shell) {
  return shell.folders().working_folder + "/" + kTickerDumpName;
}

}  // namespace

bool TickerListStage::Start(AppShell& shell) {
  if (!lists_) return false;
  lists_->LoadSavedList(DumpPath(shell));
  return true;
}

void TickerListStage::Stop(AppShell& shell) {
  lists_->SaveShownList(DumpPath(shell));
  lists_->Clear();
}

}  // namespace korvo
