// The general download and the content-type probe against the in-process test server.
#include "fetch/web_download.h"

#include <gtest/gtest.h>

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

class WebDownloadTest : public testing::FetchTestBase {};

TEST_F(WebDownloadTest, BodiesComeWholeInEveryModeThatReachesTheNetwork) {
  const std::string icon("\0\0\1\0\1\0\x10\x10", 8);
  HttpTestServer server([&](const HttpTestRequest& r) {
    if (r.path == "/missing") return HttpTestResponse::Status(404);
    HttpTestResponse a = HttpTestResponse::Text(icon, "image/x-icon");
    if (r.path == "/chunked") a.framing = Framing::kChunked;
    return a;
  });
  ASSERT_TRUE(server.Start());
  std::string body;
  ASSERT_TRUE(Download(context_, server.Url("/favicon.ico"), 0, &body));
  EXPECT_EQ(body, icon);
  ASSERT_TRUE(Download(context_, server.Url("/chunked[suffix]"), 0, &body));
  EXPECT_EQ(body, icon);
  EXPECT_EQ(server.Requests().back().path, "/chunked");
  EXPECT_EQ(server.Requests().back().Header("Pragma"), "no-cache");
  // An error page is a body too: the caller judges it.
  ASSERT_TRUE(Download(context_, server.Url("/missing"), 0, &body));
  EXPECT_EQ(body, "<html><body>404</body></html>");

  const int before = server.RequestCount();
  EXPECT_FALSE(Download(context_, server.Url("/never-fetched"), 1, &body));  // offline
  EXPECT_FALSE(Download(context_, server.Url("/favicon.ico"), 2, &body));    // no such mode
  EXPECT_FALSE(Download(context_, server.Url("/") + std::string(3100, 'a'), 0, &body));
  EXPECT_EQ(server.RequestCount(), before);
}

TEST_F(WebDownloadTest, UnauthorizedAnswersAreRetriedWithTheCredentials) {
  HttpTestServer server([](const HttpTestRequest& r) {
    if (r.path == "/hop") return HttpTestResponse::Redirect(302, "/menu.xml");
    if (r.Header("Authorization") == "Basic bWU6cHc=") return HttpTestResponse::Text("<menu/>");
    return HttpTestResponse::Status(401);
  });
  ASSERT_TRUE(server.Start());
  std::string body;
  // Without credentials: the 401 gives no body, after one request.
  EXPECT_FALSE(Download(context_, server.Url("/menu.xml"), 0, &body));
  EXPECT_EQ(server.RequestCount(), 1);

  CredentialStore store;
  ASSERT_TRUE(store.Set(server.Url("/hop"), "me", "pw"));
  ASSERT_TRUE(store.Set(server.Url("/menu.xml"), "me", "wrong"));
  ASSERT_TRUE(store.Save(context_.CredentialsPath()));
  server.ClearRequests();
  ASSERT_TRUE(Download(context_, server.Url("/hop"), 0, &body));
  EXPECT_EQ(body, "<menu/>");
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 4u);  // /hop, /menu.xml (401), /hop with credentials, /menu.xml
  EXPECT_FALSE(requests[0].HasHeader("Authorization"));
  EXPECT_EQ(requests[3].Header("Authorization"), "Basic bWU6cHc=");

  // Wrong credentials: three attempts, then no body.
  server.ClearRequests();
  EXPECT_FALSE(Download(context_, server.Url("/menu.xml"), 0, &body));
  EXPECT_EQ(server.RequestCount(), 3);
}

TEST_F(WebDownloadTest, LocalFilesAndBounds) {
  ASSERT_TRUE(platform::WriteWholeFile(folder_ / "m.xml", std::string("<m>\0</m>", 8)));
  std::string body;
  ASSERT_TRUE(Download(context_, LocalPath("m.xml"), 0, &body));
  EXPECT_EQ(body, std::string("<m>\0</m>", 8));
  EXPECT_FALSE(Download(context_, LocalPath("none.xml"), 0, &body));

  HttpTestServer server([](const HttpTestRequest&) {
    HttpTestResponse a = HttpTestResponse::Text("x");
    a.declared_length = int64_t{1} << 40;
    a.hang_after_bytes = 200;
    return a;
  });
  ASSERT_TRUE(server.Start());
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(Download(context_, server.Url("/huge"), 0, &body));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
}

TEST_F(WebDownloadTest, ProbeGivesTheContentTypeWithoutTheBody) {
  HttpTestServer server([](const HttpTestRequest& r) {
    if (r.path == "/none") {
      HttpTestResponse a;
      a.body = "x";
      return a;
    }
    HttpTestResponse a = HttpTestResponse::Text(std::string(100000, 'r'), "application/rss+xml");
    a.hang_after_bytes = 300;  // the header only, then silence
    return a;
  });
  ASSERT_TRUE(server.Start());
  context_.settings.time_out = 60;  // the probe's own 3000 ms apply
  std::string type;
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(ProbeContentType(context_, server.Url("/feed"), 0, &type));
  EXPECT_EQ(type, "application/rss+xml");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
  ASSERT_TRUE(ProbeContentType(context_, server.Url("/none"), 0, &type));
  EXPECT_EQ(type, "");
  EXPECT_FALSE(ProbeContentType(context_, LocalPath("a.xml"), 0, &type));
  server.Stop();
  EXPECT_FALSE(ProbeContentType(context_, server.Url("/feed"), 0, &type));
}

}  // namespace
}  // namespace korvo
