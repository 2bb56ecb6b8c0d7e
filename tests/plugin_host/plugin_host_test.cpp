#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "plugin_host/item_snapshot.h"
#include "plugin_host/plugin_dispatch.h"
#include "plugin_host/plugin_notification_dispatcher.h"

namespace korvo {
namespace {

// What the fake plug-in's exports saw.
std::string g_query;
std::vector<char*> g_released;
char g_answer[] = "HTTP/1.1 200 OK\n\nplug-in";

int Handler(const char* query, char** answer) {
  g_query = query;
  *answer = g_answer;
  return 7;
}
void Release(char* answer) { g_released.push_back(answer); }

class FakeHost : public PluginHostBase {
 public:
  bool loaded() const override { return loaded_; }
  PluginRequestHandler request_handler() const override { return handler_; }
  PluginReleaseFunction release_function() const override { return release_; }
  uint32_t send_mask() const override { return send_; }
  uint32_t post_mask() const override { return post_; }
  intptr_t SendNotification(int code, intptr_t first, intptr_t second) override {
    sent.push_back({code, first, second});
    return answer;
  }
  void PostNotification(int code, intptr_t first, intptr_t second) override {
    posted.push_back({code, first, second});
  }

  struct Call {
    int code;
    intptr_t first;
    intptr_t second;
  };
  bool loaded_ = true;
  PluginRequestHandler handler_ = Handler;
  PluginReleaseFunction release_ = Release;
  uint32_t send_ = 0;
  uint32_t post_ = 0;
  intptr_t answer = -1;
  std::vector<Call> sent;
  std::vector<Call> posted;
};

class PluginDispatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_query.clear();
    g_released.clear();
  }
  void TearDown() override { PluginDispatch(kDispatchSetHost, 0, 0); }
  static intptr_t Set(FakeHost* host) {
    return PluginDispatch(kDispatchSetHost, reinterpret_cast<intptr_t>(host), 0);
  }
};

TEST_F(PluginDispatchTest, WithoutALoadedPluginEveryCodeAnswersZeroAndCallsNothing) {
  char* answer = nullptr;
  for (int code : {-3, -2, 0, 5, 7, 17, 31, 32, -4}) {
    EXPECT_EQ(
        PluginDispatch(code, reinterpret_cast<intptr_t>("q"), reinterpret_cast<intptr_t>(&answer)),
        0)
        << code;
  }
  FakeHost host;
  host.loaded_ = false;
  host.send_ = host.post_ = 0xFFFFFFFF;
  EXPECT_EQ(Set(&host), 0);
  EXPECT_EQ(CurrentPluginHost(), &host);
  for (int code : {-3, -2, 0, 5}) EXPECT_EQ(PluginDispatch(code, 0, 0), 0);
  EXPECT_TRUE(host.sent.empty());
  EXPECT_TRUE(host.posted.empty());
  EXPECT_TRUE(g_query.empty());
  EXPECT_EQ(answer, nullptr);
}

TEST_F(PluginDispatchTest, RequestsAndReleasesGoToTheExportsOrFailWithoutThem) {
  FakeHost host;
  Set(&host);
  char* answer = nullptr;
  EXPECT_EQ(PluginDispatch(kDispatchRequest, reinterpret_cast<intptr_t>("cmd=get&file=index"),
                           reinterpret_cast<intptr_t>(&answer)),
            7);
  EXPECT_EQ(g_query, "cmd=get&file=index");
  EXPECT_EQ(answer, g_answer);
  EXPECT_EQ(PluginDispatch(kDispatchRelease, reinterpret_cast<intptr_t>(answer), 0), 0);
  ASSERT_EQ(g_released.size(), 1u);
  EXPECT_EQ(g_released[0], g_answer);

  host.handler_ = nullptr;
  host.release_ = nullptr;
  EXPECT_EQ(PluginDispatch(kDispatchRequest, reinterpret_cast<intptr_t>("x"),
                           reinterpret_cast<intptr_t>(&answer)),
            -1);
  EXPECT_EQ(PluginDispatch(kDispatchRelease, reinterpret_cast<intptr_t>(answer), 0), -1);
  EXPECT_EQ(g_released.size(), 1u);
}

