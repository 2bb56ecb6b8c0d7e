// OPML import and export, applying and discarding changes, and the favourites file.
#include "channels/opml_transfer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "channels/channel_list_loader.h"
#include "channels/channel_texts.h"
#include "channels/channel_tree_ops.h"
#include "channels/favourites.h"
#include "channels/opml_templates.h"
#include "channels/scripted_dialogs.h"
#include "common/temp_folder.h"
#include "platform/code_page.h"
#include "platform/files.h"

namespace korvo {
namespace {

using korvo::testing::ScriptedDialogs;
using korvo::testing::TempFolder;

std::string Sjis(const char* utf8) { return platform::Utf8ToCp932(utf8); }

// An export as another feed reader writes it: OPML 2.0, two-space indentation, nested folders,
// escaped ampersands, an outline with only `title`, Japanese titles in UTF-8.
const char kForeignExport[] =
    u8"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    u8"<opml version=\"2.0\">\n"
    u8"  <head>\n"
    u8"    <title>Subscriptions</title>\n"
    u8"    <dateCreated>Mon, 07 Dec 2026 10:00:00 +0000</dateCreated>\n"
    u8"  </head>\n"
    u8"  <body>\n"
    u8"    <outline text=\"ニュース\" title=\"ニュース\">\n"
    u8"      <outline type=\"rss\" text=\"日本経済ニュース\" title=\"日本経済ニュース\"\n"
    u8"        xmlUrl=\"https://example.jp/news/rss.xml\" htmlUrl=\"https://example.jp/news/\"/>\n"
    u8"      <outline text=\"テクノロジー\" title=\"テクノロジー\">\n"
    u8"        <outline type=\"rss\" text=\"技術ブログ &amp; メモ\" title=\"技術ブログ &amp; "
    u8"メモ\" "
    u8"xmlUrl=\"https://tech.example.jp/feed?format=rss&amp;lang=ja\" "
    u8"htmlUrl=\"https://tech.example.jp/\"/>\n"
    u8"        <outline type=\"atom\" title=\"Atomだけのタイトル\" "
    u8"xmlUrl=\"https://atom.example.jp/atom.xml\" htmlUrl=\"https://atom.example.jp/\"/>\n"
    u8"      </outline>\n"
    u8"    </outline>\n"
    u8"    <outline type=\"rss\" text=\"Single Feed\" "
    u8"xmlUrl=\"http://single.example.com/index.rdf\" "
    u8"htmlUrl=\"http://single.example.com/\" description=\"A plain feed\"/>\n"
    // A broken attribute name (a stray quote) before the feed's own attributes.
    u8"    <outline x\"y=\"1\" type=\"rss\" text=\"Broken\" "
    u8"xmlUrl=\"http://broken.example.com/rss\"/>\n"
    u8"  </body>\n"
    u8"</opml>\n";

struct Flat {
  int depth;
  std::vector<std::pair<std::string, std::string>> attributes;
  bool operator==(const Flat& o) const { return depth == o.depth && attributes == o.attributes; }
};

// Every outline below `top` with its depth and attributes, in document order.
std::vector<Flat> Flatten(const XmlNode* top) {
  std::vector<Flat> flat;
  for (const XmlNode* node = top; node != nullptr; node = NextInDocumentOrder(node, top)) {
    if (!IsOutline(node)) continue;
    int depth = 0;
    for (const XmlNode* p = node->parent; p != nullptr && p != top; p = p->parent) ++depth;
    flat.push_back({depth, AttributesOf(*node)});
  }
  return flat;
}

std::string Text(const XmlNode* node, const char* name) {
  const std::string* value = node->Attribute(name);
  return value != nullptr ? *value : "<none>";
}

TEST(ImportOpmlTest, ForeignExportImportsSavesAndReloadsWithNothingLost) {
  TempFolder folder;
  const std::string source = folder / "subscriptions.opml";
  ASSERT_TRUE(platform::WriteWholeFile(source, kForeignExport));
  const std::string path = folder / kChannelListFile;

  ChannelList list;
  ScriptedDialogs dialogs;
  dialogs.import_source = platform::Utf8ToCp932(source);
  ImportRequest request;  // the source is asked for
  ASSERT_EQ(ImportOpml(list, request, dialogs), 0);
  EXPECT_TRUE(list.modified());

  const std::vector<Flat> imported = Flatten(list.body());
  ASSERT_EQ(imported.size(), 7u);
  const XmlNode* news = list.body()->first_child;
  EXPECT_EQ(Text(news, "text"), Sjis(u8"ニュース"));
  const std::vector<Channel> channels = BuildUpdateList(list);
  ASSERT_EQ(channels.size(), 5u);
  EXPECT_EQ(channels[0].title, Sjis(u8"日本経済ニュース"));
  EXPECT_EQ(channels[0].url, "https://example.jp/news/rss.xml");
  EXPECT_EQ(channels[0].siteUrl, "https://example.jp/news/");
  EXPECT_EQ(channels[1].title, Sjis(u8"技術ブログ & メモ"));
  EXPECT_EQ(channels[1].url, "https://tech.example.jp/feed?format=rss&lang=ja");
  EXPECT_EQ(channels[2].title, Sjis(u8"Atomだけのタイトル"));  // text taken from title
  EXPECT_EQ(channels[3].url, "http://single.example.com/index.rdf");
  EXPECT_EQ(imported[2].depth, 1);  // テクノロジー inside ニュース
  EXPECT_EQ(imported[3].depth, 2);

  ASSERT_TRUE(SaveChannelList(list.document(), path));
  for (int round = 0; round < 2; ++round) {
    ChannelList reloaded;
    ASSERT_TRUE(reloaded.LoadFile(path));
    EXPECT_EQ(Flatten(reloaded.body()), imported) << round;
    // The subscription behind the broken attribute name is still there.
    const std::vector<Channel> again = BuildUpdateList(reloaded);
    ASSERT_EQ(again.size(), 5u) << round;
    EXPECT_EQ(again[4].url, "http://broken.example.com/rss") << round;
    ASSERT_TRUE(SaveChannelList(reloaded.document(), path));
  }
}

TEST(ImportOpmlTest, ImportsIntoTheSelectedFolderFromFileOrWeb) {
  TempFolder folder;
  ChannelList list(XmlDocument::FromMemory(
      "<opml><body><outline text=\"Folder\"><outline text=\"c\" xmlUrl=\"http://c/\"/>"
      "</outline></body></opml>"));
  XmlNode* folder_node = list.body()->first_child;
  XmlNode* channel = folder_node->first_child;
  ScriptedDialogs dialogs;
  std::vector<std::string> requested;
  ImportRequest request;
  request.source = "https://opml.example/list.opml";
  request.selected = channel;  // a channel: its folder is the destination
  request.working_folder = folder.path();
  request.download = [&](const std::string& address, std::string* body) {
    requested.push_back(address);
    EXPECT_FALSE(platform::FileExists(folder / kTempDownloadFile));
    *body = kForeignExport;
    return true;
  };
  ASSERT_EQ(ImportOpml(list, request, dialogs), 0);
  EXPECT_EQ(requested.size(), 1u);
  EXPECT_FALSE(platform::FileExists(folder / kTempDownloadFile));
  EXPECT_EQ(Flatten(folder_node).size(), 9u);  // the folder, c and seven imported
  EXPECT_EQ(Text(folder_node->first_child->next, "text"), Sjis(u8"ニュース"));
  EXPECT_TRUE(dialogs.asked.empty());

  // A failed download changes nothing.
  ChannelList other;
  request.selected = nullptr;
  request.download = [](const std::string&, std::string*) { return false; };
  EXPECT_EQ(ImportOpml(other, request, dialogs), -1);
  EXPECT_EQ(other.body()->first_child, nullptr);
  EXPECT_FALSE(other.modified());
  request.download = nullptr;
  EXPECT_EQ(ImportOpml(other, request, dialogs), -1);
}

TEST(ImportOpmlTest, RefusalsChangeNothing) {
  TempFolder folder;
  ChannelList list;
  ScriptedDialogs dialogs;
  ImportRequest request;
  EXPECT_EQ(ImportOpml(list, request, dialogs), -1);  // the user cancels
  request.source = folder / "missing.opml";
  EXPECT_EQ(ImportOpml(list, request, dialogs), -1);

  auto import_text = [&](const std::string& text) {
    const std::string path = folder / "in.opml";
    EXPECT_TRUE(platform::WriteWholeFile(path, text));
    request.source = path;
    return ImportOpml(list, request, dialogs);
  };
  EXPECT_EQ(import_text("<opml><head/></opml>"), -1);                             // no body
  EXPECT_EQ(import_text("<html><body><outline text=\"a\"/></body></html>"), -1);  // not OPML
  EXPECT_EQ(import_text(""), -1);
  EXPECT_EQ(import_text("\xFF\xFE\x00\x01 binary"), -1);

  // Too deep, too many.
  std::string deep = "<opml><body>";
  for (size_t i = 0; i <= kMaxImportDepth; ++i) deep += "<outline text=\"f\">";
  deep += "<outline text=\"x\" xmlUrl=\"http://x/\"/>";
  for (size_t i = 0; i <= kMaxImportDepth; ++i) deep += "</outline>";
  deep += "</body></opml>";
  EXPECT_EQ(import_text(deep), -1);
  std::string many = "<opml><body>";
  for (size_t i = 0; i <= kMaxImportOutlines; ++i) many += "<outline text=\"x\"/>";
  many += "</body></opml>";
  EXPECT_EQ(import_text(many), -1);
  EXPECT_EQ(list.body()->first_child, nullptr);
  EXPECT_FALSE(list.modified());

  // At the bounds it is taken.
  std::string edge = "<opml><body>";
  for (size_t i = 0; i < kMaxImportDepth; ++i) edge += "<outline text=\"f\">";
  edge += "<outline text=\"x\" xmlUrl=\"http://x/\"/>";
  for (size_t i = 0; i < kMaxImportDepth; ++i) edge += "</outline>";
  edge += "</body></opml>";
  EXPECT_EQ(import_text(edge), 0);
  EXPECT_EQ(BuildUpdateList(list)[0].url, "http://x/");
  // Depth counts nesting only: more folders side by side than the depth limit are taken.
  std::string wide = "<opml><body>";
  for (size_t i = 0; i < kMaxImportDepth + 6; ++i) {
    wide += "<outline text=\"f" + std::to_string(i) + "\"><outline text=\"x\" xmlUrl=\"http://w/" +
            std::to_string(i) + "\"/></outline>";
  }
  wide += "</body></opml>";
  EXPECT_EQ(import_text(wide), 0);
  EXPECT_EQ(BuildUpdateList(list).size(), 1 + kMaxImportDepth + 6);

  // A list without body takes nothing.
  ChannelList no_body(XmlDocument::FromMemory("<rss/>"));
  EXPECT_EQ(import_text("<opml><body><outline text=\"a\"/></body></opml>"), 0);
  request.source = folder / "in.opml";
  EXPECT_EQ(ImportOpml(no_body, request, dialogs), -1);

  // Oversized files are refused before they are read.
  ASSERT_TRUE(platform::WriteWholeFile(folder / "big.opml", std::string(kMaxImportBytes + 1, ' ')));
  request.source = folder / "big.opml";
  EXPECT_EQ(ImportOpml(list, request, dialogs), -1);
}

TEST(ExportOpmlTest, WritesTheListAsUtf8) {
  TempFolder folder;
  ChannelList list;
  ScriptedDialogs dialogs;
  ASSERT_NE(AddChannel(list, nullptr, {Sjis(u8"日本"), "", "http://jp/", ""}, dialogs), nullptr);
  EXPECT_EQ(ExportOpml(list, dialogs), -1);  // Cancel
  dialogs.export_path = platform::Utf8ToCp932(folder / u8"書き出し.opml");
  ASSERT_EQ(ExportOpml(list, dialogs), 0);
  std::string saved;
  ASSERT_TRUE(platform::ReadWholeFile(folder / u8"書き出し.opml", &saved));
  EXPECT_NE(saved.find(u8"text = \"日本\""), std::string::npos) << saved;
  dialogs.export_path = platform::Utf8ToCp932(folder / "no/such/folder.opml");
  EXPECT_EQ(ExportOpml(list, dialogs), -1);
}

TEST(ApplyChangesTest, SavesOnOkAndRestoresOnCancel) {
  TempFolder folder;
  const std::string path = folder / kChannelListFile;
  ASSERT_TRUE(platform::WriteWholeFile(path, EmptyChannelListText()));
  ChannelList list;
  ASSERT_TRUE(list.LoadFile(path));
  ScriptedDialogs dialogs;
  EXPECT_EQ(ApplyChanges(list, path, dialogs), ApplyResult::kUnchanged);
  EXPECT_TRUE(dialogs.asked.empty());

  ASSERT_NE(AddChannel(list, nullptr, {"A", "", "http://a/", ""}, dialogs), nullptr);
  dialogs.answers = {true};
  EXPECT_EQ(ApplyChanges(list, path, dialogs), ApplyResult::kSaved);
  ASSERT_EQ(dialogs.asked.size(), 1u);
  EXPECT_EQ(dialogs.asked[0].text, GetChannelText(ChannelText::kChannelListChanged));
  EXPECT_EQ(dialogs.asked[0].caption, "Channel");
  EXPECT_FALSE(list.modified());

  // Cancel: the list is read again from the file.
  ASSERT_NE(AddChannel(list, nullptr, {"B", "", "http://b/", ""}, dialogs), nullptr);
  EXPECT_EQ(ApplyChanges(list, path, dialogs), ApplyResult::kDiscarded);
  EXPECT_FALSE(list.modified());
  const std::vector<Channel> channels = BuildUpdateList(list);
  ASSERT_EQ(channels.size(), 1u);
  EXPECT_EQ(channels[0].url, "http://a/");

  // A failed save keeps the changes in the list.
  ASSERT_NE(AddChannel(list, nullptr, {"C", "", "http://c/", ""}, dialogs), nullptr);
  dialogs.answers = {true};
  EXPECT_EQ(ApplyChanges(list, folder / "no/such/channel.opml", dialogs), ApplyResult::kSaveFailed);
  EXPECT_TRUE(list.modified());
  EXPECT_EQ(BuildUpdateList(list).size(), 2u);
}

TEST(FavouritesTest, CreatedWithFourSitesThenSavedAndReloaded) {
  TempFolder folder;
  ChannelList favourites;
  ASSERT_TRUE(LoadFavourites(folder.path(), &favourites));
  std::string created;
  ASSERT_TRUE(platform::ReadWholeFile(FavouritesPath(folder.path()), &created));
  EXPECT_EQ(created, InitialFavouritesText());
  std::vector<const XmlNode*> sites;
  for (const XmlNode* n = favourites.body()->first_child; n != nullptr; n = n->next) {
    if (IsOutline(n)) sites.push_back(n);
  }
  ASSERT_EQ(sites.size(), 4u);
  for (const XmlNode* site : sites) {
    EXPECT_NE(site->Attribute("text"), nullptr);
    EXPECT_EQ(Text(site, "htmlUrl").rfind("https://", 0), 0u);
    EXPECT_EQ(Text(site, "title"), Text(site, "text"));
  }

  ScriptedDialogs dialogs;
  dialogs.answers = {true};
  ASSERT_TRUE(DeleteOutline(favourites, const_cast<XmlNode*>(sites[0]), dialogs) != nullptr);
  // A selected site stands for its folder: the new site goes next to it, not into it.
  XmlNode* added = AddFavourite(favourites, const_cast<XmlNode*>(sites[1]), Sjis(u8"お気に入り"),
                                "http://fav/", dialogs);
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->parent, favourites.body());
  ASSERT_TRUE(SaveFavourites(folder.path(), &favourites));
  EXPECT_FALSE(favourites.modified());

  ChannelList reloaded;
  ASSERT_TRUE(LoadFavourites(folder.path(), &reloaded));
  EXPECT_EQ(Flatten(reloaded.body()), Flatten(favourites.body()));
  EXPECT_EQ(Flatten(reloaded.body()).size(), 4u);
}

// fav.opml in a form the reader makes nothing of stays as it is when the window saves.
TEST(FavouritesTest, UnreadableFileIsNotReplacedByASave) {
  TempFolder folder;
  const std::string unreadable = "favourites kept by another tool\n";
  ASSERT_TRUE(platform::WriteWholeFile(FavouritesPath(folder.path()), unreadable));
  ChannelList favourites;
  EXPECT_FALSE(LoadFavourites(folder.path(), &favourites));
  EXPECT_FALSE(SaveFavourites(folder.path(), &favourites));
  std::string kept;
  ASSERT_TRUE(platform::ReadWholeFile(FavouritesPath(folder.path()), &kept));
  EXPECT_EQ(kept, unreadable);
}

}  // namespace
}  // namespace korvo
