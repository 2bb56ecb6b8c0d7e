#include "feed/item_extraction.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "common/temp_folder.h"
#include "feed/comment_link.h"
#include "feed/cp932_field.h"
#include "feed/feed_date.h"
#include "platform/code_page.h"
#include "platform/files.h"

namespace korvo {
namespace {

constexpr int kJst = 9 * 60;  // local offset of the tests, minutes east of UTC

ItemList Extract(const std::string& text, const ChannelContext& channel = {}) {
  ItemList list;
  ExtractFeedItems(text, &list, channel, 0);
  return list;
}

std::string Rss2(const std::string& items, const std::string& channel_link = "http://ex.jp/") {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\">\n<channel>\n"
         "<title>Site</title>\n<link>" +
         channel_link + "</link>\n" + items + "</channel>\n</rss>\n";
}

std::string Atom(const std::string& entries) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<feed xmlns=\"http://www.w3.org/2005/Atom\">"
         "<title>Site</title><link rel=\"alternate\" href=\"http://ex.jp/\"/>" +
         entries + "</feed>";
}

platform::CalendarTime LocalDate(const std::string& text) {
  platform::CalendarTime time;
  EXPECT_TRUE(ParseFeedDate(text, kJst, &time)) << text;
  return time;
}

bool HasNoNulOrLoneLeadByte(const std::string& s) {
  for (size_t i = 0; i < s.size(); ++i) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b == 0) return false;
    if (platform::IsCp932LeadByte(b)) {
      if (i + 1 >= s.size() || static_cast<unsigned char>(s[i + 1]) < 0x40) return false;
      ++i;
    }
  }
  return true;
}

void ExpectSafe(const FeedItem& item) {
  for (const std::string* field :
       {&item.title, &item.link, &item.site_name, &item.site_link, &item.description, &item.date,
        &item.category, &item.creator, &item.comment_link, &item.enclosure_url,
        &item.enclosure_size, &item.enclosure_type}) {
    EXPECT_TRUE(HasNoNulOrLoneLeadByte(*field)) << *field;
  }
}

// --- The four feed formats ---------------------------------------------------------------

TEST(ItemExtractionTest, RssVersionsAndAtomGiveTheSameItems) {
  const std::string rss091 =
      "<rss version=\"0.91\"><channel><title>Site</title><link>http://ex.jp/</link>"
      "<description>about</description>"
      "<item><title>First &amp;amp; best</title><link>http://ex.jp/1</link>"
      "<description>one &lt;b&gt;bold&lt;/b&gt;</description>"
      "<pubDate>Tue, 01 Feb 2005 12:00:00 +0900</pubDate></item>"
      "<item><title>Second</title><link>http://ex.jp/2</link><description>two</description>"
      "<pubDate>Tue, 01 Feb 2005 13:00:00 +0900</pubDate></item>"
      "</channel></rss>";
  const std::string rss10 =
      "<?xml version=\"1.0\"?><rdf:RDF xmlns=\"http://purl.org/rss/1.0/\">"
      "<channel rdf:about=\"http://ex.jp/\"><title>Site</title><link>http://ex.jp/</link>"
      "<items><rdf:Seq><rdf:li rdf:resource=\"http://ex.jp/1\"/></rdf:Seq></items></channel>"
      "<item rdf:about=\"http://ex.jp/1\"><title>First &amp;amp; best</title>"
      "<link>http://ex.jp/1</link><description>one &lt;b&gt;bold&lt;/b&gt;</description>"
      "<dc:date>2005-02-01T12:00:00+09:00</dc:date><dc:creator>ann</dc:creator>"
      "<dc:subject>tech</dc:subject></item>"
      "<item rdf:about=\"http://ex.jp/2\"><title>Second</title><link>http://ex.jp/2</link>"
      "<description>two</description><dc:date>2005-02-01T04:00:00Z</dc:date>"
      "<dc:creator>bob</dc:creator><dc:subject>life</dc:subject></item></rdf:RDF>";
  const std::string rss20 = Rss2(
      "<item><title>First &amp;amp; best</title><link>http://ex.jp/1</link>"
      "<description><![CDATA[one <b>bold</b>]]></description>"
      "<pubDate>Tue, 01 Feb 2005 03:00:00 GMT</pubDate><dc:creator>ann</dc:creator>"
      "<category>tech</category></item>"
      "<item><title>Second</title><link>http://ex.jp/2</link><description>two</description>"
      "<pubDate>Tue, 01 Feb 2005 13:00:00 +0900</pubDate><dc:creator>bob</dc:creator>"
      "<category>life</category></item>");
  const std::string atom = Atom(
      "<entry><title>First &amp;amp; best</title><link href=\"http://ex.jp/1\"/>"
      "<summary>one &lt;b&gt;bold&lt;/b&gt;</summary><published>2005-02-01T12:00:00+09:00"
      "</published><author><name>ann</name></author><subject>tech</subject></entry>"
      "<entry><title>Second</title><link href=\"http://ex.jp/2\"/><content>two</content>"
      "<issued>2005-02-01T04:00:00Z</issued><author><name>bob</name></author>"
      "<category term=\"life\"/></entry>");

  const struct {
    const char* name;
    const std::string& text;
    bool has_creator;
  } feeds[] = {
      {"0.91", rss091, false}, {"1.0", rss10, true}, {"2.0", rss20, true}, {"atom", atom, true}};
  for (const auto& feed : feeds) {
    SCOPED_TRACE(feed.name);
    ItemList list;
    ASSERT_EQ(ExtractFeedItems(feed.text, &list, {}, 5), 7);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].title, "First & best");
    EXPECT_EQ(list[0].link, "http://ex.jp/1");
    EXPECT_EQ(list[0].description, "one bold");
    EXPECT_EQ(list[1].title, "Second");
    EXPECT_EQ(list[1].link, "http://ex.jp/2");
    EXPECT_EQ(list[1].description, "two");
    const platform::CalendarTime first = LocalDate(list[0].date);
    const platform::CalendarTime second = LocalDate(list[1].date);
    EXPECT_EQ(first.hour, 12);
    EXPECT_EQ(second.hour, 13);
    EXPECT_EQ(second.day, 1);
    for (const FeedItem& item : list) {
      EXPECT_EQ(item.site_name, "Site");
      EXPECT_EQ(item.site_link, "http://ex.jp/");
      EXPECT_EQ(item.new_flag, 1);
      EXPECT_EQ(item.store_index, -1);
      EXPECT_TRUE(item.comment_link.empty());
    }
    if (feed.has_creator) {
      EXPECT_EQ(list[0].creator, "ann");
      EXPECT_EQ(list[1].creator, "bob");
      EXPECT_EQ(list[0].category, "tech");
      EXPECT_EQ(list[1].category, "life");
    }
  }
}

