#include "channels/feed_discovery.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/http_test_server.h"
#include "common/temp_folder.h"
#include "platform/files.h"

namespace korvo {
namespace {

using testing::TempFolder;

struct Event {
  int request = 0;
  std::string what;           // "started", "feed", "page"
  std::string text;           // feed address; for "page" the name of the document's first element
  bool file_present = false;  // whether the request's "_t_" file existed at the time
};

class Recorder : public DiscoveryListener {
 public:
  explicit Recorder(std::string folder) : folder_(std::move(folder)) {}

  void OnDiscoveryStarted(int request) override { Add(request, "started", ""); }
  void OnFeedFound(int request, const std::string& feed_address) override {
    Add(request, "feed", feed_address);
  }
  void OnPageIsFeed(int request, const XmlDocument& document) override {
    const XmlNode* node = document.root();
    while (node != nullptr && !node->IsElement()) node = node->next;
    Add(request, "page", node != nullptr ? node->value : "");
  }

  std::vector<Event> Of(int request) const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<Event> result;
    for (const Event& e : events_) {
      if (e.request == request) result.push_back(e);
    }
    return result;
  }
  size_t size() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return events_.size();
  }

 private:
  void Add(int request, const char* what, const std::string& text) {
    const bool present = platform::FileExists(folder_ + "/" + DiscoveryFileName(request));
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back(Event{request, what, text, present});
  }

  std::string folder_;
  mutable std::mutex mutex_;
  std::vector<Event> events_;
};

// Pages by address and mode; records the calls.
class FakeWeb {
 public:
  void Serve(const std::string& address, const std::string& body, int mode = 0) {
    std::lock_guard<std::mutex> lock(mutex_);
    pages_[{address, mode}] = body;
  }
  PageDownloader Downloader() {
    return
        [this](const std::string& address, int mode, std::string* body, const std::atomic<bool>*) {
          std::lock_guard<std::mutex> lock(mutex_);
          calls_.push_back(address + "#" + std::to_string(mode));
          auto it = pages_.find({address, mode});
          if (it == pages_.end()) return false;
          *body = it->second;
          return true;
        };
  }
  std::vector<std::string> calls() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_;
  }

 private:
  mutable std::mutex mutex_;
  std::map<std::pair<std::string, int>, std::string> pages_;
  std::vector<std::string> calls_;
};

std::vector<std::string> FeedsOf(const std::vector<Event>& events) {
  std::vector<std::string> feeds;
  for (const Event& e : events) {
    if (e.what == "feed") feeds.push_back(e.text);
  }
  return feeds;
}

bool NoTemporaryFiles(const std::string& folder) {
  for (const platform::DirectoryEntry& entry : platform::ListDirectory(folder)) {
    if (entry.name.rfind("_t_", 0) == 0) return false;
  }
  return true;
}

class FeedDiscoveryTest : public ::testing::Test {
 protected:
  TempFolder folder_;
  FakeWeb web_;
  std::shared_ptr<Recorder> recorder_ = std::make_shared<Recorder>(folder_.path());
};

TEST_F(FeedDiscoveryTest, AnnouncedFeedsAreReportedWhileTheTemporaryFileExists) {
  web_.Serve("http://example.jp/dir/page.html",
             "<html><head><title>x</title>"
             "<link rel=\"alternate\" type=\"application/rss+xml\" href=\"/index.rdf\">"
             "<link rel=\"stylesheet\" type=\"text/css\" href=\"s.css\">"
             "<link title=\"ATOM\" href=\"atom.xml\">"
             "</head><body></body></html>");
  FeedDiscovery discovery(folder_.path(), web_.Downloader());
  const int request = discovery.StartDiscovery(recorder_, "http://example.jp/dir/page.html");
  ASSERT_GT(request, 0);
  discovery.WaitForAll();

  const std::vector<Event> events = recorder_->Of(request);
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].what, "started");
  EXPECT_FALSE(events[0].file_present);
  EXPECT_EQ(FeedsOf(events), (std::vector<std::string>{"http://example.jp/index.rdf",
                                                       "http://example.jp/dir/atom.xml"}));
  EXPECT_TRUE(events[1].file_present);  // the page was examined from "_t_<request>"
  EXPECT_TRUE(NoTemporaryFiles(folder_.path()));
  EXPECT_EQ(web_.calls(), (std::vector<std::string>{"http://example.jp/dir/page.html#0"}));
}

