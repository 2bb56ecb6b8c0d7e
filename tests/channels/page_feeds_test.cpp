#include "channels/page_feeds.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "feed/xml_document.h"

namespace korvo {
namespace {

std::vector<std::string> Addresses(const std::vector<AnnouncedFeed>& feeds) {
  std::vector<std::string> addresses;
  for (const AnnouncedFeed& feed : feeds) addresses.push_back(feed.address);
  return addresses;
}

std::vector<std::string> Found(const std::string& page, const std::string& page_address,
                               LinkRules rules = LinkRules::kBrowser) {
  const XmlDocument document = XmlDocument::FromMemory(page);
  return Addresses(AnnouncedFeeds(document, page_address, rules));
}

TEST(PageFeedsTest, DocumentsThatAreFeeds) {
  struct Case {
    const char* text;
    int kind;
  };
  const Case cases[] = {
      {"<rss version=\"2.0\"><channel><title>t</title></channel></rss>", kFeedKindRss},
      {"<rdf:RDF xmlns:rdf=\"x\"><channel/></rdf:RDF>", kFeedKindRss},
      {"<feed xmlns=\"http://www.w3.org/2005/Atom\"><title>a</title></feed>", kFeedKindAtom},
      {"<!DOCTYPE rss PUBLIC \"-//Netscape//DTD RSS 0.91//EN\" \"x\"><rss><channel/></rss>",
       kFeedKindRss},
      {"<!-- generated --><feed><title>a</title></feed>", kFeedKindAtom},
      {"<html><head><title>rss</title></head><body><rss/></body></html>", kFeedKindNone},
      {"<opml version=\"1.0\"><head/><body/></opml>", kFeedKindNone},
      {"plain text, no tags", kFeedKindNone},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DocumentFeedKind(XmlDocument::FromMemory(c.text)), c.kind) << c.text;
  }
}

// A real-world head: dozens of links of every sort, in every spelling.
TEST(PageFeedsTest, DozensOfLinksInAHead) {
  std::string page =
      "<!DOCTYPE html><html lang=\"ja\"><head><meta charset=\"utf-8\">"
      "<title>Blog</title>";
  for (int i = 0; i < 20; ++i) {
    page +=
        "<link rel=\"stylesheet\" type=\"text/css\" href=\"/css/s" + std::to_string(i) + ".css\">";
    page += "<link rel=\"preload\" href=\"/font" + std::to_string(i) + ".woff2\">";
  }
  page +=
      "<link rel=\"alternate\" type=\"application/rss+xml\" title=\"Blog\" href=\"/index.rdf\">"
      "<LINK REL=\"alternate\" TYPE=\"APPLICATION/ATOM+XML\" HREF=\"atom.xml\">"
      "<link rel='alternate' type='application/rss+xml' href='/feed/?a=1&amp;b=2' />"
      "<link title=\"RSS 2.0\" href=\"rss2.xml\">"                 // no type: the title decides
      "<link title=\"RSS 2.0\" type=\"text/css\" href=\"x.css\">"  // the type decides
      "<link type=\"application/rss+xml\" title=\"no address\">"
      "<link type=\"application/rss+xml\" href=\"javascript:alert(1)\">"
      "<link type=\"application/rss+xml\" href=\"/index.rdf\">"  // said twice, reported once
      "<link type=\"application/atom+xml\" href=\"https://other.example/f.atom\">"
      "<Link Type=\"application/rss+xml\" Href=\"../../../../up.xml\">"
      "<script src=\"x.js\"></script>"
      "</head><body><link type=\"application/rss+xml\" href=\"/body.xml\"></body></html>";
  EXPECT_EQ(
      Found(page, "http://example.jp/dir/page.html"),
      (std::vector<std::string>{"http://example.jp/index.rdf", "http://example.jp/dir/atom.xml",
                                "http://example.jp/feed/?a=1&b=2", "http://example.jp/dir/rss2.xml",
                                "https://other.example/f.atom", "http://example.jp/up.xml"}));
  const XmlDocument document = XmlDocument::FromMemory(page);
  const std::vector<AnnouncedFeed> feeds =
      AnnouncedFeeds(document, "http://example.jp/dir/page.html", LinkRules::kBrowser);
  ASSERT_EQ(feeds.size(), 6u);
  EXPECT_EQ(feeds[0].kind, kFeedKindRss);
  EXPECT_EQ(feeds[1].kind, kFeedKindAtom);
}

TEST(PageFeedsTest, DialogRulesLetTheTitleDecide) {
  const std::string page =
      "<html><head>"
      "<link type=\"application/rss+xml\" title=\"My blog\" href=\"blog.rdf\">"
      "<link type=\"text/css\" title=\"RSS\" href=\"rss.xml\">"
      "</head></html>";
  EXPECT_EQ(Found(page, "http://example.jp/a/", LinkRules::kBrowser),
            (std::vector<std::string>{"http://example.jp/a/blog.rdf"}));
  EXPECT_EQ(Found(page, "http://example.jp/a/", LinkRules::kDialog),
            (std::vector<std::string>{"http://example.jp/a/rss.xml"}));
}

TEST(PageFeedsTest, RelativeAddressesNeverLeaveTheHost) {
  std::string page = "<html><head>";
  for (const char* href : {"../../../x.xml", "/../../y.xml", "./../.././z.xml", "..", "../",
                           "//evil.example/../f.xml"}) {
    page += std::string("<link type=\"application/rss+xml\" href=\"") + href + "\">";
  }
  page += "</head></html>";
  EXPECT_EQ(Found(page, "https://secure.example.jp/a/b.html?q=../../c"),
            (std::vector<std::string>{
                "https://secure.example.jp/x.xml", "https://secure.example.jp/y.xml",
                "https://secure.example.jp/z.xml", "https://secure.example.jp/",
                "https://evil.example/../f.xml"}));
}

TEST(PageFeedsTest, PagesWithoutAnnouncedFeeds) {
  for (const char* page :
       {"<html><body><a href=\"rss.xml\">RSS</a></body></html>",
        "<html><head><title>x</title><link rel=\"icon\" href=\"/favicon.ico\"></head></html>",
        "<html><head/><body></body></html>", "", "<<<<>>>>\"\"\""}) {
    EXPECT_TRUE(Found(page, "http://example.jp/").empty()) << page;
  }
}

TEST(PageFeedsTest, AnUnclosedHeadStillAnnouncesUpToTheBody) {
  const std::string page =
      "<html><head><meta charset=utf-8>"
      "<link type=\"application/rss+xml\" href=\"a.xml\">"
      "<body><link type=\"application/rss+xml\" href=\"b.xml\"></body></html>";
  EXPECT_EQ(Found(page, "http://example.jp/"),
            (std::vector<std::string>{"http://example.jp/a.xml"}));
}

TEST(PageFeedsTest, AtMostAHundredFeedsPerPage) {
  std::string page = "<html><head>";
  for (int i = 0; i < 500; ++i) {
    page += "<link type=\"application/rss+xml\" href=\"f" + std::to_string(i) + ".xml\">";
  }
  page += "</head></html>";
  const std::vector<std::string> found = Found(page, "http://example.jp/");
  ASSERT_EQ(found.size(), kMaxAnnouncedFeeds);
  EXPECT_EQ(found.front(), "http://example.jp/f0.xml");
  EXPECT_EQ(found.back(), "http://example.jp/f99.xml");
  const XmlDocument document = XmlDocument::FromMemory(page);
  EXPECT_EQ(AnnouncedFeeds(document, "http://example.jp/", LinkRules::kDialog, 1).size(), 1u);
}

TEST(PageFeedsTest, HugeAttributeValuesAreRefusedNotCut) {
  const std::string page = "<html><head><link type=\"application/rss+xml\" href=\"" +
                           std::string(100000, 'a') +
                           ".xml\"><link type=\"application/rss+xml\" href=\"ok.xml\"></head>";
  EXPECT_EQ(Found(page, "http://example.jp/"),
            (std::vector<std::string>{"http://example.jp/ok.xml"}));
}

TEST(PageFeedsTest, DeepNestingCostsNoStack) {
  std::string page =
      "<html><p>head</p><head><link type=\"application/rss+xml\" href=\"/f.xml\"></head><body>";
  for (int i = 0; i < 50000; ++i) page += "<div>";
  page += "<link type=\"application/rss+xml\" href=\"/deep.xml\">";
  for (int i = 0; i < 50000; ++i) page += "</div>";
  page += "</body></html>";
  EXPECT_EQ(Found(page, "http://example.jp/"),
            (std::vector<std::string>{"http://example.jp/f.xml"}));
  EXPECT_EQ(XmlDocument::FromMemory(page).Find("nothing"), nullptr);
}

TEST(PageFeedsTest, LinkAttributesIgnoreCaseAndSingleQuotes) {
  const XmlDocument document =
      XmlDocument::FromMemory("<link HREF='a b.xml' Title=RSS type=\"'x'\"/>");
  const XmlNode* link = document.root();
  ASSERT_NE(link, nullptr);
  std::string value;
  ASSERT_TRUE(LinkAttribute(*link, "href", &value));
  EXPECT_EQ(value, "a");  // the reader ends an unquoted-for-it value at the blank
  ASSERT_TRUE(LinkAttribute(*link, "TITLE", &value));
  EXPECT_EQ(value, "RSS");
  ASSERT_TRUE(LinkAttribute(*link, "type", &value));
  EXPECT_EQ(value, "x");
  EXPECT_FALSE(LinkAttribute(*link, "rel", &value));
}

}  // namespace
}  // namespace korvo
