// The store holder in the application shell's sequence.
#include "store/store_holder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/temp_folder.h"
#include "platform/files.h"
#include "shell/app_shell.h"

namespace korvo {
namespace {

using korvo::testing::ScopedCurrentDirectory;
using korvo::testing::TempFolder;

class TitleLog : public ProgressProvider {
 public:
  class Display : public Progress {
   public:
    void SetRange(uint32_t) override {}
    void Step() override {}
    void SetPosition(uint32_t) override {}
    bool IsOpen() const override { return true; }
    void Close() override {}
  };
  std::unique_ptr<Progress> Start(const std::string& title) override {
    titles.push_back(title);
    return std::make_unique<Display>();
  }
  bool ConfirmStop() override { return false; }
  std::vector<std::string> titles;
};

class StoreHolderTest : public ::testing::Test {
 protected:
  ProcessEnvironment Environment() {
    ProcessEnvironment environment;
    environment.system = {6, 1};
    environment.language_id = 1041;
    environment.start_folder = program_.path();
    environment.app_data = app_data_.path();
    return environment;
  }

  TempFolder program_;
  TempFolder app_data_;
  ScopedCurrentDirectory restore_{program_.path()};
  TitleLog progress_;
};

TEST_F(StoreHolderTest, HoldsTheDatabaseFromStartUpToShutDown) {
  {
    AppShell shell;
    auto holder = std::make_unique<StoreHolder>(&progress_);
    StoreHolder* held = holder.get();
    ASSERT_TRUE(shell.Attach(AppStage::kStoreHolder, std::move(holder)));
    ASSERT_EQ(shell.Start(Environment()), AppShell::StartResult::kStarted);
    EXPECT_TRUE(shell.running(AppStage::kStoreHolder));
    ASSERT_NE(held->guard(), nullptr);
    EXPECT_EQ(DatabaseGuard::Count(), 1);
    EXPECT_EQ(platform::FileSize(shell.folders().database_folder + "/fat"), 1048560);

    // Another user shares the open database while the holder keeps it.
    {
      DatabaseGuard guard;
      ScopedDatabase db(guard);
      ASSERT_TRUE(db);
      EXPECT_EQ(db->folder(), shell.folders().working_folder);
    }
    EXPECT_EQ(DatabaseGuard::Count(), 1);
    shell.ShutDown();
    EXPECT_EQ(held->guard(), nullptr);
    EXPECT_EQ(DatabaseGuard::Count(), 0);
  }
  EXPECT_TRUE(progress_.titles.empty());
}

TEST_F(StoreHolderTest, InterruptedUpdateIsRebuiltAtStartUpWithTheDisplay) {
  ASSERT_TRUE(platform::MakeDirectory(program_ / "database"));
  ASSERT_TRUE(platform::WriteWholeFile(program_ / "database/check", std::string()));
  AppShell shell;
  ASSERT_TRUE(shell.Attach(AppStage::kStoreHolder, std::make_unique<StoreHolder>(&progress_)));
  ASSERT_EQ(shell.Start(Environment()), AppShell::StartResult::kStarted);
  ASSERT_EQ(progress_.titles.size(), 1u);
  // "KorvoNewsReader メタデータを再構築中..." in CP932.
  EXPECT_EQ(progress_.titles[0],
            "KorvoNewsReader \x83\x81\x83\x5E\x83\x66\x81\x5B\x83\x5E\x82\xF0\x8D\xC4\x8D\x5C"
            "\x92\x7A\x92\x86...");
  EXPECT_FALSE(platform::FileExists(program_ / "database/check"));
  shell.ShutDown();
}

}  // namespace
}  // namespace korvo
