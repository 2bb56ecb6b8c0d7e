#include "store/block_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/temp_folder.h"
#include "platform/files.h"
#include "store/little_endian.h"

namespace korvo {
namespace {

using korvo::testing::TempFolder;

constexpr uint32_t kBlock = 512;
constexpr uint32_t kEntries = 262140;

std::string ReadFile(const std::string& path) {
  std::string s;
  EXPECT_TRUE(platform::ReadWholeFile(path, &s));
  return s;
}

uint32_t WordAt(const std::string& bytes, size_t offset) {
  return store_bytes::GetWord(reinterpret_cast<const unsigned char*>(bytes.data()) + offset);
}

// `blocks` whole blocks whose bytes all equal `fill`.
std::vector<unsigned char> Filled(uint32_t blocks, unsigned char fill) {
  return std::vector<unsigned char>(static_cast<size_t>(blocks) * kBlock, fill);
}

class BlockStoreTest : public ::testing::Test {
 protected:
  std::string fat() const { return dir_ / "fat"; }
  std::string data() const { return dir_ / "data"; }
  bool OpenSmall(BlockStore* s, uint32_t entries) {
    return s->Open(fat(), data(), kBlock, entries);
  }
  // Writes raw table words into the table file of a store of `entries` entries.
  void WriteTable(const std::vector<uint32_t>& words) {
    std::string bytes(words.size() * 4, '\0');
    for (size_t i = 0; i < words.size(); ++i) {
      store_bytes::PutWord(reinterpret_cast<unsigned char*>(&bytes[4 * i]), words[i]);
    }
    ASSERT_TRUE(platform::WriteWholeFile(fat(), bytes));
  }

