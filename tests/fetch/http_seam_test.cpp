// The HTTP request operation of the platform seam against the in-process test server. The same
// cases run natively (libcurl) and under Wine (WinINet).
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "common/http_test_server.h"
#include "common/temp_folder.h"
#include "platform/http.h"

namespace korvo::platform {
namespace {

using testing::HttpTestRequest;
using testing::HttpTestResponse;
using testing::HttpTestServer;
using Framing = HttpTestResponse::Framing;

HttpOptions Direct(int timeout_ms = 5000) {
  HttpOptions o;
  o.proxy_type = 1;
  o.user_agent = "korvo/2.75";
  o.timeout_ms = timeout_ms;
  return o;
}

HttpRequest Get(const std::string& url) {
  HttpRequest r;
  r.url = url;
  return r;
}

long long MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               start)
      .count();
}

// Bytes with NUL in them, like a UTF-16 feed: "<rss>" in UTF-16LE with a BOM, repeated.
std::string Utf16Like(size_t repeats) {
  const std::string unit("\xFF\xFE<\0r\0s\0s\0>\0", 12);
  std::string out;
  for (size_t i = 0; i < repeats; ++i) out += unit;
  return out;
}

TEST(HttpSeamTest, BodiesArriveByteForByteWhateverTheFraming) {
  const std::string binary = Utf16Like(1000);  // 12000 bytes, many NULs
  HttpTestServer server([&](const HttpTestRequest& r) {
    HttpTestResponse a = HttpTestResponse::Text(binary, "application/xml");
    if (r.path == "/chunked") {
      a.framing = Framing::kChunked;
      a.chunk_size = 777;  // chunk borders fall inside UTF-16 units
    } else if (r.path == "/close") {
      a.framing = Framing::kClose;
      a.chunk_size = 1000;
    } else if (r.path == "/length-pieces") {
      a.chunk_size = 1500;  // a declared length arriving in pieces: one read is not enough
      a.piece_delay_ms = 20;
    }
    return a;
  });
  ASSERT_TRUE(server.Start());
  for (const char* path : {"/length", "/length-pieces", "/chunked", "/close"}) {
    HttpResponse response;
    ASSERT_EQ(HttpGet(Direct(), Get(server.Url(path)), &response), HttpError::kNone) << path;
    EXPECT_EQ(response.status, 200) << path;
    EXPECT_EQ(response.body, binary) << path;
    EXPECT_EQ(response.content_type, "application/xml") << path;
    EXPECT_EQ(response.final_url, server.Url(path)) << path;
    const bool declared = std::string(path).rfind("/length", 0) == 0;
    EXPECT_EQ(response.content_length, declared ? 12000 : -1) << path;
  }
}

TEST(HttpSeamTest, RequestCarriesAgentExtraHeadersAndNoCachePragma) {
  HttpTestServer server([](const HttpTestRequest&) { return HttpTestResponse::Text("ok"); });
  ASSERT_TRUE(server.Start());
  HttpOptions options = Direct();
  options.user_agent = "korvo/3 test";
  HttpRequest request = Get(server.Url("/h"));
  request.headers = {"If-Modified-Since: Sat, 01 Jan 2005 00:00:00 GMT", "X-Korvo: 1",
                     "Bad: line\r\nInjected: yes"};
  request.no_cache = true;
  request.hyperlink = true;
  HttpResponse response;
  ASSERT_EQ(HttpGet(options, request, &response), HttpError::kNone);
  ASSERT_EQ(server.RequestCount(), 1);
  const HttpTestRequest seen = server.Requests()[0];
  EXPECT_EQ(seen.method, "GET");
  EXPECT_EQ(seen.Header("User-Agent"), "korvo/3 test");
  EXPECT_EQ(seen.Header("If-Modified-Since"), "Sat, 01 Jan 2005 00:00:00 GMT");
  EXPECT_EQ(seen.Header("X-Korvo"), "1");
  EXPECT_FALSE(seen.HasHeader("Injected"));  // a header with a line break is not sent
  EXPECT_EQ(seen.Header("Pragma"), "no-cache");
}

TEST(HttpSeamTest, StatusCodesAreReportedAndErrorPagesAreBodies) {
  HttpTestServer server([](const HttpTestRequest& r) {
    if (r.path == "/304") return HttpTestResponse::Status(304);
    if (r.path == "/401") return HttpTestResponse::Status(401);
    return HttpTestResponse::Status(404);
  });
  ASSERT_TRUE(server.Start());
  HttpResponse response;
  ASSERT_EQ(HttpGet(Direct(), Get(server.Url("/304")), &response), HttpError::kNone);
  EXPECT_EQ(response.status, 304);
  EXPECT_TRUE(response.body.empty());
  ASSERT_EQ(HttpGet(Direct(), Get(server.Url("/401")), &response), HttpError::kNone);
  EXPECT_EQ(response.status, 401);
  ASSERT_EQ(HttpGet(Direct(), Get(server.Url("/missing")), &response), HttpError::kNone);
  EXPECT_EQ(response.status, 404);
  EXPECT_EQ(response.body, "<html><body>404</body></html>");
}

