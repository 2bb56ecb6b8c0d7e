// Feed parse benchmark.
//
// Generates a corpus of feeds (default 24 MB; the first argument gives another size in MB), then
// times, best of several rounds:
//   korvo:   declared-encoding detection and conversion to CP932, the tolerant reader, item
//            extraction into ItemLists with plain-text descriptions;
//   libxml2: xmlReadMemory (RECOVER | NOERROR | NOWARNING) of the same bytes, taking the same
//            fields, once without and once with htmlReadMemory on every description that holds
//            markup (the work the program's description cleaning does).
// Prints MB/s of each and the ratios. Never fails.
#include <libxml/parser.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "feed/feed_encoding.h"
#include "feed/item_extraction.h"
#include "feed/item_list.h"
#include "feed_corpus.h"
#include "libxml2_side.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Round {
  double seconds = 0;
  size_t items = 0;
};

template <typename Work>
Round BestOf(int rounds, Work work) {
  Round best;
  for (int r = 0; r < rounds; ++r) {
    const auto start = Clock::now();
    const size_t items = work();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (r == 0 || seconds < best.seconds) best = {seconds, items};
  }
  return best;
}

double MegabytesPerSecond(size_t bytes, double seconds) {
  return seconds > 0 ? bytes / (1024.0 * 1024.0) / seconds : 0;
}

}  // namespace

int main(int argc, char** argv) {
  const size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 24;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  xmlInitParser();

  const auto corpus = korvo::bench::GenerateFeedCorpus(megabytes << 20, 20050201);
  size_t total = 0, written_items = 0;
  std::map<std::string, size_t> bytes_by_kind;
  for (const auto& doc : corpus) {
    total += doc.bytes.size();
    written_items += doc.items;
    bytes_by_kind[doc.kind] += doc.bytes.size();
  }
  std::printf("corpus: %zu documents, %.1f MB, %zu items\n", corpus.size(),
              total / (1024.0 * 1024.0), written_items);
  for (const auto& [kind, bytes] : bytes_by_kind) {
    std::printf("  %-18s %6.1f MB\n", kind.c_str(), bytes / (1024.0 * 1024.0));
  }

  // Phases of the program's side, measured separately once, to show where the time goes.
  {
    std::vector<std::string> converted;
    converted.reserve(corpus.size());
    const auto start = Clock::now();
    for (const auto& doc : corpus) converted.push_back(korvo::FeedBytesToInternal(doc.bytes));
    const double convert = std::chrono::duration<double>(Clock::now() - start).count();
    const auto start2 = Clock::now();
    size_t items = 0;
    for (const auto& text : converted) {
      korvo::ItemList list;
      items += static_cast<size_t>(korvo::ExtractFeedItems(text, &list, {}, 0));
    }
    const double extract = std::chrono::duration<double>(Clock::now() - start2).count();
    std::printf("korvo phases: conversion %.3f s, reading and extraction %.3f s (%zu items)\n",
                convert, extract, items);
  }

  const Round korvo = BestOf(rounds, [&] {
    size_t items = 0;
    for (const auto& doc : corpus) {
      korvo::ItemList list;
      items += static_cast<size_t>(
          korvo::ExtractFeedItems(korvo::FeedBytesToInternal(doc.bytes), &list, {}, 0));
      list.RebuildIndex(false);
    }
    return items;
  });
  const Round xml_only = BestOf(rounds, [&] {
    size_t items = 0;
    for (const auto& doc : corpus) items += korvo::bench::ParseWithLibxml2(doc.bytes, false).items;
    return items;
  });
  const Round xml_html = BestOf(rounds, [&] {
    size_t items = 0;
    for (const auto& doc : corpus) items += korvo::bench::ParseWithLibxml2(doc.bytes, true).items;
    return items;
  });

  const double korvo_rate = MegabytesPerSecond(total, korvo.seconds);
  const double xml_rate = MegabytesPerSecond(total, xml_only.seconds);
  const double html_rate = MegabytesPerSecond(total, xml_html.seconds);
  std::printf("korvo reader + extraction:        %8.1f MB/s  %.3f s  %zu items\n", korvo_rate,
              korvo.seconds, korvo.items);
  std::printf("libxml2 xmlReadMemory:            %8.1f MB/s  %.3f s  %zu items\n", xml_rate,
              xml_only.seconds, xml_only.items);
  std::printf("libxml2 xmlReadMemory + HTML:     %8.1f MB/s  %.3f s  %zu items\n", html_rate,
              xml_html.seconds, xml_html.items);
  std::printf("ratio korvo / libxml2 (xml only): %.2f\n", korvo_rate / xml_rate);
  std::printf("ratio korvo / libxml2 (xml+html): %.2f\n", korvo_rate / html_rate);
  xmlCleanupParser();
  return 0;
}