TEST(ItemExtractionTest, NotAFeedLeavesTheCountUnchanged) {
  ItemList list;
  EXPECT_EQ(ExtractFeedItems("<html><body><p>item</p><p>entry</p></body></html>", &list, {}, 3), 3);
  EXPECT_EQ(ExtractFeedItems("", &list, {}, 3), 3);
  EXPECT_EQ(ExtractFeedItems("plain text, no markup", &list, {}, 3), 3);
  EXPECT_EQ(ExtractFeedItems(Rss2("<item><title>t</title><link>l</link></item>"), nullptr, {}, 3),
            3);
  EXPECT_TRUE(list.empty());
}

// --- Which items are kept, and their links ----------------------------------------------

TEST(ItemExtractionTest, ItemsNeedLinkAndTitleUnlessTheyCarryAnEnclosure) {
  const ItemList list = Extract(
      Rss2("<item><title>no link</title></item>"
           "<item><link>http://ex.jp/no-title</link></item>"
           "<item><title>empty link</title><link></link></item>"
           "<item><title>blank link</title><link>   </link></item>"
           "<item><title>empty element</title><link/></item>"
           "<item><enclosure url=\"http://ex.jp/a.mp3\" length=\"10\" type=\"audio/mpeg\"/></item>"
           "<item><title>spaced</title><link>  http://ex.jp/s  </link></item>"));
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].title, " ");
  EXPECT_EQ(list[0].link, "http://ex.jp/");  // the channel link
  EXPECT_EQ(list[0].enclosure_url, "http://ex.jp/a.mp3");
  EXPECT_EQ(list[1].link, "http://ex.jp/s");

  // Neither item nor channel link: the fixed default address.
  const ItemList bare = Extract(
      "<rss><channel><title>x</title><item><media:content url=\"v.mp4\"/></item></channel></rss>");
  ASSERT_EQ(bare.size(), 1u);
  EXPECT_EQ(bare[0].link, kDefaultItemLink);
  EXPECT_EQ(bare[0].site_link, "");
}

