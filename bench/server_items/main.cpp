// server_items_bench [items] [requests per client]   (defaults: 1000 items, 200 requests)
//
// A LocalServer on 127.0.0.1 with the real routes over a shown list of `items` items (Japanese
// titles, descriptions, enclosures). For /xmlitems and /items it prints
//   - the median and 95th-percentile answer time of one client asking again and again;
//   - the answers per second with 8 clients asking at once;
// once with the server as shipped (a 10 ms pause after every connection, which bounds it at
// about 100 connections a second) and once without the pause (the cost of the route itself).
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/code_page.h"
#include "plugin_host/item_snapshot.h"
#include "server/local_server.h"
#include "server/server_client.h"
#include "server/server_routes.h"

namespace {

using namespace korvo;

class ListSource : public ShownItemSource {
 public:
  std::vector<TickerItem> ShownItems() const override { return items; }
  bool CurrentItem(TickerItem*) const override { return false; }
  std::vector<TickerItem> items;
};

std::vector<TickerItem> MakeItems(int count) {
  std::vector<TickerItem> items;
  const std::string title = platform::Utf8ToCp932(u8"東京の技術者が新しいコンパイラを公開 ");
  const std::string text = platform::Utf8ToCp932(
      u8"本文の最初の段落です。<b>強調</b>と \"引用\" & 記号を含みます。\r\n二行目。");
  for (int i = 0; i < count; ++i) {
    TickerItem t;
    t.title = title + std::to_string(i);
    t.link = "http://site" + std::to_string(i % 20) + ".example/item/" + std::to_string(i);
    t.site_name = platform::Utf8ToCp932(u8"サイト") + std::to_string(i % 20);
    t.site_link = "http://site" + std::to_string(i % 20) + ".example/";
    t.description = text;
    t.category = "tech";
    t.author = "author";
    if (i % 4 == 0) t.enclosure_url = t.link + ".mp3";
    t.id = i + 1;
    t.state = i % 3 == 0 ? TickerItem::kAdded : 0;
    items.push_back(std::move(t));
  }
  return items;
}

double Percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  return values[static_cast<size_t>(p * static_cast<double>(values.size() - 1))];
}

void Measure(uint16_t port, const std::string& target, int requests, const char* label) {
  const std::string request = testing::Get(target, port);
  std::vector<double> times;
  size_t bytes = 0;
  for (int i = 0; i < requests; ++i) {
    const uint64_t start = platform::MonotonicMilliseconds();
    const testing::Exchange e = testing::Send(port, request);
    times.push_back(static_cast<double>(platform::MonotonicMilliseconds() - start));
    bytes = e.answer.size();
    if (e.answer.empty()) {
      std::printf("  %s: no answer\n", target.c_str());
      return;
    }
  }
  constexpr int kClients = 8;
  std::atomic<int> answered{0};
  const uint64_t start = platform::MonotonicMilliseconds();
  std::vector<std::thread> clients;
  for (int c = 0; c < kClients; ++c) {
    clients.emplace_back([&] {
      for (int i = 0; i < requests / 2; ++i) {
        if (!testing::Send(port, request).answer.empty()) ++answered;
      }
    });
  }
  for (std::thread& t : clients) t.join();
  const double seconds = static_cast<double>(platform::MonotonicMilliseconds() - start) / 1000.0;
  std::printf(
      "  %-22s %-9s %8zu bytes  median %6.1f ms  p95 %6.1f ms  8 clients: %7.1f answers/s\n",
      target.c_str(), label, bytes, Percentile(times, 0.5), Percentile(times, 0.95),
      answered.load() / seconds);
}

}  // namespace

int main(int argc, char** argv) {
  const int items = argc > 1 ? std::atoi(argv[1]) : 1000;
  const int requests = argc > 2 ? std::atoi(argv[2]) : 200;
  auto source = std::make_shared<ListSource>();
  source->items = MakeItems(items);
  SetShownItemSource(source);

  std::printf("server_items_bench: %d shown items, %d requests per measure\n", items, requests);
  for (int pause : {SocketServer::kAcceptPauseMs, 0}) {
    auto server = std::make_shared<LocalServer>();
    if (server->Bind(0, 16, 1) != SocketServer::kBound) {
      std::printf("cannot bind\n");
      return 1;
    }
    server->SetRouter(std::make_shared<ServerRoutes>(ServerRoutes::Services()));
    server->SetReadTimeout(1000);
    server->set_accept_pause_ms(pause);
    server->StartAccepting();
    const char* label = pause > 0 ? "shipped" : "no pause";
    Measure(server->port(), "xmlitems", pause > 0 ? requests / 4 : requests, label);
    Measure(server->port(), "items", pause > 0 ? requests / 4 : requests, label);
    Measure(server->port(), "items?view=new", pause > 0 ? requests / 4 : requests, label);
    server->Stop();
  }
  SetShownItemSource(nullptr);
  return 0;
}
