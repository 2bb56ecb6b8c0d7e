// FeedFetcher against the in-process test server (libcurl natively, WinINet under Wine).
#include "fetch/feed_fetcher.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "common/http_test_server.h"
#include "fetch/credentials.h"
#include "fetch/fetch_test_support.h"
#include "platform/files.h"

namespace korvo {
namespace {

using testing::HttpTestRequest;
using testing::HttpTestResponse;
using testing::HttpTestServer;
using Framing = HttpTestResponse::Framing;
using Outcome = FeedFetcher::Outcome;

std::string Feed(size_t size) {
  std::string s = "<rss>";
  while (s.size() + 6 < size) s += static_cast<char>('a' + s.size() % 26);
  s += "</rss>";
  return s.substr(0, size);
}

class FeedFetcherTest : public testing::FetchTestBase {
 protected:
  std::string CachedFile(const std::string& url_text) {
    std::string raw;
    platform::ReadWholeFile(FeedFetcher(context_).cache().PathFor(url_text), &raw);
    return raw;
  }
};

TEST_F(FeedFetcherTest, StoresTheBodyWithTheFetchTimeAndTellsChanges) {
  std::string body = Feed(2000);
  HttpTestServer server([&](const HttpTestRequest&) { return HttpTestResponse::Text(body); });
  ASSERT_TRUE(server.Start());
  const std::string url = server.Url("/rss.xml");
  FeedFetcher fetcher(context_);
  EXPECT_TRUE(fetcher.Fetch(url, 0));
  EXPECT_EQ(fetcher.last_outcome(), Outcome::kChanged);
  std::string cached;
  ASSERT_TRUE(fetcher.cache().Read(url, &cached));
  EXPECT_EQ(cached, body);
  platform::CalendarTime t;
  ASSERT_TRUE(fetcher.cache().Time(url, &t));
  EXPECT_EQ(t.year, 2024);
  EXPECT_EQ(t.second, 56);

  EXPECT_FALSE(fetcher.Fetch(url, 0));  // the same bytes again
  EXPECT_EQ(fetcher.last_outcome(), Outcome::kUnchanged);
  body[1000] = '#';  // the middle changes
  EXPECT_TRUE(fetcher.Fetch(url, 0));

  const HttpTestRequest seen = server.Requests()[0];
  EXPECT_EQ(seen.Header("User-Agent"), "korvo/2.75");
  EXPECT_EQ(seen.Header("Pragma"), "no-cache");
}

TEST_F(FeedFetcherTest, ChunkedAndClosedBodiesKeepEveryByte) {
  // A UTF-16 feed: NUL bytes everywhere.
  std::string utf16("\xFF\xFE", 2);
  for (char c : std::string("<?xml version=\"1.0\" encoding=\"utf-16\"?><rss></rss>")) {
    utf16 += c;
    utf16 += '\0';
  }
  for (int i = 0; i < 6; ++i) utf16 += utf16;  // about 6.5 KB
  HttpTestServer server([&](const HttpTestRequest& r) {
    HttpTestResponse a = HttpTestResponse::Text(utf16, "application/xml");
    a.framing = r.path == "/chunked" ? Framing::kChunked : Framing::kClose;
    a.chunk_size = 4095;
    return a;
  });
  ASSERT_TRUE(server.Start());
  FeedFetcher fetcher(context_);
  for (const char* path : {"/chunked", "/closed"}) {
    ASSERT_TRUE(fetcher.Fetch(server.Url(path), 0)) << path;
    std::string cached;
    ASSERT_TRUE(fetcher.cache().Read(server.Url(path), &cached));
    EXPECT_EQ(cached, utf16) << path;
  }
}

TEST_F(FeedFetcherTest, NotModifiedKeepsTheFileAndItsTime) {
  // The server answers 304 exactly when asked "since" the time of the first fetch.
  const std::string first_fetch = "Wed, 01 May 2024 12:34:56 GMT";
  HttpTestServer server([&](const HttpTestRequest& r) {
    if (r.Header("If-Modified-Since") == first_fetch) return HttpTestResponse::Status(304);
    return HttpTestResponse::Text(Feed(500));
  });
  ASSERT_TRUE(server.Start());
  const std::string url = server.Url("/rss.xml");
  FeedFetcher fetcher(context_);
  ASSERT_TRUE(fetcher.Fetch(url, 0));
  EXPECT_FALSE(server.Requests()[0].HasHeader("If-Modified-Since"));  // nothing cached yet
  const std::string before = CachedFile(url);
  clock_.utc = testing::Utc(2024, 6, 2, 1, 2, 3, 0);  // a later fetch
  EXPECT_FALSE(fetcher.Fetch(url, 0));
  EXPECT_EQ(fetcher.last_outcome(), Outcome::kNotModified);
  EXPECT_EQ(CachedFile(url), before);
  EXPECT_EQ(server.Requests()[1].Header("If-Modified-Since"), first_fetch);

  // A cache file too short to hold a time sends no condition.
  ASSERT_TRUE(platform::WriteWholeFile(fetcher.cache().PathFor(url), "short"));
  EXPECT_TRUE(fetcher.Fetch(url, 0));
  EXPECT_FALSE(server.Requests()[2].HasHeader("If-Modified-Since"));
}

// Answers without content never replace the cached feed.
TEST_F(FeedFetcherTest, AnswersWithoutContentKeepTheCachedFeed) {
  std::atomic<int> status{200};
  HttpTestServer server([&](const HttpTestRequest&) {
    if (status == 200) return HttpTestResponse::Text(Feed(300));
    if (status == 0) return HttpTestResponse::Text("");  // 200 with an empty body
    return HttpTestResponse::Status(status);
  });
  ASSERT_TRUE(server.Start());
  const std::string url = server.Url("/rss.xml");
  FeedFetcher fetcher(context_);
  ASSERT_TRUE(fetcher.Fetch(url, 0));
  const std::string before = CachedFile(url);
  for (int answer : {204, 205, 0}) {
    status = answer;
    clock_.utc = testing::Utc(2024, 6, 2, 1, 2, 3, 0);
    EXPECT_FALSE(fetcher.Fetch(url, 0)) << answer;
    EXPECT_EQ(fetcher.last_outcome(), Outcome::kNotModified) << answer;
    EXPECT_EQ(CachedFile(url), before) << answer;
  }
}

TEST_F(FeedFetcherTest, FailuresLeaveTheCacheFileUntouched) {
  const char* const kModes[] = {"good", "error", "missing", "short", "huge", "hung"};
  std::atomic<int> mode{0};
  HttpTestServer server([&](const HttpTestRequest&) {
    const std::string m = kModes[mode.load()];
    if (m == "error") return HttpTestResponse::Status(500);
    if (m == "missing") return HttpTestResponse::Status(404);
    HttpTestResponse a = HttpTestResponse::Text(Feed(300));
    if (m == "short") a.declared_length = 5000;
    if (m == "huge") {
      a.declared_length = 5000000000LL;
      a.hang_after_bytes = 300;
    }
    if (m == "hung") a.hang_after_bytes = 0;
    return a;
  });
  ASSERT_TRUE(server.Start());
  const std::string url = server.Url("/rss.xml");
  context_.settings.time_out = 1;
  FeedFetcher fetcher(context_);
  ASSERT_TRUE(fetcher.Fetch(url, 0));
  const std::string before = CachedFile(url);
  for (int i = 1; i < 6; ++i) {
    mode = i;
    const char* m = kModes[i];
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(fetcher.Fetch(url, 0)) << m;
    EXPECT_EQ(fetcher.last_outcome(), Outcome::kFailed) << m;
    EXPECT_EQ(CachedFile(url), before) << m;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4)) << m;
  }
}