TEST(ItemExtractionTest, OnlyElementsCountAsItemsAndFields) {
  // Texts that read "item", "entry" or "link" are not elements.
  const ItemList list = Extract(
      "<rss><channel><title>entry</title><link>http://ex.jp/</link><description>item"
      "</description><item><title>link</title><description>x</description>"
      "<link>http://ex.jp/1</link></item></channel></rss>");
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].title, "link");
  EXPECT_EQ(list[0].link, "http://ex.jp/1");
  EXPECT_EQ(list[0].site_name, "entry");
}

TEST(ItemExtractionTest, OptionalFieldsAreNeverTakenFromALaterItem) {
  const ItemList list = Extract(
      Rss2("<item><title>a</title><link>http://ex.jp/a</link></item>"
           "<item><title>b</title><link>http://ex.jp/b</link>"
           "<pubDate>Tue, 01 Feb 2005 12:00:00 +0900</pubDate><dc:creator>ann</dc:creator>"
           "<category>c</category><trackback:ping>http://ex.jp/tb/b</trackback:ping></item>"));
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].date, "");
  EXPECT_EQ(list[0].creator, "");
  EXPECT_EQ(list[0].category, "");
  EXPECT_EQ(list[0].comment_link, "");
  EXPECT_EQ(list[1].date, "Tue, 01 Feb 2005 12:00:00 +0900");
  EXPECT_EQ(list[1].creator, "ann");
  EXPECT_EQ(list[1].comment_link, "http://ex.jp/tb/b");
}

TEST(ItemExtractionTest, FieldPreferencesFollowTheListedOrder) {
  const ItemList list = Extract(Rss2(
      "<item><title>t</title><link>http://ex.jp/1</link><pubDate>p</pubDate><dc:date>d</dc:date>"
      "<creator>c</creator><dc:creator>dc</dc:creator><category>cat</category>"
      "<dc:category>dcc</dc:category><dc:subject>subj</dc:subject></item>"
      "<item><title>t</title><link>http://ex.jp/2</link><pubDate>p</pubDate><creator>c</creator>"
      "<category>cat</category><dc:category>dcc</dc:category></item>"));
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].date, "d");
  EXPECT_EQ(list[0].creator, "dc");
  EXPECT_EQ(list[0].category, "subj");
  EXPECT_EQ(list[1].date, "p");
  EXPECT_EQ(list[1].creator, "c");
  EXPECT_EQ(list[1].category, "dcc");
}

TEST(ItemExtractionTest, CommentLinkFromTrackbackOrDerivedFromTheBlogHost) {
  const std::string prefix = kCommentLinkHostPrefix;
  const ItemList list = Extract(Rss2("<item><title>t</title><link>" + prefix +
                                     "user/archives/42.html</link></item>"
                                     "<item><title>t</title><link>" +
                                     prefix +
                                     "user/archives/43.html</link>"
                                     "<trackback:ping>http://tb.ex.jp/43</trackback:ping></item>"));
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].comment_link, prefix + "user/tb.cgi/42");
  EXPECT_EQ(list[1].comment_link, "http://tb.ex.jp/43");
}

// --- Titles and descriptions -------------------------------------------------------------

TEST(ItemExtractionTest, DescriptionsRenderMarkupAndDecodeOnceMore) {
  const ItemList list = Extract(
      Rss2("<item><title>t</title><link>http://ex.jp/1</link>"
           "<description>a&lt;br&gt;b</description></item>"
           "<item><title>t</title><link>http://ex.jp/2</link>"
           "<description>x &amp;amp; y &amp;lt;z&amp;gt;</description></item>"
           "<item><title>t</title><link>http://ex.jp/3</link>"
           "<description><![CDATA[<p>Tom &amp; Jerry</p>]]></description></item>"
           "<item><title>t</title><link>http://ex.jp/4</link><description></description></item>"
           "<item><title>t</title><link>http://ex.jp/5</link>"
           "<description><p>raw <b>html</b></p></description></item>"));
  ASSERT_EQ(list.size(), 5u);
  EXPECT_EQ(list[0].description, "a\r\nb");
  EXPECT_EQ(list[1].description, "x & y <z>");  // no markup after the reader: only decoded
  EXPECT_EQ(list[2].description, "\r\nTom & Jerry\r\n");
  EXPECT_EQ(list[3].description, "");
  // Markup written straight into the feed gives its text, not the first tag's name.
  EXPECT_EQ(list[4].description, "\r\nraw html\r\n");
}

