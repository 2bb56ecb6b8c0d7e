#include "common/hostile_servers.h"

#include <cstdint>
#include <cstdio>

namespace korvo::testing {

namespace {

using Framing = HttpTestResponse::Framing;

constexpr int kPaceMs = 300;

std::string Rss(const std::string& items, const std::string& title = "Hostile") {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\"><channel><title>" +
         title + "</title><link>http://hostile.invalid/</link>" + items + "</channel></rss>\n";
}

std::string Item(const std::string& title, const std::string& link,
                 const std::string& description = std::string()) {
  return "<item><title>" + title + "</title><link>" + link + "</link><description>" + description +
         "</description></item>";
}

HttpTestResponse Feed(std::string body) {
  return HttpTestResponse::Text(std::move(body), "application/rss+xml");
}

const std::string& GarbageBody() {
  static const std::string body = [] {
    std::string b(256 * 1024, '\0');
    uint32_t x = 12345;
    for (char& c : b) {
      x = x * 1103515245u + 12345u;
      c = static_cast<char>(x >> 24);
    }
    return b;
  }();
  return body;
}

const std::string& DeepBody() {
  static const std::string body = [] {
    std::string b = "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel>";
    for (int i = 0; i < 50000; ++i) b += "<a>";
    return b;
  }();
  return body;
}

const std::string& EntityBody() {
  static const std::string body = [] {
    std::string items;
    for (int i = 0; i < 100; ++i) {
      std::string title = "entities " + std::to_string(i) + " ";
      for (int r = 0; r < 50; ++r) title += "&amp;amp;&#1;&#x1B;&#12354;&lt;b&gt;";
      std::string description;
      for (int r = 0; r < 200; ++r) description += "&#x3042;&amp;&#7;&quot;&#65;";
      items += Item(title, "http://hostile.invalid/entities/" + std::to_string(i), description);
    }
    return Rss(items);
  }();
  return body;
}

const std::string& RepeatedBody() {
  static const std::string body = [] {
    std::string items;
    const std::string one = Item("同じ記事", "http://hostile.invalid/repeated", "何度も");
    for (int i = 0; i < 1000; ++i) items += one;
    return Rss(items);
  }();
  return body;
}

const std::string& BrokenBody() {
  static const std::string body = [] {
    std::string b = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><rss version=\"2.0\"><channel>";
    b += "<title>\x89\xF3\x82\xEA</title>";  // "壊れ" in Shift_JIS
    for (int i = 0; i < 50; ++i) {
      b += "<item><title>broken \x81\x20\xFF\x80\xA0 " + std::to_string(i) + " \x82</title>";
      b += "<link>http://hostile.invalid/broken/" + std::to_string(i) + "</link>";
      b += "<description>\xED\xA0\x80 &#xD800; \xEF\xBF\xBE \x9F</description></item>";
    }
    return b + "</channel></rss>\x81";
  }();
  return body;
}

std::string HugeDescriptionBody(int run) {
  std::string description;
  while (description.size() < 256 * 1024) description += "とても長い本文です。";
  std::string items;
  for (int i = 0; i < 8; ++i) {
    items += Item("huge " + std::to_string(run) + "-" + std::to_string(i),
                  "http://hostile.invalid/huge/" + std::to_string(run) + "/" + std::to_string(i),
                  description);
  }
  return Rss(items);
}

// The first item names the run in four digits; everything after it stays the same, so the size
// and the middle of the body never change.
std::string SameSizeBody(int run) {
  char number[8];
  std::snprintf(number, sizeof number, "%04d", run % 10000);
  std::string items =
      Item(std::string("run ") + number, std::string("http://hostile.invalid/same/") + number);
  for (int i = 0; i < 40; ++i) {
    items += Item("fixed " + std::to_string(i), "http://hostile.invalid/fixed/" + std::to_string(i),
                  "the same text in every run");
  }
  return Rss(items);
}

HttpTestResponse Paced(HttpTestResponse answer) {
  answer.piece_delay_ms = kPaceMs;
  return answer;
}

}  // namespace

const char* HostileKindName(int kind) {
  static const char* const kNames[kHostileKindCount] = {"header one byte at a time",
                                                        "body one byte at a time",
                                                        "100 Continue without end",
                                                        "silent after the header",
                                                        "never answers",
                                                        "declares a terabyte",
                                                        "6 MB body without length",
                                                        "body shorter than declared",
                                                        "204 after a good feed",
                                                        "500 after a good feed",
                                                        "redirection loop",
                                                        "redirection to a local file",
                                                        "binary garbage",
                                                        "50,000 nested elements",
                                                        "references and control codes",
                                                        "8 new items of 256 KB each run",
                                                        "one item 1,000 times",
                                                        "broken encodings",
                                                        "empty body after a good feed",
                                                        "new item, same size and middle"};
  return kind >= 0 && kind < kHostileKindCount ? kNames[kind] : "?";
}

bool HostileKindStalls(int kind) {
  return kind == kHeaderTrickle || kind == kBodyTrickle || kind == kEndlessContinue ||
         kind == kSilentAfterHeader || kind == kNeverAnswers;
}

HttpTestResponse HostileAnswer(int kind, int run) {
  switch (kind) {
    case kHeaderTrickle: {
      HttpTestResponse a = Paced(Feed(GoodFeed(1000 + kind, 3)));
      a.head_piece_size = 1;
      return a;
    }
    case kBodyTrickle: {
      HttpTestResponse a = Paced(Feed(GoodFeed(1000 + kind, 3)));
      a.framing = Framing::kChunked;
      a.chunk_size = 1;
      return a;
    }
    case kEndlessContinue: {
      HttpTestResponse a = Paced(Feed(GoodFeed(1000 + kind, 3)));
      a.interim_answers = -1;
      return a;
    }
    case kSilentAfterHeader: {
      HttpTestResponse a = Feed(GoodFeed(1000 + kind, 3));
      a.hang_after_bytes = 200;
      return a;
    }
    case kNeverAnswers: {
      HttpTestResponse a = Feed(GoodFeed(1000 + kind, 3));
      a.hang_after_bytes = 0;
      return a;
    }
    case kTerabyteDeclared: {
      HttpTestResponse a = Feed(GoodFeed(1000 + kind, 3));
      a.declared_length = 1000000000000LL;
      a.hang_after_bytes = 400;
      return a;
    }
    case kEndlessBody: {
      HttpTestResponse a = Feed(std::string(6 << 20, 'e'));
      a.framing = Framing::kChunked;
      a.chunk_size = 64 * 1024;
      return a;
    }
    case kShortBody: {
      HttpTestResponse a = Feed(GoodFeed(1000 + kind, 3).substr(0, 100));
      a.declared_length = 5000;
      return a;
    }
    case kNoContentLater:
      return run == 0 ? Feed(GoodFeed(1000 + kind, 3)) : HttpTestResponse::Status(204);
    case kErrorPageLater:
      return run == 0 ? Feed(GoodFeed(1000 + kind, 3)) : HttpTestResponse::Status(500);
    case kRedirectLoop:
      return HttpTestResponse::Redirect(302, "/hostile/" + std::to_string(kind));
    case kRedirectToFile:
      return HttpTestResponse::Redirect(302, "file:///etc/passwd");
    case kBinaryGarbage:
      return Feed(GarbageBody());
    case kDeepNesting:
      return Feed(DeepBody());
    case kEntityLaden:
      return Feed(EntityBody());
    case kHugeDescriptions:
      return Feed(HugeDescriptionBody(run));
    case kRepeatedItem:
      return Feed(RepeatedBody());
    case kBrokenEncoding:
      return Feed(BrokenBody());
    case kEmptyBodyLater:
      return run == 0 ? Feed(GoodFeed(1000 + kind, 3)) : Feed(std::string());
    case kSameSizeNewItem:
      return Feed(SameSizeBody(run));
    default:
      return HttpTestResponse::Status(404);
  }
}

std::string GoodTitle(int channel, int item) {
  return "ニュース " + std::to_string(channel) + "-" + std::to_string(item) + " 東京で発表";
}

std::string GoodFeed(int channel, int items) {
  std::string body;
  for (int i = 0; i < items; ++i) {
    body += Item(GoodTitle(channel, i),
                 "http://good.invalid/" + std::to_string(channel) + "/" + std::to_string(i),
                 "&lt;p&gt;要約 " + std::to_string(i) + "&lt;/p&gt;");
  }
  return Rss(body, "良いチャンネル " + std::to_string(channel));
}

}  // namespace korvo::testing