TEST_F(FeedFetcherTest, UndeclaredBodiesAreCutAtTheBlockLimit) {
  const std::string big(FeedFetcher::kMaxUndeclaredBody + 5000, 'q');
  HttpTestServer server([&](const HttpTestRequest&) {
    HttpTestResponse a = HttpTestResponse::Text(big);
    a.framing = Framing::kChunked;
    a.chunk_size = 65536;
    return a;
  });
  ASSERT_TRUE(server.Start());
  FeedFetcher fetcher(context_);
  ASSERT_TRUE(fetcher.Fetch(server.Url("/big"), 0));
  std::string cached;
  ASSERT_TRUE(fetcher.cache().Read(server.Url("/big"), &cached));
  EXPECT_EQ(cached.size(), FeedFetcher::kMaxUndeclaredBody);
}

// However long an undeclared body goes on, it is cut, never refused.
TEST_F(FeedFetcherTest, UndeclaredBodiesBeyondTheDeclaredLimitAreCutToo) {
  const std::string huge(FeedFetcher::kMaxBody + 70000, 'h');
  HttpTestServer server([&](const HttpTestRequest&) {
    HttpTestResponse a = HttpTestResponse::Text(huge);
    a.framing = Framing::kChunked;
    a.chunk_size = 1 << 20;
    return a;
  });
  ASSERT_TRUE(server.Start());
  FeedFetcher fetcher(context_);
  ASSERT_TRUE(fetcher.Fetch(server.Url("/huge"), 0));
  std::string cached;
  ASSERT_TRUE(fetcher.cache().Read(server.Url("/huge"), &cached));
  EXPECT_EQ(cached.size(), FeedFetcher::kMaxUndeclaredBody);
}