TEST_F(FeedDiscoveryTest, APageThatIsItselfAFeed) {
  web_.Serve("https://example.jp/rss",
             "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel>"
             "<title>t</title></channel></rss>");
  web_.Serve("http://example.jp/atom.xml", "<feed><title>a</title><head/></feed>");
  std::string utf16 = "\xFF\xFE";  // a UTF-16LE feed with its byte-order mark
  for (char c : std::string("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<rss><channel/></rss>")) {
    utf16 += c;
    utf16 += '\0';
  }
  web_.Serve("http://example.jp/utf16.xml", utf16);
  FeedDiscovery discovery(folder_.path(), web_.Downloader());
  const int rss = discovery.StartDiscovery(recorder_, "https://example.jp/rss");
  const int atom = discovery.StartDiscovery(recorder_, "http://example.jp/atom.xml");
  const int wide = discovery.StartDiscovery(recorder_, "http://example.jp/utf16.xml");
  discovery.WaitForAll();

  std::vector<Event> events = recorder_->Of(rss);
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[1].what, "feed");
  EXPECT_EQ(events[1].text, "https://example.jp/rss");
  EXPECT_EQ(events[2].what, "page");
  EXPECT_EQ(events[2].text, "rss");
  events = recorder_->Of(atom);
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[2].text, "feed");
  events = recorder_->Of(wide);
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[2].text, "rss");
  EXPECT_TRUE(NoTemporaryFiles(folder_.path()));
}

TEST_F(FeedDiscoveryTest, PagesThatStartNoDiscovery) {
  FeedDiscovery discovery(folder_.path(), web_.Downloader());
  for (const std::string& page :
       {std::string("about:blank"), std::string("ABOUT:BLANK"), std::string("file:///C:/a.html"),
        std::string(""), "http://example.jp/" + std::string(1006, 'a')}) {
    EXPECT_EQ(discovery.StartDiscovery(recorder_, page), 0) << page.size();
  }
  EXPECT_EQ(discovery.StartDiscovery(nullptr, "http://example.jp/"), 0);
  discovery.WaitForAll();
  EXPECT_EQ(recorder_->size(), 0u);
  EXPECT_TRUE(web_.calls().empty());
  // 1,023 bytes is still an address.
  EXPECT_GT(discovery.StartDiscovery(recorder_, "http://example.jp/" + std::string(1005, 'a')), 0);
}

TEST_F(FeedDiscoveryTest, TheCacheIsAskedWhenTheNetworkGivesNothing) {
  const std::string page = "http://example.jp/offline.html";
  web_.Serve(page, "", 0);  // an empty answer counts as nothing
  web_.Serve(page, "<html><head><link title=\"RSS\" href=\"r.xml\"></head></html>", 1);
  FeedDiscovery discovery(folder_.path(), web_.Downloader());
  const int request = discovery.StartDiscovery(recorder_, page);
  discovery.WaitForAll();
  EXPECT_EQ(FeedsOf(recorder_->Of(request)), (std::vector<std::string>{"http://example.jp/r.xml"}));
  EXPECT_EQ(web_.calls(), (std::vector<std::string>{page + "#0", page + "#1"}));
}

TEST_F(FeedDiscoveryTest, ShortMissingAndFeedlessPagesReportOnlyTheStart) {
  web_.Serve("http://example.jp/short", "<rss");  // four bytes
  web_.Serve("http://example.jp/plain", "<html><head><title>no feeds</title></head></html>");
  FeedDiscovery discovery(folder_.path(), web_.Downloader());
  std::vector<int> requests;
  for (const char* page :
       {"http://example.jp/short", "http://example.jp/missing", "http://example.jp/plain"}) {
    requests.push_back(discovery.StartDiscovery(recorder_, page));
  }
  discovery.WaitForAll();
  for (int request : requests) {
    ASSERT_GT(request, 0);
    const std::vector<Event> events = recorder_->Of(request);
    ASSERT_EQ(events.size(), 1u) << request;
    EXPECT_EQ(events[0].what, "started");
  }
  EXPECT_TRUE(NoTemporaryFiles(folder_.path()));
}

TEST_F(FeedDiscoveryTest, RequestNumbersNameTheTemporaryFiles) {
  EXPECT_EQ(DiscoveryFileName(1), "_t_1");
  EXPECT_EQ(DiscoveryFileName(12), "_t_12");
  FeedDiscovery discovery(folder_.path(), web_.Downloader());
  const int first = discovery.StartDiscovery(recorder_, "http://example.jp/1");
  const int second = discovery.StartDiscovery(recorder_, "http://example.jp/2");
  EXPECT_EQ(second, first + 1);
  // A second object shares the process-wide counter, so files never collide.
  FeedDiscovery other(folder_.path(), web_.Downloader());
  EXPECT_EQ(other.StartDiscovery(recorder_, "http://example.jp/3"), second + 1);
}

TEST_F(FeedDiscoveryTest, ManyPagesAtOnceEachReportTheirOwnFeeds) {
  FeedDiscovery discovery(folder_.path(), web_.Downloader());
  std::map<int, int> page_of_request;
  for (int i = 0; i < FeedDiscovery::kMaxRunning; ++i) {
    const std::string page = "http://example.jp/p" + std::to_string(i) + "/";
    std::string body = "<html><head>";
    for (int j = 0; j < 30; ++j) {
      body += "<link type=\"application/rss+xml\" href=\"f" + std::to_string(j) + ".xml\">";
    }
    web_.Serve(page, body + "</head></html>");
    page_of_request[discovery.StartDiscovery(recorder_, page)] = i;
  }
  discovery.WaitForAll();
  ASSERT_EQ(page_of_request.count(0), 0u);
  for (const auto& [request, i] : page_of_request) {
    const std::vector<std::string> feeds = FeedsOf(recorder_->Of(request));
    ASSERT_EQ(feeds.size(), 30u);
    EXPECT_EQ(feeds[29], "http://example.jp/p" + std::to_string(i) + "/f29.xml");
  }
  EXPECT_TRUE(NoTemporaryFiles(folder_.path()));
}

