// FeedFetcher: downloads one channel for an update run into its FeedCache file and tells whether
// the bytes changed.
//
// One object per thread (it remembers the outcome of its last call); any number of them may
// work at once on different channels. It never shows anything.
#ifndef KORVO_FETCH_FEED_FETCHER_H_
#define KORVO_FETCH_FEED_FETCHER_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fetch/feed_cache.h"
#include "fetch/fetch_context.h"

namespace korvo {

class FeedFetcher {
 public:
  static constexpr uint32_t kSendCredentials = 1;  // channel flag: authorization "basic"
  static constexpr size_t kMaxAddress = 2083;      // bytes of the requested address
  // A body without a declared length is kept up to this size and cut there.
  static constexpr size_t kMaxUndeclaredBody = 1024 * 4095;
  // A body with a declared length above this is refused.
  static constexpr size_t kMaxBody = size_t{32} << 20;

  enum class Outcome {
    kChanged,      // new bytes stored that differ from the old ones
    kUnchanged,    // bytes stored, but the change test found them the same
    kNotModified,  // 304, or an answer without content (204, 205, an empty body): the cache
                   // file is untouched
    kFailed,       // nothing stored: no answer, an error status, a broken body, a cache fault
  };

  explicit FeedFetcher(FetchContext context);

  // Fetches the channel at `url_text` (only the part before '[' is requested; the whole text is
  // the key of the cache file and of the credentials). A local path reads the file instead.
  // When the cache file holds a fetch time, the request carries it as If-Modified-Since; a 304
  // answer leaves the file and its time as they are (kNotModified), and so does an answer without
  // content. The whole request is bounded by FetchDeadlineMilliseconds of the time-out.
  // With kSendCredentials the request carries the Basic credentials of the text; a 401 answer
  // is then retried once at the address the request finally reached. True only for kChanged.
  bool Fetch(std::string_view url_text, uint32_t channel_flags);

  Outcome last_outcome() const { return last_outcome_; }
  const FeedCache& cache() const { return cache_; }

 private:
  bool Finish(Outcome outcome);

  FetchContext context_;
  FeedCache cache_;
  Outcome last_outcome_ = Outcome::kFailed;
};

}  // namespace korvo

#endif  // KORVO_FETCH_FEED_FETCHER_H_
