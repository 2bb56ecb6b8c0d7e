// Site icons against the in-process test server (libcurl natively, WinINet under Wine).
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "common/http_test_server.h"
#include "fetch/fetch_test_support.h"
#include "fetch/icon_directory.h"
#include "fetch/shortcut_icon_link.h"
#include "fetch/site_icon_cache.h"
#include "fetch/site_icon_fetcher.h"
#include "platform/clock.h"
#include "platform/files.h"

namespace korvo {
namespace {

using testing::HttpTestRequest;
using testing::HttpTestResponse;
using testing::HttpTestServer;

constexpr int64_t kDay = 24 * 60 * 60;

// A 1-image icon file: header and one directory entry, then a few image bytes.
std::string IconBytes(char tag = 'i') {
  std::string s("\0\0\1\0\1\0", 6);
  s += std::string("\x10\x10\0\0\1\0\x20\0\x08\0\0\0\x16\0\0\0", 16);
  s += std::string(8, tag);
  return s;
}

const std::string kPng = std::string("\x89PNG\r\n\x1A\n", 8) + std::string(24, 'p');

HttpTestResponse Image(const std::string& bytes) {
  return HttpTestResponse::Text(bytes, "image/x-icon");
}

HttpTestResponse Page(const std::string& head) {
  return HttpTestResponse::Text(
      "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>t</title>" + head +
          "</head><body><p>hello</body></html>",
      "text/html");
}

std::vector<std::string> Paths(const HttpTestServer& server) {
  std::vector<std::string> paths;
  for (const HttpTestRequest& r : server.Requests()) paths.push_back(r.path);
  return paths;
}

class SiteIconTest : public testing::FetchTestBase {
 protected:
  SiteIconTest() {
    // Freshness compares with the files' real write times: start the fake clock at now.
    clock_.unix_seconds = platform::UnixSecondsNow();
    options_.attempt_deadline_ms = 3000;
    options_.single_attempt_deadline_ms = 3000;
  }

  std::string StoredFile(const SiteIconFetcher& fetcher, const std::string& link) {
    std::string raw;
    platform::ReadWholeFile(fetcher.cache().PathFor(link), &raw);
    return raw;
  }

