// Loading channel.opml at start-up: the first start, the UrlList conversion and its files.
#include "channels/channel_list_loader.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "channels/channel_texts.h"
#include "channels/opml_templates.h"
#include "channels/url_list.h"
#include "common/temp_folder.h"
#include "fetch/feed_cache.h"
#include "platform/code_page.h"
#include "platform/files.h"

namespace korvo {
namespace {

using korvo::testing::TempFolder;

class RecordingProgress : public ProgressDisplay {
 public:
  void Open(const std::string& title) override { titles.push_back(title); }
  void SetRange(int maximum) override { range = maximum; }
  void Step() override { ++steps; }
  void Close() override { ++closed; }
  std::vector<std::string> titles;
  int range = -100;
  int steps = 0;
  int closed = 0;
};

std::string Rss(const std::string& title_utf8, const std::string& link) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\"><channel><title>" +
         title_utf8 + "</title><link>" + link + "</link><description>About " + title_utf8 +
         "</description><item><title>i</title></item></channel></rss>";
}

// Serves feeds from a map; records every address asked for.
struct FakeWeb {
  std::map<std::string, std::string> pages;
  std::vector<std::string> requested;
  SourceDownload Download() {
    return [this](const std::string& address, std::string* body) {
      requested.push_back(address);
      auto it = pages.find(address);
      if (it == pages.end()) return false;
      *body = it->second;
      return true;
    };
  }
};

const XmlNode* OutlineWithUrl(const ChannelList& list, const std::string& url) {
  for (const XmlNode* node = list.body(); node != nullptr;
       node = NextInDocumentOrder(node, list.body())) {
    if (IsOutline(node) && node->Attribute("xmlUrl") != nullptr &&
        *node->Attribute("xmlUrl") == url) {
      return node;
    }
  }
  return nullptr;
}

std::string AttributeOr(const XmlNode* node, const char* name, const char* missing = "<none>") {
  const std::string* value = node->Attribute(name);
  return value != nullptr ? *value : std::string(missing);
}

TEST(LoadChannelListTest, FirstStartWritesSixDefaultsAndConvertsThem) {
  TempFolder folder;
  FakeWeb web;
  const std::string default_text = DefaultUrlListText();
  const std::vector<std::string_view> defaults = SplitUrlListLines(default_text);
  ASSERT_EQ(defaults.size(), 6u);
  for (size_t i = 0; i < defaults.size(); ++i) {
    web.pages[std::string(defaults[i])] =
        Rss(std::string(u8"ニュース") + std::to_string(i), "https://site" + std::to_string(i));
  }
  RecordingProgress progress;
  ChannelListLoadOptions options;
  options.download = web.Download();
  options.progress = &progress;
  ChannelList list;
  ASSERT_EQ(LoadChannelList(folder.path(), options, &list), 0);

  EXPECT_EQ(web.requested.size(), 6u);
  const std::vector<Channel> channels = BuildUpdateList(list);
  ASSERT_EQ(channels.size(), 6u);
  EXPECT_EQ(channels[0].url, std::string(defaults[0]));
  EXPECT_EQ(channels[0].title, platform::Utf8ToCp932(u8"ニュース0"));
  EXPECT_EQ(channels[5].siteUrl, "https://site5");
  EXPECT_FALSE(list.modified());

  EXPECT_FALSE(platform::FileExists(folder / kUrlListFile));
  EXPECT_FALSE(platform::FileExists(folder / kTempDownloadFile));
  EXPECT_FALSE(platform::FileExists(folder / kOldUrlListFile));
  std::string backup;
  ASSERT_TRUE(platform::ReadWholeFile(folder / kUrlListBackupFile, &backup));
  EXPECT_EQ(backup, DefaultUrlListText());

  ASSERT_EQ(progress.titles.size(), 1u);
  EXPECT_EQ(progress.titles[0], GetChannelText(ChannelText::kMigrationProgressTitle));
  EXPECT_EQ(progress.range, 5);
  EXPECT_EQ(progress.steps, 6);
  EXPECT_EQ(progress.closed, 1);

  // The saved file reads back the same; a second start converts nothing.
  ChannelList again;
  ASSERT_EQ(LoadChannelList(folder.path(), options, &again), 0);
  EXPECT_EQ(web.requested.size(), 6u);
  EXPECT_EQ(BuildUpdateList(again).size(), 6u);
  EXPECT_EQ(BuildUpdateList(again)[0].title, channels[0].title);
}

TEST(LoadChannelListTest, ConvertsUrlListLinesIntoTheExistingList) {
  TempFolder folder;
  ASSERT_TRUE(platform::WriteWholeFile(
      folder / kChannelListFile,
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<opml version=\"1.0\">\n<body>\n"
      "<outline text=\"kept\" xmlUrl=\"http://kept/\"/>\n</body>\n</opml>\n"));
  const std::string long_ok = "http://long/" + std::string(kMaxUrlListLine - 12, 'a');
  const std::string too_long = long_ok + "b";
  ASSERT_EQ(long_ok.size(), 1023u);
  const std::string url_list = "http://a/feed\n#http://b/feed\r\nx\n\n#\nftp://c/\n" + long_ok +
                               "\n" + too_long +
                               "\nhttp://fail/\nhttp://page/\nhttp://notitle/\n"
                               "http://euc/";
  ASSERT_TRUE(platform::WriteWholeFile(folder / kUrlListFile, url_list));

  FakeWeb web;
  web.pages["http://a/feed"] = Rss("A &amp; B", "http://a/");
  web.pages["http://b/feed"] = Rss("B", "http://b/");
  web.pages[long_ok] = Rss("Long", "http://long/");
  web.pages[too_long] = Rss("Too long", "http://long/");
  web.pages["http://page/"] = "<html><head><title>no feed</title></head></html>";
  web.pages["http://notitle/"] = "<rss><channel><link>http://nt/</link></channel></rss>";
  web.pages["http://euc/"] =
      "<?xml version=\"1.0\" encoding=\"EUC-JP\"?><rdf:RDF><channel><title>\xC6\xFC\xCB\xDC"
      "</title></channel></rdf:RDF>";
  ChannelListLoadOptions options;
  options.download = web.Download();
  UrlListConversion conversion;
  options.conversion = &conversion;
  ChannelList list;
  ASSERT_EQ(LoadChannelList(folder.path(), options, &list), 0);
  EXPECT_EQ(conversion.fetched, 5u);
  EXPECT_EQ(conversion.kept, 1u);
  EXPECT_EQ(conversion.dropped, (std::vector<std::string>{"http://page/"}));

  const std::vector<std::string> expected_requests = {
      "http://a/feed", "http://b/feed",   long_ok,      "http://fail/",
      "http://page/",  "http://notitle/", "http://euc/"};
  EXPECT_EQ(web.requested, expected_requests);

  const XmlNode* a = OutlineWithUrl(list, "http://a/feed");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(AttributeOr(a, "text"), "A & B");
  EXPECT_EQ(AttributeOr(a, "title"), "A & B");
  EXPECT_EQ(AttributeOr(a, "type"), "rss");
  EXPECT_EQ(AttributeOr(a, "htmlUrl"), "http://a/");
  EXPECT_EQ(AttributeOr(a, "description"), "About A & B");
  EXPECT_EQ(AttributeOr(a, "disable"), "<none>");
  const XmlNode* b = OutlineWithUrl(list, "http://b/feed");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(AttributeOr(b, "disable"), "true");
  ASSERT_NE(OutlineWithUrl(list, long_ok), nullptr);
  EXPECT_EQ(AttributeOr(OutlineWithUrl(list, "http://notitle/"), "text"), "http://notitle/");
  EXPECT_EQ(AttributeOr(OutlineWithUrl(list, "http://euc/"), "text"),
            platform::EucJpToCp932("\xC6\xFC\xCB\xDC"));
  // A page that is no feed is left out; an address that could not be fetched is kept.
  EXPECT_EQ(OutlineWithUrl(list, "http://page/"), nullptr);
  const XmlNode* fail = OutlineWithUrl(list, "http://fail/");
  ASSERT_NE(fail, nullptr);
  EXPECT_EQ(AttributeOr(fail, "text"), "http://fail/");
  EXPECT_EQ(AttributeOr(fail, "disable"), "<none>");

  // The old channel stays first; the disabled one is not updated.
  const std::vector<Channel> channels = BuildUpdateList(list);
  ASSERT_EQ(channels.size(), 6u);
  EXPECT_EQ(channels[0].url, "http://kept/");
  for (const Channel& channel : channels) EXPECT_NE(channel.url, "http://b/feed");

  std::string backup;
  ASSERT_TRUE(platform::ReadWholeFile(folder / kUrlListBackupFile, &backup));
  EXPECT_EQ(backup, url_list);
  EXPECT_FALSE(platform::FileExists(folder / kUrlListFile));
}

// A first start (or an upgrade from UrlList) while the network is down loses no subscription:
// every address becomes a channel under its own address, the closing message says so, and the
// first start after a fetch cached the feed gives the channel its feed's title.
TEST(LoadChannelListTest, OfflineConversionKeepsEveryAddressUntilItsFeedNamesIt) {
  TempFolder folder;
  ASSERT_TRUE(platform::WriteWholeFile(folder / kUrlListFile,
                                       "http://a/feed\n#http://b/feed\nhttp://c/feed\n"));
  ChannelListLoadOptions options;
  options.download = [](const std::string&, std::string*) { return false; };  // offline
  UrlListConversion conversion;
  options.conversion = &conversion;
  ChannelList list;
  ASSERT_EQ(LoadChannelList(folder.path(), options, &list), 0);
  EXPECT_FALSE(platform::FileExists(folder / kUrlListFile));
  EXPECT_EQ(conversion.kept, 3u);
  const std::vector<Channel> channels = BuildUpdateList(list);
  ASSERT_EQ(channels.size(), 2u);  // b stays disabled, as its line was
  EXPECT_EQ(channels[0].url, "http://a/feed");
  EXPECT_EQ(channels[0].title, "http://a/feed");
  EXPECT_EQ(AttributeOr(OutlineWithUrl(list, "http://b/feed"), "disable"), "true");

  conversion.dropped = {"http://x/page"};
  const std::string message = UrlListConversionText(conversion);
  for (ChannelText line : {ChannelText::kUrlListConverted, ChannelText::kUrlListKept}) {
    const std::string& text = GetChannelText(line);
    EXPECT_NE(message.find(text.substr(0, text.find("%s"))), std::string::npos);
  }
  EXPECT_NE(message.find("http://x/page"), std::string::npos);

  // A later fetch cached a's feed: a is named from it; c, still unfetched, keeps its address.
  bool changed = false;
  ASSERT_TRUE(FeedCache(folder / "cache")
                  .Store("http://a/feed", {}, Rss(u8"エー新聞", "http://a/"), &changed));
  EXPECT_EQ(NameChannelsFromCache(folder / "cache", list.body()), 1u);
  const XmlNode* a = OutlineWithUrl(list, "http://a/feed");
  EXPECT_EQ(AttributeOr(a, "text"), platform::Utf8ToCp932(u8"エー新聞"));
  EXPECT_EQ(AttributeOr(a, "title"), platform::Utf8ToCp932(u8"エー新聞"));
  EXPECT_EQ(AttributeOr(a, "htmlUrl"), "http://a/");
  EXPECT_EQ(AttributeOr(OutlineWithUrl(list, "http://c/feed"), "text"), "http://c/feed");
  EXPECT_EQ(NameChannelsFromCache(folder / "cache", list.body()), 0u);
}

TEST(LoadChannelListTest, ExistingListWithoutUrlListIsOnlyRead) {
  TempFolder folder;
  ASSERT_TRUE(platform::WriteWholeFile(folder / kChannelListFile, EmptyChannelListText()));
  FakeWeb web;
  ChannelListLoadOptions options;
  options.download = web.Download();
  ChannelList list;
  ASSERT_EQ(LoadChannelList(folder.path(), options, &list), 0);
  EXPECT_TRUE(web.requested.empty());
  EXPECT_FALSE(platform::FileExists(folder / kUrlListFile));
  EXPECT_FALSE(platform::FileExists(folder / kUrlListBackupFile));
  EXPECT_EQ(BuildUpdateList(list)[0].url, kPlaceholderChannelUrl);
}

TEST(LoadChannelListTest, UnreadableListKeepsUrlList) {
  TempFolder folder;
  ASSERT_TRUE(platform::WriteWholeFile(folder / kChannelListFile, ""));
  ASSERT_TRUE(platform::WriteWholeFile(folder / kUrlListFile, "http://a/\n"));
  FakeWeb web;
  ChannelListLoadOptions options;
  options.download = web.Download();
  ChannelList list;
  EXPECT_EQ(LoadChannelList(folder.path(), options, &list), -1);
  EXPECT_TRUE(web.requested.empty());
  EXPECT_TRUE(platform::FileExists(folder / kUrlListFile));
  EXPECT_EQ(BuildUpdateList(list).size(), 1u);
}

TEST(LoadChannelListTest, ListWithoutBodyGetsOneAndTakesTheConversion) {
  TempFolder folder;
  ASSERT_TRUE(platform::WriteWholeFile(
      folder / kChannelListFile, "<opml version=\"1.0\"><head><title>x</title></head></opml>"));
  ASSERT_TRUE(platform::WriteWholeFile(folder / kUrlListFile, "http://a/\n"));
  FakeWeb web;
  web.pages["http://a/"] = Rss("A", "http://a.site/");
  ChannelListLoadOptions options;
  options.download = web.Download();
  ChannelList list;
  ASSERT_EQ(LoadChannelList(folder.path(), options, &list), 0);
  ChannelList reloaded;
  ASSERT_TRUE(reloaded.LoadFile(folder / kChannelListFile));
  EXPECT_EQ(BuildUpdateList(reloaded)[0].url, "http://a/");
}

TEST(LoadChannelListTest, OversizedUrlListIsLeftForTheUser) {
  TempFolder folder;
  std::string huge;
  while (huge.size() <= kMaxUrlListBytes) huge += "http://example.com/feed\n";
  ASSERT_TRUE(platform::WriteWholeFile(folder / kUrlListFile, huge));
  FakeWeb web;
  ChannelListLoadOptions options;
  options.download = web.Download();
  ChannelList list;
  ASSERT_EQ(LoadChannelList(folder.path(), options, &list), 0);
  EXPECT_TRUE(web.requested.empty());
  EXPECT_TRUE(platform::FileExists(folder / kUrlListFile));
  EXPECT_TRUE(platform::FileExists(folder / kChannelListFile));
}

TEST(LoadChannelListTest, HostileFeedsAreBounded) {
  // Many lines: only the first kMaxUrlListEntries are fetched. A feed with a huge description
  // gives a cut one.
  TempFolder folder;
  std::string url_list;
  for (size_t i = 0; i < kMaxUrlListEntries + 10; ++i) url_list += "http://x/\n";
  ASSERT_TRUE(platform::WriteWholeFile(folder / kUrlListFile, url_list));
  ASSERT_TRUE(platform::WriteWholeFile(folder / kChannelListFile, EmptyChannelListText()));
  size_t calls = 0;
  ChannelListLoadOptions options;
  options.download = [&calls](const std::string&, std::string* body) {
    if (++calls > 1) return false;
    *body = "<rss><channel><title>t</title><description>" + std::string(200000, 'd') +
            "</description></channel></rss>";
    return true;
  };
  ChannelList list;
  ASSERT_EQ(LoadChannelList(folder.path(), options, &list), 0);
  EXPECT_EQ(calls, kMaxUrlListEntries);
  const XmlNode* outline = OutlineWithUrl(list, "http://x/");
  ASSERT_NE(outline, nullptr);
  EXPECT_EQ(outline->Attribute("description")->size(), kMaxConvertedDescription);
}

// A feed's title and link are outside input like its description: a huge title is cut (on a
// character boundary), a huge link is dropped rather than cut into another address.
TEST(LoadChannelListTest, HugeTitlesAndLinksOfConvertedFeedsAreBounded) {
  TempFolder folder;
  ASSERT_TRUE(platform::WriteWholeFile(folder / kUrlListFile, "http://huge/\n"));
  ASSERT_TRUE(platform::WriteWholeFile(folder / kChannelListFile, EmptyChannelListText()));
  std::string title;
  while (title.size() < 300000) title += u8"見出し";
  ChannelListLoadOptions options;
  options.download = [&title](const std::string&, std::string* body) {
    *body = Rss(title, "http://site/" + std::string(300000, 'p'));
    return true;
  };
  ChannelList list;
  ASSERT_EQ(LoadChannelList(folder.path(), options, &list), 0);
  const XmlNode* outline = OutlineWithUrl(list, "http://huge/");
  ASSERT_NE(outline, nullptr);
  const std::string text = AttributeOr(outline, "text");
  EXPECT_LE(text.size(), kMaxConvertedTitle);
  EXPECT_GE(text.size(), kMaxConvertedTitle - 1);
  EXPECT_EQ(text, platform::Utf8ToCp932(platform::Cp932ToUtf8(text)));  // no half character
  EXPECT_EQ(AttributeOr(outline, "title"), text);
  EXPECT_EQ(AttributeOr(outline, "htmlUrl"), "");
}

}  // namespace
}  // namespace korvo
