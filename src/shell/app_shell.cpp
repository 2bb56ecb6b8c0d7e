#include "shell/app_shell.h"

#include <iterator>
#include <utility>

#include "platform/app_folders.h"
#include "platform/files.h"

namespace korvo {

namespace {

// Stages in the order they stop; the settings are saved between the scheduler and the server.
constexpr AppStage kStopOrder[] = {
    AppStage::kTickerEngine, AppStage::kUpdateScheduler, AppStage::kLocalServer,
    AppStage::kPluginHost,   AppStage::kInternetMenu,    AppStage::kChannelList,
    AppStage::kStoreHolder,
};
static_assert(std::size(kStopOrder) == static_cast<size_t>(AppStage::kCount), "every stage stops");

constexpr int kEnglishLanguage = 1033;

}  // namespace

const char* AppStageName(AppStage stage) {
  switch (stage) {
    case AppStage::kStoreHolder:
      return "store holder";
    case AppStage::kChannelList:
      return "channel list";
    case AppStage::kTickerEngine:
      return "ticker engine";
    case AppStage::kUpdateScheduler:
      return "update scheduler";
    case AppStage::kLocalServer:
      return "local server";
    case AppStage::kPluginHost:
      return "plug-in host";
    case AppStage::kInternetMenu:
      return "internet menu";
    case AppStage::kCount:
      break;
  }
  return "?";
}

ProcessEnvironment ProcessEnvironment::FromSystem(std::string command_line) {
  ProcessEnvironment environment;
  environment.system = platform::OperatingSystemVersion();
  environment.language_id = platform::SystemDefaultLanguage();
  environment.command_line = std::move(command_line);
  environment.start_folder = platform::CurrentDirectory();
  environment.app_data = platform::ApplicationDataFolder();
  return environment;
}

AppShell::AppShell() : catalog_(kEnglishLanguage) {}

AppShell::~AppShell() { ReleaseProcess(); }

bool AppShell::Attach(AppStage stage, std::unique_ptr<AppComponent> component) {
  if (stage == AppStage::kCount || slot(stage).started) return false;
  slot(stage).component = std::move(component);
  return true;
}

bool AppShell::running(AppStage stage) const {
  return stage != AppStage::kCount && slot(stage).running;
}

bool AppShell::StartStage(AppStage stage) {
  Slot& s = slot(stage);
  if (s.started || s.component == nullptr) return s.running;
  s.started = true;
  s.running = s.component->Start(*this);
  return s.running;
}

void AppShell::StopStage(AppStage stage) {
  Slot& s = slot(stage);
  if (!s.running) return;
  s.running = false;
  s.component->Stop(*this);
}

// --- Process start ---

void AppShell::RecordSystem(platform::SystemVersion system, int language_id) {
  system_ = system;
  catalog_ = MessageCatalog(language_id);
}

bool AppShell::ClaimInstance(const std::string& program_folder) {
  if (instance_claimed()) return true;
  claim_ = std::make_unique<platform::InstanceClaim>(kInstanceName, program_folder);
  if (!claim_->claimed()) {
    claim_.reset();
    return false;
  }
  return true;
}

void AppShell::ScanCommandLine(std::string_view command_line) {
  options_ = korvo::ScanCommandLine(command_line);
}

bool AppShell::EnterWorkingFolder(const std::string& start_folder, const std::string& app_data) {
  folders_ = PrepareWorkingFolder(options_, start_folder, app_data);
  if (platform::ChangeDirectory(folders_.working_folder)) return true;
  // Stay in the program folder and say so, rather than work in a folder that is not current.
  platform::ChangeDirectory(folders_.program_folder);
  folders_ = PrepareWorkingFolder(CommandLineOptions{false, options_.start_in_tray}, start_folder,
                                  std::string());
  return false;
}

bool AppShell::FindWorkingFolder(const std::string& start_folder, const std::string& app_data) {
  folders_ = LocateWorkingFolder(options_, start_folder, app_data);
  return platform::DirectoryExists(folders_.working_folder) &&
         platform::ChangeDirectory(folders_.working_folder);
}

bool AppShell::TakeStoreHolder() { return StartStage(AppStage::kStoreHolder); }

// --- Main window creation ---

bool AppShell::OpenChannelList() { return StartStage(AppStage::kChannelList); }

void AppShell::LoadNetworkSettings() {
  network_ = korvo::LoadNetworkSettings(folders_.working_folder);
}

// --- Start-up continuation ---

void AppShell::LoadGeneralSettings() {
  settings_ = korvo::LoadGeneralSettings(folders_.working_folder, system_, &settings_source_);
  settings_loaded_ = true;
}

bool AppShell::StartTickerEngine() { return StartStage(AppStage::kTickerEngine); }

bool AppShell::StartUpdateScheduler() { return StartStage(AppStage::kUpdateScheduler); }

void AppShell::StartServerAndPlugins() {
  StartStage(AppStage::kLocalServer);
  StartStage(AppStage::kPluginHost);
  StartStage(AppStage::kInternetMenu);
}

// --- Shut-down ---

void AppShell::StopTickerEngine() { StopStage(AppStage::kTickerEngine); }

void AppShell::StopUpdateScheduler() { StopStage(AppStage::kUpdateScheduler); }

bool AppShell::SaveGeneralSettings() {
  if (!settings_loaded_) return false;
  return korvo::SaveGeneralSettings(folders_.working_folder, settings_);
}

void AppShell::ReleaseServices() {
  StopStage(AppStage::kLocalServer);
  StopStage(AppStage::kPluginHost);
  StopStage(AppStage::kInternetMenu);
  StopStage(AppStage::kChannelList);
}

void AppShell::ReleaseProcess() {
  for (AppStage stage : kStopOrder) StopStage(stage);
  claim_.reset();
}

// --- The whole sequence ---

AppShell::StartResult AppShell::StartProcess(const ProcessEnvironment& environment) {
  RecordSystem(environment.system, environment.language_id);
  if (!ClaimInstance(environment.start_folder)) return StartResult::kAlreadyRunning;
  ScanCommandLine(environment.command_line);
  EnterWorkingFolder(environment.start_folder, environment.app_data);
  TakeStoreHolder();
  return StartResult::kStarted;
}

void AppShell::OpenMainWindowParts() {
  OpenChannelList();
  LoadNetworkSettings();
}

void AppShell::ContinueStartup() {
  LoadGeneralSettings();
  StartTickerEngine();
  StartUpdateScheduler();
  StartServerAndPlugins();
}

AppShell::StartResult AppShell::Start(const ProcessEnvironment& environment) {
  if (StartProcess(environment) == StartResult::kAlreadyRunning) {
    return StartResult::kAlreadyRunning;
  }
  OpenMainWindowParts();
  ContinueStartup();
  return StartResult::kStarted;
}

void AppShell::ShutDown() {
  StopTickerEngine();
  StopUpdateScheduler();
  SaveGeneralSettings();
  ReleaseServices();
  ReleaseProcess();
}

}  // namespace korvo