// A downloader that holds every call until released, or until the discovery gives up.
class GatedWeb {
 public:
  PageDownloader Downloader() {
    return [this](const std::string&, int, std::string* body, const std::atomic<bool>* cancel) {
      std::unique_lock<std::mutex> lock(mutex_);
      ++waiting_;
      changed_.notify_all();
      const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
      while (!open_ && !(cancel != nullptr && cancel->load())) {
        if (changed_.wait_until(lock, std::min(limit, std::chrono::steady_clock::now() +
                                                          std::chrono::milliseconds(5))) ==
                std::cv_status::timeout &&
            std::chrono::steady_clock::now() >= limit) {
          break;
        }
      }
      --waiting_;
      if (!open_) return false;
      *body = "<html><head><link title=\"RSS\" href=\"/f.xml\"></head></html>";
      return true;
    };
  }
  void WaitForCallers(int count) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, std::chrono::seconds(20), [&] { return waiting_ >= count; });
  }
  void Open() {
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int waiting_ = 0;
  bool open_ = false;
};

TEST_F(FeedDiscoveryTest, RunningDiscoveriesAreBounded) {
  GatedWeb web;
  FeedDiscovery discovery(folder_.path(), web.Downloader());
  for (int i = 0; i < FeedDiscovery::kMaxRunning; ++i) {
    ASSERT_GT(discovery.StartDiscovery(recorder_, "http://example.jp/" + std::to_string(i)), 0);
  }
  web.WaitForCallers(FeedDiscovery::kMaxRunning);
  EXPECT_EQ(discovery.running(), FeedDiscovery::kMaxRunning);
  EXPECT_EQ(discovery.StartDiscovery(recorder_, "http://example.jp/one-too-many"), 0);
  web.Open();
  discovery.WaitForAll();
  EXPECT_EQ(discovery.running(), 0);
  const int request = discovery.StartDiscovery(recorder_, "http://example.jp/later");
  EXPECT_GT(request, 0);
  discovery.WaitForAll();
  EXPECT_EQ(FeedsOf(recorder_->Of(request)), (std::vector<std::string>{"http://example.jp/f.xml"}));
}

TEST_F(FeedDiscoveryTest, DestructionGivesUpHangingDownloads) {
  GatedWeb web;
  int request = 0;
  const auto start = std::chrono::steady_clock::now();
  {
    FeedDiscovery discovery(folder_.path(), web.Downloader());
    request = discovery.StartDiscovery(recorder_, "http://example.jp/slow");
    web.WaitForCallers(1);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  ASSERT_EQ(recorder_->Of(request).size(), 1u);  // started, nothing else
}

TEST_F(FeedDiscoveryTest, RealDownloadsFromALocalServer) {
  using testing::HttpTestRequest;
  using testing::HttpTestResponse;
  testing::HttpTestServer server([](const HttpTestRequest& r) {
    if (r.path == "/blog/index.html") {
      return HttpTestResponse::Text(
          "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
          "<link rel=\"alternate\" type=\"application/rss+xml\" title=\"RSS\"\n"
          "      href=\"../feed.rdf\">\n"
          "<link rel=\"alternate\" type=\"application/atom+xml\" href=\"atom.xml\">\n"
          "</head>\n<body>\n</body>\n</html>\n",
          "text/html");
    }
    if (r.path == "/feed.rdf") {
      return HttpTestResponse::Text(
          "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rdf:RDF>\n<channel>\n"
          "<title>t</title>\n</channel>\n</rdf:RDF>\n",
          "application/rdf+xml");
    }
    return HttpTestResponse::Status(404);
  });
  ASSERT_TRUE(server.Start());
  FetchContext context;
  context.settings.type = 1;  // direct
  context.settings.time_out = 5;
  context.working_folder = folder_.path();
  FeedDiscovery discovery(folder_.path(), WebPageDownloader(context, 10000));
  const int page = discovery.StartDiscovery(recorder_, server.Url("/blog/index.html"));
  const int feed = discovery.StartDiscovery(recorder_, server.Url("/feed.rdf"));
  discovery.WaitForAll();
  EXPECT_EQ(FeedsOf(recorder_->Of(page)),
            (std::vector<std::string>{server.Url("/feed.rdf"), server.Url("/blog/atom.xml")}));
  const std::vector<Event> events = recorder_->Of(feed);
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[1].text, server.Url("/feed.rdf"));
  EXPECT_EQ(events[2].text, "rdf:RDF");
  EXPECT_TRUE(NoTemporaryFiles(folder_.path()));
}

}  // namespace
}  // namespace korvo
