// The local server over real sockets (natively and under Wine): the bytes of every route's
// answer, refused peers and requests, the plug-in's answers, the bounds on what one client can
// make the server read or wait for, and the reference-counted server object.
#include "server/local_server.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/tcp_socket.h"
#include "plugin_host/item_snapshot.h"
#include "plugin_host/plugin_dispatch.h"
#include "server/builtin_documents.h"
#include "server/http_answer.h"
#include "server/korvo_server.h"
#include "server/server_client.h"
#include "server/server_routes.h"

namespace korvo {
namespace {

using korvo::testing::Exchange;
using korvo::testing::Get;
using korvo::testing::Send;

constexpr char kDate[] = "Tue, 1 Feb 2005 03:04:05 GMT";
constexpr uint32_t kSecondLoopback = 0x7F000002;  // 127.0.0.2: another host
constexpr uint32_t kThirdLoopback = 0x7F000003;
constexpr uint32_t kFourthLoopback = 0x7F000004;

platform::CalendarTime FixedUtc() {
  platform::CalendarTime t;
  t.year = 2005;
  t.month = 2;
  t.day = 1;
  t.hour = 3;
  t.minute = 4;
  t.second = 5;
  return t;
}

class ListSource : public ShownItemSource {
 public:
  std::vector<TickerItem> ShownItems() const override { return items; }
  bool CurrentItem(TickerItem*) const override { return false; }
  std::vector<TickerItem> items;
};

// The plug-in of the tests: answers by the query it gets.
std::vector<std::string> g_queries;
std::vector<char*> g_released;
char g_text_answer[] = "HTTP/1.1 200 OK\nContent-Type: text/plain\n\nfrom the plug-in";
char g_raw_answer[] = "RAW\0BYTES";  // 9 bytes with a NUL inside

int PluginHandler(const char* query, char** answer) {
  g_queries.push_back(query);
  const std::string q = query;
  if (q.find("raw") != std::string::npos) {
    *answer = g_raw_answer;
    return 9;
  }
  if (q.find("fail") != std::string::npos) return -1;
  *answer = g_text_answer;
  return 0;
}
void PluginFree(char* answer) { g_released.push_back(answer); }

class TestPluginHost : public PluginHostBase {
 public:
  bool loaded() const override { return true; }
  PluginRequestHandler request_handler() const override { return PluginHandler; }
  PluginReleaseFunction release_function() const override { return PluginFree; }
  uint32_t send_mask() const override { return 0; }
  uint32_t post_mask() const override { return 0; }
  intptr_t SendNotification(int, intptr_t, intptr_t) override { return 0; }
  void PostNotification(int, intptr_t, intptr_t) override {}
};

class LocalServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_queries.clear();
    g_released.clear();
    source_ = std::make_shared<ListSource>();
    source_->items = {Item("A1", "http://a.example/", 12, TickerItem::kAdded),
                      Item("B1", "http://b.example/", 13, 0),
                      Item("<i>C1</i>", "http://c.example/", -1, TickerItem::kAdded)};
    SetShownItemSource(source_);
  }

  void TearDown() override {
    if (server_) server_->Stop();
    SetShownItemSource(nullptr);
    ReleaseAllItemSnapshots();
    PluginDispatch(kDispatchSetHost, 0, 0);
  }

  static TickerItem Item(const std::string& title, const std::string& site, int32_t id,
                         uint32_t state) {
    TickerItem item;
    item.title = title;
    item.link = site + title;
    item.site_name = "site " + site;
    item.site_link = site;
    item.id = id;
    item.state = state;
    return item;
  }

  std::shared_ptr<ServerRoutes> MakeRoutes() {
    ServerRoutes::Services services;
    services.utc_now = FixedUtc;
    services.latest_arrival = [this] {
      std::lock_guard<std::mutex> lock(mutex_);
      return latest_;
    };
    services.open_item = [this](int32_t id, std::string* link) {
      std::lock_guard<std::mutex> lock(mutex_);
      opened_.push_back(id);
      if (id == 0 || id == -1 || id == -2) return false;
      *link = id == 20   ? "javascript:alert(1)"
              : id == 21 ? "http://a.example/\x93\xFA\x96\x7B x"  // 日本 in CP932
                         : "http://a.example/" + std::to_string(id);
      return true;
    };
    return std::make_shared<ServerRoutes>(std::move(services));
  }

