// The documents the item and update routes write: exact bytes, escaping, item selection.
#include "server/item_documents.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "server/http_answer.h"
#include "server/update_check.h"

namespace korvo {
namespace {

// Items linked in the order given.
class ItemChain {
 public:
  PluginItemEx& Add() {
    items_.push_back(PluginItemEx{});
    items_.back().size = sizeof(PluginItemEx);
    items_.back().id = -1;
    return items_.back();
  }
  const PluginItemEx* list() {
    for (size_t i = 0; i + 1 < items_.size(); ++i) items_[i].next = &items_[i + 1];
    return items_.empty() ? nullptr : &items_[0];
  }

 private:
  std::vector<PluginItemEx> items_;
};

std::string Escaped(const std::string& text) {
  std::string out;
  AppendEscaped(&out, text);
  return out;
}

std::string Described(const std::string& text) {
  std::string out;
  AppendDescription(&out, text);
  return out;
}

TEST(ItemDocuments, EscapingKeepsJapaneseBytesAndBreaksLinesWithoutReadingPastTheEnd) {
  EXPECT_EQ(Escaped("<b>\"Tom\" & 'Jerry'</b> a"),
            "&lt;b&gt;&quot;Tom&quot; &amp; &apos;Jerry&apos;&lt;/b&gt; a");
  // CP932 bytes, including trail bytes that look like ASCII ("\x83\x5c" is a katakana).
  EXPECT_EQ(Escaped("\x83\x5c\x93\xfa\x96\x7b"), "\x83\x5c\x93\xfa\x96\x7b");
  EXPECT_EQ(Escaped(""), "");
  struct Case {
    std::string in, out;
  };
  for (const Case& c : std::vector<Case>{{"a\r\nb", "a<br>b"},
                                         {"a\nb", "a<br>b"},
                                         {"a\rb", "a<br>b"},
                                         {"a\r\n\r\nb", "a<br><br>b"},
                                         {"a\n\rb", "a<br><br>b"},
                                         {"ends in CR\r", "ends in CR<br>"},
                                         {"\r", "<br>"},
                                         {"<p>\r\n", "&lt;p&gt;<br>"}}) {
    EXPECT_EQ(Described(c.in), c.out) << c.in;
  }
}

TEST(ItemDocuments, ItemPageHasTheExactBlocksWithEscapedTextsAndSafeLinks) {
  ItemChain chain;
  PluginItemEx& full = chain.Add();
  full.title = "T<script>alert(1)</script>";
  full.link = "http://a.example/1";
  full.site_name = "Site & Co";
  full.site_link = "http://a.example/";
  full.description = "line1\r\nline2";
  full.date = "2005/02/01";
  full.subject = "cat";
  full.author = "me";
  full.enclosure_url = "http://a.example/x.mp3?a=1&b=2";
  PluginEnclosure further[] = {{"http://a.example/y.jpg", "1", "image/jpeg"}};
  full.further = further;
  full.further_count = 1;
  full.id = 42;
  full.state = 8;
  PluginItemEx& bare = chain.Add();
  bare.title = "bare";
  bare.link = "javascript:alert(document.cookie)";
  bare.site_link = "javascript:evil()";

  const std::string page = ItemPage(chain.list(), ItemSelection());
  const std::string expected =
      "<html><head><meta http-equiv=\"Pragma\" content=\"no-cache\"><meta "
      "http-equiv=\"Cache-Control\" content=\"no-cache\"><link rel=\"stylesheet\" "
      "href=\"/style.css\" type=\"text/css\" /></head><body>"
      "<div className=\"item_master\" id=\"master_head\">"
      "<div id=\"item1\" class = \"s_item\">\n"
      "<div id=\"site1\" class=\"s_site\"> <a href = \"http://a.example/\" id = \"sitelink1\" "
      "target=\"_blank\">Site &amp; Co</a></div>\n"
      "<div id=\"title1\" class=\"s_title\"> <a href = \"/redirect?id=42\" "
      "target=\"_blank\">T&lt;script&gt;alert(1)&lt;/script&gt;</a></div>\n"
      "<div id=\"desc1\" class=\"s_desc\">line1<br>line2</div>\n"
      "<div id=\"enc1\" class=\"s_enc\">"
      "<a href=\"http://a.example/x.mp3?a=1&amp;b=2\" "
      "target=\"_blank\">http://a.example/x.mp3?a=1&amp;b=2</a><br>\n"
      "<a href=\"http://a.example/y.jpg\" target=\"_blank\">http://a.example/y.jpg</a><br>\n"
      "</div>\n"
      "<div id=\"gettime1\" class=\"s_gettime\">2005/02/01</div>\n"
      "<div id=\"category1\" class=\"s_category\">cat</div>\n"
      "<div id=\"author1\" class=\"s_author\">me</div>\n"
      "</div>\n\n"
      "<div id=\"item2\" class = \"s_item\">\n"
      "<div id=\"site2\" class=\"s_site\"> <a href = \"\" id = \"sitelink2\" "
      "target=\"_blank\"></a></div>\n"
      "<div id=\"title2\" class=\"s_title\"> <a href = \"\" target=\"_blank\">bare</a></div>\n"
      "<div id=\"desc2\" class=\"s_desc\"></div>\n"
      "<div id=\"enc2\" class=\"s_enc\"></div>\n"
      "<div id=\"gettime2\" class=\"s_gettime\">&nbsp;</div>\n"
      "<div id=\"category2\" class=\"s_category\">&nbsp;</div>\n"
      "<div id=\"author2\" class=\"s_author\">&nbsp;</div>\n"
      "</div>\n\n"
      "</div></body></html>";
  EXPECT_EQ(page, expected);
}

TEST(ItemDocuments, ItemDocumentWritesOnlyPresentElementsAndStaysWellFormed) {
  ItemChain chain;
  PluginItemEx& full = chain.Add();
  full.title = "a<b";
  full.link = "http://a.example/?p=1&q=2";
  full.site_name = "S";
  full.site_link = "http://a.example/?s=\"x\"";
  full.description = "d]]>\r\n";
  full.date = "t&";
  full.subject = "c";
  full.author = "w";
  full.enclosure_url = "http://a.example/e?x=1&y=2";
  PluginItemEx& minimal = chain.Add();
  minimal.title = "m";
  minimal.link = "http://a.example/m?x=1&y=2";
  const std::string doc = ItemDocument(chain.list(), ItemSelection());
  EXPECT_EQ(doc,
            "<?xml version=\"1.0\" encoding=\"Shift_JIS\" ?>\n"
            "<items version=\"1.0\" xmlns=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" "
            "xml:lang=\"ja\"><item>\n"
            "<site url=\"http://a.example/?s=&quot;x&quot;\">S</site>\n"
            "<title url = \"http://a.example/?p=1&amp;q=2\">a&lt;b</title>\n"
            "<desc><![CDATA[d]]&gt;<br>]]></desc>\n"
            "<enc>http://a.example/e?x=1&amp;y=2</enc>\n"
            "<time>t&amp;</time>\n"
            "<subject>c</subject>\n"
            "<creator>w</creator>\n"
            "</item>\n\n"
            "<item>\n"
            "<title url = \"http://a.example/m?x=1&amp;y=2\">m</title>\n"
            "</item>\n\n"
            "</items>\n");
  EXPECT_EQ(ItemDocument(nullptr, ItemSelection()),
            "<?xml version=\"1.0\" encoding=\"Shift_JIS\" ?>\n"
            "<items version=\"1.0\" xmlns=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" "
            "xml:lang=\"ja\"></items>\n");
}

TEST(ItemDocuments, SelectionByViewSiteAndDroppedMark) {
  ItemChain chain;
  struct Row {
    const char* title;
    const char* site_link;
    uint32_t state;
    int32_t dropped;
  };
  const std::vector<Row> rows = {{"new-a", "http://A.example/feed", 8, 0},
                                 {"old-a", "http://a.example/other", 1, 0},
                                 {"new-b", "http://b.example/", 0xE, 0},
                                 {"dropped", "http://a.example/", 8, 1},
                                 {"no-site", nullptr, 0, 0},
                                 {"marked-new-only", "http://b.example/", 6, 0}};
  for (const Row& s : rows) {
    PluginItemEx& item = chain.Add();
    item.title = s.title;
    item.site_link = s.site_link;
    item.state = s.state;
    item.dropped = s.dropped;
  }
  const PluginItemEx* list = chain.list();
  auto titles = [list](const ServerRequest& request) {
    const ItemSelection selection = SelectionFromRequest(request);
    std::vector<std::string> taken;
    for (const PluginItemEx* i = list; i != nullptr; i = i->next) {
      if (IsSelected(*i, selection)) taken.push_back(i->title);
    }
    return taken;
  };
  ServerRequest all;
  EXPECT_EQ(titles(all),
            (std::vector<std::string>{"new-a", "old-a", "new-b", "no-site", "marked-new-only"}));
  ServerRequest view_new;
  view_new.parameters = {{"view", "NEWEST"}};
  EXPECT_EQ(titles(view_new), (std::vector<std::string>{"new-a", "new-b"}));
  ServerRequest view_other;
  view_other.parameters = {{"view", "all"}};
  EXPECT_EQ(titles(view_other).size(), 5u);
  ServerRequest site;
  site.parameters = {{"site", "http://a.example/"}};
  EXPECT_EQ(titles(site), (std::vector<std::string>{"new-a", "old-a", "no-site"}));
  site.parameters = {{"site", "http://a.example/"}, {"view", "new"}};
  EXPECT_EQ(titles(site), (std::vector<std::string>{"new-a"}));
  site.parameters = {{"site", ""}};
  EXPECT_EQ(titles(site).size(), 5u);
}

TEST(UpdateCheck, LatestArrivalIsNewerOnlyWhenStrictlyLaterThanTheGivenTime) {
  platform::CalendarTime latest;
  const std::string date = "2024/05/06T07:08:09";
  EXPECT_FALSE(IsNewerThan(latest, &date));  // nothing arrived in this run (year 0)
  latest.year = 2024;
  latest.month = 5;
  latest.day = 6;
  latest.hour = 7;
  latest.minute = 8;
  latest.second = 9;
  struct Case {
    std::string date;
    bool newer;
  };
  for (const Case& c :
       std::vector<Case>{{"2024/05/06T07:08:09", false},
                         {"2024-05-06 07:08:08", true},
                         {"2024/05/06T07:08:10", false},
                         {"2000/02/01T00:00:00", true},
                         {"2025", false},
                         {"2024/00/00T00:00:00", true},
                         {"", true},
                         {"x", true},
                         {"2024/05/06T07:08:09 and a very long tail of text", false}}) {
    EXPECT_EQ(IsNewerThan(latest, &c.date), c.newer) << c.date;
  }
  EXPECT_FALSE(IsNewerThan(latest, nullptr));

  const std::string kHead =
      "<html><head><meta http-equiv=\"Pragma\" content=\"no-cache\"><meta "
      "http-equiv=\"Cache-Control\" content=\"no-cache\"></head><body><div id = \"return\">";
  EXPECT_EQ(UpdateCheckPage(false, latest), kHead + "false</div></body></html>");
  EXPECT_EQ(UpdateCheckPage(true, latest),
            kHead +
                "true</div><div id = \"year\">2024</div><div id = \"month\">5</div><div id = "
                "\"day\">6</div><div id = \"hour\">7</div><div id = \"minute\">8</div><div id "
                "= \"second\">9</div></body></html>");
  const std::string kXmlHead =
      "<?xml version=\"1.0\" encoding=\"Shift_JIS\" ?>\n<isupdate version=\"1.0\" "
      "xmlns=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" xml:lang=\"ja\">";
  EXPECT_EQ(UpdateCheckDocument(false, latest),
            kXmlHead +
                "<year>0</year>\n<month>0</month>\n<day>0</day>\n<hour>0</hour>\n"
                "<minute>0</minute>\n<second>0</second>\n</isupdate>");
  EXPECT_EQ(UpdateCheckDocument(true, latest),
            kXmlHead +
                "<year>2024</year>\n<month>5</month>\n<day>6</day>\n<hour>7</hour>\n"
                "<minute>8</minute>\n<second>9</second>\n</isupdate>");
}

TEST(HttpAnswer, DatesAndHeaderBlocksUseLineFeedsOnly) {
  platform::CalendarTime t;
  t.year = 2005;
  t.month = 2;
  t.day = 1;
  t.hour = 3;
  t.minute = 4;
  t.second = 5;
  const std::string date = ServerDate(t);
  EXPECT_EQ(date, "Tue, 1 Feb 2005 03:04:05 GMT");
  t.day = 31;
  t.month = 12;
  t.year = 1999;
  EXPECT_EQ(ServerDate(t), "Fri, 31 Dec 1999 03:04:05 GMT");
  EXPECT_EQ(StandardHead(ContentKind::kCss, date),
            "HTTP/1.1 200 OK\nDate: Tue, 1 Feb 2005 03:04:05 GMT\n"
            "Server: KorvoNewsReader(Windows)\nlast-Modified: Tue, 1 Feb 2005 03:04:05 GMT\n"
            "Content-Type: text/css; charset=shift_jis\nCache-control: no-cache\n"
            "Pragma: no-cache\nConnection: close\n\n");
  EXPECT_EQ(RedirectAnswer("http://a/\r\nSet-Cookie: x", "D"),
            "HTTP/1.1 303 See Other\nDate: D\nServer: KorvoNewsReader(Windows)\n"
            "Location: http://a/\nConnection: close\n"
            "Content-Type: text/html; charset=iso-8859-1\n\n");
}

}  // namespace
}  // namespace korvo
