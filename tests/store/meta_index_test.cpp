#include "store/meta_index.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/temp_folder.h"
#include "platform/files.h"

namespace korvo {
namespace {

using korvo::testing::TempFolder;

std::vector<uint32_t> Numbers(const std::vector<IndexEntry>& entries) {
  std::vector<uint32_t> n;
  for (const IndexEntry& e : entries) n.push_back(e.number);
  return n;
}

class MetaIndexTest : public ::testing::Test {
 protected:
  void SetUp() override { index_.SetBase(dir_ / "meta"); }
  std::string Bytes(int k) {
    std::string s;
    platform::ReadWholeFile(dir_ / ("meta_" + std::to_string(k)), &s);
    return s;
  }
  TempFolder dir_;
  MetaIndex index_;
};

TEST_F(MetaIndexTest, AppendCreatesFileWithLittleEndianEntries) {
  EXPECT_FALSE(platform::FileExists(dir_ / "meta_2"));
  EXPECT_TRUE(index_.ReadAll(2).empty());
  EXPECT_EQ(index_.Append(2, 0x01020304, 0xA0B0C0D0), 0);
  EXPECT_EQ(index_.Append(2, 7, 9), 0);
  EXPECT_EQ(Bytes(2), std::string("\x04\x03\x02\x01\xD0\xC0\xB0\xA0"
                                  "\x07\0\0\0\x09\0\0\0",
                                  16));
  EXPECT_EQ(index_.PathOf(4), dir_ / "meta_4");
  EXPECT_EQ(index_.Append(0, 1, 1), -1);
  EXPECT_EQ(index_.Append(6, 1, 1), -1);
}

TEST_F(MetaIndexTest, RemoveFindUpdateTruncate) {
  for (uint32_t n : {5u, 6u, 5u, 8u}) ASSERT_EQ(index_.Append(1, n, n * 10), 0);
  const std::string before = Bytes(1);
  EXPECT_EQ(index_.Remove(1, 99), -1);
  EXPECT_EQ(Bytes(1), before);
  EXPECT_EQ(index_.Remove(1, 5), 0);  // only the first one
  EXPECT_EQ(Numbers(index_.ReadAll(1)), (std::vector<uint32_t>{6, 5, 8}));
  uint32_t value = 0;
  EXPECT_TRUE(index_.Find(1, 8, &value));
  EXPECT_EQ(value, 80u);
  EXPECT_FALSE(index_.Find(1, 9, &value));
  EXPECT_EQ(index_.Update(1, 5, 1234), 0);
  EXPECT_EQ(index_.Update(1, 9, 1), -1);
  EXPECT_EQ(index_.ReadAll(1)[1], (IndexEntry{5, 1234}));
  EXPECT_EQ(index_.Truncate(1), 0);
  EXPECT_EQ(Bytes(1), "");
  EXPECT_EQ(index_.Remove(3, 1), -1);  // missing file
}

TEST_F(MetaIndexTest, TrailingPartialEntryIsIgnoredAndOverwritten) {
  ASSERT_TRUE(
      platform::WriteWholeFile(dir_ / "meta_3", std::string("\x01\0\0\0\x02\0\0\0\xFF", 9)));
  index_.SetBase(dir_ / "meta");
  EXPECT_EQ(index_.ReadAll(3), (std::vector<IndexEntry>{{1, 2}}));
  ASSERT_EQ(index_.Append(3, 3, 4), 0);
  EXPECT_EQ(index_.ReadAll(3), (std::vector<IndexEntry>{{1, 2}, {3, 4}}));
  EXPECT_EQ(Bytes(3).size(), 16u);
  // A damaged file far larger than any store's index is read only up to the limit, so its size
  // never decides what is allocated.
  {
    platform::File big;
    ASSERT_TRUE(big.Open(dir_ / "meta_4", platform::File::Mode::kTruncate));
    ASSERT_TRUE(big.Resize(uint64_t{MetaIndex::kMaxEntries} * 8 * 4 + 5));
  }
  index_.SetBase(dir_ / "meta");
  EXPECT_EQ(index_.ReadAll(4).size(), MetaIndex::kMaxEntries);
}

TEST_F(MetaIndexTest, MergeSortTakesSecondHalfFirstOnTies) {
  ASSERT_EQ(index_.WriteAll(1, {{1, 3}, {2, 1}, {3, 3}, {4, 1}}), 0);
  ASSERT_EQ(index_.SortByValue(1), 0);
  EXPECT_EQ(Numbers(index_.ReadAll(1)), (std::vector<uint32_t>{4, 2, 3, 1}));
  // Three equal values: [a] [b c] -> [a] [c b] -> c b a.
  std::vector<IndexEntry> equal = {{1, 7}, {2, 7}, {3, 7}};
  MetaIndex::SortEntriesByValue(&equal);
  EXPECT_EQ(Numbers(equal), (std::vector<uint32_t>{3, 2, 1}));
  // Unsigned comparison.
  std::vector<IndexEntry> mixed = {{1, 0x80000000u}, {2, 5}, {3, 0xFFFFFFFFu}, {4, 0}};
  MetaIndex::SortEntriesByValue(&mixed);
  EXPECT_EQ(Numbers(mixed), (std::vector<uint32_t>{4, 2, 1, 3}));
  EXPECT_EQ(index_.SortByValue(4), -1);  // missing file
}

}  // namespace
}  // namespace korvo