  void StartServer(bool local, const std::string& allow = "", int timeout_ms = 2000) {
    server_ = std::make_shared<LocalServer>();
    server_->SetLocalMode(local);
    ASSERT_EQ(server_->Bind(0, 16, local ? 1 : 0), SocketServer::kBound);
    server_->SetReadTimeout(timeout_ms);
    if (!allow.empty()) server_->SetAllowList(allow);
    server_->SetRouter(MakeRoutes());
    server_->set_accept_pause_ms(0);
    server_->SetObserver([this](const LocalServer::ConnectionReport& report) {
      std::lock_guard<std::mutex> lock(mutex_);
      reports_.push_back(report);
      reported_.notify_all();
    });
    ASSERT_EQ(server_->StartAccepting(), 0);
    port_ = server_->port();
    ASSERT_NE(port_, 0);
  }

  // Waits until `count` connections were served (an event from the server's thread).
  std::vector<LocalServer::ConnectionReport> WaitForReports(size_t count) {
    std::unique_lock<std::mutex> lock(mutex_);
    reported_.wait_for(lock, std::chrono::seconds(30), [&] { return reports_.size() >= count; });
    return reports_;
  }

  std::string Answer(const std::string& target, const std::string& headers = "") {
    const Exchange e = Send(port_, Get(target, port_, headers));
    EXPECT_TRUE(e.connected);
    EXPECT_TRUE(e.closed) << target;
    return e.answer;
  }

  std::vector<int32_t> Opened() {
    std::lock_guard<std::mutex> lock(mutex_);
    return opened_;
  }

  std::shared_ptr<ListSource> source_;
  std::shared_ptr<LocalServer> server_;
  uint16_t port_ = 0;
  std::mutex mutex_;
  std::condition_variable reported_;
  std::vector<LocalServer::ConnectionReport> reports_;
  std::vector<int32_t> opened_;
  platform::CalendarTime latest_;
};

TEST_F(LocalServerTest, EveryRouteAnswersWithItsExactFramingAndPrefixMatching) {
  StartServer(true);
  const std::string html = StandardHead(ContentKind::kHtml, kDate);
  const std::string xml = StandardHead(ContentKind::kXml, kDate);
  const std::string echo_head = EchoHead(kDate);
  struct Case {
    std::string target;
    std::string answer;
  };
  const std::vector<Case> cases = {
      {"echo?echo=%3Cb%3E<b>", echo_head + "<html><head><head><body><h1>%3Cb%3E&lt;b&gt;</h1>"
                                           "</body></html>"},
      {"ECHO2?echo=a+b", echo_head + "<html><head><head><body><h1>a+b</h1></body></html>"},
      {"redirect?location=http://x.example/a%20b", RedirectAnswer("http://x.example/a%20b", kDate)},
      {"redirect?location=http://l.example/&id=12", RedirectAnswer("http://l.example/", kDate)},
      {"redirect?id=12", RedirectAnswer("http://a.example/12", kDate)},
      {"redirectx?id=13abc", RedirectAnswer("http://a.example/13", kDate)},
      // Feeds choose the links: another scheme is not handed on; Japanese goes as UTF-8.
      {"redirect?id=20", RedirectAnswer("", kDate)},
      {"redirect?id=21", RedirectAnswer("http://a.example/%E6%97%A5%E6%9C%AC%20x", kDate)},
      {"redirect?id=-1", ""},
      {"redirect", ""},
      {"echo", ""},
      {"isupdate?date=2000/02/01T00:00:00",
       html + "<html><head><meta http-equiv=\"Pragma\" content=\"no-cache\"><meta "
              "http-equiv=\"Cache-Control\" content=\"no-cache\"></head><body><div id = "
              "\"return\">false</div></body></html>"},
      {"xmlisupdate", xml + "<?xml version=\"1.0\" encoding=\"Shift_JIS\" ?>\n<isupdate "
                            "version=\"1.0\" xmlns=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" "
                            "xml:lang=\"ja\"><year>0</year>\n<month>0</month>\n<day>0</day>\n"
                            "<hour>0</hour>\n<minute>0</minute>\n<second>0</second>\n</isupdate>"},
      {"index.html", html + BuiltinIndexDocument()},
      {"Style.CSS?x", StandardHead(ContentKind::kCss, kDate) + BuiltinStyleSheet()},
      {"", ""},
      {"favicon.ico", ""},
      {"dllfunc?cmd=get", ""},  // no plug-in
  };
  for (const Case& c : cases) EXPECT_EQ(Answer(c.target), c.answer) << c.target;
  EXPECT_EQ(Opened(), (std::vector<int32_t>{12, 13, 20, 21, -1}));
  EXPECT_NE(BuiltinIndexDocument().find("<title>KorvoNewsReader(resource)</title>"),
            std::string::npos);

  // The item routes: the shown list through a copy that is given back after the request.
  std::string items = Answer("itemsfoo");
  ASSERT_EQ(items.compare(0, html.size(), html), 0);
  EXPECT_NE(items.find("id = \"sitelink3\""), std::string::npos);
  EXPECT_NE(items.find("&lt;i&gt;C1&lt;/i&gt;"), std::string::npos);
  EXPECT_EQ(items.find("<i>"), std::string::npos);
  EXPECT_NE(items.find("<a href = \"/redirect?id=12\""), std::string::npos);
  EXPECT_NE(items.find("<a href = \"http://c.example/&lt;i&gt;C1&lt;/i&gt;\""), std::string::npos);
  items = Answer("Items?view=NEW&view=all");
  EXPECT_NE(items.find("A1"), std::string::npos);
  EXPECT_EQ(items.find("B1"), std::string::npos);
  EXPECT_NE(items.find("id=\"item2\""), std::string::npos);
  EXPECT_EQ(items.find("id=\"item3\""), std::string::npos);
  const std::string doc = Answer("xmlitems?site=http://B.EXAMPLE");
  ASSERT_EQ(doc.compare(0, xml.size(), xml), 0);
  EXPECT_NE(doc.find("<title url = \"/redirect?id=13\">B1</title>"), std::string::npos);
  EXPECT_EQ(doc.find("A1"), std::string::npos);
  EXPECT_EQ(OutstandingItemSnapshots(), 0u);

  // The update check once something has arrived.
  {
    std::lock_guard<std::mutex> lock(mutex_);
    latest_ = FixedUtc();
  }
  EXPECT_NE(Answer("isupdate?date=2005/02/01T03:04:04")
                .find("\"return\">true</div><div id = "
                      "\"year\">2005</div>"),
            std::string::npos);
  EXPECT_NE(Answer("xmlisupdate?date=2005/02/01T03:04:05").find("<year>0</year>"),
            std::string::npos);
}

