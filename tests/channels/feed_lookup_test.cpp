#include "channels/feed_lookup.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "channels/channel_texts.h"
#include "common/temp_folder.h"
#include "feed/feed_encoding.h"
#include "feed/xml_document.h"
#include "platform/files.h"

namespace korvo {
namespace {

class ScriptedDialog : public FeedLookUpDialog {
 public:
  std::string Address() override { return address; }
  void SetAddress(const std::string& text) override {
    address = text;
    addresses_set.push_back(text);
  }
  void SetFeedFields(const FeedSummary& summary) override {
    fields = summary;
    ++fields_set;
  }
  void ShowWarning(const std::string& text, const std::string& caption) override {
    warnings.push_back(text);
    captions.push_back(caption);
  }

  std::string address;
  std::vector<std::string> addresses_set;
  FeedSummary fields{"old title", "http://old.example/", "old description"};
  int fields_set = 0;
  std::vector<std::string> warnings;
  std::vector<std::string> captions;
};

class FeedLookUpTest : public ::testing::Test {
 protected:
  FeedLookUpTest() {
    context_.working_folder = folder_.path();
    context_.download = [this](const std::string& address, int mode, std::string* body,
                               const std::atomic<bool>*) {
      downloads_.push_back(address);
      // The temporary file is never left behind between downloads.
      EXPECT_FALSE(platform::FileExists(folder_ / "korvo_temp.txt"));
      EXPECT_EQ(mode, 0);
      auto it = pages_.find(address);
      if (it == pages_.end()) return false;
      *body = it->second;
      return true;
    };
  }

  int LookUp(const std::string& address) {
    dialog_.address = address;
    const int result = LookUpFeed(&dialog_, context_);
    EXPECT_FALSE(platform::FileExists(folder_ / "korvo_temp.txt"));
    return result;
  }

