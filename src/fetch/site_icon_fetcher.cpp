#include "fetch/site_icon_fetcher.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "fetch/shortcut_icon_link.h"
#include "fetch/url_text.h"
#include "fetch/web_download.h"
#include "platform/http.h"

namespace korvo {

namespace {

constexpr auto kStopWait = std::chrono::milliseconds(5000);

// The host (and port) of a web address, lower case: fetches of one host never overlap.
std::string HostKey(std::string_view link) {
  std::string root = SiteRoot(link);
  const size_t scheme = root.find("://");
  if (scheme != std::string::npos) root.erase(0, scheme + 3);
  for (char& c : root) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return root;
}

// One download of a fetch.
struct Attempt {
  bool answered = false;  // the server answered (whatever it sent)
  bool ok = false;        // a non-empty body arrived
  bool cancelled = false;
  std::string bytes;
};

}  // namespace

struct SiteIconFetcher::Shared {
  Shared(FetchContext c, SiteIconOptions o)
      : context(std::move(c)), options(o), cache(context.CacheFolder(), context.clock) {}

  Attempt Get(const std::string& url, size_t max_bytes, int deadline_ms);
  SiteIconOutcome Fetch(std::string_view site_link);
  void WorkerLoop(size_t index);
  // A queued link whose host no worker is on; false when there is none. Under `mutex`.
  bool TakeNext(std::string* link, std::string* host);

  const FetchContext context;
  const SiteIconOptions options;
  const SiteIconCache cache;
  std::atomic<bool> cancel{false};