TEST(ItemExtractionTest, TitlesLoseTheTagsOfHtmlElementsAndKeepEveryOtherCharacter) {
  const std::string a = platform::Utf8ToCp932(u8"あ");
  const struct {
    const char* title_element;  // as the feed writes it, between <title> and </title>
    std::string expected;
  } cases[] = {
      // Escaped markup of real elements is rendered away, on one line.
      {"&lt;b&gt;Big&lt;/b&gt; news", "Big news"},
      {"one&lt;br&gt;two", "one two"},
      {"&lt;p&gt;&lt;/p&gt;", " "},  // nothing left: one blank
      {"&lt;a href=\"http://ex.jp/?a=1&amp;amp;b=2\"&gt;Link&lt;/a&gt; text", "Link text"},
      {"&lt;SPAN class='x'&gt;Caps&lt;/SPAN&gt; &lt;img src=\"i.png\" /&gt;", "Caps"},
      {"&amp;lt;i&amp;gt;Twice&amp;lt;/i&amp;gt; escaped", "Twice escaped"},
      {"&lt;!-- note --&gt;Commented", "Commented"},
      {"<![CDATA[<b>CDATA</b> bold]]>", "CDATA bold"},
      {"Real <b>bold</b> child", "Real bold child"},
      // Anything else between '<' and '>' is the title's own text.
      {"Vector&lt;int&gt; tips", "Vector<int> tips"},
      {"std::map&lt;std::string, std::vector&lt;T&gt;&gt; in C++17",
       "std::map<std::string, "
       "std::vector<T>> in C++17"},
      {"<![CDATA[Vector<int> tips]]>", "Vector<int> tips"},
      {"Vector<int> tips", "Vector<int> tips"},  // a real child element named int
      {"5 &gt; 3 &amp;amp; 2 &lt; 4", "5 > 3 & 2 < 4"},
      {"a &amp;lt; b", "a < b"},
      {"x&lt;y&gt;z and a&lt;b", "x<y>z and a<b"},
      {"I &lt;3 feeds", "I <3 feeds"},
      {"&gt;_&lt; oops &lt;(_ _)&gt;", ">_< oops <(_ _)>"},
      {"&lt;&lt;Breaking&gt;&gt;", "<<Breaking>>"},
      {"&lt;b&gt;&lt;/b", "</b"},  // a cut tag stays
      {"Q&amp;amp;A &amp;#12354;", "Q&A " + a},
  };
  std::string items;
  for (size_t i = 0; i < sizeof cases / sizeof *cases; ++i) {
    items += "<item><title>" + std::string(cases[i].title_element) + "</title><link>http://ex.jp/" +
             std::to_string(i) + "</link></item>";
  }
  const ItemList list = Extract(Rss2(items));
  ASSERT_EQ(list.size(), sizeof cases / sizeof *cases);
  for (size_t i = 0; i < list.size(); ++i) {
    EXPECT_EQ(list[i].title, cases[i].expected) << cases[i].title_element;
  }
}

TEST(ItemExtractionTest, FieldsNeverHoldNulOrLoneLeadBytes) {
  std::string feed = Rss2(
      "<item><title>ab\x81</title><link>http://ex.jp/1</link>"
      "<description>d\x9F</description><category>c&#0;d</category>"
      "<dc:creator>x&#x10000;y&#233;</dc:creator></item>");
  feed.insert(feed.find("ab") + 1, 1, '\0');
  const ItemList list = Extract(feed);
  ASSERT_EQ(list.size(), 1u);
  ExpectSafe(list[0]);
  EXPECT_EQ(list[0].title.substr(list[0].title.size() - 2), "b?");
  EXPECT_EQ(list[0].description, "d?");

  // The field rule itself: NUL to a blank, a lead byte without its trail byte to '?', and cuts
  // only between whole characters.
  const std::string kana = platform::Utf8ToCp932(u8"あ");  // two bytes
  std::string text = std::string("a\0b", 3) + kana + "\x81";
  MakeCp932Field(&text, 100);
  EXPECT_EQ(text, "a b" + kana + "?");
  text = "ab" + kana;
  MakeCp932Field(&text, 3);
  EXPECT_EQ(text, "ab");
  for (const auto& [input, max, expected] :
       std::vector<std::tuple<std::string, size_t, std::string>>{
           {kana + "x", 2, kana},
           {kana + "x", 0, ""},
           {"\x81", 5, "?"},
           {"x\x81", 2, "x?"},
           {"x" + kana, 2, "x"},
           {"\x81\x20" + kana, 9, "? " + kana}}) {
    text = input;
    MakeCp932Field(&text, max);
    EXPECT_EQ(text, expected) << input << " " << max;
  }
  text = "\x81" + kana;
  MakeCp932Field(&text, 4);
  EXPECT_EQ(text, "\x81\x82\xA0");  // 0x81 takes 0x82 as its trail byte; 0xA0 stands alone
}

