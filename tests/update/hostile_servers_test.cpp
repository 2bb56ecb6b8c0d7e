// Whole update runs (real fetcher, parser and store) against twenty kinds of hostile server
// beside well-behaved channels: no run stalls, every good item is stored and shown once, and
// what the hostile servers do costs only their own channels.
#include "common/hostile_servers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "common/http_test_server.h"
#include "common/temp_folder.h"
#include "feed/item_extraction.h"
#include "platform/code_page.h"
#include "store/database_guard.h"
#include "ticker/ticker_lists.h"
#include "update/item_record.h"
#include "update/update_cycle.h"

namespace korvo {
namespace {

using testing::HostileAnswer;
using testing::HttpTestRequest;
using testing::HttpTestResponse;
using testing::HttpTestServer;

constexpr int kGoodChannels = 8;
constexpr int kGoodItems = 15;

TEST(HostileServers, NoRunStallsAndNoGoodItemIsLostOrRepeated) {
  std::atomic<int> run{0};
  HttpTestServer server([&run](const HttpTestRequest& request) {
    const std::string& path = request.path;
    if (path.rfind("/hostile/", 0) == 0) return HostileAnswer(std::stoi(path.substr(9)), run);
    if (path.rfind("/good/", 0) == 0) {
      return HttpTestResponse::Text(testing::GoodFeed(std::stoi(path.substr(6)), kGoodItems),
                                    "application/rss+xml");
    }
    return HttpTestResponse::Status(404);
  });
  ASSERT_TRUE(server.Start());

  testing::TempFolder folder;
  DatabaseGuard holder(folder.path());
  std::vector<Channel> channels;
  UpdateRequest request;
  request.forced = true;
  // Hostile and good channels alternate, so the stalling ones come first in line.
  for (int i = 0; i < testing::kHostileKindCount; ++i) {
    Channel hostile;
    hostile.url = server.Url("/hostile/" + std::to_string(i));
    hostile.title = testing::HostileKindName(i);
    channels.push_back(hostile);
    if (i < kGoodChannels) {
      Channel good;
      good.url = server.Url("/good/" + std::to_string(i));
      good.title = "good " + std::to_string(i);
      channels.push_back(good);
    }
  }
  for (const Channel& channel : channels) request.jobs.push_back({channel.url, 0});

  UpdateCycle::Options options;
  options.working_folder = folder.path();
  options.fetch_context.working_folder = folder.path();
  options.fetch_context.settings.time_out = 1;  // a deadline of 4 s, workers left at 5 s
  options.parser = [](std::string_view body, const ChannelContext& channel, ItemList* items) {
    ParseFeedBytes(body, channel, items);
  };
  options.channels = [channels] { return channels; };
  auto ticker = std::make_shared<TickerLists>(folder.path());
  options.ticker = ticker;
  UpdateCycle cycle(options);

  for (int r = 0; r < 2; ++r) {
    run = r;
    const auto start = std::chrono::steady_clock::now();
    const RunReport report = cycle.Execute(request);
    const auto took = std::chrono::steady_clock::now() - start;
    // Five stalling kinds, four workers: at most two worker limits, whatever the servers do.
    EXPECT_LT(took, std::chrono::seconds(12)) << "run " << r << ": " << FormatRunReport(report);
    EXPECT_TRUE(report.processed) << r;
    EXPECT_FALSE(report.merge.aborted) << r;
  }

  // The store: every good item once; no record listed twice.
  std::map<std::string, int> titles;
  {
    ScopedDatabase db(holder);
    ASSERT_TRUE(db);
    std::set<uint32_t> numbers;
    for (const IndexEntry& entry : db->ReadIndex(NewsDatabase::kDayIndex)) {
      EXPECT_TRUE(numbers.insert(entry.number).second) << entry.number;
      NewsItem item;
      item.number = entry.number;
      ASSERT_NE(db->ReadItem(&item), 0u);
      ++titles[platform::Utf16ToUtf8(item.title)];
      EXPECT_LE(platform::Utf16ToCp932(item.description).size(), kMaxKeptDescriptionBytes);
    }
  }
  for (int c = 0; c < kGoodChannels; ++c) {
    for (int i = 0; i < kGoodItems; ++i) {
      EXPECT_EQ(titles[testing::GoodTitle(c, i)], 1) << c << "-" << i;
    }
  }
  // A new item in a body of the same size and middle is stored.
  EXPECT_EQ(titles["run 0000"], 1);
  EXPECT_EQ(titles["run 0001"], 1);
  EXPECT_EQ(titles[u8"同じ記事"], 1);

  // The list: each item once; the feeds of the servers that later answered without content or
  // with an error page are still shown from the cache; no control codes reach a text.
  std::map<std::string, int> shown;
  for (const TickerItem& item : ticker->shown()) {
    ++shown[platform::Cp932ToUtf8(item.title)];
    for (const std::string* text : {&item.title, &item.description}) {
      for (unsigned char c : *text) EXPECT_TRUE(c >= 0x20 || c == '\t' || c == '\n' || c == '\r');
    }
  }
  for (const auto& [title, count] : shown) EXPECT_EQ(count, 1) << title;
  for (int kind : {testing::kNoContentLater, testing::kErrorPageLater, testing::kEmptyBodyLater}) {
    EXPECT_EQ(shown[testing::GoodTitle(1000 + kind, 0)], 1) << testing::HostileKindName(kind);
  }
  for (int c = 0; c < kGoodChannels; ++c) EXPECT_EQ(shown[testing::GoodTitle(c, 0)], 1) << c;
}

}  // namespace
}  // namespace korvo
