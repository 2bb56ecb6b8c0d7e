#include "fetch/feed_cache.h"

#include <gtest/gtest.h>

#include "common/temp_folder.h"
#include "platform/files.h"

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
  // The readable name, then a hash of the whole address text.
  const std::string prefix = folder_ / "cache/http@@@a.example@rss.xml[basic]~";
  ASSERT_EQ(path.size(), prefix.size() + 16);
  EXPECT_EQ(path.substr(0, prefix.size()), prefix);
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

// Only the same body, byte for byte, is unchanged; a change anywhere counts, also where the
// size stays within two bytes and the middle is the same.
TEST_F(FeedCacheTest, AnyDifferenceInTheBodyIsAChange) {
  const std::string first = Body(1000, 'a');
  EXPECT_TRUE(Store(first));
  EXPECT_FALSE(Store(first));  // the same bytes

  std::string edited = first;
  edited[0] = 'Z';  // outside the middle, same size
  EXPECT_TRUE(Store(edited));
  std::string read;
  ASSERT_TRUE(cache_.Read(kUrl, &read));
  EXPECT_EQ(read, edited);
  EXPECT_FALSE(Store(edited));
  EXPECT_TRUE(Store(edited + "xy"));  // two bytes longer
  EXPECT_TRUE(Store(edited));         // two bytes shorter
  edited[edited.size() - 1] ^= 1;     // the very last byte
  EXPECT_TRUE(Store(edited));
  EXPECT_FALSE(Store(edited));
  EXPECT_TRUE(Store(std::string()));  // an empty body after a full one
  EXPECT_FALSE(Store(std::string()));
  const std::string big = Body(200000, 'c');  // compared in pieces
  EXPECT_TRUE(Store(big));
  EXPECT_FALSE(Store(big));
  std::string late = big;
  late[150000] ^= 1;
  EXPECT_TRUE(Store(late));
}

// Addresses that the readable name cannot tell apart keep files of their own, and the file of
// the former name is removed once the address is stored again.
TEST_F(FeedCacheTest, EveryAddressHasAFileOfItsOwn) {
  const char* const kTexts[] = {"http://h/a/b.xml", "http://h/a@b.xml", "http://h/a:b.xml",
                                "http://h/A/b.xml"};
  for (const char* text : kTexts) {
    bool changed = false;
    ASSERT_TRUE(cache_.Store(text, At(2024, 5, 1, 12, 0, 0), text, &changed));
  }
  for (const char* text : kTexts) {
    std::string body;
    ASSERT_TRUE(cache_.Read(text, &body));
    EXPECT_EQ(body, text);
  }
  EXPECT_EQ(platform::ListDirectory(folder_ / "cache").size(), 4u);

  const std::string former = folder_ / "cache/http@@@h@a@b.xml";
  ASSERT_TRUE(platform::WriteWholeFile(former, std::string(16, '\0') + "old"));
  std::string body;
  EXPECT_TRUE(cache_.Read(kTexts[0], &body));
  EXPECT_EQ(body, kTexts[0]);
  EXPECT_TRUE(Store("x"));  // another address leaves it
  EXPECT_TRUE(platform::FileExists(former));
  bool changed = false;
  ASSERT_TRUE(cache_.Store(kTexts[1], At(2024, 5, 1, 12, 0, 0), "new", &changed));
  EXPECT_FALSE(platform::FileExists(former));
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

}  // namespace
}  // namespace korvo