// --- Enclosures and media ----------------------------------------------------------------

TEST(ItemExtractionTest, EnclosuresFillTheFieldsAndExtraOnesBecomeMediaRefs) {
  const ItemList list =
      Extract(Rss2("<item><title>t</title><link>http://ex.jp/1</link>"
                   "<enclosure url=\"http://ex.jp/1.mp3\" length=\"100\" type=\"audio/mpeg\"/>"
                   "<enclosure url=\"http://ex.jp/2.mp3\" length=\"200\" type=\"audio/mpeg\"/>"
                   "<description>between</description>"
                   "<enclosure url='http://ex.jp/3.ogg'/></item>"));
  ASSERT_EQ(list.size(), 1u);
  const FeedItem& item = list[0];
  EXPECT_EQ(item.enclosure_url, "http://ex.jp/1.mp3");
  EXPECT_EQ(item.enclosure_size, "100");
  EXPECT_EQ(item.enclosure_type, "audio/mpeg");
  EXPECT_EQ(item.media, (std::vector<MediaRef>{{"http://ex.jp/2.mp3", "200", "audio/mpeg"},
                                               {"http://ex.jp/3.ogg", "", ""}}));
}

TEST(ItemExtractionTest, MediaContentAndItsThumbnail) {
  const ItemList list = Extract(Rss2(
      "<item><title>v</title><link>http://ex.jp/1</link>"
      "<media:content url=\"http://ex.jp/v.mp4\" type=\"video/mp4\" width=\"640\" height=\"360\">"
      "<media:thumbnail url=\"http://ex.jp/v.jpg\" width=\"120\" height=\"90\" "
      "type=\"image/jpeg\"/></media:content></item>"
      "<item><title>w</title><link>http://ex.jp/2</link>"
      "<media:content url=\"http://ex.jp/w.mp4\" width=\"640\"/>"
      "<media:thumbnail url=\"http://ex.jp/w.jpg\"/></item>"
      "<item><title>only a thumbnail</title><link>http://ex.jp/3</link>"
      "<media:thumbnail url=\"http://ex.jp/x.jpg\"/></item>"));
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].enclosure_url, "http://ex.jp/v.mp4");
  EXPECT_EQ(list[0].enclosure_type, "video/mp4");
  EXPECT_EQ(list[0].enclosure_size, "640 360");
  EXPECT_EQ(list[0].media,
            (std::vector<MediaRef>{{"http://ex.jp/v.jpg", "120 90", "thumb!image/jpeg"}}));
  EXPECT_EQ(list[1].enclosure_size, "");  // width without height
  EXPECT_EQ(list[1].media, (std::vector<MediaRef>{{"http://ex.jp/w.jpg", "", "thumb!"}}));
  EXPECT_EQ(list[2].enclosure_url, "");
  EXPECT_TRUE(list[2].media.empty());
}

TEST(ItemExtractionTest, EnclosureAndMediaContentTogetherNeverMixTheirFields) {
  const ItemList list =
      Extract(Rss2("<item><title>t</title><link>http://ex.jp/1</link>"
                   "<enclosure url=\"http://ex.jp/a.mp3\" length=\"100\" type=\"audio/mpeg\"/>"
                   "<media:content url=\"http://ex.jp/v.mp4\" type=\"video/mp4\">"
                   "<media:thumbnail url=\"http://ex.jp/v.jpg\"/></media:content></item>"));
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].enclosure_url, "http://ex.jp/a.mp3");
  EXPECT_EQ(list[0].enclosure_size, "100");
  EXPECT_EQ(list[0].enclosure_type, "audio/mpeg");
  EXPECT_EQ(list[0].media, (std::vector<MediaRef>{{"http://ex.jp/v.mp4", "", "video/mp4"},
                                                  {"http://ex.jp/v.jpg", "", "thumb!"}}));
}

// --- Atom --------------------------------------------------------------------------------