  testing::TempFolder folder_;
  LookUpContext context_;
  std::map<std::string, std::string> pages_;
  std::vector<std::string> downloads_;
  ScriptedDialog dialog_;
};

TEST_F(FeedLookUpTest, InvalidAddressesAreRefusedBeforeAnyDownload) {
  for (const std::string& address :
       {std::string("ftp://example.jp/"), std::string("example.jp/rss"), std::string(""),
        "http://example.jp/" + std::string(2030, 'a')}) {
    dialog_.warnings.clear();
    EXPECT_EQ(LookUp(address), -1);
    ASSERT_EQ(dialog_.warnings.size(), 1u);
    EXPECT_EQ(dialog_.warnings[0], GetChannelText(ChannelText::kInvalidAddress));
    EXPECT_EQ(dialog_.captions[0], GetChannelText(ChannelText::kErrorCaption));
  }
  EXPECT_TRUE(downloads_.empty());
  EXPECT_EQ(dialog_.fields_set, 0);
}

TEST_F(FeedLookUpTest, AFailedDownloadIsReported) {
  EXPECT_EQ(LookUp("http://example.jp/missing.xml"), -1);
  ASSERT_EQ(dialog_.warnings.size(), 1u);
  EXPECT_EQ(dialog_.warnings[0], GetChannelText(ChannelText::kFetchFailed));
  EXPECT_EQ(dialog_.captions[0], GetChannelText(ChannelText::kErrorCaption));
  EXPECT_EQ(dialog_.fields.title, "old title");  // the fields stay as they were
}

TEST_F(FeedLookUpTest, RssFeedsFillTheFieldsFromTheirChannel) {
  pages_["http://example.jp/index.rdf"] =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<rdf:RDF>\n<channel rdf:about=\"x\">\n"
      "<title> \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E news </title>\n"
      "<link>http://example.jp/</link>\n"
      "<description><![CDATA[All <b>the</b> news]]></description>\n"
      "</channel>\n<item><title>item title</title></item>\n</rdf:RDF>\n";
  EXPECT_EQ(LookUp("http://example.jp/index.rdf"), 0);
  EXPECT_EQ(dialog_.fields.title, Utf8ToInternal("\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E news"));
  EXPECT_EQ(dialog_.fields.site_address, "http://example.jp/");
  EXPECT_EQ(dialog_.fields.description, "All <b>the</b> news");
  EXPECT_TRUE(dialog_.warnings.empty());
  EXPECT_TRUE(dialog_.addresses_set.empty());
}

TEST_F(FeedLookUpTest, AWebPageLeadsToTheFeedItAnnounces) {
  pages_["http://example.jp/dir/page.html"] =
      "<html><head>"
      "<link type=\"application/rss+xml\" title=\"My blog\" href=\"blog.rdf\">"  // title decides
      "<link type=\"text/css\" title=\"RSS 2.0\" href=\"rss.xml\">"
      "</head><body></body></html>";
  pages_["http://example.jp/dir/rss.xml"] =
      "<rss version=\"2.0\"><channel><title>Blog</title><link>http://example.jp/dir/</link>"
      "</channel></rss>";
  EXPECT_EQ(LookUp("http://example.jp/dir/page.html"), 0);
  EXPECT_EQ(dialog_.address, "http://example.jp/dir/rss.xml");
  EXPECT_EQ(dialog_.fields.title, "Blog");
  EXPECT_EQ(dialog_.fields.description, "");
  EXPECT_EQ(downloads_, (std::vector<std::string>{"http://example.jp/dir/page.html",
                                                  "http://example.jp/dir/rss.xml"}));
}

TEST_F(FeedLookUpTest, WordsInAPageAreNotTakenForFeedElements) {
  pages_["http://example.jp/"] =
      "<html><head><title>channel</title><link title=\"RSS\" href=\"r.xml\"></head>"
      "<body><a href=\"/feed\">feed</a></body></html>";
  pages_["http://example.jp/r.xml"] = "<rss><channel><title>Real</title></channel></rss>";
  EXPECT_EQ(LookUp("http://example.jp/"), 0);
  EXPECT_EQ(dialog_.fields.title, "Real");
}

TEST_F(FeedLookUpTest, ChainsOfPagesStopAtTheDepthLimit) {
  for (int i = 0; i < 10; ++i) {
    pages_["http://example.jp/p" + std::to_string(i) + ".html"] =
        "<html><head><link title=\"RSS\" href=\"p" + std::to_string(i + 1) +
        ".html\"></head></html>";
  }
  EXPECT_EQ(LookUp("http://example.jp/p0.html"), -1);
  EXPECT_EQ(downloads_.size(), static_cast<size_t>(kMaxLookUpDepth + 1));
  EXPECT_EQ(dialog_.address, "http://example.jp/p4.html");
  EXPECT_EQ(dialog_.fields.title, "");  // no feed: the fields are cleared
  EXPECT_TRUE(dialog_.warnings.empty());

  // A page announcing itself is the same chain.
  downloads_.clear();
  pages_["https://example.jp/self/"] = "<html><head><link title=\"RSS\" href=\"./\"></head>";
  EXPECT_EQ(LookUp("https://example.jp/self/"), -1);
  EXPECT_EQ(downloads_.size(), static_cast<size_t>(kMaxLookUpDepth + 1));
}

TEST_F(FeedLookUpTest, PagesWithoutFeedsClearTheFields) {
  pages_["http://example.jp/"] = "<html><head><title>Home</title></head><body/></html>";
  EXPECT_EQ(LookUp("http://example.jp/"), -1);
  EXPECT_EQ(dialog_.fields_set, 1);
  EXPECT_EQ(dialog_.fields.title, "");
  EXPECT_EQ(dialog_.fields.site_address, "");
  EXPECT_EQ(dialog_.address, "http://example.jp/");
}

TEST_F(FeedLookUpTest, LocalFilesAreLookedUpToo) {
#ifdef _WIN32
  const std::string path = "C:\\feeds\\a.xml";
#else
  const std::string path = "/feeds/a.xml";
#endif
  pages_[path] = "<feed><title>Local</title></feed>";
  EXPECT_EQ(LookUp(path), 0);
  EXPECT_EQ(dialog_.fields.title, "Local");
}

FeedSummary Summary(const std::string& text, const std::string& address = "") {
  FeedSummary summary;
  const XmlDocument document = XmlDocument::FromMemory(text);
  EXPECT_TRUE(ReadFeedSummary(document, address, &summary)) << text;
  return summary;
}

TEST(FeedSummaryTest, AtomFeedsTakeTheAlternateLinkAndEitherDescription) {
  FeedSummary s = Summary(
      "<feed xmlns=\"http://www.w3.org/2005/Atom\"><title type=\"text\">Atom one</title>"
      "<subtitle>Sub</subtitle>"
      "<link rel=\"self\" href=\"https://example.jp/blog/feed.atom\"/>"
      "<link rel=\"alternate\" type=\"text/html\" href=\"/blog/\"/>"
      "<entry><title>e</title><link href=\"/blog/e1\"/></entry></feed>",
      "https://example.jp/blog/feed.atom");
  EXPECT_EQ(s.title, "Atom one");
  EXPECT_EQ(s.site_address, "https://example.jp/blog/");
  EXPECT_EQ(s.description, "Sub");

  s = Summary(
      "<feed version=\"0.3\"><title>Old</title><tagline>Tag</tagline>"
      "<link rel=\"self\" href=\"http://a.example/f\"/></feed>");
  EXPECT_EQ(s.description, "Tag");
  EXPECT_EQ(s.site_address, "http://a.example/f");  // no alternate: the first link
}

TEST(FeedSummaryTest, OnlyTheChannelsOwnElementsCount) {
  // RSS 1.0 items follow the channel; a channel without a title must not borrow an item's.
  FeedSummary s = Summary(
      "<rdf:RDF><channel><dc:title>DC title</dc:title><image><title>logo</title></image>"
      "</channel><item><title>item</title><description>item text</description></item>"
      "</rdf:RDF>");
  EXPECT_EQ(s.title, "DC title");
  EXPECT_EQ(s.description, "");
  EXPECT_EQ(s.site_address, "");
  s = Summary("<rss><channel><item><title>item</title></item></channel></rss>");
  EXPECT_EQ(s.title, "");

  FeedSummary none;
  EXPECT_FALSE(ReadFeedSummary(XmlDocument::FromMemory("<html><head/></html>"), "", &none));
}

TEST(FeedSummaryTest, HostileSizesAreBounded) {
  const std::string huge_title(100000, 'T');
  const std::string huge_link = "http://example.jp/" + std::string(5000, 'l');
  std::string many_pieces = "<rss><channel><description>";
  for (int i = 0; i < 20000; ++i) many_pieces += "x<!--c-->";
  many_pieces += "</description><title>" + huge_title + "</title><link>" + huge_link +
                 "</link></channel></rss>";
  const FeedSummary s = Summary(many_pieces);
  EXPECT_EQ(s.title.size(), kMaxSummaryTitle);
  EXPECT_EQ(s.description.size(), kMaxSummaryDescription);
  EXPECT_EQ(s.site_address, "");  // a cut address would lead elsewhere
  // A two-byte character is never split at the limit.
  const std::string kanji = Utf8ToInternal("\xE6\x97\xA5");
  ASSERT_EQ(kanji.size(), 2u);
  std::string title;
  for (size_t i = 0; i < kMaxSummaryTitle; ++i) title += kanji;
  const FeedSummary k = Summary("<rss><channel><title>" + title + "</title></channel></rss>");
  EXPECT_EQ(k.title.size(), kMaxSummaryTitle - 1);
}

}  // namespace
}  // namespace korvo
