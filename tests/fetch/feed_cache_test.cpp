#include "fetch/feed_cache.h"

#include <gtest/gtest.h>

#include "common/temp_folder.h"
#include "platform/files.h"
#include "platform/system_info.h"

namespace korvo {
namespace {

platform::CalendarTime At(int year, int month, int day, int hour, int minute, int second) {
  platform::CalendarTime t;
  t.year = year;
  t.month = month;
  t.day = day;
  t.hour = hour;
  t.minute = minute;
  t.second = second;
  t.day_of_week = 3;
  t.millisecond = 250;
  return t;
}

std::string Body(size_t size, char fill) {
  std::string s;
  for (size_t i = 0; i < size; ++i) s += static_cast<char>(fill + static_cast<char>(i % 7));
  return s;
}

class FeedCacheTest : public ::testing::Test {
 protected:
  bool Store(std::string_view body) {
    bool changed = false;
    EXPECT_TRUE(cache_.Store(kUrl, At(2024, 5, 1, 12, 0, 0), body, &changed));
    return changed;
  }
  static constexpr char kUrl[] = "http://a.example/rss.xml[basic]";
  testing::TempFolder folder_;
  FeedCache cache_{folder_ / "cache"};
};

TEST_F(FeedCacheTest, FileHoldsTheUtcTimeAndTheBodyExactly) {
  const std::string body("<rss>\0\x01\xFF</rss>", 14);
  bool changed = false;
  ASSERT_TRUE(cache_.Store(kUrl, At(2005, 2, 1, 23, 59, 58), body, &changed));
  EXPECT_TRUE(changed);
  const std::string path = cache_.PathFor(kUrl);
  EXPECT_EQ(path, folder_ / "cache/http@@@a.example@rss.xml[basic]");
  std::string raw;
  ASSERT_TRUE(platform::ReadWholeFile(path, &raw));
  EXPECT_EQ(
      raw,
      std::string("\xD5\x07\x02\x00\x03\x00\x01\x00\x17\x00\x3B\x00\x3A\x00\xFA\x00", 16) + body);
  std::string read;
  ASSERT_TRUE(cache_.Read(kUrl, &read));
  EXPECT_EQ(read, body);
  platform::CalendarTime t;
  ASSERT_TRUE(cache_.Time(kUrl, &t));
  EXPECT_EQ(t.year, 2005);
  EXPECT_EQ(t.month, 2);
  EXPECT_EQ(t.day_of_week, 3);
  EXPECT_EQ(t.day, 1);
  EXPECT_EQ(t.hour, 23);
  EXPECT_EQ(t.minute, 59);
  EXPECT_EQ(t.second, 58);
  EXPECT_EQ(t.millisecond, 250);
  // Nothing but the cache file is left in the folder (no temporary files).
  EXPECT_EQ(platform::ListDirectory(folder_ / "cache").size(), 1u);
}

TEST_F(FeedCacheTest, ChangeTestLooksAtTheMiddleAndTheSize) {
  const std::string first = Body(1000, 'a');
  EXPECT_TRUE(Store(first));
  EXPECT_FALSE(Store(first));  // the same bytes

  // Different outside the middle 16 bytes, two bytes longer: unchanged, yet stored.
  std::string edited = first;
  edited[0] = 'Z';
  edited += "xy";  // 1002 bytes; the bytes at 501..516 are those of the old body
  EXPECT_FALSE(Store(edited));
  std::string read;
  ASSERT_TRUE(cache_.Read(kUrl, &read));
  EXPECT_EQ(read, edited);

  // Two bytes shorter: unchanged; three bytes longer: changed.
  EXPECT_FALSE(Store(edited.substr(0, 1000)));
  EXPECT_TRUE(Store(edited.substr(0, 1000) + "abc"));

  // One byte different inside the middle 16 bytes, same size: changed.
  std::string inside = edited.substr(0, 1000) + "abc";
  EXPECT_FALSE(Store(inside));
  inside[inside.size() / 2 + 15] ^= 1;
  EXPECT_TRUE(Store(inside));
}

// A feed that dropped its oldest items (at its end) is a change, however its middle reads.
TEST_F(FeedCacheTest, AFeedThatLostItemsAtItsEndIsChanged) {
  std::string feed = "<rss><channel><title>t</title>";
  for (int i = 0; i < 20; ++i) feed += "<item><title>" + std::to_string(i) + "</title></item>";
  const std::string tail = "</channel></rss>";
  EXPECT_TRUE(Store(feed + tail));
  const size_t last = feed.rfind("<item>");
  EXPECT_TRUE(Store(feed.substr(0, last) + tail));
}

TEST_F(FeedCacheTest, SmallBodiesAlwaysCountAsChanged) {
  const std::string small = Body(33, 'k');
  EXPECT_TRUE(Store(small));
  EXPECT_TRUE(Store(small));  // 33 bytes: h = 16, no comparison at all
  const std::string larger = Body(34, 'k');
  // h = 17; the old file (16 + 33 bytes) is not longer than h + 32 = 49: changed.
  EXPECT_TRUE(Store(larger));
  // Now the old file has 50 bytes: the middle is compared and the bytes are the same.
  EXPECT_FALSE(Store(larger));
}

TEST_F(FeedCacheTest, ShortFilesAreDeletedOnReadAndMissingOnesGiveNothing) {
  std::string body;
  platform::CalendarTime t;
  EXPECT_FALSE(cache_.Read(kUrl, &body));
  EXPECT_FALSE(cache_.Time(kUrl, &t));
  ASSERT_TRUE(platform::MakeDirectory(folder_ / "cache"));
  ASSERT_TRUE(platform::WriteWholeFile(cache_.PathFor(kUrl), "fifteen bytes!!"));
  EXPECT_FALSE(cache_.Time(kUrl, &t));
  EXPECT_FALSE(cache_.Read(kUrl, &body));
  EXPECT_FALSE(platform::FileExists(cache_.PathFor(kUrl)));

  EXPECT_TRUE(Store("x"));
  EXPECT_TRUE(cache_.Delete(kUrl));
  EXPECT_FALSE(platform::FileExists(cache_.PathFor(kUrl)));
  EXPECT_TRUE(cache_.Delete(kUrl));  // already gone
}

TEST_F(FeedCacheTest, StoreFailsWhereNoFileCanBeWritten) {
  FeedCache broken(folder_ / "no/such/folder");
  bool changed = true;
  EXPECT_FALSE(broken.Store(kUrl, At(2024, 1, 1, 0, 0, 0), "new", &changed));
  // A folder standing where the cache file should be is not replaced.
  ASSERT_TRUE(platform::MakeDirectory(folder_ / "cache"));
  ASSERT_TRUE(platform::MakeDirectory(cache_.PathFor(kUrl)));
  EXPECT_FALSE(cache_.Store(kUrl, At(2024, 1, 1, 0, 0, 0), "new", &changed));
  EXPECT_TRUE(platform::DirectoryExists(cache_.PathFor(kUrl)));
  EXPECT_EQ(platform::ListDirectory(folder_ / "cache").size(), 1u);  // no temporary file left
}

TEST_F(FeedCacheTest, ReplacingNeverUsesAnotherWritersTemporaryFile) {
  // Temporary files of other writers, in flight, under every name a per-process counter would
  // give (with and without this process's id): a replace must neither write into them nor
  // rename them away.
  ASSERT_TRUE(platform::MakeDirectory(folder_ / "cache"));
  const std::string pid = std::to_string(platform::CurrentProcessId());
  std::vector<std::string> others;
  for (int n = 0; n < 64; ++n) {
    for (const std::string& name : {"~korvo-" + std::to_string(n) + ".part",
                                    "~korvo-" + pid + "-" + std::to_string(n) + ".part"}) {
      others.push_back(folder_ / ("cache/" + name));
      ASSERT_TRUE(platform::WriteWholeFile(others.back(), "another writer's bytes"));
    }
  }
  bool changed = false;
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(cache_.Store(kUrl, At(2024, 1, 1, 0, 0, i), "body " + std::to_string(i), &changed));
  }
  std::string body;
  ASSERT_TRUE(cache_.Read(kUrl, &body));
  EXPECT_EQ(body, "body 2");
  for (const std::string& path : others) {
    std::string bytes;
    EXPECT_TRUE(platform::ReadWholeFile(path, &bytes)) << path;
    EXPECT_EQ(bytes, "another writer's bytes") << path;
  }
  EXPECT_EQ(platform::ListDirectory(folder_ / "cache").size(), others.size() + 1);
}

}  // namespace
}  // namespace korvo