  std::mutex mutex;  // guards everything below
  std::condition_variable changed;
  std::deque<std::string> queue;
  std::set<std::string> pending;     // links queued or being fetched
  std::set<std::string> busy_hosts;  // hosts a worker is on
  int active = 0;                    // links being fetched
  bool stop = false;
  std::vector<std::thread> workers;
  std::vector<bool> worker_done;
};

Attempt SiteIconFetcher::Shared::Get(const std::string& url, size_t max_bytes, int deadline_ms) {
  Attempt a;
  DownloadControl control;
  control.deadline_ms = deadline_ms;
  control.cancel = &cancel;
  control.max_body = max_bytes;
  platform::HttpError error = platform::HttpError::kNone;
  control.error = &error;
  a.ok = Download(context, url, 0, &a.bytes, control) && !a.bytes.empty();
  a.cancelled = error == platform::HttpError::kCancelled || cancel.load();
  a.answered = error == platform::HttpError::kNone || error == platform::HttpError::kTooLarge ||
               error == platform::HttpError::kReadFailed;
  if (!a.ok) a.bytes.clear();
  return a;
}

SiteIconOutcome SiteIconFetcher::Shared::Fetch(std::string_view site_link) {
  const std::string link(site_link.substr(0, kMaxSiteLink));
  if (!IsWebAddress(link)) return SiteIconOutcome::kSkipped;
  if (cache.IsFresh(link)) return SiteIconOutcome::kFresh;

  // Every address is asked at most once per fetch: the host-only round repeats the favicon
  // address of the first one.
  std::map<std::string, Attempt> asked;
  bool answered = false;
  bool cancelled = false;
  auto get = [&](const std::string& url, size_t max_bytes) -> const Attempt& {
    auto it = asked.find(url);
    if (it == asked.end()) {
      it = asked.emplace(url, Get(url, max_bytes, options.attempt_deadline_ms)).first;
      answered = answered || it->second.answered;
      cancelled = cancelled || it->second.cancelled;
    }
    return it->second;
  };
  auto store = [&](const std::string& bytes) {
    return cache.StoreIcon(link, bytes) ? SiteIconOutcome::kStored : SiteIconOutcome::kWriteFailed;
  };

  std::vector<std::string> bases = {link};
  const std::string root = SiteRoot(link);
  if (root != link && root + "/" != link) bases.push_back(root);
  for (const std::string& base : bases) {
    const Attempt& favicon = get(SiteRoot(base) + "/favicon.ico", options.max_icon_bytes);
    if (cancelled) return SiteIconOutcome::kSkipped;
    if (favicon.ok && SiteIconCache::LooksLikeIcon(favicon.bytes)) return store(favicon.bytes);

    const Attempt& page = get(base, options.max_page_bytes);
    if (cancelled) return SiteIconOutcome::kSkipped;
    std::string href;
    if (!page.ok || !FindShortcutIconHref(page.bytes, &href)) continue;
    const std::string icon_url = ResolveLink(base, href);
    if (!IsWebAddress(icon_url)) continue;
    const Attempt& icon = get(icon_url, options.max_icon_bytes);
    if (cancelled) return SiteIconOutcome::kSkipped;
    if (icon.ok && SiteIconCache::LooksLikeIcon(icon.bytes)) return store(icon.bytes);
  }
  if (!answered) return SiteIconOutcome::kUnreachable;
  return cache.StoreNoIcon(link) ? SiteIconOutcome::kNoIcon : SiteIconOutcome::kWriteFailed;
}

bool SiteIconFetcher::Shared::TakeNext(std::string* link, std::string* host) {
  for (auto it = queue.begin(); it != queue.end(); ++it) {
    std::string h = HostKey(*it);
    if (busy_hosts.count(h) != 0) continue;
    *link = std::move(*it);
    *host = std::move(h);
    queue.erase(it);
    return true;
  }
  return false;
}

void SiteIconFetcher::Shared::WorkerLoop(size_t index) {
  std::unique_lock<std::mutex> lock(mutex);
  for (;;) {
    std::string link;
    std::string host;
    changed.wait(lock, [&] { return stop || TakeNext(&link, &host); });
    if (stop) break;
    busy_hosts.insert(host);
    ++active;
    lock.unlock();
    Fetch(link);
    lock.lock();
    busy_hosts.erase(host);
    pending.erase(link);
    --active;
    changed.notify_all();
  }
  worker_done[index] = true;
  changed.notify_all();
}

SiteIconFetcher::SiteIconFetcher(FetchContext context, SiteIconOptions options)
    : shared_(std::make_shared<Shared>(std::move(context), options)) {}

SiteIconFetcher::~SiteIconFetcher() {
  Shared& s = *shared_;
  std::unique_lock<std::mutex> lock(s.mutex);
  s.stop = true;
  s.cancel = true;
  s.queue.clear();
  s.changed.notify_all();
  s.changed.wait_for(lock, kStopWait, [&] {
    return std::all_of(s.worker_done.begin(), s.worker_done.end(), [](bool d) { return d; });
  });
  for (size_t i = 0; i < s.workers.size(); ++i) {
    // A worker still in a download keeps `shared_` alive through its own reference.
    if (s.worker_done[i]) {
      s.workers[i].join();
    } else {
      s.workers[i].detach();
    }
  }
}

bool SiteIconFetcher::Request(std::string_view site_link) {
  const std::string link(site_link.substr(0, kMaxSiteLink));
  if (!IsWebAddress(link)) return false;
  Shared& s = *shared_;
  std::lock_guard<std::mutex> lock(s.mutex);
  if (s.stop || s.pending.count(link) != 0 || s.queue.size() >= s.options.max_queued) {
    return false;
  }
  if (s.workers.empty()) {
    const int count = std::max(s.options.workers, 1);
    s.worker_done.assign(static_cast<size_t>(count), false);
    for (int i = 0; i < count; ++i) {
      try {
        std::shared_ptr<Shared> keep = shared_;
        s.workers.emplace_back([keep, i] { keep->WorkerLoop(static_cast<size_t>(i)); });
      } catch (const std::system_error&) {
        break;  // fewer workers; none at all refuses the link below
      }
    }
    s.worker_done.resize(s.workers.size());
  }
  if (s.workers.empty()) return false;
  s.queue.push_back(link);
  s.pending.insert(link);
  s.changed.notify_all();
  return true;
}

SiteIconOutcome SiteIconFetcher::FetchNow(std::string_view site_link) {
  return shared_->Fetch(site_link);
}

int SiteIconFetcher::RefreshIcon(std::string_view url) {
  Shared& s = *shared_;
  const std::string address(url);
  if (!IsWebAddress(address)) return kNothingReceived;
  if (s.cache.IsFresh(address)) return kFreshIcon;
  DownloadControl control;
  control.deadline_ms = s.options.single_attempt_deadline_ms;
  control.cancel = &s.cancel;
  control.max_body = kMaxRefreshBytes;
  platform::HttpError error = platform::HttpError::kNone;
  control.error = &error;
  std::string bytes;
  if (!Download(s.context, address, 0, &bytes, control)) {
    if (error == platform::HttpError::kTimedOut || error == platform::HttpError::kCancelled) {
      return kNoAnswer;
    }
    return error == platform::HttpError::kTooLarge ? kTooLarge : kNothingReceived;
  }
  if (bytes.empty()) return kNothingReceived;
  if (!SiteIconCache::LooksLikeIcon(bytes)) return kNotAnIcon;
  return s.cache.StoreIcon(address, bytes) ? kStored : kNothingReceived;
}

bool SiteIconFetcher::WaitIdle(int timeout_ms) {
  Shared& s = *shared_;
  std::unique_lock<std::mutex> lock(s.mutex);
  return s.changed.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                            [&] { return s.queue.empty() && s.active == 0; });
}

const SiteIconCache& SiteIconFetcher::cache() const { return shared_->cache; }

}  // namespace korvo
