#include "channels/url_list.h"

#include <gtest/gtest.h>

#include <string>

namespace korvo {
namespace {

TEST(UrlListTest, LinesAndEntries) {
  const std::string content =
      "http://a.example.jp/rss\n#https://b.example.jp/atom\r\nx\n\n#\nftp://c/\n#x\nhttp://last";
  const auto lines = SplitUrlListLines(content);
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[7], "http://last");

  std::vector<UrlListEntry> entries;
  for (auto line : lines) {
    UrlListEntry entry;
    if (ParseUrlListLine(line, &entry)) entries.push_back(entry);
  }
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].address, "http://a.example.jp/rss");
  EXPECT_FALSE(entries[0].disabled);
  EXPECT_EQ(entries[1].address, "https://b.example.jp/atom");  // "#" and CR are not kept
  EXPECT_TRUE(entries[1].disabled);
  EXPECT_EQ(entries[2].address, "http://last");
  EXPECT_TRUE(SplitUrlListLines("").empty());
}

TEST(UrlListTest, LongLinesAreNeverSplitIntoAddresses) {
  // A line of exactly 1,023 bytes is read; one byte more and the whole line is skipped, so a
  // tail that happens to begin with "http://" never becomes a channel of its own.
  std::string fits = "http://example.jp/" + std::string(kMaxUrlListLine - 18, 'a');
  ASSERT_EQ(fits.size(), kMaxUrlListLine);
  UrlListEntry entry;
  EXPECT_TRUE(ParseUrlListLine(fits, &entry));
  EXPECT_EQ(entry.address.size(), kMaxUrlListLine);
  EXPECT_TRUE(ParseUrlListLine("#" + fits.substr(0, kMaxUrlListLine - 1), &entry));
  EXPECT_TRUE(entry.disabled);

  std::string too_long = fits + "b";
  EXPECT_FALSE(ParseUrlListLine(too_long, &entry));
  std::string smuggled =
      "http://example.jp/" + std::string(kMaxUrlListLine - 18, 'a') + "http://evil.example/";
  const auto lines = SplitUrlListLines(smuggled + "\n" + std::string(100000, 'z') + "\n");
  ASSERT_EQ(lines.size(), 2u);
  for (auto line : lines) EXPECT_FALSE(ParseUrlListLine(line, &entry));
  // A NUL inside an address is refused rather than cutting it.
  EXPECT_FALSE(ParseUrlListLine(std::string("http://a\0b", 10), &entry));
}

TEST(UrlListTest, DefaultListHasSixFeeds) {
  const std::string text = DefaultUrlListText();
  const auto lines = SplitUrlListLines(text);
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(text.back(), '\n');
  for (auto line : lines) {
    UrlListEntry entry;
    EXPECT_TRUE(ParseUrlListLine(line, &entry)) << line;
    EXPECT_FALSE(entry.disabled);
  }
}

}  // namespace
}  // namespace korvo