TEST_F(FeedFetcherTest, SuffixIsNotRequestedButKeysCacheAndCredentials) {
  HttpTestServer server([](const HttpTestRequest& r) {
    if (r.Header("Authorization") != "Basic YWxpY2U6c2VjcmV0") {  // alice:secret
      return HttpTestResponse::Status(401);
    }
    return HttpTestResponse::Text(Feed(100));
  });
  ASSERT_TRUE(server.Start());
  const std::string text = server.Url("/private.xml") + "[basic alice]";
  CredentialStore store;
  ASSERT_TRUE(store.Set(text, "alice", "secret"));
  ASSERT_TRUE(store.Save(context_.CredentialsPath()));

  FeedFetcher fetcher(context_);
  EXPECT_FALSE(fetcher.Fetch(text, 0));  // without the "basic" flag: no header, 401
  EXPECT_FALSE(server.Requests().back().HasHeader("Authorization"));
  EXPECT_TRUE(fetcher.Fetch(text, FeedFetcher::kSendCredentials | 2 | 4));
  EXPECT_EQ(server.Requests().back().path, "/private.xml");
  EXPECT_EQ(server.Requests().back().method, "GET");
  std::string cached;
  EXPECT_TRUE(fetcher.cache().Read(text, &cached));
  EXPECT_FALSE(fetcher.cache().Read(server.Url("/private.xml"), &cached));

  // Credentials of another text do not apply.
  EXPECT_FALSE(fetcher.Fetch(server.Url("/private.xml"), FeedFetcher::kSendCredentials));
}

TEST_F(FeedFetcherTest, UnauthorizedAfterARedirectionIsRetriedAtTheFinalAddress) {
  std::atomic<int> protected_calls{0};
  HttpTestServer server([&](const HttpTestRequest& r) {
    if (r.path == "/moved") return HttpTestResponse::Redirect(302, "/protected");
    // The first request to the final address is refused whatever it carries.
    if (++protected_calls == 1 || !r.HasHeader("Authorization")) {
      return HttpTestResponse::Status(401);
    }
    return HttpTestResponse::Text(Feed(200));
  });
  ASSERT_TRUE(server.Start());
  const std::string text = server.Url("/moved");
  CredentialStore store;
  ASSERT_TRUE(store.Set(text, "u", "p"));
  ASSERT_TRUE(store.Save(context_.CredentialsPath()));
  FeedFetcher fetcher(context_);
  EXPECT_TRUE(fetcher.Fetch(text, FeedFetcher::kSendCredentials));
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].path, "/moved");
  EXPECT_EQ(requests[1].path, "/protected");
  EXPECT_EQ(requests[2].path, "/protected");  // straight to the final address
  EXPECT_EQ(requests[2].Header("Authorization"), "Basic dTpw");
}

