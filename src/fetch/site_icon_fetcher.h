// SiteIconFetcher: fetches the small icons of web sites into the cache folder (SiteIconCache),
// each at most once in 14 days.
//
// Request() hands a site link to a few worker threads of the fetcher and returns at once; the
// extraction of a channel calls it with the channel's site link (ChannelContext::on_site_link).
// Bounds, so that hung or hostile servers cannot pile up work: `workers` threads at most, never
// two on the same host at once, at most `max_queued` links waiting (more are dropped: the next
// extraction asks again), a link already waiting or being fetched is not queued twice, and every
// download attempt has a deadline.
//
// One fetch of a site link (FetchNow):
//   1. nothing when the site's file is fresh (written at most 14 days ago);
//   2. attempt A: the host part of the link + "/favicon.ico"; an image (LooksLikeIcon) is stored;
//   3. attempt B: the page at the link itself is read for its Shortcut Icon link, whose href is
//      resolved against the link (ResolveLink: next to a file name, after the host for "/...");
//      an image found there is stored;
//   4. when the link has more than its host part, 2 and 3 are repeated once with the host part
//      (an address already asked during this fetch is not asked again);
//   5. otherwise the marker "Nico" is stored, so the site is not asked again for 14 days.
// Only http:// and https:// links are fetched (a link from a feed never makes the fetcher read a
// local file). When no request got any answer at all (no connection, every attempt timed out)
// nothing is stored, so the site is asked again the next time its link comes; when the fetcher
// is being destroyed a fetch stops at once and stores nothing.
//
// Threads: Request, FetchNow, RefreshIcon and WaitIdle may be called from any thread. The
// destructor cancels the running downloads, drops what is queued and waits up to 5000 ms for
// the workers; a worker still blocked in a download after that is left to end on its own and
// touches only state it shares with no one but the fetcher's other workers.
#ifndef KORVO_FETCH_SITE_ICON_FETCHER_H_
#define KORVO_FETCH_SITE_ICON_FETCHER_H_

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "fetch/fetch_context.h"
#include "fetch/site_icon_cache.h"

namespace korvo {

struct SiteIconOptions {
  int workers = 2;                          // fetches at once (each on a different host)
  size_t max_queued = 256;                  // site links waiting for a worker
  int attempt_deadline_ms = 60000;          // one download of a fetch
  int single_attempt_deadline_ms = 30000;   // the download of RefreshIcon
  size_t max_icon_bytes = size_t{1} << 20;  // a larger answer is no icon
  size_t max_page_bytes = size_t{4} << 20;  // a larger page is not searched
};

enum class SiteIconOutcome {
  kFresh,        // the file is fresh; nothing was asked
  kStored,       // an icon was found and stored
  kNoIcon,       // the sites answered, but with no icon: the marker was stored
  kUnreachable,  // no request got an answer; nothing stored
  kSkipped,      // not a web address, or the fetcher is being destroyed
  kWriteFailed,  // the icon or the marker could not be written
};

class SiteIconFetcher {
 public:
  // Codes of RefreshIcon.
  static constexpr int kStored = 0;
  static constexpr int kFreshIcon = -1;
  static constexpr int kNoAnswer = -2;
  static constexpr int kNothingReceived = -3;
  static constexpr int kNotAnIcon = -4;
  static constexpr int kTooLarge = -5;
  static constexpr size_t kMaxRefreshBytes = 65536;
  // Longest site link taken; longer ones are cut there.
  static constexpr size_t kMaxSiteLink = 1011;

  explicit SiteIconFetcher(FetchContext context, SiteIconOptions options = SiteIconOptions());
  ~SiteIconFetcher();
  SiteIconFetcher(const SiteIconFetcher&) = delete;
  SiteIconFetcher& operator=(const SiteIconFetcher&) = delete;

  // Queues the fetch of the site's icon and returns at once (the workers start on the first
  // call). False when the link was not queued: empty, not a web address, already waiting or
  // being fetched, or the queue is full.
  bool Request(std::string_view site_link);

  // One whole fetch on the calling thread (see the file comment).
  SiteIconOutcome FetchNow(std::string_view site_link);

  // The single-attempt variant: downloads `url` itself once (mode 0, at most
  // single_attempt_deadline_ms) and stores it as the icon file named after `url`. Returns
  // kStored (0); kFreshIcon (-1) when the file is still fresh; kNoAnswer (-2) when no answer came
  // in time; kNothingReceived (-3) when the request failed or the answer was empty (also for a
  // file that cannot be written); kNotAnIcon (-4); kTooLarge (-5) above 65536 bytes. Nothing is
  // stored on failure.
  int RefreshIcon(std::string_view url);

  // Waits until no link is queued or being fetched; false when `timeout_ms` passed first.
  bool WaitIdle(int timeout_ms);

  const SiteIconCache& cache() const;

 private:
  struct Shared;
  std::shared_ptr<Shared> shared_;
};

}  // namespace korvo

#endif  // KORVO_FETCH_SITE_ICON_FETCHER_H_
