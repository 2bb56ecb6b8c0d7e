// The channel list document: the update-list walk with folder options, the placeholder, the save
// and its encodings, and hostile files (deep nesting, huge values, wrong encodings, no body).
#include "channels/channel_list.h"

#include <gtest/gtest.h>

#include <string>

#include "channels/opml_templates.h"
#include "common/temp_folder.h"
#include "platform/code_page.h"
#include "platform/files.h"

namespace korvo {
namespace {

using korvo::testing::TempFolder;

std::string Sjis(const char* utf8) { return platform::Utf8ToCp932(utf8); }

ChannelList FromText(const std::string& cp932) {
  return ChannelList(XmlDocument::FromMemory(cp932));
}

const Channel* FindChannel(const std::vector<Channel>& channels, const std::string& url) {
  for (const Channel& channel : channels) {
    if (channel.url == url) return &channel;
  }
  return nullptr;
}

TEST(BuildUpdateListTest, FolderOptionsAreInheritedOnlyWhereTheParentHasNoInherit) {
  const ChannelList list = FromText(
      "<opml version=\"1.0\"><head><title>t</title></head><body>"
      "<outline text=\"Top\" Drop=\"true\" ttl=\"5\">"
      "<outline text=\"A\" xmlUrl=\"http://a/\" htmlUrl=\"http://a.site/\" "
      "authorization=\"POST q=1\" overwrite_sitename=\"\"/>"
      "<outline text=\"Sub\" OnlyNew=\"true\"><outline text=\"B\" xmlUrl=\"http://b/\"/>"
      "</outline></outline>"
      "<outline text=\"Inh\" NoInherit=\"true\" skipall=\"true\">"
      "<outline text=\"Sub2\" OnlyNew=\"true\" keyword=\"k\" FilterOn=\"true\" Hit=\"add\">"
      "<outline text=\"C\" xmlUrl=\"http://c/\" Drop=\"true\"/></outline>"
      "<outline text=\"G\" xmlUrl=\"http://g/\"/></outline>"
      "<outline text=\"D\" xmlUrl=\"http://d/\" Drop=\"true\" authorization=\"Basic x\"/>"
      "<outline text=\"E\" xmlUrl=\"http://e/\" disable=\"true\"/>"
      "<outline text=\"F\" xmlUrl=\"\"/>"
      "<outline text=\"Empty folder\"/>"
      "</body></opml>");
  const std::vector<Channel> channels = BuildUpdateList(list);
  ASSERT_EQ(channels.size(), 5u);
  EXPECT_EQ(channels[0].url, "http://a/");  // document order

  const Channel* a = FindChannel(channels, "http://a/");
  EXPECT_EQ(a->title, "A");
  EXPECT_EQ(a->siteUrl, "http://a.site/");
  EXPECT_TRUE(a->drop);
  EXPECT_EQ(a->refreshMs, 300000u);
  EXPECT_EQ(a->authMode, kAuthPost);
  EXPECT_EQ(a->overwrite, kOverwriteSiteName);

  // Sub's own OnlyNew is ignored: Top has no NoInherit, so Sub takes Top's options.
  const Channel* b = FindChannel(channels, "http://b/");
  EXPECT_TRUE(b->drop);
  EXPECT_FALSE(b->onlyNew);
  EXPECT_EQ(b->refreshMs, 300000u);

  // Inh has NoInherit, so Sub2's own options count; C's own Drop never does.
  const Channel* c = FindChannel(channels, "http://c/");
  EXPECT_TRUE(c->onlyNew);
  EXPECT_FALSE(c->drop);
  EXPECT_FALSE(c->skipAll);
  EXPECT_EQ(c->keyword, "k");
  EXPECT_EQ(c->filterFlags, kFilterOn | kFilterShowMatches);
  const Channel* g = FindChannel(channels, "http://g/");
  EXPECT_TRUE(g->skipAll);
  EXPECT_TRUE(g->noInherit);

  // A top-level channel gets the root options (everything off, noInherit on).
  const Channel* d = FindChannel(channels, "http://d/");
  EXPECT_FALSE(d->drop);
  EXPECT_TRUE(d->noInherit);
  EXPECT_EQ(d->authMode, kAuthBasic);

  EXPECT_EQ(FindChannel(channels, "http://e/"), nullptr);  // disabled
}

TEST(BuildUpdateListTest, PlaceholderWhenNothingQualifies) {
  for (const char* text :
       {"<opml><body></body></opml>", "<opml><head/></opml>",
        "<opml><body><outline text=\"x\" xmlUrl=\"http://x/\" disable=\"\"/></body></opml>",
        "<body>body</body>"}) {
    const std::vector<Channel> channels = BuildUpdateList(FromText(text));
    ASSERT_EQ(channels.size(), 1u) << text;
    EXPECT_EQ(channels[0].url, kPlaceholderChannelUrl);
    EXPECT_TRUE(channels[0].noAddToDb);
    EXPECT_EQ(channels[0].refreshMs, 60u);
  }
  // An unreadable file: no document, no body.
  TempFolder folder;
  ChannelList missing;
  EXPECT_FALSE(missing.LoadFile(folder / "none.opml"));
  EXPECT_EQ(missing.body(), nullptr);
  EXPECT_EQ(BuildUpdateList(missing).size(), 1u);
}

TEST(ChannelListTest, TextNodeNamedBodyIsNotTheBody) {
  ChannelList list = FromText(
      "<opml><head><title>body</title></head><body><outline text=\"a\" xmlUrl=\"http://a/\"/>"
      "</body></opml>");
  ASSERT_NE(list.body(), nullptr);
  EXPECT_TRUE(list.body()->IsElement());
  EXPECT_EQ(BuildUpdateList(list)[0].url, "http://a/");
}

TEST(ChannelListTest, MissingBodyIsCreatedUnderOpml) {
  TempFolder folder;
  ChannelList list = FromText("<opml version=\"1.0\"><head><title>x</title></head></opml>");
  EXPECT_EQ(list.body(), nullptr);
  XmlNode* body = list.EnsureBody();
  ASSERT_NE(body, nullptr);
  EXPECT_EQ(list.EnsureBody(), body);
  EXPECT_EQ(body->parent->value, "opml");
  XmlNode* outline = list.document().NewNode(XmlKind::kEmpty, "outline");
  outline->SetAttribute("text", "a");
  outline->SetAttribute("xmlUrl", "http://a/");
  ASSERT_EQ(list.document().AppendChild(body, outline), 0);
  ASSERT_TRUE(SaveChannelList(list.document(), folder / "c.opml"));
  ChannelList reloaded;
  ASSERT_TRUE(reloaded.LoadFile(folder / "c.opml"));
  EXPECT_EQ(BuildUpdateList(reloaded)[0].url, "http://a/");

  // Without an opml element nothing is invented.
  ChannelList stray = FromText("<rss><channel/></rss>");
  EXPECT_EQ(stray.EnsureBody(), nullptr);
}

TEST(ChannelListTest, EmptyListSavesAndReadsBack) {
  TempFolder folder;
  ChannelList list;
  ASSERT_NE(list.body(), nullptr);
  ASSERT_TRUE(SaveChannelList(list.document(), folder / "channel.opml"));
  std::string saved;
  ASSERT_TRUE(platform::ReadWholeFile(folder / "channel.opml", &saved));
  EXPECT_EQ(
      saved.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<opml version = \"1.0\">\n", 0), 0u);
  ChannelList reloaded;
  ASSERT_TRUE(reloaded.LoadFile(folder / "channel.opml"));
  ASSERT_NE(reloaded.body(), nullptr);
  EXPECT_EQ(reloaded.body()->first_child, nullptr);
  const XmlNode* title = FindElement(reloaded.document().root(), "title");
  ASSERT_NE(title, nullptr);
  ASSERT_NE(title->first_child, nullptr);
  EXPECT_EQ(title->first_child->value, "KorvoNewsReader ChannelList");
}

// A list read from a Shift_JIS or EUC-JP file is saved as UTF-8 declaring UTF-8, so that it reads
// back with the same texts (a file declaring EUC-JP but holding Shift_JIS would not).
TEST(ChannelListTest, JapaneseFilesOfEveryDeclaredEncodingSaveAsUtf8) {
  const std::string title = Sjis(u8"日本語のチャンネル・表示");
  const std::string body_utf8 =
      std::string(u8"\n<opml version=\"1.0\">\n<body>\n<outline text=\"") +
      u8"日本語のチャンネル・表示" + "\" xmlUrl=\"http://jp/\"/>\n</body>\n</opml>\n";
  struct Case {
    const char* declared;
    std::string body;
  };
  const std::string body_sjis = platform::Utf8ToCp932(body_utf8);
  const Case cases[] = {
      {"UTF-8", body_utf8}, {"Shift_JIS", body_sjis}, {"EUC-JP", std::string()},  // filled below
  };
  for (Case c : cases) {
    if (std::string(c.declared) == "EUC-JP") {
      // EUC-JP bytes of the same text, made by hand from the JIS rows: convert through the
      // platform's EUC-JP reader to check the bytes first.
      c.body =
          "\n<opml version=\"1.0\">\n<body>\n<outline text=\"\xC6\xFC\xCB\xDC\xB8\xEC\" "
          "xmlUrl=\"http://jp/\"/>\n</body>\n</opml>\n";
    }
    TempFolder folder;
    const std::string path = folder / "channel.opml";
    ASSERT_TRUE(platform::WriteWholeFile(
        path, std::string("<?xml version=\"1.0\" encoding=\"") + c.declared + "\"?>" + c.body));
    ChannelList list;
    ASSERT_TRUE(list.LoadFile(path)) << c.declared;
    const std::string expected = std::string(c.declared) == "EUC-JP"
                                     ? platform::EucJpToCp932("\xC6\xFC\xCB\xDC\xB8\xEC")
                                     : title;
    ASSERT_EQ(BuildUpdateList(list)[0].title, expected) << c.declared;

    ASSERT_TRUE(SaveChannelList(list.document(), path));
    std::string saved;
    ASSERT_TRUE(platform::ReadWholeFile(path, &saved));
    EXPECT_EQ(saved.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n", 0), 0u) << saved;
    EXPECT_NE(saved.find(platform::Cp932ToUtf8(expected)), std::string::npos) << c.declared;

    ChannelList reloaded;
    ASSERT_TRUE(reloaded.LoadFile(path));
    EXPECT_EQ(BuildUpdateList(reloaded)[0].title, expected) << c.declared;
  }
}

TEST(ChannelListTest, WronglyDeclaredOrGarbledFilesStillLoad) {
  TempFolder folder;
  const std::string path = folder / "channel.opml";
  const std::string utf8_title = u8"日本語";
  // Declared Shift_JIS but UTF-8; declared nonsense; raw binary in a value.
  for (const std::string& text :
       {"<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n<opml><body>\n<outline text=\"" +
            utf8_title + "\" xmlUrl=\"http://a/\"/>\n</body></opml>\n",
        std::string("<?xml version=\"1.0\" encoding=\"KOI8-R\"?>\n<opml><body>\n<outline "
                    "text=\"\xFF\xFE\x81\" xmlUrl=\"http://a/\"/>\n</body></opml>\n"),
        std::string("<opml><body><outline text=\"\x82") + '\0' +
            "\x9F\xFC\" xmlUrl=\"http://a/\"/></body></opml>"}) {
    ASSERT_TRUE(platform::WriteWholeFile(path, text));
    ChannelList list;
    ASSERT_TRUE(list.LoadFile(path));
    const std::vector<Channel> channels = BuildUpdateList(list);
    ASSERT_EQ(channels.size(), 1u);
    EXPECT_EQ(channels[0].url, "http://a/");
    EXPECT_TRUE(SaveChannelList(list.document(), path));
  }
}

TEST(ChannelListTest, Utf16FileGivesAtMostThePlaceholder) {
  TempFolder folder;
  const std::string path = folder / "channel.opml";
  const std::u16string text =
      u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<opml><body>"
      u"<outline text=\"a\" xmlUrl=\"http://a/\"/></body></opml>\n";
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  ASSERT_TRUE(platform::WriteWholeFile(path, bytes));
  ChannelList list;
  list.LoadFile(path);  // whatever the reader makes of it
  EXPECT_GE(BuildUpdateList(list).size(), 1u);
}

TEST(ChannelListTest, TenThousandLevelsOfFoldersLoadWalkAndSave) {
  TempFolder folder;
  const std::string path = folder / "channel.opml";
  constexpr int kDepth = 10000;
  std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<opml version=\"1.0\">\n<body>\n";
  text += "<outline text=\"top\" Drop=\"true\">\n";
  for (int i = 1; i < kDepth; ++i) text += "<outline text=\"f\" OnlyNew=\"true\">\n";
  text += "<outline text=\"deep\" xmlUrl=\"http://deep/\"/>\n";
  for (int i = 0; i < kDepth; ++i) text += "</outline>\n";
  text += "</body>\n</opml>\n";
  ASSERT_TRUE(platform::WriteWholeFile(path, text));

  ChannelList list;
  ASSERT_TRUE(list.LoadFile(path));
  std::vector<Channel> channels = BuildUpdateList(list);
  ASSERT_EQ(channels.size(), 1u);
  EXPECT_EQ(channels[0].url, "http://deep/");
  EXPECT_TRUE(channels[0].drop);
  EXPECT_FALSE(channels[0].onlyNew);

  ASSERT_TRUE(SaveChannelList(list.document(), path));
  ChannelList reloaded;
  ASSERT_TRUE(reloaded.LoadFile(path));
  EXPECT_EQ(BuildUpdateList(reloaded)[0].url, "http://deep/");

  // A cut file leaves ten thousand unclosed folders; reading and walking it stays bounded.
  std::string cut = "<opml><body>";
  for (int i = 0; i < kDepth; ++i) cut += "<outline text=\"f\">";
  cut += "<outline text=\"x\" xmlUrl=\"http://x/\"/>";
  EXPECT_GE(BuildUpdateList(FromText(cut)).size(), 1u);
}

TEST(ChannelListTest, MegabyteAttributeValuesRoundTrip) {
  TempFolder folder;
  const std::string path = folder / "channel.opml";
  ChannelList list;
  XmlNode* outline = list.document().NewNode(XmlKind::kEmpty, "outline");
  std::string huge;
  for (size_t i = 0; huge.size() < (size_t{1} << 20); ++i) huge += Sjis(u8"長い説明") + "x";
  outline->SetAttribute("text", "big");
  outline->SetAttribute("xmlUrl", "http://big/");
  outline->SetAttribute("description", huge);
  ASSERT_EQ(list.document().AppendChild(list.body(), outline), 0);
  ASSERT_TRUE(SaveChannelList(list.document(), path));

  ChannelList reloaded;
  ASSERT_TRUE(reloaded.LoadFile(path));
  const XmlNode* copy = FindElement(reloaded.document().root(), "outline");
  ASSERT_NE(copy, nullptr);
  ASSERT_NE(copy->Attribute("description"), nullptr);
  EXPECT_EQ(*copy->Attribute("description"), huge);
}

// Values with quotes, ampersands, angle brackets and line breaks must not break the file.
TEST(ChannelListTest, AttributeValuesWithMarkupCharactersRoundTrip) {
  TempFolder folder;
  const std::string path = folder / "channel.opml";
  ChannelList list;
  XmlNode* outline = list.document().NewNode(XmlKind::kEmpty, "outline");
  const std::string title = "Tom & \"Jerry\" <news> 'x' &amp; 100%";
  const std::string url = "http://example.com/rss?a=1&b=2";
  outline->SetAttribute("text", title);
  outline->SetAttribute("xmlUrl", url);
  outline->SetAttribute("description", CleanAttributeValue("line one\r\nline two\ttab"));
  ASSERT_EQ(list.document().AppendChild(list.body(), outline), 0);
  XmlNode* second = list.document().NewNode(XmlKind::kEmpty, "outline");
  second->SetAttribute("text", "after");
  second->SetAttribute("xmlUrl", "http://after/");
  ASSERT_EQ(list.document().AppendChild(list.body(), second), 0);
  ASSERT_TRUE(SaveChannelList(list.document(), path));

  for (int round = 0; round < 2; ++round) {
    ChannelList reloaded;
    ASSERT_TRUE(reloaded.LoadFile(path));
    const std::vector<Channel> channels = BuildUpdateList(reloaded);
    ASSERT_EQ(channels.size(), 2u) << round;
    EXPECT_EQ(channels[0].title, title);
    EXPECT_EQ(channels[0].url, url);
    EXPECT_EQ(channels[1].url, "http://after/");
    const XmlNode* node = FindElement(reloaded.document().root(), "outline");
    EXPECT_EQ(*node->Attribute("description"), "line one  line two tab");
    ASSERT_TRUE(SaveChannelList(reloaded.document(), path));  // and again: nothing doubles
  }
}

// A tolerant read keeps unclosed start tags; saved as open tags they would swallow what follows.
TEST(ChannelListTest, UnclosedOutlinesReadBackInTheirPlace) {
  TempFolder folder;
  const std::string path = folder / "channel.opml";
  ChannelList list = FromText(
      "<opml><body><outline text=\"a\" xmlUrl=\"http://a/\">"
      "<outline text=\"F\" NoInherit=\"true\"><outline text=\"b\" xmlUrl=\"http://b/\"/>"
      "</outline><outline text=\"c\" xmlUrl=\"http://c/\"></body></opml>");
  const std::vector<Channel> before = BuildUpdateList(list);
  ASSERT_EQ(before.size(), 3u);
  ASSERT_TRUE(SaveChannelList(list.document(), path));
  ChannelList reloaded;
  ASSERT_TRUE(reloaded.LoadFile(path));
  const std::vector<Channel> after = BuildUpdateList(reloaded);
  ASSERT_EQ(after.size(), 3u);
  for (size_t i = 0; i < 3; ++i) EXPECT_EQ(after[i].url, before[i].url);
}

// A file the reader makes nothing of (another program's format, a half-written file) gives a
// list without `body`; saving that list would replace the user's file with an empty document.
TEST(ChannelListTest, ListThatWasNotReadIsNeverSavedOverTheFile) {
  TempFolder folder;
  const std::string path = folder / "channel.opml";
  const std::string unreadable = "Subscriptions exported by hand\nhttp://a/\nhttp://b/\n";
  ASSERT_TRUE(platform::WriteWholeFile(path, unreadable));
  ChannelList list;
  EXPECT_FALSE(list.LoadFile(path));
  ASSERT_EQ(list.body(), nullptr);
  EXPECT_FALSE(SaveChannelList(list.document(), path));
  std::string kept;
  ASSERT_TRUE(platform::ReadWholeFile(path, &kept));
  EXPECT_EQ(kept, unreadable);

  // A missing file reads as nothing, too, and is not created empty.
  ChannelList missing;
  EXPECT_FALSE(missing.LoadFile(folder / "none.opml"));
  EXPECT_FALSE(SaveChannelList(missing.document(), folder / "none.opml"));
  EXPECT_FALSE(platform::FileExists(folder / "none.opml"));
}

TEST(ChannelListTest, FailedSaveReportsFailure) {
  TempFolder folder;
  ChannelList list;
  EXPECT_FALSE(SaveChannelList(list.document(), folder / "missing/sub/channel.opml"));
  // A folder in the way of the target is not replaced.
  ASSERT_TRUE(platform::MakeDirectory(folder / "blocker"));
  EXPECT_FALSE(SaveChannelList(list.document(), folder / "blocker"));
  EXPECT_TRUE(platform::DirectoryExists(folder / "blocker"));
}

}  // namespace
}  // namespace korvo