TEST_F(LocalServerTest, RequestsThatAreNotGetRequestsGetNoByte) {
  StartServer(true);
  const std::string host = "Host: localhost:" + std::to_string(port_) + "\r\n";
  for (const std::string& request :
       {std::string("HEAD /echo?echo=x HTTP/1.1\r\n") + host + "\r\n",
        "POST /form HTTP/1.1\r\n" + host + "X: GET /echo?echo=x\r\n\r\nGET /echo?echo=x",
        std::string("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03\n\n", 13),
        std::string("GET\r\n\r\n")}) {
    const Exchange e = Send(port_, request);
    EXPECT_TRUE(e.closed);
    EXPECT_EQ(e.answer, "") << request;
  }
  // A connection that sends nothing and ends: closed without a byte.
  const Exchange empty = Send(port_, "", platform::kAnyAddress, true);
  EXPECT_TRUE(empty.closed);
  EXPECT_EQ(empty.answer, "");
}

TEST_F(LocalServerTest, LocalModeServesOnlyTheLoopbackAddressItself) {
  StartServer(true);
  const Exchange other = Send(port_, Get("echo?echo=x", port_), kSecondLoopback);
  ASSERT_TRUE(other.connected);
  EXPECT_TRUE(other.closed);
  EXPECT_EQ(other.answer, "");
  EXPECT_NE(Send(port_, Get("echo?echo=x", port_)).answer.find("<h1>x</h1>"), std::string::npos);
  // Refused peers never reach the request reading.
  const auto reports = WaitForReports(1);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].peer, platform::kLoopbackAddress);
}

TEST_F(LocalServerTest, InternetModeServesTheAllowListAndLoopbackOnly) {
  StartServer(false, "127.0.0.3 127.0.0.4 127.0.0.0/8");
  EXPECT_EQ(server_->refused_entries(), (std::vector<std::string>{"127.0.0.0/8"}));
  for (uint32_t from : {platform::kAnyAddress, kThirdLoopback, kFourthLoopback}) {
    EXPECT_NE(Send(port_, Get("echo?echo=ok", port_), from).answer.find("<h1>ok</h1>"),
              std::string::npos)
        << from;
  }
  const Exchange refused = Send(port_, Get("echo?echo=ok", port_), kSecondLoopback);
  ASSERT_TRUE(refused.connected);
  EXPECT_TRUE(refused.closed);
  EXPECT_EQ(refused.answer, "");
  // Any Host is served in this mode (the server is reached by its addresses).
  EXPECT_NE(Send(port_, "GET /echo?echo=h HTTP/1.1\r\nHost: 192.168.1.5:" + std::to_string(port_) +
                            "\r\n\r\n")
                .answer.find("<h1>h</h1>"),
            std::string::npos);
}

