// update_run_bench [channels] [items per channel]   (defaults: 100 channels, 50 items)
//
// A local HTTP server on 127.0.0.1 serves every channel as an RSS 2.0 feed (UTF-8, Japanese
// titles and HTML descriptions). UpdateCycle then runs on a fresh store in a temporary folder:
//   1. first run (forced): every channel answers 200, every item is new and stored;
//   2. all-304 run, periodic: every channel answers 304, so the run ends after the fetches;
//   3. all-304 run, forced: every channel answers 304 and the cache is merged again (every item
//      is found in the store).
// For each it prints the wall time and the items per second (items of all channels / time).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "common/http_test_server.h"
#include "common/temp_folder.h"
#include "feed/item_extraction.h"
#include "store/database_guard.h"
#include "ticker/ticker_lists.h"
#include "update/update_cycle.h"

namespace {

using korvo::testing::HttpTestRequest;
using korvo::testing::HttpTestResponse;

std::string FeedBody(int channel, int items) {
  std::string body = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\"><channel>";
  body += "<title>ベンチマーク用チャンネル " + std::to_string(channel) + "</title>";
  body += "<link>http://bench.invalid/" + std::to_string(channel) + "/</link>";
  body += "<description>更新の速さを測るためのフィード</description>";
  for (int i = 0; i < items; ++i) {
    const std::string id = std::to_string(channel) + "-" + std::to_string(i);
    body += "<item><title>ニュースの見出し " + id + " 東京で新しい技術の発表</title>";
    body += "<link>http://bench.invalid/" + std::to_string(channel) + "/items/" +
            std::to_string(i) + ".html</link>";
    body += "<description>&lt;p&gt;本文の要約です。&lt;b&gt;" + id +
            "&lt;/b&gt; 番目の記事には &lt;a href=\"http://bench.invalid/\"&gt;リンク"
            "&lt;/a&gt; が含まれています。&lt;/p&gt;</description>";
    body += "<category>技術</category>";
    body += "<pubDate>Tue, 08 Dec 2026 10:" + std::to_string(10 + i % 50) +
            ":00 +0900</pubDate></item>";
  }
  body += "</channel></rss>\n";
  return body;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void Print(const char* name, double seconds, int items, const korvo::RunReport& report) {
  std::printf("%-26s %8.3f s  %10.0f items/s  (%d fetched, %d changed, %d added, %d shown)\n", name,
              seconds, seconds > 0 ? items / seconds : 0.0, report.fetch.finished, report.changed,
              report.merge.items_added, report.merge.items_shown);
}

}  // namespace

int main(int argc, char** argv) {
  const int channels = argc > 1 ? std::atoi(argv[1]) : 100;
  const int items = argc > 2 ? std::atoi(argv[2]) : 50;
  if (channels <= 0 || items <= 0) {
    std::fprintf(stderr, "usage: update_run_bench [channels] [items per channel]\n");
    return 2;
  }

  std::vector<std::string> bodies;
  for (int c = 0; c < channels; ++c) bodies.push_back(FeedBody(c, items));
  korvo::testing::HttpTestServer server([&bodies](const HttpTestRequest& request) {
    if (request.HasHeader("If-Modified-Since")) return HttpTestResponse::Status(304);
    const size_t slash = request.path.rfind('/');
    const int index = std::atoi(request.path.c_str() + slash + 1);
    if (index < 0 || index >= static_cast<int>(bodies.size())) {
      return HttpTestResponse::Status(404);
    }
    HttpTestResponse response = HttpTestResponse::Text(bodies[index], "application/rss+xml");
    response.headers.emplace_back("Last-Modified", "Tue, 08 Dec 2026 01:00:00 GMT");
    return response;
  });
  if (!server.Start()) {
    std::fprintf(stderr, "update_run_bench: the local server did not start\n");
    return 1;
  }

  korvo::testing::TempFolder folder;
  korvo::DatabaseGuard holder(folder.path());  // keeps the store open, as the program does
  std::vector<korvo::Channel> list;
  korvo::UpdateRequest forced;
  forced.forced = true;
  for (int c = 0; c < channels; ++c) {
    korvo::Channel channel;
    channel.url = server.Url("/f/" + std::to_string(c));
    channel.title = "channel " + std::to_string(c);
    list.push_back(channel);
    forced.jobs.push_back({channel.url, 0});
  }
  korvo::UpdateRequest periodic = forced;
  periodic.forced = false;

  korvo::UpdateCycle::Options options;
  options.working_folder = folder.path();
  options.fetch_context.working_folder = folder.path();
  options.parser = [](std::string_view body, const korvo::ChannelContext& channel,
                      korvo::ItemList* out) { korvo::ParseFeedBytes(body, channel, out); };
  options.channels = [list] { return list; };
  options.ticker = std::make_shared<korvo::TickerLists>(folder.path());
  korvo::UpdateCycle cycle(options);

  size_t bytes = 0;
  for (const std::string& body : bodies) bytes += body.size();
  std::printf("update_run_bench: %d channels x %d items, %.1f MB of feeds, 127.0.0.1:%d\n",
              channels, items, bytes / 1e6, server.port());
  const int total = channels * items;

  auto start = std::chrono::steady_clock::now();
  korvo::RunReport report = cycle.Execute(forced);
  Print("first run", Seconds(start), total, report);

  start = std::chrono::steady_clock::now();
  report = cycle.Execute(periodic);
  Print("all-304 run (periodic)", Seconds(start), total, report);

  start = std::chrono::steady_clock::now();
  report = cycle.Execute(forced);
  Print("all-304 run (forced)", Seconds(start), total, report);

  server.Stop();
  return 0;
}
