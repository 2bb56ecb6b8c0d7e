// The fault-injecting file layer itself: the store's crash tests are only as good as its model.
#include "common/fault_files.h"

#include <gtest/gtest.h>

#include <string>

#include "common/temp_folder.h"
#include "platform/files.h"
#include "store/block_store.h"

namespace korvo {
namespace {

using korvo::testing::FaultFiles;
using korvo::testing::TempFolder;
using Mode = StoreFiles::Mode;
using namespace std::string_literals;

std::string Bytes(const std::string& path) {
  std::string s;
  platform::ReadWholeFile(path, &s);
  return s;
}

bool Put(StoreFile& f, uint64_t offset, const std::string& s) {
  return f.WriteAt(offset, s.data(), s.size());
}

TEST(FaultFilesTest, DropUnflushedGoesBackToEachFilesLastFlush) {
  TempFolder dir;
  FaultFiles files;
  const std::string a = dir / "a", b = dir / "b", c = dir / "c";
  {
    auto fa = files.Open(a, Mode::kCreateOrOpen);
    auto fb = files.Open(b, Mode::kCreateOrOpen);
    ASSERT_TRUE(fa && fb);
    ASSERT_TRUE(Put(*fa, 0, "0123456789"));
    ASSERT_TRUE(fa->Flush());
    // After the flush: an overwrite, a growth and a cut, all lost.
    ASSERT_TRUE(Put(*fa, 2, "xy"));
    ASSERT_TRUE(Put(*fa, 8, "ABCDEF"));
    ASSERT_TRUE(fa->Resize(4));
    ASSERT_TRUE(Put(*fb, 0, "never flushed"));
    // A renamed file carries its unflushed changes; the replaced target's are gone with it.
    auto fc = files.Open(c, Mode::kCreateOrOpen);
    ASSERT_TRUE(Put(*fc, 0, "c-flushed"));
    ASSERT_TRUE(fc->Flush());
    ASSERT_TRUE(Put(*fc, 0, "C-UNFLUSHED"));
  }
  ASSERT_TRUE(files.Rename(c, b));
  EXPECT_EQ(Bytes(a), "01xy");
  EXPECT_EQ(Bytes(b), "C-UNFLUSHED");
  files.DropUnflushed();
  EXPECT_EQ(Bytes(a), "0123456789");
  EXPECT_EQ(Bytes(b), "c-flushed");
  EXPECT_FALSE(platform::FileExists(c));
}

TEST(FaultFilesTest, StopsFailsAndFillsTheDisk) {
  struct Case {
    const char* name;
    uint64_t stop_at;  // 0: none
    size_t torn;
    uint64_t fail_change;  // 0: none
    int64_t space;         // -1: unlimited
    std::string after;     // file content after the four writes
    bool results[4];
  };
  // Changes: 1 create, 2-5 the writes below.
  const Case cases[] = {
      {"none", 0, 0, 0, -1, "aaaabbbbccccdddd", {true, true, true, true}},
      {"stop at the third write", 4, 0, 0, -1, "aaaabbbb", {true, true, false, false}},
      {"torn third write", 4, 2, 0, -1, "aaaabbbbcc", {true, true, false, false}},
      {"one failed write", 0, 0, 3, -1, "aaaa\0\0\0\0ccccdddd"s, {true, false, true, true}},
      {"disk fills", 0, 0, 0, 10, "aaaabbbbcc", {true, true, false, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder dir;
    FaultFiles files;
    if (c.stop_at != 0) files.StopAtChange(c.stop_at, c.torn);
    if (c.fail_change != 0) files.FailChange(c.fail_change);
    if (c.space >= 0) files.SetSpaceLeft(static_cast<uint64_t>(c.space));
    auto f = files.Open(dir / "f", Mode::kCreateOrOpen);
    ASSERT_TRUE(f);
    const char* parts[] = {"aaaa", "bbbb", "cccc", "dddd"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Put(*f, 4 * i, parts[i]), c.results[i]) << i;
    EXPECT_EQ(Bytes(dir / "f"), c.after);
    EXPECT_EQ(files.changes(), 5u);
    EXPECT_EQ(files.stopped(), c.stop_at != 0);
  }
}

TEST(FaultFilesTest, ReadOnlyPathsAndFailedReachTheStore) {
  TempFolder dir;
  FaultFiles files, data_fails;
  files.FailChangesTo("fat");
  data_fails.FailChangesTo("data");
  BlockStore store;
  EXPECT_FALSE(store.Open(dir / "fat", dir / "data", 512, 16, files));
  EXPECT_FALSE(platform::FileExists(dir / "fat"));

  ASSERT_TRUE(store.Open(dir / "fat", dir / "data", 512, 16, data_fails));
  std::string block(512, 'x');
  EXPECT_EQ(store.Write(reinterpret_cast<const unsigned char*>(block.data()), 1, 0),
            BlockStore::kInvalid);
  EXPECT_EQ(store.Entry(1), 0u);  // no table entry names a block that was never written
  EXPECT_EQ(store.FreeCount(), 15u);
}

}  // namespace
}  // namespace korvo