TEST(ItemExtractionTest, AtomEntries) {
  const ItemList list = Extract(
      Atom("<entry><title>first link wins</title><link rel=\"self\" href=\"http://ex.jp/self\"/>"
           "<link rel=\"alternate\" href=\"http://ex.jp/page\"/><updated>2005-02-01T03:00:00Z"
           "</updated></entry>"
           "<entry><title>quoted</title><link href='http://ex.jp/q'/>"
           "<content type=\"xhtml\"><div><p>Hi</p></div></content></entry>"
           "<entry><title>no link</title></entry>"
           "<entry><link href=\"http://ex.jp/untitled\"/></entry>"
           "<entry><title>empty href</title><link href=\"\"/></entry>"));
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].link, "http://ex.jp/self");
  EXPECT_EQ(LocalDate(list[0].date).hour, 12);  // "updated" when nothing earlier is given
  EXPECT_EQ(list[1].link, "http://ex.jp/q");
  EXPECT_EQ(list[1].description, "\r\nHi\r\n");
  for (const FeedItem& item : list) EXPECT_EQ(item.site_link, "http://ex.jp/");
}

TEST(ItemExtractionTest, AddressesInAttributesAreUnescapedLikeRssLinkTexts) {
  // An RSS link's text is decoded by the reader; addresses in attributes must end the same way,
  // or a query string would reach the server as "?a=1&amp;b=2".
  const ItemList atom =
      Extract(Atom("<entry><title>t</title><link href=\"http://ex.jp/?a=1&amp;b=2\"/></entry>"));
  ASSERT_EQ(atom.size(), 1u);
  EXPECT_EQ(atom[0].link, "http://ex.jp/?a=1&b=2");
  const ItemList rss = Extract(
      Rss2("<item><title>t</title><link>http://ex.jp/?a=1&amp;b=2</link>"
           "<enclosure url=\"http://ex.jp/f.mp3?x=1&amp;y=2\" length=\"1\" type=\"audio/mpeg\"/>"
           "<enclosure url=\"http://ex.jp/g.mp3?x=1&amp;y=2\"/></item>"));
  ASSERT_EQ(rss.size(), 1u);
  EXPECT_EQ(rss[0].link, atom[0].link);
  EXPECT_EQ(rss[0].enclosure_url, "http://ex.jp/f.mp3?x=1&y=2");
  ASSERT_EQ(rss[0].media.size(), 1u);
  EXPECT_EQ(rss[0].media[0].url, "http://ex.jp/g.mp3?x=1&y=2");
}

TEST(ItemExtractionTest, AtomIsIgnoredWhenTheDocumentHasRssItems) {
  const ItemList list = Extract(
      "<feed><title>f</title><entry><title>e</title><link href=\"http://ex.jp/e\"/></entry>"
      "<item><title>i</title><link>http://ex.jp/i</link></item></feed>");
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].title, "i");
}

// --- The channel -------------------------------------------------------------------------

TEST(ItemExtractionTest, ChannelOverridesAndTheSiteLinkCallback) {
  const std::string feed = Rss2(
      "<item><title>t</title><link>http://ex.jp/1</link></item>"
      "<item><enclosure url=\"http://ex.jp/e.mp3\"/></item>");
  for (uint32_t overwrite : {0u, 1u, 2u, 3u}) {
    SCOPED_TRACE(overwrite);
    std::vector<std::string> site_links;
    ChannelContext channel;
    channel.site_url = "http://own.ex.jp/";
    channel.title = "Own title";
    channel.overwrite = overwrite;
    channel.on_site_link = [&](const std::string& link) { site_links.push_back(link); };
    const ItemList list = Extract(feed, channel);
    ASSERT_EQ(list.size(), 2u);
    const std::string link = overwrite & 1 ? "http://own.ex.jp/" : "http://ex.jp/";
    const std::string title = overwrite & 2 ? "Own title" : "Site";
    for (const FeedItem& item : list) {
      EXPECT_EQ(item.site_link, link);
      EXPECT_EQ(item.site_name, title);
    }
    EXPECT_EQ(list[0].link, "http://ex.jp/1");
    EXPECT_EQ(list[1].link, link);
    EXPECT_EQ(site_links, std::vector<std::string>{link});
  }

  // No channel link: no callback.
  int calls = 0;
  ChannelContext silent;
  silent.on_site_link = [&](const std::string&) { ++calls; };
  Extract("<rss><channel><title>x</title></channel></rss>", silent);
  EXPECT_EQ(calls, 0);
}

