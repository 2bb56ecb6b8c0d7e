#include "shell/app_shell.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/temp_folder.h"
#include "platform/files.h"

namespace korvo {
namespace {

using korvo::testing::ScopedCurrentDirectory;
using korvo::testing::TempFolder;

// Writes what happens to it into a shared log; Start fails when told to.
class RecordingComponent : public AppComponent {
 public:
  RecordingComponent(std::string name, std::vector<std::string>* log, bool start_ok = true)
      : name_(std::move(name)), log_(log), start_ok_(start_ok) {}
  bool Start(AppShell& shell) override {
    log_->push_back("start " + name_ + (shell.settings_loaded() ? " (settings)" : ""));
    return start_ok_;
  }
  void Stop(AppShell& shell) override {
    const bool saved = platform::FileExists(shell.folders().working_folder + "/setup.ini");
    log_->push_back("stop " + name_ + (saved ? " (saved)" : ""));
  }

 private:
  std::string name_;
  std::vector<std::string>* log_;
  bool start_ok_;
};

class AppShellTest : public ::testing::Test {
 protected:
  ProcessEnvironment Environment(const std::string& command_line = std::string()) {
    ProcessEnvironment environment;
    environment.system = {6, 1};
    environment.language_id = 1041;
    environment.command_line = command_line;
    environment.start_folder = program_.path();
    environment.app_data = app_data_.path();
    return environment;
  }
  void AttachAll(AppShell& shell, AppStage failing = AppStage::kCount) {
    for (int i = 0; i < static_cast<int>(AppStage::kCount); ++i) {
      const auto stage = static_cast<AppStage>(i);
      ASSERT_TRUE(shell.Attach(stage, std::make_unique<RecordingComponent>(
                                          AppStageName(stage), &log_, stage != failing)));
    }
  }

  TempFolder program_;
  TempFolder app_data_;
  ScopedCurrentDirectory restore_{program_.path()};
  std::vector<std::string> log_;
};

TEST_F(AppShellTest, StartsAndStopsEveryStageInTheFixedOrder) {
  {
    AppShell shell;
    AttachAll(shell);
    ASSERT_EQ(shell.Start(Environment()), AppShell::StartResult::kStarted);
    EXPECT_TRUE(shell.catalog().japanese());
    EXPECT_EQ(shell.settings().system_minor, 1u);
    EXPECT_EQ(platform::CurrentDirectory(), shell.folders().working_folder);
    shell.ShutDown();
    EXPECT_FALSE(shell.instance_claimed());
  }
  const std::vector<std::string> expected = {
      "start store holder",
      "start store import",
      "start channel list",
      "start ticker engine (settings)",
      "start update scheduler (settings)",
      "start local server (settings)",
      "start plug-in host (settings)",
      "start internet menu (settings)",
      "stop ticker engine",
      "stop update scheduler",
      "stop local server (saved)",
      "stop plug-in host (saved)",
      "stop internet menu (saved)",
      "stop channel list (saved)",
      "stop store import (saved)",
      "stop store holder (saved)",
  };
  EXPECT_EQ(log_, expected);
}

TEST_F(AppShellTest, AComponentThatFailsToStartIsNeverStopped) {
  AppShell shell;
  AttachAll(shell, AppStage::kLocalServer);
  shell.Start(Environment());
  EXPECT_FALSE(shell.running(AppStage::kLocalServer));
  EXPECT_TRUE(shell.running(AppStage::kPluginHost));
  EXPECT_FALSE(shell.Attach(AppStage::kLocalServer, nullptr));  // its stage has passed
  shell.ShutDown();
  for (const std::string& line : log_) EXPECT_NE(line, "stop local server (saved)");
  EXPECT_EQ(log_.size(), 15u);
}

TEST_F(AppShellTest, SecondCopyStopsAtTheClaimAndCreatesNothing) {
  AppShell first;
  ASSERT_EQ(first.StartProcess(Environment()), AppShell::StartResult::kStarted);

  TempFolder other_app_data;
  AppShell second;
  AttachAll(second);
  ProcessEnvironment environment = Environment("-user");
  environment.app_data = other_app_data.path();
  EXPECT_EQ(second.Start(environment), AppShell::StartResult::kAlreadyRunning);
  EXPECT_TRUE(log_.empty());
  EXPECT_TRUE(platform::ListDirectory(other_app_data.path()).empty());
  EXPECT_TRUE(second.catalog().japanese());  // for the message it has to show

  first.ShutDown();
  AppShell third;
  EXPECT_EQ(third.StartProcess(Environment()), AppShell::StartResult::kStarted);
}

TEST_F(AppShellTest, NothingIsSavedBeforeTheSettingsWereLoaded) {
  AppShell shell;
  shell.StartProcess(Environment());
  EXPECT_EQ(shell.general_flags(), 0u);
  EXPECT_FALSE(shell.SaveGeneralSettings());
  EXPECT_FALSE(platform::FileExists(program_ / "setup.ini"));
  shell.LoadGeneralSettings();
  EXPECT_EQ(shell.general_flags(), general_flags::kDefault);
  EXPECT_TRUE(shell.SaveGeneralSettings());
  EXPECT_TRUE(platform::FileExists(program_ / "setup.ini"));
}

TEST_F(AppShellTest, DestructorStopsWhatRunsWithoutSaving) {
  {
    AppShell shell;
    AttachAll(shell);
    shell.Start(Environment());
  }
  EXPECT_FALSE(platform::FileExists(program_ / "setup.ini"));
  const std::vector<std::string> stops(log_.begin() + 8, log_.end());
  const std::vector<std::string> expected = {
      "stop ticker engine", "stop update scheduler", "stop local server", "stop plug-in host",
      "stop internet menu", "stop channel list",     "stop store import", "stop store holder",
  };
  EXPECT_EQ(stops, expected);
}

TEST_F(AppShellTest, UserSwitchWorksInThePerUserFolder) {
  ASSERT_TRUE(platform::WriteWholeFile(program_ / "setup.ini",
                                       "[app_data]\r\nskin=copied\r\n[connect]\r\nport=8080\r\n"));
  AppShell shell;
  ASSERT_EQ(shell.Start(Environment("-m -user")), AppShell::StartResult::kStarted);
  const std::string user_folder = app_data_ / "Brindloxsoft/korvo";
  EXPECT_EQ(shell.folders().working_folder, user_folder);
  EXPECT_EQ(platform::CurrentDirectory(), user_folder);
  EXPECT_TRUE(shell.options().start_in_tray);
  EXPECT_EQ(shell.settings().skin, "copied");
  EXPECT_EQ(shell.network().port, 8080);
  shell.settings().skin = "changed";
  shell.ShutDown();
  std::string program_ini;
  ASSERT_TRUE(platform::ReadWholeFile(program_ / "setup.ini", &program_ini));
  EXPECT_EQ(program_ini.find("changed"), std::string::npos);  // saved in the per-user copy
  std::string user_ini;
  ASSERT_TRUE(platform::ReadWholeFile(user_folder + "/setup.ini", &user_ini));
  EXPECT_NE(user_ini.find("skin=changed"), std::string::npos);
}

}  // namespace
}  // namespace korvo