TEST_F(FeedFetcherTest, CredentialsAreNeverSentToAnotherHostAfterARedirection) {
  HttpTestServer elsewhere([](const HttpTestRequest&) { return HttpTestResponse::Status(401); });
  ASSERT_TRUE(elsewhere.Start());
  // The same machine under another name and port: a different host for the credentials.
  std::string target = elsewhere.Url("/trap");
  target.replace(target.find("127.0.0.1"), 9, "localhost");
  HttpTestServer server([&](const HttpTestRequest& r) {
    if (r.HasHeader("Authorization")) return HttpTestResponse::Status(401);
    return HttpTestResponse::Redirect(302, target);
  });
  ASSERT_TRUE(server.Start());
  const std::string text = server.Url("/moved");
  CredentialStore store;
  ASSERT_TRUE(store.Set(text, "u", "p"));
  ASSERT_TRUE(store.Save(context_.CredentialsPath()));
  FeedFetcher fetcher(context_);
  EXPECT_FALSE(fetcher.Fetch(text, FeedFetcher::kSendCredentials));
  for (const HttpTestRequest& r : elsewhere.Requests()) {
    EXPECT_FALSE(r.HasHeader("Authorization")) << r.path;
  }
}

TEST_F(FeedFetcherTest, LocalPathsAreReadWithoutTheNetwork) {
  HttpTestServer server([](const HttpTestRequest&) { return HttpTestResponse::Text("net"); });
  ASSERT_TRUE(server.Start());
  ASSERT_TRUE(platform::WriteWholeFile(folder_ / "a.xml", std::string("<rss>\0local</rss>", 17)));
  const std::string path = LocalPath("a.xml");
  FeedFetcher fetcher(context_);
  EXPECT_TRUE(fetcher.Fetch(path, 0));
  std::string cached;
  ASSERT_TRUE(fetcher.cache().Read(path, &cached));
  EXPECT_EQ(cached, std::string("<rss>\0local</rss>", 17));
  EXPECT_FALSE(fetcher.Fetch("C:\\no\\such\\feed.xml", 0));
  EXPECT_EQ(server.RequestCount(), 0);
}

TEST_F(FeedFetcherTest, SettingsDecideAgentProxyAndRefusal) {
  HttpTestServer proxy([](const HttpTestRequest& r) {
    return HttpTestResponse::Text(r.absolute ? Feed(80) : std::string("direct"));
  });
  ASSERT_TRUE(proxy.Start());
  context_.settings.user_agent = "Mozilla/4.0";
  context_.settings.type = 2;
  context_.settings.proxy = proxy.HostPort();  // host and port in the text, port 0
  context_.settings.port = 0;
  {
    FeedFetcher fetcher(context_);
    EXPECT_TRUE(fetcher.Fetch("http://feeds.korvo.invalid/rss", 0));
  }
  context_.settings.proxy = "127.0.0.1";
  context_.settings.port = proxy.port();
  {
    FeedFetcher fetcher(context_);
    EXPECT_TRUE(fetcher.Fetch("http://feeds.korvo.invalid/other", 0));
  }
  ASSERT_EQ(proxy.RequestCount(), 2);
  EXPECT_TRUE(proxy.Requests()[1].absolute);
  EXPECT_EQ(proxy.Requests()[0].Header("User-Agent"), "korvo/2.75");

  context_.settings.type = 3;
  FeedFetcher refused(context_);
  EXPECT_FALSE(refused.Fetch("http://feeds.korvo.invalid/rss2", 0));
  EXPECT_EQ(proxy.RequestCount(), 2);

  context_.settings.type = 1;
  FeedFetcher too_long(context_);
  EXPECT_FALSE(too_long.Fetch("http://" + proxy.HostPort() + "/" + std::string(2100, 'a'), 0));
  EXPECT_EQ(proxy.RequestCount(), 2);
}

}  // namespace
}  // namespace korvo
