#include "fetch/feed_fetcher.h"

#include <string>
#include <utility>

#include "feed/feed_date.h"
#include "fetch/credentials.h"
#include "fetch/url_text.h"
#include "fetch/web_download.h"
#include "platform/http.h"

namespace korvo {

FeedFetcher::FeedFetcher(FetchContext context)
    : context_(std::move(context)), cache_(context_.CacheFolder()) {}

bool FeedFetcher::Finish(Outcome outcome) {
  last_outcome_ = outcome;
  return outcome == Outcome::kChanged;
}

bool FeedFetcher::Fetch(std::string_view url_text, uint32_t channel_flags) {
  const std::string_view address = RequestAddress(url_text);
  std::string body;
  if (IsLocalPath(address)) {
    if (!ReadLocalFile(address, kMaxBody, &body)) return Finish(Outcome::kFailed);
  } else {
    if (address.empty() || address.size() > kMaxAddress) return Finish(Outcome::kFailed);
    platform::HttpOptions options = RequestOptions(context_.settings);
    options.ca_file = context_.ca_file;
    platform::HttpRequest request;
    request.url = EscapeForRequest(address);
    request.no_cache = true;
    request.hyperlink = true;
    request.max_body = kMaxBody;
    request.cut_at_max = true;  // an undeclared body is cut below, however long it goes on
    request.deadline_ms = FetchDeadlineMilliseconds(options.timeout_ms);
    // Conditional request: the server may answer 304 when nothing changed since the stored
    // fetch time.
    platform::CalendarTime cached_at;
    if (cache_.Time(url_text, &cached_at)) {
      request.headers.push_back("If-Modified-Since: " + FormatHttpDate(cached_at));
    }
    if (channel_flags & kSendCredentials) {
      std::string user;
      std::string password;
      if (LookUpCredentials(context_.CredentialsPath(), url_text, &user, &password)) {
        request.headers.push_back(BasicAuthorization(user, password));
      }
    }
    platform::HttpResponse response;
    if (platform::HttpGet(options, request, &response) != platform::HttpError::kNone) {
      return Finish(Outcome::kFailed);
    }
    if (response.status == 401 && (channel_flags & kSendCredentials) &&
        MayResendCredentials(request.url, response.final_url)) {
      // A redirection may have dropped the credentials: ask the final address directly. Never
      // on another host (that would hand the user's password to whoever the feed points to) nor
      // from https onto plain http.
      request.url = response.final_url;
      if (platform::HttpGet(options, request, &response) != platform::HttpError::kNone) {
        return Finish(Outcome::kFailed);
      }
    }
    if (response.status == 304) return Finish(Outcome::kNotModified);
    // Only a successful answer replaces the cached feed; an error page would destroy it.
    if (response.status < 200 || response.status > 299) return Finish(Outcome::kFailed);
    // Nor does an answer without content ("204 No Content", an empty body): the feed is still
    // what was cached.
    if (response.status == 204 || response.status == 205 || response.body.empty()) {
      return Finish(Outcome::kNotModified);
    }
    body = std::move(response.body);
    if (response.content_length < 0 && body.size() > kMaxUndeclaredBody) {
      body.resize(kMaxUndeclaredBody);
    }
  }
  bool changed = true;
  if (!cache_.Store(url_text, context_.clock->UtcNow(), body, &changed)) {
    return Finish(Outcome::kFailed);
  }
  return Finish(changed ? Outcome::kChanged : Outcome::kUnchanged);
}

}  // namespace korvo
