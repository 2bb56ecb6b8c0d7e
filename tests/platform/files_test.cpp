#include "platform/files.h"

#include <gtest/gtest.h>

#include "common/temp_folder.h"

namespace korvo::platform {
namespace {

using korvo::testing::TempFolder;

TEST(FilesTest, CreateExistCopyRenameDelete) {
  TempFolder dir;
  const std::string sub = dir / "sub";
  EXPECT_FALSE(DirectoryExists(sub));
  EXPECT_TRUE(MakeDirectory(sub));
  EXPECT_TRUE(MakeDirectory(sub));  // already there counts as success
  EXPECT_TRUE(DirectoryExists(sub));
  EXPECT_FALSE(FileExists(sub));

  const std::string a = dir / "a.txt";
  ASSERT_TRUE(WriteWholeFile(a, "alpha"));
  EXPECT_TRUE(FileExists(a));
  EXPECT_EQ(FileSize(a), 5);
  EXPECT_EQ(FileSize(dir / "missing"), -1);

  // Copying never overwrites.
  const std::string b = dir / "b.txt";
  ASSERT_TRUE(WriteWholeFile(b, "beta!"));
  EXPECT_FALSE(CopyFileNoOverwrite(a, b));
  std::string text;
  ASSERT_TRUE(ReadWholeFile(b, &text));
  EXPECT_EQ(text, "beta!");
  EXPECT_TRUE(CopyFileNoOverwrite(a, sub + "\\a.txt"));  // backslash separators work too
  ASSERT_TRUE(ReadWholeFile(sub + "/a.txt", &text));
  EXPECT_EQ(text, "alpha");
  EXPECT_FALSE(CopyFileNoOverwrite(dir / "missing", dir / "c.txt"));
  EXPECT_FALSE(FileExists(dir / "c.txt"));

  EXPECT_FALSE(RenameFile(a, b, false));
  EXPECT_TRUE(RenameFile(a, b, true));
  EXPECT_FALSE(FileExists(a));
  ASSERT_TRUE(ReadWholeFile(b, &text));
  EXPECT_EQ(text, "alpha");

  EXPECT_TRUE(RemoveFile(b));
  EXPECT_FALSE(RemoveFile(b));
}

TEST(FilesTest, JapaneseAndLongNames) {
  TempFolder dir;
  const std::string jp = dir / "\xe3\x83\x8b\xe3\x83\xa5\xe3\x83\xbc\xe3\x82\xb9.opml";  // ニュース
  ASSERT_TRUE(WriteWholeFile(jp, "x"));
  EXPECT_TRUE(FileExists(jp));
  const auto entries = ListDirectory(dir.path());
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "\xe3\x83\x8b\xe3\x83\xa5\xe3\x83\xbc\xe3\x82\xb9.opml");

  // A path far over 260 characters (the cache holds such names).
  std::string deep = dir.path();
  for (int i = 0; i < 6; ++i) {
    deep += "/" + std::string(60, static_cast<char>('a' + i));
    ASSERT_TRUE(MakeDirectory(deep)) << deep.size();
  }
  const std::string file = deep + "/" + std::string(100, 'z');
  ASSERT_GT(file.size(), 400u);
  ASSERT_TRUE(WriteWholeFile(file, "deep"));
  EXPECT_EQ(FileSize(file), 4);
}

TEST(FilesTest, ListDirectorySortsAndMarksFolders) {
  TempFolder dir;
  ASSERT_TRUE(WriteWholeFile(dir / "b", ""));
  ASSERT_TRUE(MakeDirectory(dir / "a"));
  ASSERT_TRUE(WriteWholeFile(dir / "c", ""));
  const auto entries = ListDirectory(dir.path());
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].name, "a");
  EXPECT_TRUE(entries[0].is_directory);
  EXPECT_EQ(entries[1].name, "b");
  EXPECT_FALSE(entries[1].is_directory);
  EXPECT_TRUE(ListDirectory(dir / "missing").empty());
}

TEST(FilesTest, RandomAccessReadsWritesAndResizes) {
  TempFolder dir;
  const std::string path = dir / "data";
  File f;
  EXPECT_FALSE(f.Open(path, File::Mode::kRead));
  ASSERT_TRUE(f.Open(path, File::Mode::kCreateOrOpen));
  EXPECT_EQ(f.Size(), 0);
  ASSERT_TRUE(f.WriteAt(10, "xyz", 3));  // a gap reads back as zeros
  EXPECT_EQ(f.Size(), 13);
  char buf[20] = {1};
  EXPECT_EQ(f.ReadAt(8, buf, sizeof buf), 5);
  EXPECT_EQ(buf[0], 0);
  EXPECT_EQ(buf[2], 'x');
  ASSERT_TRUE(f.Resize(4));
  EXPECT_EQ(f.Size(), 4);
  ASSERT_TRUE(f.Resize(4096));
  EXPECT_EQ(f.Size(), 4096);
  EXPECT_TRUE(f.Flush());
  File moved = std::move(f);
  EXPECT_FALSE(f.is_open());
  EXPECT_TRUE(moved.is_open());
  moved.Close();
  ASSERT_TRUE(moved.Open(path, File::Mode::kTruncate));
  EXPECT_EQ(moved.Size(), 0);
  EXPECT_FALSE(moved.Open(dir.path(), File::Mode::kRead));  // a folder is not a file
}

TEST(FilesTest, WholeFileReadRespectsTheLimit) {
  TempFolder dir;
  ASSERT_TRUE(WriteWholeFile(dir / "f", std::string(100, 'q')));
  std::string text;
  EXPECT_FALSE(ReadWholeFile(dir / "f", &text, 99));
  EXPECT_TRUE(ReadWholeFile(dir / "f", &text, 100));
  EXPECT_EQ(text.size(), 100u);
  EXPECT_FALSE(ReadWholeFile(dir / "none", &text));
}

TEST(FilesTest, CurrentDirectoryFollowsChanges) {
  TempFolder dir;
  korvo::testing::ScopedCurrentDirectory keep(dir.path());
  ASSERT_TRUE(MakeDirectory("inner"));
  ASSERT_TRUE(ChangeDirectory("inner"));
  const std::string cwd = CurrentDirectory();
  EXPECT_NE(cwd.find("inner"), std::string::npos);
  EXPECT_EQ(cwd.find('\\'), std::string::npos);
  EXPECT_TRUE(WriteWholeFile("rel.txt", "r"));
  EXPECT_TRUE(FileExists(dir / "inner/rel.txt"));
}

}  // namespace
}  // namespace korvo::platform
