// The editing operations of the channel and favourites trees.
#include "channels/channel_tree_ops.h"

#include <gtest/gtest.h>

#include <string>

#include "channels/channel_texts.h"
#include "channels/scripted_dialogs.h"
#include "common/temp_folder.h"
#include "platform/code_page.h"
#include "platform/files.h"

namespace korvo {
namespace {

using korvo::testing::ScriptedDialogs;
using korvo::testing::TempFolder;

// body: News (folder: Alpha, Beta, Deep (folder: Gamma)), Solo
ChannelList SampleList() {
  return ChannelList(XmlDocument::FromMemory(
      "<opml version=\"1.0\"><head><title>t</title></head><body>"
      "<outline text=\"News\">"
      "<outline text=\"Alpha\" xmlUrl=\"http://alpha/rss[user]\" authorization=\"basic\"/>"
      "<outline text=\"Beta\" xmlUrl=\"http://beta/\"/>"
      "<outline text=\"Deep\"><outline text=\"Gamma\" xmlUrl=\"http://gamma/\"/></outline>"
      "</outline>"
      "<outline text=\"Solo\" xmlUrl=\"http://solo/\"/>"
      "</body></opml>"));
}

XmlNode* Named(ChannelList& list, const std::string& text) {
  for (XmlNode* node = list.body(); node != nullptr; node = NextInDocumentOrder(node, nullptr)) {
    if (IsOutline(node) && node->Attribute("text") != nullptr && *node->Attribute("text") == text)
      return node;
  }
  return nullptr;
}

std::string ChildNames(const XmlNode* folder) {
  std::string names;
  for (const XmlNode* child = folder->first_child; child != nullptr; child = child->next) {
    if (!IsOutline(child)) continue;
    if (!names.empty()) names += ",";
    names += *child->Attribute("text");
  }
  return names;
}

TEST(InsertionFolderTest, SelectedFolderOrItsHolderOrBody) {
  ChannelList list = SampleList();
  EXPECT_EQ(InsertionFolder(list, nullptr), list.body());
  EXPECT_EQ(InsertionFolder(list, list.body()), list.body());
  EXPECT_EQ(InsertionFolder(list, Named(list, "News")), Named(list, "News"));
  EXPECT_EQ(InsertionFolder(list, Named(list, "Gamma")), Named(list, "Deep"));
  EXPECT_EQ(InsertionFolder(list, Named(list, "Solo")), list.body());
}

TEST(AddChannelTest, AddsOrAsksBeforeOverwritingTheSameTitle) {
  ChannelList list = SampleList();
  ScriptedDialogs dialogs;
  FeedInformation feed{"Delta", "http://delta.site/", "http://delta/rss", "about delta"};
  XmlNode* added = AddChannel(list, Named(list, "Beta"), feed, dialogs);
  ASSERT_NE(added, nullptr);
  EXPECT_TRUE(dialogs.asked.empty());
  EXPECT_TRUE(list.modified());
  EXPECT_EQ(added->parent, Named(list, "News"));
  EXPECT_EQ(ChildNames(Named(list, "News")), "Alpha,Beta,Deep,Delta");
  ASSERT_EQ(added->attributes.size(), 6u);
  const char* order[] = {"text", "type", "xmlUrl", "htmlUrl", "description", "title"};
  for (size_t i = 0; i < 6; ++i) EXPECT_EQ(added->attributes[i].name, order[i]);
  EXPECT_EQ(*added->Attribute("type"), "rss");
  EXPECT_EQ(*added->Attribute("title"), "Delta");

  // Missing title or address: nothing.
  EXPECT_EQ(AddChannel(list, nullptr, {"", "", "http://x/", ""}, dialogs), nullptr);
  EXPECT_EQ(AddChannel(list, nullptr, {"X", "", "", ""}, dialogs), nullptr);

  // The same title, Cancel: nothing changes.
  ChannelList untouched = SampleList();
  const std::string before = untouched.document().Write();
  ScriptedDialogs cancel;
  EXPECT_EQ(
      AddChannel(untouched, Named(untouched, "Alpha"), {"Beta", "", "http://beta2/", "d"}, cancel),
      nullptr);
  ASSERT_EQ(cancel.asked.size(), 1u);
  EXPECT_EQ(cancel.asked[0].text,
            FormatText(GetChannelText(ChannelText::kSameItemOverwrite), "Beta"));
  EXPECT_EQ(cancel.asked[0].caption, "KorvoNewsReader");
  EXPECT_EQ(untouched.document().Write(), before);
  EXPECT_FALSE(untouched.modified());

  // OK: the address is set, site and description only when given.
  dialogs.answers = {true};
  XmlNode* beta = AddChannel(list, Named(list, "News"), {"Beta", "", "http://beta2/", ""}, dialogs);
  ASSERT_EQ(beta, Named(list, "Beta"));
  EXPECT_EQ(*beta->Attribute("xmlUrl"), "http://beta2/");
  EXPECT_EQ(beta->Attribute("htmlUrl"), nullptr);
  EXPECT_EQ(ChildNames(Named(list, "News")), "Alpha,Beta,Deep,Delta");

  // Re-adding the same feed keeps its request options (the part after "[").
  dialogs.answers = {true};
  XmlNode* alpha = AddChannel(list, Named(list, "News"),
                              {"Alpha", "http://a/", "http://alpha/rss", ""}, dialogs);
  ASSERT_NE(alpha, nullptr);
  EXPECT_EQ(*alpha->Attribute("xmlUrl"), "http://alpha/rss[user]");
  EXPECT_EQ(*alpha->Attribute("authorization"), "basic");
  EXPECT_EQ(*alpha->Attribute("htmlUrl"), "http://a/");

  // A title with a line break is stored on one line.
  XmlNode* broken = AddChannel(list, nullptr, {"two\nlines", "", "http://two/", ""}, dialogs);
  ASSERT_NE(broken, nullptr);
  EXPECT_EQ(*broken->Attribute("text"), "two lines");
}

TEST(AddFavouriteTest, AddsOrOverwritesTheAddress) {
  ChannelList favourites(ChannelList::Kind::kFavourites);
  ScriptedDialogs dialogs;
  XmlNode* site = AddFavourite(favourites, nullptr, "Site", "http://site/", dialogs);
  ASSERT_NE(site, nullptr);
  ASSERT_EQ(site->attributes.size(), 3u);
  EXPECT_EQ(site->attributes[0].name, "text");
  EXPECT_EQ(site->attributes[1].name, "htmlUrl");
  EXPECT_EQ(site->attributes[2].name, "title");

  dialogs.answers = {false, true};
  EXPECT_EQ(AddFavourite(favourites, nullptr, "Site", "http://other/", dialogs), nullptr);
  EXPECT_EQ(*site->Attribute("htmlUrl"), "http://site/");
  EXPECT_EQ(AddFavourite(favourites, site, "Site", "http://other/", dialogs), site);
  EXPECT_EQ(*site->Attribute("htmlUrl"), "http://other/");
  ASSERT_EQ(dialogs.asked.size(), 2u);
  EXPECT_EQ(dialogs.asked[0].text,
            FormatText(GetChannelText(ChannelText::kSameSiteOverwrite), "Site"));
}

TEST(PropertiesTest, NewAndEditedOutlinesKeepWhatTheDialogDoesNotShow) {
  ChannelList list = SampleList();
  OutlineProperties folder;
  folder.text = "Folder";
  folder.noInherit = true;
  folder.drop = true;
  folder.keyword = "a OR b";
  folder.hitDb = "noadd";
  folder.filterOn = true;
  folder.ttl = 15;
  XmlNode* created = AddWithProperties(list, nullptr, folder);
  ASSERT_NE(created, nullptr);
  EXPECT_EQ(created->parent, list.body());
  EXPECT_EQ(*created->Attribute("NoInherit"), "true");
  EXPECT_EQ(*created->Attribute("ttl"), "15");
  EXPECT_EQ(created->Attribute("xmlUrl"), nullptr);
  EXPECT_TRUE(IsFolderOutline(created));
  EXPECT_EQ(AddWithProperties(list, nullptr, OutlineProperties()), nullptr);

  // Editing rewrites every edited attribute and keeps the others (itemttl, NoAddToDb, ...).
  XmlNode* beta = Named(list, "Beta");
  beta->SetAttribute("itemttl", "24");
  beta->SetAttribute("overwrite_siteurl", "1");
  beta->SetAttribute("Drop", "true");
  OutlineProperties edited = PropertiesFromAttributes(AttributesOf(*beta));
  edited.text = "Beta 2";
  edited.drop = false;
  edited.authorization = "POST x=1";
  EditProperties(list, beta, edited);
  EXPECT_EQ(*beta->Attribute("text"), "Beta 2");
  EXPECT_EQ(*beta->Attribute("title"), "Beta 2");
  EXPECT_EQ(beta->Attribute("Drop"), nullptr);
  EXPECT_EQ(*beta->Attribute("authorization"), "POST x=1");
  EXPECT_EQ(*beta->Attribute("itemttl"), "24");
  EXPECT_EQ(*beta->Attribute("overwrite_siteurl"), "1");
  EXPECT_EQ(*beta->Attribute("xmlUrl"), "http://beta/");

  EditFavouriteProperties(list, beta, "Fav", "");
  EXPECT_EQ(beta->Attribute("htmlUrl"), nullptr);
  EditFavouriteProperties(list, beta, "Fav", "http://fav/");
  EXPECT_EQ(*beta->Attribute("htmlUrl"), "http://fav/");
  EXPECT_EQ(*beta->Attribute("title"), "Fav");
}

TEST(DeleteOutlineTest, AsksByKindAndRemovesTheSubtree) {
  ChannelList list = SampleList();
  ScriptedDialogs dialogs;
  EXPECT_EQ(DeleteOutline(list, Named(list, "Deep"), dialogs), nullptr);  // Cancel
  ASSERT_EQ(dialogs.asked.size(), 1u);
  EXPECT_EQ(dialogs.asked[0].text, FormatText(GetChannelText(ChannelText::kDeleteFolder), "Deep"));
  EXPECT_EQ(dialogs.asked[0].caption, GetChannelText(ChannelText::kConfirmCaption));
  EXPECT_NE(Named(list, "Gamma"), nullptr);
  EXPECT_FALSE(list.modified());

  dialogs.answers = {true, true};
  EXPECT_EQ(DeleteOutline(list, Named(list, "Deep"), dialogs), Named(list, "News"));
  EXPECT_EQ(Named(list, "Gamma"), nullptr);
  EXPECT_EQ(DeleteOutline(list, Named(list, "Solo"), dialogs), list.body());
  EXPECT_EQ(dialogs.asked[2].text, FormatText(GetChannelText(ChannelText::kDeleteItem), "Solo"));
  EXPECT_TRUE(list.modified());
  EXPECT_EQ(DeleteOutline(list, list.body(), dialogs), nullptr);
  EXPECT_EQ(BuildUpdateList(list).size(), 2u);
}

TEST(MoveOutlineTest, MovesToTheTargetFolderAndRefusesLoops) {
  ChannelList list = SampleList();
  XmlNode* news = Named(list, "News");
  XmlNode* deep = Named(list, "Deep");
  XmlNode* solo = Named(list, "Solo");
  // Refusals: no target, body, itself, its own folder, a folder into itself or below.
  EXPECT_FALSE(MoveOutline(list, solo, nullptr));
  EXPECT_FALSE(MoveOutline(list, solo, list.body()));
  EXPECT_FALSE(MoveOutline(list, solo, solo));
  EXPECT_FALSE(MoveOutline(list, Named(list, "Alpha"), Named(list, "Beta")));
  EXPECT_FALSE(MoveOutline(list, news, deep));
  EXPECT_FALSE(MoveOutline(list, news, Named(list, "Gamma")));
  EXPECT_FALSE(list.modified());

  // A channel dropped on a channel goes to that channel's folder, at the end.
  EXPECT_TRUE(MoveOutline(list, solo, Named(list, "Gamma")));
  EXPECT_EQ(solo->parent, deep);
  EXPECT_EQ(ChildNames(deep), "Gamma,Solo");
  EXPECT_TRUE(list.modified());
  // A folder moved into a folder keeps its contents.
  OutlineProperties other;
  other.text = "Other";
  XmlNode* target = AddWithProperties(list, nullptr, other);
  EXPECT_TRUE(MoveOutline(list, deep, target));
  EXPECT_EQ(ChildNames(target), "Deep");
  EXPECT_EQ(ChildNames(deep), "Gamma,Solo");
  EXPECT_EQ(ChildNames(news), "Alpha,Beta");
  EXPECT_EQ(BuildUpdateList(list).size(), 4u);
}

TEST(TreeOpsTest, AddsToAListThatHadNoBodyOnlyAfterOneIsMade) {
  ChannelList list(XmlDocument::FromMemory("<opml><head/></opml>"));
  ScriptedDialogs dialogs;
  EXPECT_EQ(AddChannel(list, nullptr, {"A", "", "http://a/", ""}, dialogs), nullptr);
  ASSERT_NE(list.EnsureBody(), nullptr);
  EXPECT_NE(AddChannel(list, nullptr, {"A", "", "http://a/", ""}, dialogs), nullptr);
}

}  // namespace
}  // namespace korvo
