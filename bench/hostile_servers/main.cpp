// hostile_servers_bench [runs] [good channels] [items per good channel]
//   (defaults: 60 runs, 200 good channels, 20 items)
//
// The engine's memory and run times against hostile servers. A child process serves the twenty
// kinds of hostile answer of tests/common/hostile_servers.h and the good channels' feeds on
// 127.0.0.1 (so its memory is not counted). This process runs UpdateCycle (the real fetcher with
// a time-out of 1 s, the real parser and a fresh store in a temporary folder):
//   1. ten forced runs of the good channels alone: the baseline;
//   2. `runs` forced runs of the good channels and the twenty hostile ones;
// and prints the resident memory (VmRSS) after the baseline and after every tenth hostile run,
// with the slowest run of each ten and the run line of the last.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "common/hostile_servers.h"
#include "common/http_test_server.h"
#include "common/temp_folder.h"
#include "feed/item_extraction.h"
#include "store/database_guard.h"
#include "ticker/ticker_lists.h"
#include "update/update_cycle.h"

namespace {

using korvo::testing::HttpTestRequest;
using korvo::testing::HttpTestResponse;

// Serves until the parent closes its end of `control`; never returns.
[[noreturn]] void ServeInChild(int port_pipe, int control, int items) {
  std::mutex mutex;
  std::map<std::string, int> asked;  // requests per path: the hostile kinds' run number
  korvo::testing::HttpTestServer server([&](const HttpTestRequest& request) {
    int run = 0;
    {
      std::lock_guard<std::mutex> lock(mutex);
      run = asked[request.path]++;
    }
    const std::string& path = request.path;
    if (path.rfind("/hostile/", 0) == 0) {
      return korvo::testing::HostileAnswer(std::atoi(path.c_str() + 9), run);
    }
    if (path.rfind("/good/", 0) == 0) {
      return HttpTestResponse::Text(korvo::testing::GoodFeed(std::atoi(path.c_str() + 6), items),
                                    "application/rss+xml");
    }
    return HttpTestResponse::Status(404);
  });
  int port = server.Start() ? server.port() : 0;
  if (write(port_pipe, &port, sizeof port) != static_cast<ssize_t>(sizeof port)) _exit(1);
  char byte;
  while (read(control, &byte, 1) > 0) {
  }
  server.Stop();
  _exit(0);
}

long ResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return -1;
}

double Seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 60;
  const int good = argc > 2 ? std::atoi(argv[2]) : 200;
  const int items = argc > 3 ? std::atoi(argv[3]) : 20;
  if (runs <= 0 || good <= 0 || items <= 0) {
    std::fprintf(stderr, "usage: hostile_servers_bench [runs] [good channels] [items]\n");
    return 2;
  }

  // The server process, forked before this process starts any thread.
  int port_pipe[2];
  int control[2];
  if (pipe(port_pipe) != 0 || pipe(control) != 0) return 1;
  const pid_t child = fork();
  if (child < 0) return 1;
  if (child == 0) {
    close(port_pipe[0]);
    close(control[1]);
    ServeInChild(port_pipe[1], control[0], items);
  }
  close(port_pipe[1]);
  close(control[0]);
  int port = 0;
  if (read(port_pipe[0], &port, sizeof port) != static_cast<ssize_t>(sizeof port) || port == 0) {
    std::fprintf(stderr, "hostile_servers_bench: the server did not start\n");
    return 1;
  }
  const std::string base = "http://127.0.0.1:" + std::to_string(port);

  korvo::testing::TempFolder folder;
  korvo::DatabaseGuard holder(folder.path());  // keeps the store open, as the program does
  std::vector<korvo::Channel> good_list;
  for (int c = 0; c < good; ++c) {
    korvo::Channel channel;
    channel.url = base + "/good/" + std::to_string(c);
    channel.title = "good " + std::to_string(c);
    good_list.push_back(channel);
  }
  std::vector<korvo::Channel> all_list = good_list;
  for (int k = 0; k < korvo::testing::kHostileKindCount; ++k) {
    korvo::Channel channel;
    channel.url = base + "/hostile/" + std::to_string(k);
    channel.title = korvo::testing::HostileKindName(k);
    all_list.insert(all_list.begin() + std::min<size_t>(all_list.size(), k * 10), channel);
  }
  auto current = std::make_shared<std::vector<korvo::Channel>>(good_list);

  korvo::UpdateCycle::Options options;
  options.working_folder = folder.path();
  options.fetch_context.working_folder = folder.path();
  options.fetch_context.settings.time_out = 1;
  options.parser = [](std::string_view body, const korvo::ChannelContext& channel,
                      korvo::ItemList* out) { korvo::ParseFeedBytes(body, channel, out); };
  options.channels = [current] { return *current; };
  options.ticker = std::make_shared<korvo::TickerLists>(folder.path());
  korvo::UpdateCycle cycle(options);
  auto request_for = [](const std::vector<korvo::Channel>& list) {
    korvo::UpdateRequest request;
    request.forced = true;
    for (const korvo::Channel& channel : list) request.jobs.push_back({channel.url, 0});
    return request;
  };

  std::printf("hostile_servers_bench: %d good channels x %d items, %d hostile kinds, %d runs\n",
              good, items, korvo::testing::kHostileKindCount, runs);
  std::printf("start: resident %ld KB\n", ResidentKilobytes());
  const korvo::UpdateRequest good_request = request_for(good_list);
  korvo::RunReport report;
  auto start = std::chrono::steady_clock::now();
  for (int r = 0; r < 10; ++r) report = cycle.Execute(good_request);
  std::printf("baseline (10 good-only runs, %.2f s each): resident %ld KB\n  %s\n",
              Seconds(std::chrono::steady_clock::now() - start) / 10, ResidentKilobytes(),
              korvo::FormatRunReport(report).c_str());

  *current = all_list;
  const korvo::UpdateRequest hostile_request = request_for(all_list);
  double slowest = 0;
  for (int r = 1; r <= runs; ++r) {
    start = std::chrono::steady_clock::now();
    report = cycle.Execute(hostile_request);
    slowest = std::max(slowest, Seconds(std::chrono::steady_clock::now() - start));
    if (r % 10 == 0 || r == runs) {
      std::printf("after run %3d: resident %ld KB, slowest of these runs %.2f s\n  %s\n", r,
                  ResidentKilobytes(), slowest, korvo::FormatRunReport(report).c_str());
      std::fflush(stdout);
      slowest = 0;
    }
  }

  close(control[1]);  // the server ends
  int status = 0;
  waitpid(child, &status, 0);
  return 0;
}