TEST_F(LocalServerTest, ForeignHostsAndOtherSitesCannotChangeState) {
  StartServer(true);
  TestPluginHost plugin;
  PluginDispatch(kDispatchSetHost, reinterpret_cast<intptr_t>(&plugin), 0);
  const std::string port = std::to_string(port_);
  // A DNS name rebound to 127.0.0.1 brings its own Host.
  EXPECT_EQ(Send(port_, "GET /items HTTP/1.1\r\nHost: evil.example:" + port + "\r\n\r\n").answer,
            "");
  EXPECT_EQ(Send(port_, "GET /index.html HTTP/1.1\r\nHost: localhost:1\r\n\r\n").answer, "");
  // Without a Host (not a browser) the request is served.
  EXPECT_NE(Send(port_, "GET /echo?echo=1 HTTP/1.0\r\n\r\n").answer.find("<h1>1</h1>"),
            std::string::npos);

  struct Case {
    std::string target;
    std::string headers;
    bool answered;
  };
  const std::vector<Case> cases = {
      {"redirect?id=12", "Origin: http://evil.example\r\n", false},
      {"redirect?id=12", "Sec-Fetch-Site: cross-site\r\n", false},
      {"redirect?id=12", "Referer: http://127.0.0.1:8080/attack.html\r\n", false},
      {"dllfunc?cmd=delete&file=x", "Sec-Fetch-Site: same-site\r\n", false},
      {"dllfunc?cmd=delete&file=x", "Origin: null\r\n", false},
      {"index.html", "Referer: http://evil.example/\r\n", false},
      {"style.css", "Sec-Fetch-Site: cross-site\r\n", false},
      // Reading routes stay open to any page; a redirect to a location changes nothing.
      {"items", "Sec-Fetch-Site: cross-site\r\n", true},
      {"redirect?location=http://a.example/", "Origin: http://evil.example\r\n", true},
      // The program's own pages and requests without marks.
      {"redirect?id=13", "Referer: http://localhost:" + port + "/items?view=new\r\n", true},
      {"redirect?id=14", "Sec-Fetch-Site: same-origin\r\n", true},
      {"dllfunc?cmd=list", "Sec-Fetch-Site: none\r\n", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(!Answer(c.target, c.headers).empty(), c.answered) << c.target << " " << c.headers;
  }
  EXPECT_EQ(Opened(), (std::vector<int32_t>{13, 14}));
  EXPECT_EQ(g_queries, (std::vector<std::string>{"cmd=list"}));
}

TEST_F(LocalServerTest, PluginAnswersAreSentAsTheyAreAndGivenBack) {
  StartServer(true);
  TestPluginHost plugin;
  PluginDispatch(kDispatchSetHost, reinterpret_cast<intptr_t>(&plugin), 0);
  // The query is rebuilt in key order.
  EXPECT_EQ(Answer("dllfunc?file=index&cmd=get"), g_text_answer);
  EXPECT_EQ(Answer("dllfuncX?raw=1"), std::string(g_raw_answer, 9));
  EXPECT_EQ(Answer("dllfunc?fail=1"), "");
  EXPECT_EQ(g_queries, (std::vector<std::string>{"cmd=get&file=index", "raw=1", "fail=1"}));
  EXPECT_EQ(g_released, (std::vector<char*>{g_text_answer, g_raw_answer}));
}

TEST_F(LocalServerTest, WhatOneClientCanMakeTheServerReadOrWaitForIsBounded) {
  StartServer(true, "", 10000);
  // A request of exactly 4096 bytes (one full read) is answered at once, not after the read
  // time-out: its head is complete.
  const std::string head =
      "GET /echo?echo=exact HTTP/1.1\r\nHost: localhost:" + std::to_string(port_) + "\r\nX-Pad: ";
  const std::string exact = head + std::string(4096 - head.size() - 4, 'p') + "\r\n\r\n";
  ASSERT_EQ(exact.size(), 4096u);
  const uint64_t start = platform::MonotonicMilliseconds();
  EXPECT_NE(Send(port_, exact).answer.find("<h1>exact</h1>"), std::string::npos);
  EXPECT_LT(platform::MonotonicMilliseconds() - start, 5000u);
  auto reports = WaitForReports(1);
  EXPECT_EQ(reports[0].bytes, 4096u);

  // A head that never ends: at most 385 reads (1,576,960 bytes), then the request is routed by
  // what arrived, and the next client is served.
  const std::string endless = head + std::string(2 << 20, 'q');
  std::thread sender([this, &endless] {
    platform::TcpSocket socket =
        platform::ConnectIpv4(platform::kLoopbackAddress, port_, 5000, platform::kAnyAddress);
    platform::SendAll(socket, endless.data(), endless.size(), 3000, 20000);
  });
  reports = WaitForReports(2);
  sender.join();
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[1].reads, LocalServer::kMaxReads);
  EXPECT_LE(reports[1].bytes, size_t{385} * 4096);
  EXPECT_TRUE(reports[1].parsed);
  EXPECT_EQ(reports[1].result, RouteAnswer::kText);
  EXPECT_NE(Answer("echo?echo=next").find("<h1>next</h1>"), std::string::npos);
}

