#include "channels/discovery_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace korvo {
namespace {

TEST(DiscoveryRulesTest, PagesThatStartNoDiscovery) {
  EXPECT_FALSE(ShouldStartDiscovery("about:blank"));
  EXPECT_FALSE(ShouldStartDiscovery("ABOUT:BLANK#x"));
  EXPECT_FALSE(ShouldStartDiscovery("File:///C:/page.html"));
  EXPECT_TRUE(ShouldStartDiscovery("http://example.jp/"));
  EXPECT_TRUE(ShouldStartDiscovery("about:config"));
}

TEST(DiscoveryRulesTest, FeedContentTypes) {
  for (const char* type :
       {"application/rss+xml", "application/atom+xml; charset=utf-8", "text/xml", "TEXT/XML",
        "application/rdf+xml", "text/plain", "application/xml", "application/rss"}) {
    EXPECT_TRUE(IsFeedContentType(type)) << type;
  }
  for (const char* type :
       {"text/html", "application/plain", "image/xml", "application/json", "", "text/", "xml"}) {
    EXPECT_FALSE(IsFeedContentType(type)) << type;
  }
}

TEST(DiscoveryRulesTest, AnnouncingLinks) {
  const std::string rss_type = "application/rss+xml";
  const std::string atom_type = "Application/Atom+XML";
  const std::string css = "text/css";
  const std::string rss_title = "RSS 2.0";
  const std::string atom_title = "atom feed";
  const std::string blog_title = "My blog";
  const std::string href = "index.rdf";
  const auto browser = LinkRules::kBrowser;
  const auto dialog = LinkRules::kDialog;
  EXPECT_EQ(AnnouncedFeedKind(nullptr, &rss_type, &href, browser), kFeedKindRss);
  EXPECT_EQ(AnnouncedFeedKind(nullptr, &atom_type, &href, browser), kFeedKindAtom);
  EXPECT_EQ(AnnouncedFeedKind(&rss_title, nullptr, &href, browser), kFeedKindRss);
  EXPECT_EQ(AnnouncedFeedKind(&atom_title, nullptr, &href, browser), kFeedKindAtom);
  EXPECT_EQ(AnnouncedFeedKind(nullptr, &css, &href, browser), kFeedKindNone);
  EXPECT_EQ(AnnouncedFeedKind(&rss_title, &css, &href, browser), kFeedKindNone);
  EXPECT_EQ(AnnouncedFeedKind(nullptr, nullptr, &href, browser), kFeedKindNone);
  EXPECT_EQ(AnnouncedFeedKind(&rss_title, &rss_type, nullptr, browser), kFeedKindNone);
  // The dialog lets the title decide when there is one.
  EXPECT_EQ(AnnouncedFeedKind(&rss_title, &css, &href, dialog), kFeedKindRss);
  EXPECT_EQ(AnnouncedFeedKind(&blog_title, &rss_type, &href, dialog), kFeedKindNone);
  EXPECT_EQ(AnnouncedFeedKind(nullptr, &atom_type, &href, dialog), kFeedKindAtom);
}

TEST(CompleteFeedAddressTest, RelativeAddressesAgainstPageFolder) {
  const char* page = "http://example.jp/dir/page.html";
  EXPECT_EQ(CompleteFeedAddress(page, "/index.rdf"), "http://example.jp/index.rdf");
  EXPECT_EQ(CompleteFeedAddress(page, "index.rdf"), "http://example.jp/dir/index.rdf");
  EXPECT_EQ(CompleteFeedAddress(page, "./index.rdf"), "http://example.jp/dir/index.rdf");
  EXPECT_EQ(CompleteFeedAddress(page, "../index.rdf"), "http://example.jp/index.rdf");
  EXPECT_EQ(CompleteFeedAddress(page, "  feed/atom.xml \n"), "http://example.jp/dir/feed/atom.xml");
  // A last part without a dot is a folder.
  EXPECT_EQ(CompleteFeedAddress("http://example.jp/news", "rss.xml"),
            "http://example.jp/news/rss.xml");
  EXPECT_EQ(CompleteFeedAddress("http://example.jp", "rss.xml"), "http://example.jp/rss.xml");
  EXPECT_EQ(CompleteFeedAddress("http://example.jp/a/", "rss.xml"), "http://example.jp/a/rss.xml");
  // Absolute addresses pass unchanged, whatever the page.
  EXPECT_EQ(CompleteFeedAddress("junk", "HTTP://other.jp/f.xml"), "HTTP://other.jp/f.xml");
  EXPECT_EQ(CompleteFeedAddress(page, "https://other.jp/f.xml"), "https://other.jp/f.xml");
}

TEST(CompleteFeedAddressTest, HttpsQueriesAndSchemes) {
  EXPECT_EQ(CompleteFeedAddress("https://secure.example.jp/blog/entry.php?id=3/4#top", "rss.xml"),
            "https://secure.example.jp/blog/rss.xml");
  EXPECT_EQ(CompleteFeedAddress("https://secure.example.jp/blog/?p=a/b", "/feed"),
            "https://secure.example.jp/feed");
  EXPECT_EQ(CompleteFeedAddress("https://example.jp?x=1/2", "rss.xml"),
            "https://example.jp/rss.xml");
  EXPECT_EQ(CompleteFeedAddress("https://example.jp/index.php?p=1", "?feed=rss2"),
            "https://example.jp/index.php?feed=rss2");
  EXPECT_EQ(CompleteFeedAddress("https://example.jp/a/b.html", "//cdn.example.jp/f.xml"),
            "https://cdn.example.jp/f.xml");
  EXPECT_EQ(CompleteFeedAddress("http://example.jp/", "javascript:alert(1)"), "");
  EXPECT_EQ(CompleteFeedAddress("http://example.jp/", "file:///etc/passwd"), "");
  EXPECT_EQ(CompleteFeedAddress("http://example.jp/", ""), "");
  EXPECT_EQ(CompleteFeedAddress("C:\\pages\\a.html", "rss.xml"), "");
  // A colon after a slash is part of a path, not a scheme.
  EXPECT_EQ(CompleteFeedAddress("http://example.jp/", "a/b:c.xml"), "http://example.jp/a/b:c.xml");
}

TEST(CompleteFeedAddressTest, ParentStepsNeverClimbAboveTheHost) {
  const char* page = "http://example.jp/a/b/c/page.html";
  EXPECT_EQ(CompleteFeedAddress(page, "../../f.xml"), "http://example.jp/a/f.xml");
  EXPECT_EQ(CompleteFeedAddress(page, "../../../../../../f.xml"), "http://example.jp/f.xml");
  EXPECT_EQ(CompleteFeedAddress("http://example.jp/", "../../../etc/f.xml"),
            "http://example.jp/etc/f.xml");
  EXPECT_EQ(CompleteFeedAddress("http://example.jp", ".."), "http://example.jp/");
  EXPECT_EQ(CompleteFeedAddress(page, "/../../f.xml"), "http://example.jp/f.xml");
  for (const char* href : {"../", "../../..", "./../.././..", "/.."}) {
    const std::string result = CompleteFeedAddress(page, href);
    EXPECT_EQ(result.rfind("http://example.jp/", 0), 0u) << href << " -> " << result;
  }
}

TEST(CompleteFeedAddressTest, LongResultsAreRefused) {
  const std::string page = "http://example.jp/dir/page.html";
  const std::string fits(kMaxDiscoveryAddress - std::string("http://example.jp/dir/").size(), 'x');
  EXPECT_EQ(CompleteFeedAddress(page, fits).size(), kMaxDiscoveryAddress);
  EXPECT_EQ(CompleteFeedAddress(page, fits + "x"), "");
  EXPECT_EQ(CompleteFeedAddress(page, "http://example.jp/" + std::string(2000, 'y')), "");
}

TEST(DiscoveryRulesTest, LookUpAddresses) {
  EXPECT_TRUE(IsLookUpAddress("http://example.jp/"));
  EXPECT_TRUE(IsLookUpAddress("HTTPS://example.jp/"));
  EXPECT_TRUE(IsLookUpAddress("C:\\feeds\\a.xml"));
  EXPECT_FALSE(IsLookUpAddress("ftp://example.jp/"));
  EXPECT_FALSE(IsLookUpAddress("example.jp"));
  EXPECT_FALSE(IsLookUpAddress("C:"));
  EXPECT_FALSE(IsLookUpAddress(""));
}

}  // namespace
}  // namespace korvo