TEST(ItemExtractionTest, LongChannelTextsAreCutWholeCharactersOnly) {
  std::string long_link = "http://ex.jp/";
  const std::string kana = platform::Utf8ToCp932(u8"あ");
  while (long_link.size() < 3000) long_link += kana;
  std::string site_link;
  ChannelContext channel;
  channel.on_site_link = [&](const std::string& link) { site_link = link; };
  channel.properties = nullptr;
  const ItemList list =
      Extract(Rss2("<item><title>t</title><link>http://ex.jp/1</link></item>", long_link), channel);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_LE(site_link.size(), kMaxSiteLinkBytes);
  EXPECT_GE(site_link.size(), kMaxSiteLinkBytes - 1);
  EXPECT_TRUE(HasNoNulOrLoneLeadByte(site_link));
  EXPECT_LE(list[0].site_link.size(), kMaxChannelTextBytes);
  EXPECT_EQ(long_link.compare(0, list[0].site_link.size(), list[0].site_link), 0);
  ExpectSafe(list[0]);
}

// --- Import variant ----------------------------------------------------------------------

TEST(ItemExtractionTest, ImportVariantTakesTheItemsOwnSiteName) {
  const std::string feed = Rss2(
      "<item><title>a</title><link>http://ex.jp/a</link>"
      "<sitename url=\"http://other.jp/\">Other</sitename></item>"
      "<item><title>b</title><link>http://ex.jp/b</link></item>");
  ItemList imported;
  EXPECT_EQ(ExtractImportedItems(feed, &imported, {}, 0), 2);
  ASSERT_EQ(imported.size(), 2u);
  EXPECT_EQ(imported[0].site_name, "Other");
  EXPECT_EQ(imported[0].site_link, "http://other.jp/");
  EXPECT_EQ(imported[1].site_name, "Site");
  EXPECT_EQ(imported[1].site_link, "http://ex.jp/");

  const ItemList fed = Extract(feed);  // the feed variant ignores it
  ASSERT_EQ(fed.size(), 2u);
  EXPECT_EQ(fed[0].site_name, "Site");
}

TEST(ItemExtractionTest, ImportFeedFileReadsConvertsAndIndexes) {
  testing::TempFolder folder;
  const std::string sjis_title = platform::Utf8ToCp932(u8"日本語の表題");
  const std::string feed =
      "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n<rss><channel><title>S</title>"
      "<link>http://ex.jp/</link><item><title>" +
      sjis_title +
      "</title><link>http://ex.jp/1</link><sitename url=\"u\">N</sitename>"
      "</item></channel></rss>\n";
  ASSERT_TRUE(platform::WriteWholeFile(folder / "feed.xml", feed));
  ItemList list;
  EXPECT_EQ(ImportFeedFile(folder / "feed.xml", {}, &list), 1);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].title, sjis_title);
  EXPECT_EQ(list[0].site_name, "N");
  EXPECT_EQ(list.cursor(), 0u);
  EXPECT_EQ(ImportFeedFile(folder / "missing.xml", {}, &list), 0);
  EXPECT_EQ(list.size(), 1u);
}

// --- Encodings ---------------------------------------------------------------------------

