// The database guard: the shared database, the store lock across threads, and two processes
// using one store at once.
#include "store/database_guard.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <set>
#include <string>
#include <thread>

#include "common/temp_folder.h"
#include "concurrent_records.h"
#include "platform/files.h"
#include "store_test_util.h"

namespace korvo {
namespace {

using korvo::testing::TempFolder;

TEST(DatabaseGuardTest, FirstGuardOpensLastGuardCloses) {
  TempFolder dir;
  EXPECT_EQ(DatabaseGuard::Count(), 0);
  NewsDatabase* first_db = nullptr;
  {
    DatabaseGuard main_guard(dir.path());
    EXPECT_EQ(DatabaseGuard::Count(), 1);
    EXPECT_TRUE(platform::FileExists(dir / "database/fat"));
    {
      DatabaseGuard other("/no/such/folder");  // shares the open database
      EXPECT_EQ(DatabaseGuard::Count(), 2);
      ScopedDatabase db(other);
      ASSERT_TRUE(db);
      first_db = &*db;
      EXPECT_EQ(db->folder(), dir.path());
      NewsItem item = korvo::testing::ConcurrentRecord(0, 0);
      EXPECT_EQ(db->AddItem(&item, nullptr), 1u);
    }
    ScopedDatabase db(main_guard);
    EXPECT_EQ(&*db, first_db);
    EXPECT_EQ(db->ReadIndex(1).size(), 1u);
  }
  EXPECT_EQ(DatabaseGuard::Count(), 0);
  // The next first guard opens the store afresh and finds the record.
  DatabaseGuard again(dir.path());
  ScopedDatabase db(again);
  ASSERT_TRUE(db);
  NewsItem item;
  item.number = 1;
  EXPECT_NE(db->ReadItem(&item), 0u);
}

TEST(DatabaseGuardTest, OpenWithInterruptedUpdateRebuildsUnderTheLock) {
  TempFolder dir;
  {
    DatabaseGuard guard(dir.path());
    ScopedDatabase db(guard);
    NewsItem item = korvo::testing::ConcurrentRecord(0, 1);
    db->AddItem(&item, nullptr);
    db->index().WriteAll(NewsDatabase::kDayIndex, {});
    db->BeginUpdateRun();
  }
  ASSERT_TRUE(platform::FileExists(dir / "database/check"));
  DatabaseGuard guard(dir.path());
  ScopedDatabase db(guard);
  EXPECT_FALSE(platform::FileExists(dir / "database/check"));
  EXPECT_EQ(db->ReadIndex(NewsDatabase::kDayIndex).size(), 1u);
}

TEST(DatabaseGuardTest, LockSerialisesThreads) {
  TempFolder dir;
  DatabaseGuard guard(dir.path());
  std::atomic<int> inside{0};
  std::atomic<bool> overlap{false};
  auto worker = [&](int writer) {
    DatabaseGuard mine(dir.path());
    for (int i = 0; i < 40; ++i) {
      ScopedDatabase db(mine);
      if (++inside != 1) overlap = true;
      NewsItem item = korvo::testing::ConcurrentRecord(writer, i);
      db->AddItem(&item, nullptr);
      std::this_thread::yield();
      --inside;
    }
  };
  std::thread a(worker, 1), b(worker, 2);
  a.join();
  b.join();
  EXPECT_FALSE(overlap);
  ScopedDatabase db(guard);
  EXPECT_EQ(db->ReadIndex(1).size(), 80u);
}

#ifdef KORVO_STORE_HELPER
// Adds and reads from this process while the helper process does the same in the same folder.
TEST(DatabaseGuardTest, TwoProcessesNeverSeeATornRecord) {
  TempFolder dir;
  constexpr int kCount = 300;
  DatabaseGuard guard(dir.path());
  int helper_status = -1;
  std::thread helper([&] {
    std::string command = std::string("\"") + KORVO_STORE_HELPER + "\" \"" + dir.path() + "\" 2 " +
                          std::to_string(kCount);
#ifdef _WIN32
    // cmd.exe /c drops the first and the last quote of a line that starts with one.
    command = "\"" + command + "\"";
#endif
    helper_status = std::system(command.c_str());
  });
  int torn = 0;
  for (int i = 0; i < kCount; ++i) {
    ScopedDatabase db(guard);
    ASSERT_TRUE(db);
    NewsItem item = korvo::testing::ConcurrentRecord(1, i);
    ASSERT_NE(db->AddItem(&item, nullptr), 0u);
    if (i % 10 != 0) continue;
    for (const IndexEntry& e : db->ReadIndex(NewsDatabase::kDayIndex)) {
      NewsItem back;
      back.number = e.number;
      if (db->ReadItem(&back) == 0 || !korvo::testing::IsWholeRecord(back)) ++torn;
    }
  }
  helper.join();
  EXPECT_EQ(helper_status, 0);
  EXPECT_EQ(torn, 0);

  // Every record of both writers is there once, whole, and no block belongs to two records.
  ScopedDatabase db(guard);
  const std::vector<IndexEntry> all = db->ReadIndex(NewsDatabase::kDayIndex);
  EXPECT_EQ(all.size(), 2u * kCount);
  std::set<std::u16string> titles;
  uint64_t used = 0;
  for (const IndexEntry& e : all) {
    NewsItem back;
    back.number = e.number;
    ASSERT_NE(db->ReadItem(&back), 0u);
    EXPECT_TRUE(korvo::testing::IsWholeRecord(back));
    titles.insert(back.title);
    used += db->blocks().CountBlocks(e.number);
  }
  EXPECT_EQ(titles.size(), 2u * kCount);
  EXPECT_EQ(used + db->blocks().FreeCount(), 262139u);
}
#endif

}  // namespace
}  // namespace korvo