TEST(HttpSeamTest, RedirectionsAreFollowedAndTheFinalAddressIsKnown) {
  HttpTestServer server([&](const HttpTestRequest& r) {
    if (r.path == "/a") return HttpTestResponse::Redirect(301, "/b");
    if (r.path == "/b") return HttpTestResponse::Redirect(302, "/c?x=1");
    if (r.path == "/c?x=1") return HttpTestResponse::Text("final");
    if (r.path == "/loop") return HttpTestResponse::Redirect(302, "/loop");
    if (r.path == "/file") return HttpTestResponse::Redirect(302, "file:///etc/hostname");
    return HttpTestResponse::Status(404);
  });
  ASSERT_TRUE(server.Start());
  HttpResponse response;
  ASSERT_EQ(HttpGet(Direct(), Get(server.Url("/a")), &response), HttpError::kNone);
  EXPECT_EQ(response.status, 200);
  EXPECT_EQ(response.body, "final");
  EXPECT_EQ(response.final_url, server.Url("/c?x=1"));

  // An endless chain ends: as a failure or as the last redirection's answer, never a body.
  const HttpError loop = HttpGet(Direct(), Get(server.Url("/loop")), &response);
  EXPECT_TRUE(loop != HttpError::kNone || (response.status >= 300 && response.status < 400));
  EXPECT_LT(server.CountPath("/loop"), 50);

  // A redirection to a local file is never followed.
  const HttpError file = HttpGet(Direct(), Get(server.Url("/file")), &response);
  EXPECT_TRUE(file != HttpError::kNone || response.status == 302);
  if (file == HttpError::kNone) {
    EXPECT_TRUE(response.body.empty());
  }
}

TEST(HttpSeamTest, DeclaredLengthsAreCheckedBeforeAndAfterReading) {
  HttpTestServer server([](const HttpTestRequest& r) {
    HttpTestResponse a = HttpTestResponse::Text(std::string(100, 'x'));
    if (r.path == "/huge") {
      a.declared_length = 1000000000000LL;  // a terabyte that never comes
      a.hang_after_bytes = 400;             // a little of it, then silence
    } else if (r.path == "/short") {
      a.declared_length = 1000;  // 100 bytes, then the connection closes
    }
    return a;
  });
  ASSERT_TRUE(server.Start());
  HttpResponse response;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(HttpGet(Direct(3000), Get(server.Url("/huge")), &response), HttpError::kTooLarge);
  EXPECT_LT(MillisecondsSince(start), 2500);  // refused at once, not after the time-out

  HttpRequest small = Get(server.Url("/exact"));
  small.max_body = 99;
  EXPECT_EQ(HttpGet(Direct(), small, &response), HttpError::kTooLarge);
  small.max_body = 100;
  EXPECT_EQ(HttpGet(Direct(), small, &response), HttpError::kNone);
  EXPECT_EQ(response.body.size(), 100u);

  EXPECT_EQ(HttpGet(Direct(), Get(server.Url("/short")), &response), HttpError::kReadFailed);
}

TEST(HttpSeamTest, UndeclaredBodiesAreBoundedByCuttingOrRefusing) {
  const std::string body = Utf16Like(500);  // 6000 bytes
  HttpTestServer server([&](const HttpTestRequest& r) {
    HttpTestResponse a = HttpTestResponse::Text(body);
    a.framing = r.path == "/chunked" ? Framing::kChunked : Framing::kClose;
    a.chunk_size = 1000;
    return a;
  });
  ASSERT_TRUE(server.Start());
  for (const char* path : {"/chunked", "/close"}) {
    HttpRequest request = Get(server.Url(path));
    request.max_body = 4095;
    request.cut_at_max = true;
    HttpResponse response;
    ASSERT_EQ(HttpGet(Direct(), request, &response), HttpError::kNone) << path;
    EXPECT_TRUE(response.body_cut);
    EXPECT_EQ(response.body, body.substr(0, 4095)) << path;  // cut, never corrupted

    request.cut_at_max = false;
    EXPECT_EQ(HttpGet(Direct(), request, &response), HttpError::kTooLarge) << path;
  }
}

