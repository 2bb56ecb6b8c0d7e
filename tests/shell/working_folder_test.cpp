#include "shell/working_folder.h"

#include <gtest/gtest.h>

#include <string>

#include "common/temp_folder.h"
#include "platform/files.h"

namespace korvo {
namespace {

using korvo::testing::TempFolder;

std::string Read(const std::string& path) {
  std::string bytes;
  return platform::ReadWholeFile(path, &bytes) ? bytes : "<missing>";
}

class WorkingFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = root_ / "program";
    app_data_ = root_ / "appdata";
    ASSERT_TRUE(platform::MakeDirectory(program_));
    ASSERT_TRUE(platform::MakeDirectory(app_data_));
  }
  void Put(const std::string& relative, const std::string& content) {
    ASSERT_TRUE(platform::WriteWholeFile(program_ + "/" + relative, content));
  }

  TempFolder root_;
  std::string program_;
  std::string app_data_;
  const CommandLineOptions user_{true, false};
};

TEST_F(WorkingFolderTest, WithoutUserSwitchTheProgramFolderIsUsed) {
  const AppFolders f = PrepareWorkingFolder({}, program_ + "/", app_data_);
  EXPECT_EQ(f.program_folder, program_);
  EXPECT_EQ(f.working_folder, program_);
  EXPECT_EQ(f.skin_folder, program_ + "/skin");
  EXPECT_EQ(f.cache_folder, program_ + "/cache");
  EXPECT_FALSE(f.per_user);
  EXPECT_TRUE(platform::DirectoryExists(program_ + "/cache"));
  EXPECT_TRUE(platform::DirectoryExists(program_ + "/database"));
  EXPECT_FALSE(platform::DirectoryExists(app_data_ + "/Brindloxsoft"));
}

TEST_F(WorkingFolderTest, FirstUserStartCopiesTheListedFilesOnce) {
  Put("channel.opml", "opml");
  Put("setup.ini", "[app_data]\r\n");
  Put("eboard", "legacy");
  Put("other.txt", "not listed");
  ASSERT_TRUE(platform::MakeDirectory(program_ + "/database"));
  Put("database/url.dat", "url");
  Put("database/info.dat", "info");
  Put("database/extra.dat", "not listed");

  const std::string user_folder = app_data_ + "/Brindloxsoft/korvo";
  const AppFolders first = PrepareWorkingFolder(user_, program_, app_data_ + "\\");
  EXPECT_TRUE(first.per_user);
  EXPECT_TRUE(first.per_user_created);
  EXPECT_EQ(first.working_folder, user_folder);
  EXPECT_EQ(first.skin_folder, program_ + "/skin");  // skins stay with the program
  EXPECT_EQ(first.cache_folder, user_folder + "/cache");
  EXPECT_EQ(Read(user_folder + "/channel.opml"), "opml");
  EXPECT_EQ(Read(user_folder + "/setup.ini"), "[app_data]\r\n");
  EXPECT_EQ(Read(user_folder + "/eboard"), "legacy");
  EXPECT_EQ(Read(user_folder + "/other.txt"), "<missing>");
  EXPECT_EQ(Read(user_folder + "/UrlList"), "<missing>");  // missing sources are skipped
  EXPECT_EQ(Read(user_folder + "/database/url.dat"), "url");
  EXPECT_EQ(Read(user_folder + "/database/info.dat"), "info");
  EXPECT_EQ(Read(user_folder + "/database/extra.dat"), "<missing>");
  EXPECT_TRUE(platform::DirectoryExists(user_folder + "/cache"));

  // The second start finds the folder and copies nothing, not even new or changed files.
  ASSERT_TRUE(platform::WriteWholeFile(user_folder + "/setup.ini", "user's own"));
  Put("setup.ini", "changed in the program folder");
  Put("UrlList", "new");
  const AppFolders second = PrepareWorkingFolder(user_, program_, app_data_);
  EXPECT_TRUE(second.per_user);
  EXPECT_FALSE(second.per_user_created);
  EXPECT_EQ(Read(user_folder + "/setup.ini"), "user's own");
  EXPECT_EQ(Read(user_folder + "/UrlList"), "<missing>");
}

TEST_F(WorkingFolderTest, NoDatabaseFolderInTheProgramFolderCopiesNone) {
  const AppFolders f = PrepareWorkingFolder(user_, program_, app_data_);
  EXPECT_TRUE(f.per_user_created);
  // The database folder exists only because every working folder gets one.
  EXPECT_TRUE(platform::ListDirectory(f.database_folder).empty());
}

TEST_F(WorkingFolderTest, WithoutAnApplicationDataFolderTheProgramFolderStays) {
  for (const std::string& app_data : {std::string(), root_ / "does-not-exist"}) {
    const AppFolders f = PrepareWorkingFolder(user_, program_, app_data);
    EXPECT_FALSE(f.per_user) << app_data;
    EXPECT_EQ(f.working_folder, program_);
    EXPECT_TRUE(platform::DirectoryExists(program_ + "/cache"));
  }
  // A file where the folder should be is no folder either.
  ASSERT_TRUE(platform::MakeDirectory(app_data_ + "/Brindloxsoft"));
  ASSERT_TRUE(platform::WriteWholeFile(app_data_ + "/Brindloxsoft/korvo", "file"));
  const AppFolders f = PrepareWorkingFolder(user_, program_, app_data_);
  EXPECT_FALSE(f.per_user);
  EXPECT_EQ(f.working_folder, program_);
}

}  // namespace
}  // namespace korvo