TEST_F(PluginDispatchTest, NotificationsArePostedBeforeSentAndOnlyWithTheirBit) {
  FakeHost host;
  host.send_ = 0xA0;                   // 5 and 7
  host.post_ = (1u << 7) | (1u << 9);  // 7 is in both: posted
  host.answer = -1;
  Set(&host);
  EXPECT_EQ(PluginDispatch(kNtSwitchList, 11, 22), -1);  // sent: the window's answer
  EXPECT_EQ(PluginDispatch(kNtSize, 3, 4), 0);           // posted
  EXPECT_EQ(PluginDispatch(kNtMove, 0, 0), 0);           // posted
  EXPECT_EQ(PluginDispatch(kNtpCopyUrl, 0, 0), 0);       // in neither mask
  EXPECT_EQ(PluginDispatch(32, 0, 0), 0);                // not a notification
  ASSERT_EQ(host.sent.size(), 1u);
  EXPECT_EQ(host.sent[0].code, 5);
  EXPECT_EQ(host.sent[0].first, 11);
  EXPECT_EQ(host.sent[0].second, 22);
  ASSERT_EQ(host.posted.size(), 2u);
  EXPECT_EQ(host.posted[0].code, 7);
  EXPECT_EQ(host.posted[1].code, 9);

  EXPECT_EQ(DeliveryFor(31, 0x80000000u, 0), NotificationDelivery::kSend);
  EXPECT_EQ(DeliveryFor(31, 0x80000000u, 0x80000000u), NotificationDelivery::kPost);
  EXPECT_EQ(DeliveryFor(-1, 0xFFFFFFFFu, 0), NotificationDelivery::kNone);
}

// Records the text a notification's first argument points to while the call lasts.
class LinkRecordingHost : public FakeHost {
 public:
  intptr_t SendNotification(int code, intptr_t first, intptr_t second) override {
    const auto* text = reinterpret_cast<const char*>(first);
    links.push_back(text == nullptr ? "(none)" : text);
    return FakeHost::SendNotification(code, first, second);
  }
  std::vector<std::string> links;
};

TEST_F(PluginDispatchTest, EngineNotificationsCarryTheLinkAndOnlyBeforeCodesVeto) {
  PluginNotificationDispatcher engine_side;
  EXPECT_EQ(engine_side.Notify(kNtpClickItem, "http://a/"), 0);  // no plug-in: nothing cancelled

  LinkRecordingHost host;
  host.send_ = 0xFFFFFFFFu;
  host.answer = -1;
  Set(&host);
  struct Case {
    int code;
    const char* link;
    const char* handed;
    int expected;
  } cases[] = {
      {kNtpClickItem, "http://a/?q=1&r=2", "http://a/?q=1&r=2", NotificationDispatcher::kVeto},
      {kNtClickItem, "http://a/", "http://a/", 0},  // an "after" code never vetoes
      {kNtpForwardItem, "", "(none)", NotificationDispatcher::kVeto},
      {kNtpCopyUrl, "http://b/", "http://b/", NotificationDispatcher::kVeto},
  };
  for (const Case& c : cases) {
    // The view is cut from a longer text: the plug-in gets a zero-terminated copy of the view.
    const std::string longer = std::string(c.link) + "TAIL";
    const std::string_view view(longer.data(), longer.size() - 4);
    EXPECT_EQ(engine_side.Notify(c.code, view), c.expected) << c.code;
    ASSERT_FALSE(host.links.empty());
    EXPECT_EQ(host.links.back(), c.handed);
  }
  EXPECT_EQ(host.links.size(), std::size(cases));
  host.answer = 0;
  EXPECT_EQ(engine_side.Notify(kNtpClickItem, "http://a/"), 0);
}

// A shown list the test sets.
class FakeSource : public ShownItemSource {
 public:
  std::vector<TickerItem> ShownItems() const override { return items; }
  bool CurrentItem(TickerItem* item) const override {
    if (items.size() < 2) return false;
    *item = items[1];
    return true;
  }
  std::vector<TickerItem> items;
};

class ItemSnapshotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    source_ = std::make_shared<FakeSource>();
    TickerItem a;
    a.title = "A";
    a.link = "http://127.0.0.1/a";
    a.site_name = "S";
    a.id = 12;
    a.state = TickerItem::kAdded | TickerItem::kRead;
    a.enclosure_url = "http://127.0.0.1/a.mp3";
    a.enclosure_size = "99";
    a.enclosure_type = "audio/mpeg";
    a.media.push_back(MediaRef{"http://127.0.0.1/b.jpg", "10 20", "thumb!image/jpeg"});
    TickerItem b;
    b.title = "B";
    b.id = -2;
    b.hidden = true;
    b.hide_once_opened = true;
    source_->items = {a, b};
    SetShownItemSource(source_);
  }
  void TearDown() override {
    SetShownItemSource(nullptr);
    ReleaseAllItemSnapshots();
  }
  std::shared_ptr<FakeSource> source_;
};

TEST_F(ItemSnapshotTest, ListsAreCopiesInListOrderUntilGivenBack) {
  PluginItem* list = ItemListSnapshot(nullptr);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(OutstandingItemSnapshots(), 1u);
  source_->items.clear();  // the copy does not change with the list
  EXPECT_STREQ(list->title, "A");
  EXPECT_STREQ(list->site_name, "S");
  EXPECT_EQ(list->site_link, nullptr);  // absent texts are null
  EXPECT_EQ(list->date, nullptr);
  EXPECT_EQ(list->reserved_text, nullptr);
  EXPECT_STREQ(list->enclosure_type, "audio/mpeg");
  EXPECT_EQ(list->state, 0x9u);
  EXPECT_EQ(list->id, 12);
  EXPECT_EQ(list->dropped, 0);
  const PluginItem* b = list->next;
  ASSERT_NE(b, nullptr);
  EXPECT_STREQ(b->title, "B");
  EXPECT_EQ(b->id, -1);  // no record
  EXPECT_EQ(b->dropped, 1);
  EXPECT_EQ(b->hide_once_opened, 1);
  EXPECT_EQ(b->next, nullptr);

  EXPECT_EQ(ItemListSnapshot(list), nullptr);
  EXPECT_EQ(OutstandingItemSnapshots(), 0u);
  EXPECT_EQ(ItemListSnapshot(nullptr), nullptr);  // the list is empty now
  PluginItem unknown{};
  EXPECT_EQ(ItemListSnapshot(&unknown), nullptr);  // not ours: ignored
}

TEST_F(ItemSnapshotTest, EnclosureFormCarriesItsSizeAndFurtherEnclosures) {
  PluginItemEx* list = ItemListSnapshotEx(nullptr);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->size, sizeof(PluginItemEx));
  EXPECT_STREQ(list->enclosure_url, "http://127.0.0.1/a.mp3");
  ASSERT_EQ(list->further_count, 1u);
  EXPECT_STREQ(list->further[0].url, "http://127.0.0.1/b.jpg");
  EXPECT_STREQ(list->further[0].size, "10 20");
  EXPECT_STREQ(list->further[0].type, "thumb!image/jpeg");
  ASSERT_NE(list->next, nullptr);
  EXPECT_EQ(list->next->further, nullptr);
  EXPECT_EQ(list->next->further_count, 0u);

  // The current item is a list of one, given back through the list operation.
  PluginItemEx* current = CurrentItemSnapshotEx();
  ASSERT_NE(current, nullptr);
  EXPECT_STREQ(current->title, "B");
  EXPECT_EQ(current->next, nullptr);
  PluginItem* plain_current = CurrentItemSnapshot();
  ASSERT_NE(plain_current, nullptr);
  EXPECT_EQ(OutstandingItemSnapshots(), 3u);
  ItemListSnapshotEx(current);
  ItemListSnapshot(plain_current);
  ItemListSnapshotEx(list);
  EXPECT_EQ(OutstandingItemSnapshots(), 0u);

  SetShownItemSource(nullptr);
  EXPECT_EQ(ItemListSnapshotEx(nullptr), nullptr);
  EXPECT_EQ(CurrentItemSnapshot(), nullptr);
}

}  // namespace
}  // namespace korvo