TEST(HttpSeamTest, SlowButSteadyAnswersOutlastTheTimeOut) {
  HttpTestServer server([](const HttpTestRequest&) {
    HttpTestResponse a = HttpTestResponse::Text(std::string(1000, 'y'));
    a.framing = Framing::kChunked;
    a.chunk_size = 100;
    a.delay_ms = 200;
    a.piece_delay_ms = 120;  // ten pieces: about 1.3 s in all, never 700 ms without a byte
    return a;
  });
  ASSERT_TRUE(server.Start());
  HttpResponse response;
  ASSERT_EQ(HttpGet(Direct(700), Get(server.Url("/slow")), &response), HttpError::kNone);
  EXPECT_EQ(response.body, std::string(1000, 'y'));
}

TEST(HttpSeamTest, HungServersHitTheTimeOut) {
  HttpTestServer server([](const HttpTestRequest& r) {
    HttpTestResponse a = HttpTestResponse::Text(std::string(1000, 'z'));
    a.hang_after_bytes = r.path == "/mute" ? 0 : 300;  // silent, or silent in the body
    return a;
  });
  ASSERT_TRUE(server.Start());
  for (const char* path : {"/mute", "/stalled"}) {
    HttpResponse response;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(HttpGet(Direct(500), Get(server.Url(path)), &response), HttpError::kTimedOut) << path;
    const long long took = MillisecondsSince(start);
    EXPECT_GE(took, 400) << path;
    EXPECT_LT(took, 4000) << path;
  }
}

// True under Wine. Its WinINet only invalidates a handle closed during a blocking call (the
// connection is closed when the call ends), so there the watchdog cannot cut a call that is
// stuck in the answer's header; the update run's worker pool bounds such fetches instead.
bool HeaderStallsOutlastTheDeadline() {
#ifdef _WIN32
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
  return false;
#endif
}

// Servers that never let the idle time-out run out: something arrives every 30 ms for over
// 2 s. Only the deadline (or the cancel flag) ends such a request early, whether it is stuck in
// the body, in the header or in interim answers.
TEST(HttpSeamTest, DeadlineAndCancellationEndARequestEarly) {
  HttpTestServer server([](const HttpTestRequest& r) {
    HttpTestResponse a = HttpTestResponse::Text(std::string(1000, 'w'));
    a.piece_delay_ms = 30;
    if (r.path == "/trickle") {
      a.framing = Framing::kChunked;
      a.chunk_size = 12;  // 84 pieces
    } else if (r.path == "/head-trickle") {
      a.head_piece_size = 1;  // a header of about 80 bytes
    } else if (r.path == "/continue") {
      a.interim_answers = 75;  // "100 Continue" after "100 Continue"
    } else {
      a.hang_after_bytes = 0;
    }
    return a;
  });
  ASSERT_TRUE(server.Start());
  const bool lenient = HeaderStallsOutlastTheDeadline();
  struct Case {
    const char* path;
    bool in_header;
  };
  for (const Case& c :
       {Case{"/trickle", false}, Case{"/head-trickle", true}, Case{"/continue", true}}) {
    HttpRequest request = Get(server.Url(c.path));
    request.deadline_ms = 400;
    HttpResponse response;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(HttpGet(Direct(2000), request, &response), HttpError::kTimedOut) << c.path;
    if (!(lenient && c.in_header)) {
      EXPECT_LT(MillisecondsSince(start), 1500) << c.path;
    }
  }

  for (const Case& c : {Case{"/hang", false}, Case{"/continue", true}}) {
    std::atomic<bool> cancel{false};
    HttpRequest request = Get(server.Url(c.path));
    request.cancel = &cancel;
    std::thread canceller([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
      cancel = true;
    });
    HttpResponse response;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(HttpGet(Direct(1000), request, &response), HttpError::kCancelled) << c.path;
    if (!(lenient && c.in_header)) {
      EXPECT_LT(MillisecondsSince(start), 1500) << c.path;
    }
    canceller.join();
  }
}

// A few interim answers before the real one are part of HTTP/1.1 and do not hurt.
TEST(HttpSeamTest, InterimAnswersBeforeTheRealOneAreSkipped) {
  HttpTestServer server([](const HttpTestRequest&) {
    HttpTestResponse a = HttpTestResponse::Text("after the interim answers");
    a.interim_answers = 3;
    return a;
  });
  ASSERT_TRUE(server.Start());
  HttpResponse response;
  ASSERT_EQ(HttpGet(Direct(), Get(server.Url("/c")), &response), HttpError::kNone);
  EXPECT_EQ(response.status, 200);
  EXPECT_EQ(response.body, "after the interim answers");
}