// A server that tells when it has taken a connection.
class SignallingServer : public LocalServer {
 public:
  void WaitForPeer() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return peers_ > 0; });
  }

 protected:
  int CheckPeer(const platform::TcpSocket& socket, uint32_t peer) override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      ++peers_;
    }
    changed_.notify_all();
    return LocalServer::CheckPeer(socket, peer);
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int peers_ = 0;
};

TEST_F(LocalServerTest, ARequestStillBeingReadWhenTheServerStopsIsNotRouted) {
  auto server = std::make_shared<SignallingServer>();
  ASSERT_EQ(server->Bind(0, 4, 1), SocketServer::kBound);
  server->SetReadTimeout(10000);
  server->SetRouter(MakeRoutes());
  server->SetObserver([this](const LocalServer::ConnectionReport& report) {
    std::lock_guard<std::mutex> lock(mutex_);
    reports_.push_back(report);
    reported_.notify_all();
  });
  ASSERT_EQ(server->StartAccepting(), 0);
  const uint16_t port = server->port();
  platform::TcpSocket client =
      platform::ConnectIpv4(platform::kLoopbackAddress, port, 5000, platform::kAnyAddress);
  ASSERT_TRUE(client.valid());
  const std::string request = Get("redirect?id=12", port);
  const std::string head = request.substr(0, request.size() - 2);  // the empty line still to come
  ASSERT_TRUE(platform::SendAll(client, head.data(), head.size(), 5000));
  server->WaitForPeer();
  server->Stop(0);  // gives up at once: the accepting thread is still reading
  server->Stop(0);  // and a second Stop leaves the socket it owns alone
  ASSERT_TRUE(platform::SendAll(client, "\r\n", 2, 5000));
  Exchange rest;
  korvo::testing::ReadToClose(client, &rest, 10000);
  EXPECT_TRUE(rest.closed);
  EXPECT_EQ(rest.answer, "");
  const auto reports = WaitForReports(1);
  EXPECT_FALSE(reports[0].parsed);
  EXPECT_TRUE(Opened().empty());  // the item was not marked read
}

TEST_F(LocalServerTest, SilentClientDelaysOthersByOneReadTimeoutAtMost) {
  constexpr int kTimeoutMs = 300;
  StartServer(true, "", kTimeoutMs);
  platform::TcpSocket silent =
      platform::ConnectIpv4(platform::kLoopbackAddress, port_, 5000, platform::kAnyAddress);
  ASSERT_TRUE(silent.valid());
  const uint64_t start = platform::MonotonicMilliseconds();
  EXPECT_NE(Answer("echo?echo=waited").find("<h1>waited</h1>"), std::string::npos);
  EXPECT_LT(platform::MonotonicMilliseconds() - start, uint64_t{kTimeoutMs} + 2700);
  Exchange dropped;
  korvo::testing::ReadToClose(silent, &dropped, 5000);
  EXPECT_TRUE(dropped.closed);
  EXPECT_EQ(dropped.answer, "");
  const auto reports = WaitForReports(2);
  EXPECT_FALSE(reports[0].parsed);
  EXPECT_EQ(reports[0].bytes, 0u);
}