  SiteIconOptions options_;
};

TEST(SiteIconCacheTest, OnlyImagesCountAsIcons) {
  EXPECT_TRUE(SiteIconCache::LooksLikeIcon(IconBytes()));
  EXPECT_TRUE(SiteIconCache::LooksLikeIcon(std::string("BM") + std::string(40, '\0')));
  EXPECT_TRUE(SiteIconCache::LooksLikeIcon(kPng));
  EXPECT_TRUE(SiteIconCache::LooksLikeIcon("GIF89a\x10\0\x10\0"));
  EXPECT_TRUE(SiteIconCache::LooksLikeIcon("\xFF\xD8\xFF\xE0 jfif"));
  EXPECT_FALSE(SiteIconCache::LooksLikeIcon(""));
  EXPECT_FALSE(SiteIconCache::LooksLikeIcon("Nico"));
  EXPECT_FALSE(SiteIconCache::LooksLikeIcon("<html><body>404 Not Found</body></html>"));
  EXPECT_FALSE(SiteIconCache::LooksLikeIcon(std::string("\0\0\1\0", 4)));  // header cut
  EXPECT_FALSE(SiteIconCache::LooksLikeIcon(std::string("\0\0\1\0\0\0", 6) + std::string(16, 'x')));
  EXPECT_FALSE(SiteIconCache::LooksLikeIcon(std::string("\0\0\2\0\1\0", 6) + std::string(16, 'x')));
  EXPECT_FALSE(SiteIconCache::LooksLikeIcon("BMP files begin so"));  // too short for a bitmap

  testing::TempFolder folder;
  testing::FakeClock clock;
  clock.unix_seconds = platform::UnixSecondsNow();
  const SiteIconCache cache(folder / "cache", &clock);
  const std::string link = "http://a.example/blog/";
  EXPECT_EQ(cache.PathFor(link), folder / "cache/http@@@a.example@blog@.ico");
  std::string bytes;
  EXPECT_FALSE(cache.Load(link, &bytes));  // no file
  EXPECT_FALSE(cache.IsFresh(link));
  ASSERT_TRUE(cache.StoreNoIcon(link));
  ASSERT_TRUE(platform::ReadWholeFile(cache.PathFor(link), &bytes));
  EXPECT_EQ(bytes, "Nico");
  EXPECT_FALSE(cache.Load(link, &bytes));  // the marker is no image: the caller shows none
  EXPECT_TRUE(cache.IsFresh(link));
  ASSERT_TRUE(cache.StoreIcon(link, IconBytes()));
  ASSERT_TRUE(cache.Load(link, &bytes));
  EXPECT_EQ(bytes, IconBytes());

  clock.unix_seconds += 14 * kDay - 60;
  EXPECT_TRUE(cache.IsFresh(link));
  clock.unix_seconds += 120;
  EXPECT_FALSE(cache.IsFresh(link));
  clock.unix_seconds -= 16 * kDay;  // the file is two days in the future: the clock went back
  EXPECT_FALSE(cache.IsFresh(link));
}

// An icon file whose directory lists `sizes` (width, bit count), each image 40 bytes at the end.
std::string IconDirectory(const std::vector<std::pair<int, int>>& sizes) {
  std::string s("\0\0\1\0", 4);
  s += static_cast<char>(sizes.size());
  s += '\0';
  size_t offset = 6 + 16 * sizes.size();
  for (const auto& [side, bits] : sizes) {
    const char entry[16] = {static_cast<char>(side & 0xFF),
                            static_cast<char>(side & 0xFF),
                            0,
                            0,
                            1,
                            0,
                            static_cast<char>(bits),
                            0,
                            40,
                            0,
                            0,
                            0,
                            static_cast<char>(offset),
                            static_cast<char>(offset >> 8),
                            0,
                            0};
    s.append(entry, 16);
    offset += 40;
  }
  return s + std::string(40 * sizes.size(), 'x');
}

TEST(IconDirectoryTest, ChoosesTheBestImageAndChecksBounds) {
  const struct {
    std::vector<std::pair<int, int>> sizes;
    int want;  // index of the entry chosen
  } cases[] = {
      {{{32, 32}, {16, 8}, {16, 32}}, 2},  // exact size, most colours
      {{{48, 32}, {32, 32}}, 1},           // smallest larger
      {{{8, 32}, {12, 32}}, 1},            // the largest when all are smaller
      {{{0, 32}, {24, 4}}, 1},             // 0 means 256
  };
  for (const auto& c : cases) {
    const std::string bytes = IconDirectory(c.sizes);
    IconImageRef ref;
    ASSERT_TRUE(ChooseIconImage(bytes, 16, 16, &ref));
    EXPECT_EQ(ref.offset, 6 + 16 * c.sizes.size() + 40 * static_cast<size_t>(c.want));
    EXPECT_EQ(ref.size, 40u);
  }
  std::string lying = IconDirectory({{16, 32}});
  lying[6 + 8] = '\x7F';  // the image would run past the end
  IconImageRef ref;
  EXPECT_FALSE(ChooseIconImage(lying, 16, 16, &ref));
  EXPECT_FALSE(ChooseIconImage("Nico", 16, 16, &ref));
  EXPECT_FALSE(ChooseIconImage(IconDirectory({{16, 32}}).substr(0, 12), 16, 16, &ref));
}

TEST(ShortcutIconLinkTest, FindsTheLinkInTheHead) {
  std::string href;
  EXPECT_TRUE(
      FindShortcutIconHref("<html><head><link rel=\"stylesheet\" href=\"a.css\">"
                           "<LINK REL=\"SHORTCUT ICON\" HREF=\" img/i.ico \"></head></html>",
                           &href));
  EXPECT_EQ(href, "img/i.ico");
  EXPECT_TRUE(FindShortcutIconHref(
      "<HTML><HEAD><link rel=\"shortcut icon\" href=/f.ico /></HEAD></HTML>", &href));
  EXPECT_EQ(href, "/f.ico");
  // Not in a head, another rel, no href: nothing.
  EXPECT_FALSE(FindShortcutIconHref(
      "<html><body><link rel=\"shortcut icon\" href=\"x.ico\"></body></html>", &href));
  EXPECT_FALSE(FindShortcutIconHref(
      "<html><head><link rel=\"icon-set\" href=\"x.ico\"></head></html>", &href));
  EXPECT_FALSE(FindShortcutIconHref("<head><link rel=\"shortcut icon\"></head>", &href));
  EXPECT_FALSE(FindShortcutIconHref("", &href));
  // A UTF-16 page is read too.
  std::string utf16("\xFF\xFE", 2);
  for (char c : std::string("<html><head><link rel=\"Shortcut Icon\" href=\"u.ico\"></head>")) {
    utf16 += c;
    utf16 += '\0';
  }
  EXPECT_TRUE(FindShortcutIconHref(utf16, &href));
  EXPECT_EQ(href, "u.ico");
  // Hostile pages end without a crash, whatever they hold.
  std::string deep;
  for (int i = 0; i < 4000; ++i) deep += "<head><link rel=\"shortcut icon\" ";
  FindShortcutIconHref(deep, &href);
  FindShortcutIconHref(std::string(60000, '<'), &href);
}

TEST_F(SiteIconTest, FaviconIsStoredAndAskedAgainOnlyAfter14Days) {
  HttpTestServer server([](const HttpTestRequest& r) {
    if (r.path == "/favicon.ico") return Image(IconBytes());
    return HttpTestResponse::Status(404);
  });
  ASSERT_TRUE(server.Start());
  const std::string link = server.Url("/blog/index.html");
  SiteIconFetcher fetcher(context_, options_);
  EXPECT_EQ(fetcher.FetchNow(link), SiteIconOutcome::kStored);
  EXPECT_EQ(Paths(server), std::vector<std::string>{"/favicon.ico"});
  EXPECT_EQ(StoredFile(fetcher, link), IconBytes());
  EXPECT_EQ(server.Requests()[0].Header("Pragma"), "no-cache");

  clock_.unix_seconds += 13 * kDay;
  EXPECT_EQ(fetcher.FetchNow(link), SiteIconOutcome::kFresh);
  EXPECT_EQ(server.RequestCount(), 1);
  clock_.unix_seconds += 2 * kDay;
  EXPECT_EQ(fetcher.FetchNow(link), SiteIconOutcome::kStored);
  EXPECT_EQ(server.RequestCount(), 2);
}

TEST_F(SiteIconTest, ErrorPageAsFaviconFallsBackToTheShortcutIconLink) {
  HttpTestServer server([](const HttpTestRequest& r) {
    if (r.path == "/favicon.ico") {
      // A site that answers every address with an HTML page, status 200.
      return HttpTestResponse::Text("<html><body>Not here</body></html>", "text/html");
    }
    if (r.path == "/blog/entry.html") {
      return Page("<link rel=\"Shortcut Icon\" href=\"img/icon.ico\">");
    }
    if (r.path == "/news/") return Page("<link rel=\"shortcut icon\" href=\"/static/i.png\">");
    if (r.path == "/blog/img/icon.ico") return Image(IconBytes('b'));
    if (r.path == "/static/i.png") return Image(kPng);
    return HttpTestResponse::Status(404);
  });
  ASSERT_TRUE(server.Start());
  SiteIconFetcher fetcher(context_, options_);
  // A relative href resolves next to the page's file name.
  const std::string blog = server.Url("/blog/entry.html");
  EXPECT_EQ(fetcher.FetchNow(blog), SiteIconOutcome::kStored);
  EXPECT_EQ(Paths(server),
            (std::vector<std::string>{"/favicon.ico", "/blog/entry.html", "/blog/img/icon.ico"}));
  EXPECT_EQ(StoredFile(fetcher, blog), IconBytes('b'));

  // One beginning with '/' replaces everything after the host.
  server.ClearRequests();
  const std::string news = server.Url("/news/");
  EXPECT_EQ(fetcher.FetchNow(news), SiteIconOutcome::kStored);
  EXPECT_EQ(Paths(server), (std::vector<std::string>{"/favicon.ico", "/news/", "/static/i.png"}));
  EXPECT_EQ(StoredFile(fetcher, news), kPng);
}

TEST_F(SiteIconTest, SiteWithoutIconGetsTheMarkerAndRestsFor14Days) {
  HttpTestServer server([](const HttpTestRequest& r) {
    if (r.path == "/") return Page("<link rel=\"shortcut icon\" href=\"missing.ico\">");
    if (r.path == "/a/b.html") return Page("");
    return HttpTestResponse::Status(404);
  });
  ASSERT_TRUE(server.Start());
  const std::string link = server.Url("/a/b.html");
  SiteIconFetcher fetcher(context_, options_);
  EXPECT_EQ(fetcher.FetchNow(link), SiteIconOutcome::kNoIcon);
  // The link, then its host part; the favicon address is asked once.
  EXPECT_EQ(Paths(server),
            (std::vector<std::string>{"/favicon.ico", "/a/b.html", "/", "/missing.ico"}));
  EXPECT_EQ(StoredFile(fetcher, link), "Nico");
  std::string bytes;
  EXPECT_FALSE(fetcher.cache().Load(link, &bytes));

  server.ClearRequests();
  clock_.unix_seconds += 14 * kDay - 60;
  EXPECT_EQ(fetcher.FetchNow(link), SiteIconOutcome::kFresh);
  ASSERT_TRUE(fetcher.Request(link));  // the workers find it fresh too
  ASSERT_TRUE(fetcher.WaitIdle(5000));
  EXPECT_EQ(server.RequestCount(), 0);
  clock_.unix_seconds += 2 * kDay;
  EXPECT_EQ(fetcher.FetchNow(link), SiteIconOutcome::kNoIcon);
  EXPECT_EQ(server.RequestCount(), 4);
}

TEST_F(SiteIconTest, NothingIsStoredForUnreachableSitesOrOtherLinks) {
  HttpTestServer server([](const HttpTestRequest&) { return Image(IconBytes()); });
  ASSERT_TRUE(server.Start());
  const std::string link = server.Url("/site/");
  server.Stop();
  SiteIconFetcher fetcher(context_, options_);
  EXPECT_EQ(fetcher.FetchNow(link), SiteIconOutcome::kUnreachable);
  EXPECT_FALSE(platform::FileExists(fetcher.cache().PathFor(link)));

  ASSERT_TRUE(platform::WriteWholeFile(folder_ / "favicon.ico", IconBytes()));
  for (const std::string& other : {LocalPath("x"), std::string("file:///etc/hostname"),
                                   std::string("javascript:void(0)"), std::string("")}) {
    EXPECT_EQ(fetcher.FetchNow(other), SiteIconOutcome::kSkipped) << other;
    EXPECT_FALSE(fetcher.Request(other)) << other;
  }
  EXPECT_EQ(fetcher.RefreshIcon(LocalPath("favicon.ico")), SiteIconFetcher::kNothingReceived);
  EXPECT_TRUE(platform::ListDirectory(context_.CacheFolder()).empty());
}

TEST_F(SiteIconTest, WorkersAreBoundedAndAHungSiteDoesNotHoldUpTheOthers) {
  HttpTestServer hung([](const HttpTestRequest&) {
    HttpTestResponse a = Image(IconBytes());
    a.hang_after_bytes = 0;
    return a;
  });
  HttpTestServer good([](const HttpTestRequest&) { return Image(IconBytes('g')); });
  ASSERT_TRUE(hung.Start());
  ASSERT_TRUE(good.Start());
  context_.settings.time_out = 1;
  options_.attempt_deadline_ms = 1000;
  options_.max_queued = 2;
  auto start = std::chrono::steady_clock::now();
  auto waited = [&] { return std::chrono::steady_clock::now() - start; };
  {
    SiteIconFetcher fetcher(context_, options_);
    EXPECT_TRUE(fetcher.Request(hung.Url("/1/")));
    EXPECT_FALSE(fetcher.Request(hung.Url("/1/")));  // already waiting or being fetched
    EXPECT_TRUE(fetcher.Request(good.Url("/g/")));

    // The second worker serves the good host while the first waits on the hung one.
    const std::string g = fetcher.cache().PathFor(good.Url("/g/"));
    while (!platform::FileExists(g) && waited() < std::chrono::seconds(20)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(platform::FileExists(g));
    EXPECT_LT(waited(), std::chrono::milliseconds(2500));

    // The hung host's next links wait for its first one (never two requests to one host at
    // once), so they stay queued, and the queue refuses more than two.
    EXPECT_TRUE(fetcher.Request(hung.Url("/2/")));
    EXPECT_TRUE(fetcher.Request(hung.Url("/3/")));
    EXPECT_FALSE(fetcher.Request(hung.Url("/4/")));
    start = std::chrono::steady_clock::now();
  }  // destroyed while a fetch waits on the hung host: it is cancelled, the rest dropped
  EXPECT_LT(waited(), std::chrono::seconds(4));
  EXPECT_LE(hung.RequestCount(), 3);
}

TEST_F(SiteIconTest, SingleAttemptReportsEachFailure) {
  HttpTestServer server([](const HttpTestRequest& r) {
    if (r.path == "/ok.ico") return Image(IconBytes());
    if (r.path == "/page.ico") return HttpTestResponse::Text("<html>no</html>", "text/html");
    if (r.path == "/big.ico") return Image(IconBytes() + std::string(70000, 'x'));
    if (r.path == "/empty.ico") return Image("");
    HttpTestResponse a = Image(IconBytes());
    a.hang_after_bytes = 0;  // /hung.ico
    return a;
  });
  ASSERT_TRUE(server.Start());
  context_.settings.time_out = 10;
  options_.single_attempt_deadline_ms = 700;
  SiteIconFetcher fetcher(context_, options_);
  EXPECT_EQ(fetcher.RefreshIcon(server.Url("/ok.ico")), SiteIconFetcher::kStored);
  EXPECT_EQ(StoredFile(fetcher, server.Url("/ok.ico")), IconBytes());
  EXPECT_EQ(fetcher.RefreshIcon(server.Url("/ok.ico")), SiteIconFetcher::kFreshIcon);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(fetcher.RefreshIcon(server.Url("/hung.ico")), SiteIconFetcher::kNoAnswer);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(fetcher.RefreshIcon(server.Url("/empty.ico")), SiteIconFetcher::kNothingReceived);
  EXPECT_EQ(fetcher.RefreshIcon(server.Url("/page.ico")), SiteIconFetcher::kNotAnIcon);
  EXPECT_EQ(fetcher.RefreshIcon(server.Url("/big.ico")), SiteIconFetcher::kTooLarge);
  for (const char* failed : {"/hung.ico", "/empty.ico", "/page.ico", "/big.ico"}) {
    EXPECT_FALSE(platform::FileExists(fetcher.cache().PathFor(server.Url(failed)))) << failed;
  }
  server.Stop();
  EXPECT_EQ(fetcher.RefreshIcon(server.Url("/gone.ico")), SiteIconFetcher::kNothingReceived);
}

}  // namespace
}  // namespace korvo
