#include "channels/feed_discovery.h"

#include <climits>
#include <system_error>
#include <utility>

#include "channels/discovery_rules.h"
#include "channels/page_feeds.h"
#include "platform/files.h"

namespace korvo {

namespace {

// Numbers requests and names their temporary files; shared by every FeedDiscovery of the
// process so two of them never write the same file. Runs 1..INT_MAX, then starts again at 1.
int NextRequestNumber() {
  static std::atomic<unsigned> counter{0};
  return static_cast<int>(counter.fetch_add(1) % static_cast<unsigned>(INT_MAX)) + 1;
}

// Removes the file when the scope ends, whatever path the examination took.
class TemporaryFileGuard {
 public:
  explicit TemporaryFileGuard(std::string path) : path_(std::move(path)) {}
  ~TemporaryFileGuard() { platform::RemoveFile(path_); }
  TemporaryFileGuard(const TemporaryFileGuard&) = delete;
  TemporaryFileGuard& operator=(const TemporaryFileGuard&) = delete;

 private:
  std::string path_;
};

}  // namespace

std::string DiscoveryFileName(int number) { return "_t_" + std::to_string(number); }

FeedDiscovery::FeedDiscovery(std::string working_folder, PageDownloader download)
    : working_folder_(std::move(working_folder)), download_(std::move(download)) {}

FeedDiscovery::~FeedDiscovery() {
  cancel_.store(true);
  WaitForAll();
}

int FeedDiscovery::StartDiscovery(std::shared_ptr<DiscoveryListener> listener,
                                  std::string_view page_address) {
  if (listener == nullptr || page_address.empty() || page_address.size() > kMaxDiscoveryAddress ||
      !ShouldStartDiscovery(page_address) || cancel_.load()) {
    return 0;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    JoinFinishedLocked();
    if (static_cast<int>(workers_.size()) >= kMaxRunning) return 0;
  }

  const int request = NextRequestNumber();
  // The window learns the number before the thread can report anything under it.
  listener->OnDiscoveryStarted(request);

  Worker worker;
  worker.done = std::make_shared<std::atomic<bool>>(false);
  try {
    worker.thread = std::thread(
        [this, request, listener, page = std::string(page_address), done = worker.done]() {
          Run(request, listener, page);
          done->store(true);
        });
  } catch (const std::system_error&) {
    return request;  // no thread: the request simply reports nothing
  }
  std::lock_guard<std::mutex> lock(mutex_);
  workers_.push_back(std::move(worker));
  return request;
}

void FeedDiscovery::WaitForAll() {
  std::vector<Worker> workers;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    workers.swap(workers_);
  }
  for (Worker& worker : workers) {
    if (worker.thread.joinable()) worker.thread.join();
  }
}

int FeedDiscovery::running() const {
  std::lock_guard<std::mutex> lock(mutex_);
  int count = 0;
  for (const Worker& worker : workers_) {
    if (!worker.done->load()) ++count;
  }
  return count;
}

void FeedDiscovery::JoinFinishedLocked() {
  for (auto it = workers_.begin(); it != workers_.end();) {
    if (it->done->load()) {
      it->thread.join();  // the thread has only its return left
      it = workers_.erase(it);
    } else {
      ++it;
    }
  }
}

bool FeedDiscovery::FetchPage(const std::string& page_address, std::string* body) const {
  if (!download_) return false;
  for (int mode = 0; mode <= 1; ++mode) {
    if (cancel_.load()) return false;
    body->clear();
    if (download_(page_address, mode, body, &cancel_) && !body->empty()) return true;
  }
  body->clear();
  return false;
}

void FeedDiscovery::Run(int request, const std::shared_ptr<DiscoveryListener>& listener,
                        const std::string& page_address) const {
  std::string body;
  if (!FetchPage(page_address, &body) || body.size() < 5) return;
  if (body.size() > kMaxDiscoveryPageBytes) body.resize(kMaxDiscoveryPageBytes);

  const std::string name = DiscoveryFileName(request);
  const std::string path = working_folder_.empty() ? name : working_folder_ + "/" + name;
  TemporaryFileGuard guard(path);
  if (!platform::WriteWholeFile(path, body)) return;
  std::string().swap(body);  // the document takes over; keep one copy in memory, not two

  const XmlDocument document = XmlDocument::FromFile(path);
  if (cancel_.load()) return;

  if (DocumentFeedKind(document) != kFeedKindNone) {
    listener->OnFeedFound(request, page_address);
    listener->OnPageIsFeed(request, document);
    return;
  }
  for (const AnnouncedFeed& feed : AnnouncedFeeds(document, page_address, LinkRules::kBrowser)) {
    if (cancel_.load()) return;
    listener->OnFeedFound(request, feed.address);
  }
}

}  // namespace korvo