TEST_F(LocalServerTest, TenThousandMixedRequestsInARowLeaveTheServerAnswering) {
  StartServer(true, "", 1000);
  std::mt19937 random(14);
  int answered = 0;
  int silent = 0;
  for (int i = 0; i < 10000; ++i) {
    std::string request;
    bool expect_answer = true;
    switch (i % 6) {
      case 0:
        request = Get("echo?echo=" + std::to_string(i), port_);
        break;
      case 1:
        request = Get(i % 12 == 1 ? "items?view=new" : "xmlitems", port_);
        break;
      case 2:
        request = Get("xmlisupdate?date=2005/02/01T00:00:0" + std::to_string(i % 10), port_);
        break;
      case 3:
        request = Get("unknown/" + std::to_string(i), port_);
        expect_answer = false;
        break;
      case 4:
        request = "HEAD / HTTP/1.1\r\n\r\n";
        expect_answer = false;
        break;
      default: {
        request.resize(1 + random() % 600);
        for (char& c : request) c = static_cast<char>(random() % 256);
        if (request.compare(0, 4, "GET ") == 0) request[0] = 'X';
        expect_answer = false;
        break;
      }
    }
    const Exchange e = Send(port_, request, platform::kAnyAddress, true, 5000);
    ASSERT_TRUE(e.connected) << i;
    ASSERT_TRUE(e.closed) << i;
    ASSERT_EQ(!e.answer.empty(), expect_answer) << i;
    (expect_answer ? answered : silent) += 1;
  }
  EXPECT_EQ(answered, 5001);
  EXPECT_EQ(silent, 4999);
  EXPECT_NE(Answer("echo?echo=still").find("<h1>still</h1>"), std::string::npos);
  EXPECT_EQ(OutstandingItemSnapshots(), 0u);
}

TEST(KorvoServerObject, OneCountedObjectBindsStartsAndStopsWithItsLastReference) {
  IKorvoServer* first = AcquireKorvoServer();
  IKorvoServer* second = AcquireKorvoServer();
  ASSERT_EQ(first, second);
  void* queried = nullptr;
  EXPECT_EQ(first->QueryInterface("ikorvoserver", &queried), 0);
  EXPECT_EQ(queried, static_cast<void*>(first));
  void* unknown = &queried;
  EXPECT_EQ(first->QueryInterface("IUnknown", &unknown), -1);
  EXPECT_EQ(unknown, nullptr);
  EXPECT_EQ(first->QueryInterface("IMyUnknown", &unknown), 0);
  EXPECT_EQ(first->Release(), 3);

  EXPECT_EQ(first->LastError(), -2);
  EXPECT_EQ(first->Start(), -1);
  EXPECT_EQ(first->Reserved(), 0);
  // A port in use leaves the object without a server.
  platform::SocketLibrary library;
  platform::TcpSocket taken = platform::OpenTcpSocket();
  ASSERT_TRUE(platform::BindIpv4(taken, platform::kLoopbackAddress, 0));
  ASSERT_TRUE(platform::Listen(taken, 1));
  EXPECT_EQ(first->Init(platform::LocalPort(taken), 5, 1, 1000), 0);
  EXPECT_EQ(first->LastError(), SocketServer::kBindFailed);
  EXPECT_EQ(first->Start(), -1);
  EXPECT_EQ(first->Init(0, 5, 2, 1000), 0);
  EXPECT_EQ(first->LastError(), SocketServer::kBadMode);

  ServerRoutes::Services services;
  services.utc_now = FixedUtc;
  first->SetRouter(std::make_shared<ServerRoutes>(services));
  EXPECT_EQ(first->Init(0, 5, 1, 500), 0);
  EXPECT_EQ(first->LastError(), 0);
  EXPECT_EQ(first->Server().read_timeout(), 500);
  const uint16_t port = first->Port();
  ASSERT_NE(port, 0);
  EXPECT_EQ(first->Start(), 0);
  EXPECT_NE(Send(port, Get("echo?echo=obj", port)).answer.find("<h1>obj</h1>"), std::string::npos);

  EXPECT_EQ(second->Release(), 2);
  EXPECT_EQ(static_cast<IKorvoServer*>(queried)->Release(), 1);
  EXPECT_EQ(first->Release(), 0);  // stops the server
  EXPECT_FALSE(Send(port, Get("echo?echo=gone", port)).answer.find("gone") != std::string::npos);
  IKorvoServer* fresh = AcquireKorvoServer();
  EXPECT_EQ(fresh->LastError(), -2);
  EXPECT_EQ(fresh->Release(), 0);
}

}  // namespace
}  // namespace korvo
