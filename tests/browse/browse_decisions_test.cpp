// The browser tabs' navigation rules and feed state, the tree windows' labels and the
// favourites menu, the worker thread and the update dialog's wait.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

#include "browse/favourites_menu.h"
#include "browse/list_worker.h"
#include "browse/outline_tree.h"
#include "browse/tab_navigation.h"
#include "browse/update_wait.h"
#include "channels/channel_tree_ops.h"
#include "feed/xml_document.h"
#include "platform/code_page.h"

namespace korvo::testing {
namespace {

TEST(TabNavigationTest, CommandsNewTabsAndForeignFilePages) {
  const std::string own = OwnPagesPrefix("C:/Users/me/korvo");
  EXPECT_EQ(own, "file:///C:/Users/me/korvo/");
  const struct {
    const char* address;
    const char* target;
    TabNavigation expected;
  } cases[] = {
      {"http://example.com/", "", TabNavigation::kGo},
      {"about:blank", "", TabNavigation::kGo},
      {"about:RssAtomFile", "", TabNavigation::kAddFeed},
      {"ABOUT:rssatomfile", "", TabNavigation::kAddFeed},
      {"http://example.com/x", "_BLANK", TabNavigation::kOpenInNewTab},
      {"http://example.com/x", "_blank", TabNavigation::kOpenInNewTab},
      {"http://example.com/x", "main", TabNavigation::kGo},
      {"file:///C:/Users/me/korvo/checkedurl.html", "", TabNavigation::kGo},
      {"file://c:\\users\\ME\\korvo\\checkedurl.html", "", TabNavigation::kGo},
      {"file:///C:/Users/me/korvo/../secret.txt", "", TabNavigation::kCancel},
      {"file:///C:/Users/me/korvo%2e%2e/x", "", TabNavigation::kCancel},
      {"file:///C:/Windows/win.ini", "", TabNavigation::kCancel},
      {"FILE:///C:/Users/me/korvoX/a.html", "", TabNavigation::kCancel},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecideTabNavigation(c.address, c.target, own), c.expected) << c.address;
  }
  EXPECT_TRUE(IsWebAddress("HTTPS://a"));
  EXPECT_FALSE(IsWebAddress("file:///C:/a"));
  EXPECT_FALSE(IsWebAddress("javascript:alert(1)"));
}

TEST(TabNavigationTest, FeedsOfTheCurrentPageOnly) {
  TabFeeds feeds;
  feeds.Started(5);
  feeds.FeedFound(4, "http://old/rss");  // an older page of the tab
  feeds.FeedFound(5, "http://a/rss");
  feeds.FeedFound(5, "http://a/rss");
  feeds.FeedFound(5, "http://a/atom");
  EXPECT_EQ(feeds.feeds(), (std::vector<std::string>{"http://a/rss", "http://a/atom"}));
  EXPECT_FALSE(feeds.page_is_feed());
  feeds.Started(6);
  EXPECT_FALSE(feeds.has_feed());
  feeds.FeedFound(6, "http://b/feed");
  feeds.PageIsFeed(6, {"B", "http://b/", "about b"});
  EXPECT_TRUE(feeds.page_is_feed());
  EXPECT_EQ(feeds.summary().title, "B");
}

TEST(TabNavigationTest, TitlesAreCutToTheTabWidth) {
  const auto width = [](const std::u16string& s) { return static_cast<int>(s.size()) * 10; };
  EXPECT_EQ(FitTabTitle(u"short", 150, width), u"short");
  EXPECT_EQ(FitTabTitle(u"abcdefghijklmnopqrstuvwxyz", 150, width), u"abcdefghijkl...");
  // A surrogate pair is never split.
  EXPECT_EQ(FitTabTitle(u"abcdefghijk\U0001F600zzzzzz", 150, width), u"abcdefghijk...");
}

ChannelList ListOf(const std::string& body, ChannelList::Kind kind) {
  const std::string text =
      "<?xml version=\"1.0\"?><opml version=\"1.0\"><head/><body>" + body + "</body></opml>";
  return ChannelList(XmlDocument::FromMemory(text), kind);
}

TEST(OutlineTreeTest, LabelsChildrenAndDrops) {
  ChannelList list = ListOf(
      "<outline text=\"News\"><outline text=\"A\" xmlUrl=\"http://a/rss\" disable=\"true\"/>"
      "<outline title=\"B\" xmlUrl=\"http://b/rss\"/></outline>"
      "<outline xmlUrl=\"http://c/rss\"/><outline text=\"Empty\"/>",
      ChannelList::Kind::kChannels);
  const std::vector<OutlineEntry> top = OutlineChildren(list, nullptr);
  ASSERT_EQ(top.size(), 3u);
  EXPECT_EQ(top[0].label, "News");
  EXPECT_TRUE(top[0].folder);
  EXPECT_EQ(top[1].label, "http://c/rss");
  EXPECT_TRUE(top[2].folder);  // no address: a folder, even empty
  const std::vector<OutlineEntry> inner = OutlineChildren(list, top[0].node);
  ASSERT_EQ(inner.size(), 2u);
  EXPECT_TRUE(inner[0].disabled);
  EXPECT_EQ(inner[1].label, "B");
  EXPECT_EQ(TreeRootLabel(list), platform::Utf8ToCp932(u8"すべてのチャンネル"));

  EXPECT_TRUE(MayMoveOutline(list, top[1].node, inner[0].node));     // onto a channel: its folder
  EXPECT_FALSE(MayMoveOutline(list, inner[0].node, inner[1].node));  // already there
  EXPECT_FALSE(MayMoveOutline(list, top[0].node, list.body()));
  EXPECT_FALSE(MayMoveOutline(list, top[0].node, inner[1].node));  // into itself
  EXPECT_TRUE(MayMoveOutline(list, inner[1].node, top[2].node));
}

TEST(FavouritesMenuTest, FoldersBecomeSubmenusAndSitesCommands) {
  ChannelList favourites = ListOf(
      "<outline text=\"Search\" htmlUrl=\"https://s.example/\"/>"
      "<outline text=\"Dev\"><outline text=\"A&amp;B\" htmlUrl=\"http://ab/\"/>"
      "<outline text=\"Empty\"/></outline><outline text=\"NoAddress\" title=\"x\"/>",
      ChannelList::Kind::kFavourites);
  const std::vector<FavouriteMenuEntry> menu = BuildFavouritesMenu(favourites);
  using K = FavouriteMenuEntry::Kind;
  ASSERT_EQ(menu.size(), 4u);
  EXPECT_EQ(menu[0].kind, K::kSite);
  EXPECT_EQ(menu[0].command, kFirstFavouriteCommand);
  EXPECT_EQ(menu[1].kind, K::kFolderStart);
  EXPECT_EQ(menu[1].label, "Dev");
  EXPECT_EQ(menu[2].label, "A&&B");
  EXPECT_EQ(menu[2].command, kFirstFavouriteCommand + 1);
  EXPECT_EQ(menu[3].kind, K::kFolderEnd);
  EXPECT_EQ(FavouriteForCommand(menu, kFirstFavouriteCommand + 1), "http://ab/");
  EXPECT_EQ(FavouriteForCommand(menu, kFirstFavouriteCommand + 2), "");
}

TEST(FavouritesMenuTest, HugeAndDeepListsAreBounded) {
  std::string body;
  for (int i = 0; i < 200; ++i) body += "<outline text=\"f\">";
  for (int i = 0; i < 1500; ++i) body += "<outline text=\"s\" htmlUrl=\"http://s/\"/>";
  for (int i = 0; i < 200; ++i) body += "</outline>";
  const std::vector<FavouriteMenuEntry> menu =
      BuildFavouritesMenu(ListOf(body, ChannelList::Kind::kFavourites));
  EXPECT_TRUE(menu.empty());  // sites deeper than 64 levels are not walked
  body.clear();
  for (int i = 0; i < 20; ++i) body += "<outline text=\"f\">";
  for (int i = 0; i < 1500; ++i) body += "<outline text=\"s\" htmlUrl=\"http://s/\"/>";
  for (int i = 0; i < 20; ++i) body += "</outline>";
  const std::vector<FavouriteMenuEntry> bounded =
      BuildFavouritesMenu(ListOf(body, ChannelList::Kind::kFavourites));
  int sites = 0;
  int depth = 0;
  int deepest = 0;
  for (const auto& entry : bounded) {
    if (entry.kind == FavouriteMenuEntry::Kind::kSite) ++sites;
    if (entry.kind == FavouriteMenuEntry::Kind::kFolderStart) deepest = std::max(deepest, ++depth);
    if (entry.kind == FavouriteMenuEntry::Kind::kFolderEnd) --depth;
  }
  EXPECT_EQ(sites, kMaxFavouriteEntries);
  EXPECT_EQ(deepest, kMaxFavouriteDepth);
  EXPECT_EQ(depth, 0);
}

TEST(ListWorkerTest, NewerJobsSupersedeOlderOnes) {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<uint64_t> done;
  ListWorker worker([&](uint64_t generation) {
    std::lock_guard<std::mutex> lock(mutex);
    done.push_back(generation);
    changed.notify_all();
  });
  std::mutex gate_mutex;
  std::condition_variable gate;
  bool open = false;
  // The first job waits until it is cancelled by the second.
  const uint64_t first = worker.Start([&](const std::atomic<bool>& cancel, std::vector<ListRow>*) {
    std::unique_lock<std::mutex> lock(gate_mutex);
    gate.wait(lock, [&] { return open; });
    return !cancel.load();
  });
  const uint64_t second = worker.Start([](const std::atomic<bool>&, std::vector<ListRow>* rows) {
    rows->resize(3);
    return true;
  });
  {
    std::lock_guard<std::mutex> lock(gate_mutex);
    open = true;
  }
  gate.notify_all();
  std::unique_lock<std::mutex> lock(mutex);
  ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(10),
                               [&] { return !done.empty() && done.back() == second; }));
  EXPECT_EQ(std::count(done.begin(), done.end(), first), 0);  // its rows were dropped
  std::vector<ListRow> rows;
  bool complete = false;
  EXPECT_FALSE(worker.Take(first, &rows, &complete));
  ASSERT_TRUE(worker.Take(second, &rows, &complete));
  EXPECT_TRUE(complete);
  EXPECT_EQ(rows.size(), 3u);
  EXPECT_FALSE(worker.Take(second, &rows, &complete));  // taken once
}

TEST(UpdateWaitTest, FinishesAfterTheRunAskedForAndTimesOut) {
  const UpdateWait wait(5, 1000);  // five runs had begun when the update was asked for
  EXPECT_EQ(wait.Poll(4, 1100), UpdateWait::State::kWaiting);  // the run going then ends first
  EXPECT_EQ(wait.Poll(5, 1200), UpdateWait::State::kWaiting);
  EXPECT_EQ(wait.Poll(6, 1300), UpdateWait::State::kFinished);
  EXPECT_EQ(wait.Poll(5, 1000 + UpdateWait::kTimeoutMs), UpdateWait::State::kTimedOut);
}

}  // namespace
}  // namespace korvo::testing