TEST(ItemExtractionTest, JapaneseTitlesAreTheSameInEveryFeedEncoding) {
  // 表 has the trail byte 0x5C ('\') in Shift_JIS; 本 has 0x7B ('{').
  const std::string title_utf8 = u8"日本語の表題";
  const std::string expected = platform::Utf8ToCp932(title_utf8);
  const std::string euc_title = "\xC6\xFC\xCB\xDC\xB8\xEC\xA4\xCE\xC9\xBD\xC2\xEA";
  auto feed = [](const std::string& encoding, const std::string& title) {
    return "<?xml version=\"1.0\" encoding=\"" + encoding +
           "\"?>\n<rss version=\"2.0\"><channel><title>" + title +
           "</title><link>http://ex.jp/</link><item><title>" + title +
           "</title><link>http://ex.jp/1</link><description>" + title +
           "</description></item></channel></rss>";
  };
  auto utf16 = [](const std::string& utf8, bool big_endian, bool bom) {
    std::u16string units = platform::Utf8ToUtf16(utf8);
    if (bom) units.insert(units.begin(), u'\xFEFF');
    std::string bytes;
    for (char16_t u : units) {
      const char lo = static_cast<char>(u & 0xFF), hi = static_cast<char>(u >> 8);
      bytes += big_endian ? std::string{hi, lo} : std::string{lo, hi};
    }
    return bytes;
  };
  const auto undeclared = [&](const std::string& title) {
    const std::string bytes = feed("", title);
    return bytes.substr(bytes.find("<rss"));
  };
  struct Case {
    std::string name;
    std::string bytes;
  };
  std::vector<Case> cases = {
      {"utf-8", feed("UTF-8", title_utf8)},
      {"undeclared utf-8", undeclared(title_utf8)},
      {"undeclared shift_jis", undeclared(expected)},
      {"undeclared euc-jp", undeclared(euc_title)},
      {"shift_jis under a name the program does not know", feed("x-mac-japanese", expected)},
      {"euc-jp under a name the program does not know", feed("japanese", euc_title)},
      {"declaration without encoding, shift_jis", feed("", expected)},
      {"utf-16le", utf16(feed("UTF-16", title_utf8), false, true)},
      {"utf-16be", utf16(feed("UTF-16", title_utf8), true, true)},
      {"utf-16le without bom", utf16(feed("UTF-16", title_utf8), false, false)},
  };
  // Every label the WHATWG Encoding Standard and the IANA registry give each encoding, as feeds
  // write them (case and blanks around the name do not matter).
  for (const char* label : {"UTF-8", "utf8", "unicode-1-1-utf-8", "unicode11utf8", "unicode20utf8",
                            "x-unicode20utf8", "csUTF8", "UTF_8", " utf-8 "}) {
    cases.push_back({label, feed(label, title_utf8)});
  }
  for (const char* label : {"Shift_JIS", "shift-jis", "SJIS", "x-sjis", "Windows-31J", "CP932",
                            "MS932", "ms_kanji", "csShiftJIS", "csWindows31J", "SHIFT_JIS"}) {
    cases.push_back({label, feed(label, expected)});
  }
  for (const char* label :
       {"EUC-JP", "euc-jp", "x-euc-jp", "EUC_JP", "eucJP", "cseucpkdfmtjapanese",
        "Extended_UNIX_Code_Packed_Format_for_Japanese"}) {
    cases.push_back({label, feed(label, euc_title)});
  }
  for (const char* label : {"UTF-16", "utf-16le", "UTF-16BE", "ucs-2", "unicode"}) {
    cases.push_back({std::string(label) + " (bytes re-encoded to utf-8)", feed(label, title_utf8)});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ItemList list;
    list.Append(FeedItem{});  // the count is of the items appended
    EXPECT_EQ(ParseFeedBytes(c.bytes, {}, &list), 1);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1].title, expected);
    EXPECT_EQ(list[1].description, expected);
    EXPECT_EQ(list[1].site_name, expected);
  }
}

// --- Hostile input -----------------------------------------------------------------------

TEST(ItemExtractionTest, HostileNestingAndSizesStayBounded) {
  constexpr int kDepth = 100000;
  std::string deep;
  for (int i = 0; i < kDepth; ++i) deep += "<div>";
  deep += "x";
  for (int i = 0; i < kDepth; ++i) deep += "</div>";
  std::string open_tags;
  for (int i = 0; i < kDepth; ++i) open_tags += "<li>";
  const ItemList list =
      Extract(Rss2("<item>" + deep +
                   "<title>deep</title><link>http://ex.jp/1</link>"
                   "<description>" +
                   open_tags +
                   "text</description></item>"
                   "<item><title>t</title><link>http://ex.jp/2</link><description><![CDATA[" +
                   deep + "]]></description></item>"));
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].title, "deep");
  EXPECT_EQ(list[1].description, "x");

  // The whole feed nested deeply.
  const ItemList nested =
      Extract("<rss>" + deep + "<channel><item><title>t</title><link>l</link></item></channel>");
  EXPECT_EQ(nested.size(), 1u);
}

TEST(ItemExtractionTest, ItemCountAndFieldSizesAreCapped) {
  std::string items;
  for (int i = 0; i < kMaxItemsPerFeed + 5; ++i)
    items += "<item><title>t</title><link>l</link></item>";
  ItemList list;
  EXPECT_EQ(ExtractFeedItems(Rss2(items), &list, {}, 0), kMaxItemsPerFeed);

  const std::string huge(kMaxItemDescriptionBytes * 2, 'd');
  std::string enclosures;
  for (size_t i = 0; i < kMaxMediaPerItem + 10; ++i) enclosures += "<enclosure url=\"u\"/>";
  const ItemList big = Extract(Rss2("<item><title>" + huge + "</title><link>l</link><description>" +
                                        huge + "</description>" + enclosures + "</item>",
                                    std::string(kMaxChannelTextBytes * 3, 'c')));
  ASSERT_EQ(big.size(), 1u);
  EXPECT_EQ(big[0].title.size(), kMaxItemTextBytes);
  EXPECT_EQ(big[0].description.size(), kMaxItemDescriptionBytes);
  EXPECT_EQ(big[0].site_link.size(), kMaxChannelTextBytes);
  EXPECT_EQ(big[0].media.size(), kMaxMediaPerItem);
}

}  // namespace
}  // namespace korvo