  TempFolder dir_;
};

TEST_F(BlockStoreTest, FreshFolderCreatesZeroTable) {
  BlockStore store;
  ASSERT_TRUE(store.Open(fat(), data(), kBlock, kEntries));
  EXPECT_EQ(store.FreeCount(), 262139u);
  const std::string table = ReadFile(fat());
  ASSERT_EQ(table.size(), 1048560u);
  EXPECT_EQ(table, std::string(1048560, '\0'));
}

TEST_F(BlockStoreTest, BlockCountsAndTableEntriesOnDisk) {
  BlockStore store;
  ASSERT_TRUE(store.Open(fat(), data(), kBlock, kEntries));
  // 512 bytes: one block.
  auto one = Filled(1, 'a');
  EXPECT_EQ(store.Write(one.data(), 1, 0), 1u);
  // 513 bytes: two blocks, the rest of the second one zero.
  auto two = Filled(2, 0);
  std::fill(two.begin(), two.begin() + 513, 'b');
  EXPECT_EQ(store.Write(two.data(), 2, 0), 2u);
  EXPECT_EQ(store.FreeCount(), 262136u);

  const std::string table = ReadFile(fat());
  EXPECT_EQ(WordAt(table, 4), 0x80FFFFFFu);
  EXPECT_EQ(WordAt(table, 8), 0x80000003u);
  EXPECT_EQ(WordAt(table, 12), 0x00FFFFFFu);
  EXPECT_EQ(WordAt(table, 16), 0u);

  const std::string bytes = ReadFile(data());
  ASSERT_EQ(bytes.size(), 4u * 512);
  EXPECT_EQ(bytes.substr(512, 512), std::string(512, 'a'));
  EXPECT_EQ(bytes.substr(1024, 513), std::string(513, 'b'));
  EXPECT_EQ(bytes.substr(1537), std::string(511, '\0'));

  std::vector<unsigned char> back(2 * kBlock);
  EXPECT_EQ(store.CountBlocks(2), 2u);
  EXPECT_EQ(store.Read(back.data(), 2, 2), 2u);
  EXPECT_EQ(back, two);
  EXPECT_EQ(store.Read(back.data(), 1, 2), 1u);  // stops at max_blocks
}

TEST_F(BlockStoreTest, FreeingKeepsDataAndReusesLowestBlocks) {
  BlockStore store;
  ASSERT_TRUE(OpenSmall(&store, 64));
  const uint32_t before = store.FreeCount();
  auto a = Filled(3, 'a');
  auto b = Filled(1, 'b');
  ASSERT_EQ(store.Write(a.data(), 3, 0), 1u);
  ASSERT_EQ(store.Write(b.data(), 1, 0), 4u);
  EXPECT_EQ(store.Free(1), 0);
  EXPECT_EQ(store.FreeCount(), before - 1);
  EXPECT_EQ(store.Entry(1), 0u);
  EXPECT_EQ(store.Entry(3), 0u);
  EXPECT_EQ(ReadFile(data()).substr(512, 3 * 512), std::string(3 * 512, 'a'));
  // Freeing a free block changes nothing.
  EXPECT_EQ(store.Free(2), -1);
  EXPECT_EQ(store.FreeCount(), before - 1);
  // The next record takes the lowest free blocks, in ascending order.
  auto c = Filled(4, 'c');
  ASSERT_EQ(store.Write(c.data(), 4, 0), 1u);
  EXPECT_EQ(store.Entry(1), 0x80000002u);
  EXPECT_EQ(store.Entry(3), 5u);
  EXPECT_EQ(store.Entry(5), 0x00FFFFFFu);
  EXPECT_EQ(store.Free(BlockStore::kFreeAll), 0);
  EXPECT_EQ(store.FreeCount(), before);
  EXPECT_EQ(ReadFile(fat()), std::string(64 * 4, '\0'));
}

TEST_F(BlockStoreTest, ProbingAndFullStore) {
  BlockStore store;
  ASSERT_TRUE(OpenSmall(&store, 8));  // blocks 1-7
  auto five = Filled(5, 'x');
  EXPECT_EQ(store.Write(nullptr, 5, 0), 1u);  // probe only
  EXPECT_EQ(store.FreeCount(), 7u);
  ASSERT_EQ(store.Write(five.data(), 5, 0), 1u);
  EXPECT_EQ(store.Write(nullptr, 3, 0), BlockStore::kFull);
  auto three = Filled(3, 'y');
  EXPECT_EQ(store.Write(three.data(), 3, 0), BlockStore::kFull);
  EXPECT_EQ(store.FreeCount(), 2u);
  EXPECT_EQ(store.Write(three.data(), 3, 8), BlockStore::kInvalid);
  EXPECT_EQ(store.Write(three.data(), 0, 0), BlockStore::kInvalid);
  // A rewrite must name a free head.
  EXPECT_EQ(store.Write(three.data(), 1, 1), BlockStore::kInvalid);
}

TEST_F(BlockStoreTest, RewriteTakesBlocksAboveHeadThenWraps) {
  BlockStore store;
  ASSERT_TRUE(OpenSmall(&store, 10));  // blocks 1-9
  auto one = Filled(1, '1');
  for (int i = 0; i < 9; ++i) ASSERT_EQ(store.Write(one.data(), 1, 0), uint32_t(i + 1));
  ASSERT_EQ(store.Free(2), 0);
  ASSERT_EQ(store.Free(7), 0);
  ASSERT_EQ(store.Free(8), 0);
  // Rewrite at 7 with three blocks: 8 lies above, 9 is taken, so the search wraps to 2.
  auto three = Filled(3, '3');
  EXPECT_EQ(store.Write(three.data(), 3, 7), 7u);
  EXPECT_EQ(store.ChainBlocks(7), (std::vector<uint32_t>{7, 8, 2}));
  ASSERT_EQ(store.Free(7), 0);
  ASSERT_EQ(store.Free(9), 0);  // free now: 2, 7, 8, 9
  auto four = Filled(4, '4');
  EXPECT_EQ(store.Write(four.data(), 4, 8), 8u);
  EXPECT_EQ(store.ChainBlocks(8), (std::vector<uint32_t>{8, 9, 2, 7}));
  std::vector<unsigned char> back(4 * kBlock);
  EXPECT_EQ(store.Read(back.data(), 4, 8), 4u);
  EXPECT_EQ(back, four);
  ASSERT_EQ(store.Free(1), 0);
  EXPECT_EQ(store.Write(three.data(), 2, 1), BlockStore::kFull);
  EXPECT_EQ(store.Entry(1), 0u);
}

TEST_F(BlockStoreTest, ReplaceKeepsOldChainUntilNewOneIsWritten) {
  BlockStore store;
  ASSERT_TRUE(OpenSmall(&store, 8));  // blocks 1-7
  auto a = Filled(2, 'a');
  ASSERT_EQ(store.Write(a.data(), 2, 0), 1u);  // 1, 2
  auto filler = Filled(3, 'f');
  ASSERT_EQ(store.Write(filler.data(), 3, 0), 3u);  // 3, 4, 5; free: 6, 7
  // Three blocks: head plus two fresh blocks; the old tail is freed afterwards.
  auto b = Filled(3, 'b');
  EXPECT_EQ(store.Replace(b.data(), 3, 1), 1u);
  EXPECT_EQ(store.ChainBlocks(1), (std::vector<uint32_t>{1, 6, 7}));
  EXPECT_EQ(store.Entry(2), 0u);
  EXPECT_EQ(store.FreeCount(), 1u);
  // Does not fit even with its own blocks: nothing changes.
  auto big = Filled(5, 'c');
  EXPECT_EQ(store.Replace(big.data(), 5, 1), BlockStore::kFull);
  std::vector<unsigned char> back(3 * kBlock);
  EXPECT_EQ(store.Read(back.data(), 3, 1), 3u);
  EXPECT_EQ(back, b);
  // Fits only by reusing its own tail.
  auto d = Filled(4, 'd');
  EXPECT_EQ(store.Replace(d.data(), 4, 1), 1u);
  EXPECT_EQ(store.CountBlocks(1), 4u);
  EXPECT_EQ(store.FreeCount(), 0u);
  back.resize(4 * kBlock);
  EXPECT_EQ(store.Read(back.data(), 4, 1), 4u);
  EXPECT_EQ(back, d);
  EXPECT_EQ(store.Replace(d.data(), 1, 2), BlockStore::kInvalid);  // not a head
}

TEST_F(BlockStoreTest, BatchModes) {
  BlockStore store;
  ASSERT_TRUE(OpenSmall(&store, 16));
  EXPECT_EQ(store.BeginBatch(2), -1);
  EXPECT_EQ(store.BeginBatch(BlockStore::kBatchRead), -1);  // no data file yet
  ASSERT_EQ(store.BeginBatch(BlockStore::kBatchReadWrite), 0);
  EXPECT_EQ(store.BeginBatch(BlockStore::kBatchReadWrite), -2);
  auto one = Filled(1, 'z');
  EXPECT_EQ(store.Write(one.data(), 1, 0), 1u);
  store.EndBatch();
  ASSERT_EQ(store.BeginBatch(BlockStore::kBatchRead), 0);
  EXPECT_EQ(store.Write(one.data(), 1, 0), BlockStore::kInvalid);
  EXPECT_EQ(store.FreeCount(), 14u);
  std::vector<unsigned char> back(kBlock);
  EXPECT_EQ(store.Read(back.data(), 1, 1), 1u);
  store.Close();  // ends the batch and saves the table
  ASSERT_TRUE(OpenSmall(&store, 16));
  EXPECT_FALSE(store.batch_open());
  EXPECT_EQ(store.Entry(1), 0x80FFFFFFu);
}

TEST_F(BlockStoreTest, ShortTableFileKeepsItsWholeEntries) {
  {
    BlockStore store;
    ASSERT_TRUE(OpenSmall(&store, 16));
    auto one = Filled(1, 'q');
    ASSERT_EQ(store.Write(one.data(), 1, 0), 1u);
    ASSERT_EQ(store.Write(one.data(), 1, 0), 2u);
    EXPECT_FALSE(store.table_damaged());
  }
  std::string table = ReadFile(fat());
  ASSERT_EQ(table.size(), 64u);
  // Cut one byte short: the last entry is lost, the records before it stay.
  store_bytes::PutWord(reinterpret_cast<unsigned char*>(&table[4 * 15]), 0x80FFFFFF);
  ASSERT_TRUE(platform::WriteWholeFile(fat(), table.substr(0, 63)));
  {
    BlockStore store;
    ASSERT_TRUE(OpenSmall(&store, 16));
    EXPECT_TRUE(store.table_damaged());
    EXPECT_EQ(store.Entry(1), 0x80FFFFFFu);
    EXPECT_EQ(store.Entry(2), 0x80FFFFFFu);
    EXPECT_EQ(store.Entry(15), 0u);
    EXPECT_EQ(store.FreeCount(), 13u);
    EXPECT_EQ(ReadFile(fat()).size(), 64u);  // written back whole
  }
  // An empty table file gives an empty store, which is not damage.
  ASSERT_TRUE(platform::WriteWholeFile(fat(), ""));
  BlockStore store;
  ASSERT_TRUE(OpenSmall(&store, 16));
  EXPECT_FALSE(store.table_damaged());
  EXPECT_EQ(store.FreeCount(), 15u);
  EXPECT_EQ(ReadFile(fat()), std::string(64, '\0'));
}

TEST_F(BlockStoreTest, DamagedChainsReadAsNothing) {
  // Entries: 1 -> 2 -> 1 (loop back to a head); 3 -> 4 -> 5 -> 4 (loop in the middle);
  // 6 -> 40 (out of the table); 7 -> 8, where 8 is free; 9 -> 10, where 10 is a head;
  // 11 has reserved bits; 12 is sound.
  const uint32_t H = BlockStore::kHeadBit;
  std::vector<uint32_t> t(16, 0);
  t[1] = H | 2;
  t[2] = 1;
  t[3] = H | 4;
  t[4] = 5;
  t[5] = 4;
  t[6] = H | 40;
  t[7] = H | 8;
  t[9] = H | 10;
  t[10] = H | 0xFFFFFF;
  t[11] = 0x81FFFFFF;
  t[12] = H | 0xFFFFFF;
  WriteTable(t);
  BlockStore store;
  ASSERT_TRUE(OpenSmall(&store, 16));
  EXPECT_EQ(store.FreeCount(), 4u);  // 8, 13, 14, 15
  std::vector<unsigned char> buffer(16 * kBlock);
  for (uint32_t n : {1u, 3u, 6u, 7u, 9u, 11u, 4u, 0u, 16u, 1000u}) {
    EXPECT_EQ(store.CountBlocks(n), 0u) << n;
    EXPECT_EQ(store.Read(buffer.data(), 16, n), 0u) << n;
  }
  EXPECT_EQ(store.CountBlocks(10), 1u);
  EXPECT_EQ(store.CountBlocks(12), 1u);
  // Freeing a looping chain ends, and never frees another record's head.
  EXPECT_EQ(store.Free(3), 0);
  EXPECT_EQ(store.Entry(3) | store.Entry(4) | store.Entry(5), 0u);
  EXPECT_EQ(store.Free(9), 0);
  EXPECT_EQ(store.Entry(10), H | 0xFFFFFF);
  EXPECT_EQ(store.Free(1), 0);
  EXPECT_EQ(store.Entry(2), 0u);
  EXPECT_EQ(store.FreeCount(), 10u);
}

TEST_F(BlockStoreTest, ShortDataFile) {
  BlockStore store;
  ASSERT_TRUE(OpenSmall(&store, 16));
  auto two = Filled(2, 'm');
  ASSERT_EQ(store.Write(two.data(), 2, 0), 1u);
  // Cut the data file inside block 2: the block reads short and zero-filled.
  std::string bytes = ReadFile(data());
  ASSERT_TRUE(platform::WriteWholeFile(data(), bytes.substr(0, 1024 + 10)));
  std::vector<unsigned char> back(2 * kBlock, 0xEE);
  EXPECT_EQ(store.Read(back.data(), 2, 1), 2u);
  EXPECT_EQ(back[512 + 9], 'm');
  EXPECT_EQ(back[512 + 10], 0);
  EXPECT_EQ(back[1023], 0);
  EXPECT_TRUE(store.DataCoversTable());  // a short last block is not a missing one
  // Cut before block 2: the block is missing and the record does not read.
  ASSERT_TRUE(platform::WriteWholeFile(data(), bytes.substr(0, 1024)));
  EXPECT_EQ(store.Read(back.data(), 2, 1), 0u);
  EXPECT_FALSE(store.DataCoversTable());
}

TEST_F(BlockStoreTest, ReloadSeesChangesOfAnotherOpener) {
  BlockStore first, second;
  ASSERT_TRUE(OpenSmall(&first, 16));
  ASSERT_TRUE(OpenSmall(&second, 16));
  auto one = Filled(1, 'r');
  ASSERT_EQ(first.Write(one.data(), 1, 0), 1u);
  EXPECT_EQ(second.Entry(1), 0u);
  ASSERT_TRUE(second.ReloadTable());
  EXPECT_EQ(second.Entry(1), 0x80FFFFFFu);
  EXPECT_EQ(second.FreeCount(), 14u);
  // After the reload the second opener allocates past the first one's record.
  EXPECT_EQ(second.Write(one.data(), 1, 0), 2u);
  std::vector<unsigned char> back(kBlock);
  EXPECT_EQ(second.Read(back.data(), 1, 1), 1u);
  EXPECT_EQ(back, one);
}

TEST_F(BlockStoreTest, FreeAllExceptClearsUnmarkedBlocks) {
  BlockStore store;
  ASSERT_TRUE(OpenSmall(&store, 16));
  auto two = Filled(2, 'k');
  ASSERT_EQ(store.Write(two.data(), 2, 0), 1u);
  ASSERT_EQ(store.Write(two.data(), 2, 0), 3u);
  std::vector<bool> keep(16, false);
  keep[3] = keep[4] = true;
  EXPECT_EQ(store.FreeAllExcept(keep), 2u);
  EXPECT_EQ(store.Entry(1), 0u);
  EXPECT_EQ(store.CountBlocks(3), 2u);
  EXPECT_EQ(store.FreeCount(), 13u);
}

TEST(BlockStoreParameters, RejectsBadGeometry) {
  TempFolder dir;
  BlockStore store;
  EXPECT_FALSE(store.Open(dir / "fat", dir / "data", 0, 100));
  EXPECT_FALSE(store.Open(dir / "fat", dir / "data", 512, 1));
  EXPECT_FALSE(store.Open(dir / "fat", dir / "data", 512, 0x1000000));
  EXPECT_FALSE(store.Open(dir / "no_such_folder/fat", dir / "data", 512, 100));
}

}  // namespace
}  // namespace korvo