TEST(HttpSeamTest, HeaderOnlyRequestsDoNotWaitForTheBody) {
  HttpTestServer server([](const HttpTestRequest&) {
    HttpTestResponse a = HttpTestResponse::Text(std::string(5000, 'h'), "text/xml; charset=utf-8");
    a.hang_after_bytes = 200;  // the header, then nothing
    return a;
  });
  ASSERT_TRUE(server.Start());
  HttpRequest request = Get(server.Url("/type"));
  request.skip_body = true;
  HttpResponse response;
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(HttpGet(Direct(3000), request, &response), HttpError::kNone);
  EXPECT_LT(MillisecondsSince(start), 2500);
  EXPECT_EQ(response.status, 200);
  EXPECT_EQ(response.content_type, "text/xml; charset=utf-8");
}

TEST(HttpSeamTest, FailuresToConnectAndBadSettings) {
  HttpTestServer server([](const HttpTestRequest&) { return HttpTestResponse::Text("x"); });
  ASSERT_TRUE(server.Start());
  const std::string url = server.Url("/x");
  HttpResponse response;
  HttpOptions bad = Direct();
  bad.proxy_type = 3;
  EXPECT_EQ(HttpGet(bad, Get(url), &response), HttpError::kBadSettings);
  bad.proxy_type = -1;
  EXPECT_EQ(HttpGet(bad, Get(url), &response), HttpError::kBadSettings);
  bad.proxy_type = 2;
  bad.proxy.clear();
  EXPECT_EQ(HttpGet(bad, Get(url), &response), HttpError::kBadSettings);
  EXPECT_EQ(server.RequestCount(), 0);

  EXPECT_EQ(HttpGet(Direct(), Get("ftp://127.0.0.1/x"), &response), HttpError::kOpenFailed);
  EXPECT_EQ(HttpGet(Direct(), Get("not a url"), &response), HttpError::kOpenFailed);

  server.Stop();  // nothing listens there any more
  EXPECT_EQ(HttpGet(Direct(2000), Get(url), &response), HttpError::kOpenFailed);
}

TEST(HttpSeamTest, OfflineRequestsNeverReachTheServer) {
  HttpTestServer server([](const HttpTestRequest&) { return HttpTestResponse::Text("x"); });
  ASSERT_TRUE(server.Start());
  HttpOptions offline = Direct();
  offline.offline = true;
  HttpResponse response;
  EXPECT_NE(HttpGet(offline, Get(server.Url("/never-fetched")), &response), HttpError::kNone);
  EXPECT_EQ(server.RequestCount(), 0);
}

TEST(HttpSeamTest, NamedProxyCarriesRequestsExceptFor127001) {
  HttpTestServer origin([](const HttpTestRequest&) { return HttpTestResponse::Text("origin"); });
  HttpTestServer proxy([](const HttpTestRequest& r) {
    if (!r.absolute) return HttpTestResponse::Status(400);
    std::string target = r.target;  // some clients name the default port
    const size_t port = target.find(":80/");
    if (port != std::string::npos) target.erase(port, 3);
    return HttpTestResponse::Text("via proxy " + target);
  });
  ASSERT_TRUE(origin.Start());
  ASSERT_TRUE(proxy.Start());
  HttpOptions options = Direct();
  options.proxy_type = 2;
  options.proxy = proxy.HostPort();
  HttpResponse response;
  // A name no resolver knows: only the proxy can answer it.
  ASSERT_EQ(HttpGet(options, Get("http://feeds.korvo.invalid/rss.xml"), &response),
            HttpError::kNone);
  EXPECT_EQ(response.body, "via proxy http://feeds.korvo.invalid/rss.xml");
  ASSERT_EQ(proxy.RequestCount(), 1);
  EXPECT_TRUE(proxy.Requests()[0].absolute);

  // 127.0.0.1 is bypassed: straight to the origin, the proxy sees nothing more.
  ASSERT_EQ(HttpGet(options, Get(origin.Url("/local")), &response), HttpError::kNone);
  EXPECT_EQ(response.body, "origin");
  EXPECT_EQ(proxy.RequestCount(), 1);
  EXPECT_EQ(origin.CountPath("/local"), 1);

  // Direct mode never uses the proxy: the invented name cannot be reached.
  EXPECT_NE(HttpGet(Direct(2000), Get("http://feeds.korvo.invalid/rss.xml"), &response),
            HttpError::kNone);
  EXPECT_EQ(proxy.RequestCount(), 1);
}

