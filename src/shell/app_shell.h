// The application shell: the process-wide state of one run (catalog, switches, folders, settings,
// the single-instance claim) and the start-up and shut-down sequence that korvo.exe and
// korvo-headless share.
//
// The sequence is a list of steps, one method each, named after what they do and called in the
// order below. korvo.exe interleaves its window work between them (window classes before the
// store holder, the main window before the channel list, the placement and the skin after the
// settings load, the placement copied into settings() before the save); korvo-headless, which
// has no windows, calls Start() and ShutDown(), which run the steps in the same order.
//
//   Process start                    StartProcess() runs 1-5
//     1. RecordSystem                 system version, MessageCatalog
//     2. ClaimInstance                the instance name "KorvoNewsReader_20050201"; false: another
//                                     copy runs (show catalog entry 0, end with exit code 0)
//     3. ScanCommandLine              "-user", "-m"
//     4. EnterWorkingFolder           choose and prepare it, make it the current directory
//     5. TakeStoreHolder              component kStoreHolder
//   Main window creation             OpenMainWindowParts() runs 6-7
//     6. OpenChannelList              component kChannelList
//     7. LoadNetworkSettings          section `connect`
//   Start-up continuation            ContinueStartup() runs 8-11 (korvo.exe: timer 10)
//     8. LoadGeneralSettings          eboard import or setup.ini
//     9. StartTickerEngine            component kTickerEngine
//    10. StartUpdateScheduler         component kUpdateScheduler
//    11. StartServerAndPlugins        components kLocalServer, kPluginHost, kInternetMenu
//   Shut-down                        ShutDown() runs 12-16
//    12. StopTickerEngine
//    13. StopUpdateScheduler
//    14. SaveGeneralSettings          korvo.exe first copies placement and skin into settings()
//    15. ReleaseServices              server, plug-in host, internet menu, channel list
//    16. ReleaseProcess               store holder (after the message loop), instance claim
//
// A component is started at most once and stopped at most once, and only after it started; a
// step called out of order does its own work only. Steps without components may be repeated
// (LoadNetworkSettings after the options dialog saved them, for one). ReleaseProcess and the
// destructor stop whatever still runs, in shut-down order, but never save the settings.
//
// Thread-safety: all methods are called on one thread (korvo.exe: the window thread). Components
// that read settings() from other threads must copy what they need in their Start.
#ifndef KORVO_SHELL_APP_SHELL_H_
#define KORVO_SHELL_APP_SHELL_H_

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/named_lock.h"
#include "platform/system_info.h"
#include "shell/app_component.h"
#include "shell/command_line.h"
#include "shell/general_settings.h"
#include "shell/message_catalog.h"
#include "shell/network_settings.h"
#include "shell/working_folder.h"

namespace korvo {

constexpr char kInstanceName[] = "KorvoNewsReader_20050201";

// What the process start needs from the system, gathered by the caller (tests pass their own).
struct ProcessEnvironment {
  platform::SystemVersion system;  // platform::OperatingSystemVersion()
  int language_id = 0;             // platform::SystemDefaultLanguage()
  std::string command_line;        // the text after the program name
  std::string start_folder;        // platform::CurrentDirectory() at start
  std::string app_data;            // platform::ApplicationDataFolder()

  // The values of the running system, with `command_line`.
  static ProcessEnvironment FromSystem(std::string command_line);
};

class AppShell {
 public:
  enum class StartResult { kStarted, kAlreadyRunning };

  AppShell();
  ~AppShell();
  AppShell(const AppShell&) = delete;
  AppShell& operator=(const AppShell&) = delete;

  // Plugs `component` in at `stage`, replacing one that has not started. Call before the step
  // that starts the stage; false (and the component is dropped) once that stage has started.
  bool Attach(AppStage stage, std::unique_ptr<AppComponent> component);

  // --- Process start ---
  void RecordSystem(platform::SystemVersion system, int language_id);
  // Claims the single-instance name (POSIX: lock file in `program_folder`). The claim is held
  // until ReleaseProcess. False when another copy holds it.
  bool ClaimInstance(const std::string& program_folder);
  void ScanCommandLine(std::string_view command_line);
  // Prepares the working folder (working_folder.h) and makes it the current directory. False
  // when it could not be made current (the program folder stays current then, and folders()
  // says so).
  bool EnterWorkingFolder(const std::string& start_folder, const std::string& app_data);
  // For a run that only reads: picks the working folder without creating anything
  // (LocateWorkingFolder) and makes it current when it exists. False when it does not exist.
  bool FindWorkingFolder(const std::string& start_folder, const std::string& app_data);
  bool TakeStoreHolder();

  // --- Main window creation ---
  bool OpenChannelList();
  void LoadNetworkSettings();

  // --- Start-up continuation ---
  void LoadGeneralSettings();
  bool StartTickerEngine();
  bool StartUpdateScheduler();
  void StartServerAndPlugins();

  // --- Shut-down ---
  void StopTickerEngine();
  void StopUpdateScheduler();
  // Saves settings() to setup.ini in the working folder. Nothing is saved before the settings
  // were loaded (a copy that failed to start must not overwrite the file with defaults).
  bool SaveGeneralSettings();
  void ReleaseServices();
  void ReleaseProcess();

  // --- The whole sequence, for programs without windows ---
  // Steps 1-5, stopping after 2 when another copy runs.
  StartResult StartProcess(const ProcessEnvironment& environment);
  void OpenMainWindowParts();                                // steps 6-7
  void ContinueStartup();                                    // steps 8-11
  StartResult Start(const ProcessEnvironment& environment);  // steps 1-11
  void ShutDown();                                           // steps 12-16

  // --- State of the run ---
  platform::SystemVersion system() const { return system_; }
  // Valid after RecordSystem (English until then).
  const MessageCatalog& catalog() const { return catalog_; }
  const CommandLineOptions& options() const { return options_; }
  const AppFolders& folders() const { return folders_; }
  bool settings_loaded() const { return settings_loaded_; }
  GeneralSettings& settings() { return settings_; }
  const GeneralSettings& settings() const { return settings_; }
  // The general flags word as the window answers it: 0 before the settings are loaded.
  uint32_t general_flags() const { return settings_loaded_ ? settings_.flags : 0; }
  SettingsSource settings_source() const { return settings_source_; }
  NetworkSettings& network() { return network_; }
  const NetworkSettings& network() const { return network_; }
  bool instance_claimed() const { return claim_ != nullptr && claim_->claimed(); }
  // Whether the component at `stage` started and has not stopped.
  bool running(AppStage stage) const;

 private:
  struct Slot {
    std::unique_ptr<AppComponent> component;
    bool started = false;  // Start was called (whatever it returned)
    bool running = false;  // Start returned true and Stop was not called yet
  };

  bool StartStage(AppStage stage);
  void StopStage(AppStage stage);
  Slot& slot(AppStage stage) { return slots_[static_cast<size_t>(stage)]; }
  const Slot& slot(AppStage stage) const { return slots_[static_cast<size_t>(stage)]; }

  platform::SystemVersion system_;
  MessageCatalog catalog_;
  std::unique_ptr<platform::InstanceClaim> claim_;
  CommandLineOptions options_;
  AppFolders folders_;
  GeneralSettings settings_;
  bool settings_loaded_ = false;
  SettingsSource settings_source_ = SettingsSource::kSetupIni;
  NetworkSettings network_;
  std::array<Slot, static_cast<size_t>(AppStage::kCount)> slots_;
};

}  // namespace korvo

#endif  // KORVO_SHELL_APP_SHELL_H_
