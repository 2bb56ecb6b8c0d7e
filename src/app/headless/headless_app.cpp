#include "app/headless/headless_app.h"

#include <memory>

#include "platform/code_page.h"
#include "platform/termination_signal.h"
#include "store/store_holder.h"

namespace korvo {

void HeadlessApp::AttachComponents(AppShell& shell) {
  // Each subsystem adds its line here, for example
  //   shell.Attach(AppStage::kUpdateScheduler, std::make_unique<...>(...));
  shell.Attach(AppStage::kStoreHolder, std::make_unique<StoreHolder>(&progress_));
}

void HeadlessApp::PrintLocations(const AppShell& shell) {
  const AppFolders& f = shell.folders();
  out_ << "korvo-headless: running\n"
       << "program folder: " << f.program_folder << "\n"
       << "working folder: " << f.working_folder << (f.per_user ? " (per user)" : "") << "\n"
       << "skin folder: " << f.skin_folder << "\n"
       << "cache folder: " << f.cache_folder << "\n"
       << "database folder: " << f.database_folder << "\n"
       << "settings: " << f.working_folder << "/setup.ini\n"
       << "start in tray: " << (shell.options().start_in_tray ? "yes" : "no") << "\n";
  for (int i = 0; i < static_cast<int>(AppStage::kCount); ++i) {
    const auto stage = static_cast<AppStage>(i);
    if (shell.running(stage)) out_ << "started: " << AppStageName(stage) << "\n";
  }
  out_.flush();
}

int HeadlessApp::Run(const std::vector<std::string>& arguments) {
  // Installed first, so that every thread started later leaves the signals to it.
  platform::TerminationSignal termination;
  AppShell shell;
  const ProcessEnvironment environment = ProcessEnvironment::FromSystem(JoinArguments(arguments));

  shell.RecordSystem(environment.system, environment.language_id);
  if (!shell.ClaimInstance(environment.start_folder)) {
    out_ << platform::Cp932ToUtf8(shell.catalog().Text(MessageCatalog::kAlreadyRunning)) << "\n";
    out_.flush();
    return 0;
  }
  shell.ScanCommandLine(environment.command_line);
  shell.EnterWorkingFolder(environment.start_folder, environment.app_data);
  AttachComponents(shell);
  shell.TakeStoreHolder();
  shell.OpenMainWindowParts();
  shell.ContinueStartup();
  PrintLocations(shell);

  if (!termination.installed()) {
    out_ << "korvo-headless: cannot wait for a termination signal\n";
  } else {
    termination.Wait(-1);
  }

  out_ << "korvo-headless: shutting down\n";
  out_.flush();
  shell.StopTickerEngine();
  shell.StopUpdateScheduler();
  const bool saved = shell.SaveGeneralSettings();
  shell.ReleaseServices();
  shell.ReleaseProcess();
  out_ << "korvo-headless: stopped" << (saved ? ", settings saved" : ", settings NOT saved")
       << "\n";
  out_.flush();
  termination.Done();
  return 0;
}

}  // namespace korvo
