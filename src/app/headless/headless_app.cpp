#include "app/headless/headless_app.h"

#include <iostream>
#include <memory>
#include <sstream>

#include "app/headless/command_file.h"
#include "app/headless/echo_plugin.h"
#include "app/headless/headless_ticker_host.h"
#include "app/server_wiring.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/termination_signal.h"
#include "shell/main_window_ids.h"
#include "store/database_guard.h"
#include "store/store_dump.h"
#include "store/store_holder.h"
#include "ticker/headline_display.h"
#include "ticker/timing_renderer.h"
#include "update/update_component.h"

namespace korvo {

namespace {

// How often the waiting main thread looks at the command file.
constexpr int kCommandPollMs = 100;
// The exit code, and the message, of a run or a listing whose store could only be opened for
// reading (read-only files or folder): what is there is listed and shown, nothing is stored.
constexpr int kExitReadOnlyStore = 3;
constexpr const char* kReadOnlyStoreMessage =
    "korvo-headless: the news store is read-only: nothing can be stored";

}  // namespace

void HeadlessApp::AttachComponents(AppShell& shell) {
  shell.Attach(AppStage::kStoreHolder, std::make_unique<StoreHolder>(&progress_));
  update_ = AttachUpdateRoad(shell, [this](const std::string& line) { Print(line); });
  auto display = std::make_shared<HeadlineDisplay>(std::make_unique<TimingRenderer>(),
                                                   std::make_unique<SteadyTickSource>());
  auto host =
      std::make_shared<HeadlessTickerHost>([this](const std::string& line) { Print(line); });
  ticker_ = AttachTickerEngine(shell, update_.ticker, std::move(display), std::move(host));
  server_ = AttachLocalServer(shell, update_, [this](const std::string& line) { Print(line); });
}

void HeadlessApp::StartTicker(const AppShell& shell) {
  // What korvo.exe's start-up pushes once the engine runs: Shuffle in random order, Relayout,
  // and Next to show the first item.
  if (!ticker_.engine || !shell.running(AppStage::kTickerEngine)) return;
  const size_t count = ticker_.component->first_list_count();
  if ((shell.settings().flags & general_flags::kRandomOrder) != 0 && count > 0) {
    ticker_.engine->Push(static_cast<uint8_t>(EngineCommand::kShuffle));
  }
  ticker_.engine->Push(static_cast<uint8_t>(EngineCommand::kRelayout));
  if (count > 0) ticker_.engine->Push(static_cast<uint8_t>(EngineCommand::kNext));
}

void HeadlessApp::Print(const std::string& line) {
  std::lock_guard<std::mutex> lock(out_mutex_);
  out_ << line << "\n";
  out_.flush();
}

void HeadlessApp::PrintLocations(const AppShell& shell) {
  const AppFolders& f = shell.folders();
  std::ostringstream text;
  text << "korvo-headless: running\n"
       << "program folder: " << f.program_folder << "\n"
       << "working folder: " << f.working_folder << (f.per_user ? " (per user)" : "") << "\n"
       << "skin folder: " << f.skin_folder << "\n"
       << "cache folder: " << f.cache_folder << "\n"
       << "database folder: " << f.database_folder << "\n"
       << "settings: " << f.working_folder << "/setup.ini\n"
       << "start in tray: " << (shell.options().start_in_tray ? "yes" : "no");
  for (int i = 0; i < static_cast<int>(AppStage::kCount); ++i) {
    const auto stage = static_cast<AppStage>(i);
    if (shell.running(stage)) text << "\nstarted: " << AppStageName(stage);
  }
  Print(text.str());
}

int HeadlessApp::DumpStore(const AppShell& shell) {
  // Without an allocation table there is no store: nothing to list, and none is made.
  if (!platform::FileExists(shell.folders().database_folder + "/fat")) return 0;
  DatabaseGuard guard(shell.folders().working_folder);
  ScopedDatabase db(guard);
  if (!db) {
    Print("korvo-headless: the news store cannot be opened");
    return 1;
  }
  {
    std::lock_guard<std::mutex> lock(out_mutex_);
    korvo::DumpStore(*db, out_);
  }
  if (db->read_only()) {
    // Listed as it is; the message goes beside the listing, not into it.
    std::cerr << kReadOnlyStoreMessage << std::endl;
    return kExitReadOnlyStore;
  }
  return 0;
}

bool HeadlessApp::RunCommands() {
  for (const HeadlessCommand& command : TakeCommands(options_.command_file)) {
    UpdateComponent* update = update_.update;
    switch (command.kind) {
      case HeadlessCommand::kRun:
        if (!update || !update->RunNow()) Print("command: run refused");
        break;
      case HeadlessCommand::kRunCached:
        if (!update || !update->RunNowWithoutFetching()) Print("command: run-cached refused");
        break;
      case HeadlessCommand::kDump: {
        std::ostringstream listing;
        bool dumped = false;
        {
          DatabaseGuard guard;
          ScopedDatabase db(guard);
          if (db) {
            korvo::DumpStore(*db, listing);
            dumped = true;
          }
        }
        const std::string temporary = command.argument + ".tmp";
        if (!dumped || !platform::WriteWholeFile(temporary, listing.str()) ||
            !platform::RenameFile(temporary, command.argument, true)) {
          Print("command: dump to " + command.argument + " failed");
        }
        break;
      }
      case HeadlessCommand::kTicker:
        if (!ticker_.engine || ticker_.engine->Push(static_cast<uint8_t>(command.code)) != 0) {
          Print("command: ticker " + std::to_string(command.code) + " refused");
        }
        break;
      case HeadlessCommand::kQuit:
        return false;
      case HeadlessCommand::kUnknown:
        Print("command: unknown '" + command.argument + "'");
        break;
    }
  }
  return true;
}

int HeadlessApp::Run(const std::vector<std::string>& arguments) {
  // Installed first, so that every thread started later leaves the signals to it.
  platform::TerminationSignal termination;
  AppShell shell;
  options_ = ParseHeadlessOptions(arguments, platform::CurrentDirectory());
  if (!options_.error.empty()) {
    Print("korvo-headless: " + options_.error);
    return 2;
  }
  const ProcessEnvironment environment =
      ProcessEnvironment::FromSystem(JoinArguments(options_.shell_arguments));

  shell.RecordSystem(environment.system, environment.language_id);
  if (!shell.ClaimInstance(environment.start_folder)) {
    Print(platform::Cp932ToUtf8(shell.catalog().Text(MessageCatalog::kAlreadyRunning)));
    // A listing asked for while the program runs would be empty: say that it failed.
    return options_.dump_store ? 1 : 0;
  }
  shell.ScanCommandLine(environment.command_line);
  if (options_.dump_store) {
    // A listing only reads: it creates no working folder, no database folder and no store.
    if (!shell.FindWorkingFolder(environment.start_folder, environment.app_data)) return 0;
    return DumpStore(shell);
  }
  shell.EnterWorkingFolder(environment.start_folder, environment.app_data);

  AttachComponents(shell);
  if (!options_.echo_plugin_log.empty()) InstallEchoPlugin(options_.echo_plugin_log);
  shell.TakeStoreHolder();
  bool read_only_store = false;
  {
    DatabaseGuard guard(shell.folders().working_folder);
    ScopedDatabase db(guard);
    read_only_store = db && db->read_only();
  }
  if (read_only_store) Print(kReadOnlyStoreMessage);
  shell.OpenMainWindowParts();
  shell.ContinueStartup();
  PrintLocations(shell);
  StartTicker(shell);

  if (!termination.installed()) {
    Print("korvo-headless: cannot wait for a termination signal");
  } else {
    while (termination.Wait(options_.command_file.empty() ? -1 : kCommandPollMs) == 0) {
      if (!RunCommands()) break;
    }
  }

  Print("korvo-headless: shutting down");
  shell.StopTickerEngine();
  shell.StopUpdateScheduler();
  const bool saved = shell.SaveGeneralSettings();
  shell.ReleaseServices();  // the server stops before the stand-in plug-in goes
  if (!options_.echo_plugin_log.empty()) UninstallEchoPlugin();
  shell.ReleaseProcess();
  Print(std::string("korvo-headless: stopped") +
        (saved ? ", settings saved" : ", settings NOT saved"));
  termination.Done();
  return read_only_store ? kExitReadOnlyStore : 0;
}

}  // namespace korvo