TEST(HttpSeamTest, SystemModeWorksWithoutAConfiguredProxy) {
  HttpTestServer server([](const HttpTestRequest&) { return HttpTestResponse::Text("sys"); });
  ASSERT_TRUE(server.Start());
#ifndef _WIN32
  for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"}) {
    ::unsetenv(name);
  }
#endif
  HttpOptions options = Direct();
  options.proxy_type = 0;
  HttpResponse response;
  ASSERT_EQ(HttpGet(options, Get(server.Url("/s")), &response), HttpError::kNone);
  EXPECT_EQ(response.body, "sys");
}

TEST(HttpSeamTest, HttpsToAPlainServerFails) {
  HttpTestServer server([](const HttpTestRequest&) { return HttpTestResponse::Text("plain"); });
  ASSERT_TRUE(server.Start());
  HttpResponse response;
  EXPECT_NE(HttpGet(Direct(1000), Get("https://" + server.HostPort() + "/p"), &response),
            HttpError::kNone);
}

#ifdef _WIN32
// Windows: what an online request wrote into the URL cache is what an offline one answers.
TEST(HttpSeamTest, OfflineAnswersComeFromTheUrlCache) {
  HttpTestServer server([](const HttpTestRequest&) {
    HttpTestResponse a = HttpTestResponse::Text("cached body", "text/xml");
    a.headers.emplace_back("Last-Modified", "Sat, 01 Jan 2005 00:00:00 GMT");
    return a;
  });
  ASSERT_TRUE(server.Start());
  HttpResponse response;
  ASSERT_EQ(HttpGet(Direct(), Get(server.Url("/cached.xml")), &response), HttpError::kNone);
  HttpOptions offline = Direct();
  offline.offline = true;
  ASSERT_EQ(HttpGet(offline, Get(server.Url("/cached.xml")), &response), HttpError::kNone);
  EXPECT_EQ(response.body, "cached body");
  EXPECT_EQ(response.content_type, "text/xml");
  EXPECT_EQ(server.RequestCount(), 1);
}
#endif

#ifndef _WIN32
// POSIX: mode 0 is the proxy of the environment; mode 1 ignores it.
TEST(HttpSeamTest, SystemModeFollowsTheEnvironmentsProxy) {
  HttpTestServer proxy([](const HttpTestRequest& r) {
    return HttpTestResponse::Text(r.absolute ? "proxied" : "not a proxy request");
  });
  ASSERT_TRUE(proxy.Start());
  ::setenv("http_proxy", ("http://" + proxy.HostPort()).c_str(), 1);
  HttpOptions options = Direct();
  options.proxy_type = 0;
  HttpResponse response;
  const HttpError system = HttpGet(options, Get("http://feeds.korvo.invalid/a"), &response);
  const std::string body = response.body;
  options.proxy_type = 1;
  const HttpError direct = HttpGet(options, Get("http://feeds.korvo.invalid/a"), &response);
  ::unsetenv("http_proxy");
  ASSERT_EQ(system, HttpError::kNone);
  EXPECT_EQ(body, "proxied");
  EXPECT_NE(direct, HttpError::kNone);
  EXPECT_EQ(proxy.RequestCount(), 1);
}
#endif

#ifdef KORVO_TEST_TLS
// A certificate made for this run; the server speaks TLS with it.
class HttpsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cert_ = folder_ / "cert.pem";
    key_ = folder_ / "key.pem";
    const std::string command =
        "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 "
        "-subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 -keyout '" +
        key_ + "' -out '" + cert_ + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
  }
  testing::TempFolder folder_;
  std::string cert_;
  std::string key_;
};

TEST_F(HttpsTest, TrustedCertificateGivesTheBodyAndUnknownOneFails) {
  HttpTestServer server([](const HttpTestRequest& r) {
    if (r.path == "/r") return HttpTestResponse::Redirect(302, "/secret");
    return HttpTestResponse::Text(std::string("secure\0body", 11));
  });
  ASSERT_TRUE(server.StartTls(cert_, key_));
  ASSERT_EQ(server.Url("/").substr(0, 8), "https://");
  HttpOptions options = Direct();
  options.ca_file = cert_;
  HttpResponse response;
  ASSERT_EQ(HttpGet(options, Get(server.Url("/r")), &response), HttpError::kNone);
  EXPECT_EQ(response.body, std::string("secure\0body", 11));
  EXPECT_EQ(response.final_url, server.Url("/secret"));

  options.ca_file.clear();  // the system's roots do not know this certificate
  EXPECT_EQ(HttpGet(options, Get(server.Url("/secret")), &response), HttpError::kOpenFailed);
}
#endif

}  // namespace
}  // namespace korvo::platform
