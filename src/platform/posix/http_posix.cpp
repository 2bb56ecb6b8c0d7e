// HTTP GET on libcurl. The transfer is driven through a private multi handle so that the idle
// time-out, the deadline and cancellation are checked every few milliseconds instead of at the
// coarse pace of libcurl's own progress callback.
#include <curl/curl.h>
#include <strings.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <mutex>

#include "platform/http.h"

namespace korvo::platform {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPollMs = 20;
constexpr long kMaxRedirections = 10;

void GlobalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_ALL); });
}

struct EasyDeleter {
  void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct MultiDeleter {
  void operator()(CURLM* m) const { curl_multi_cleanup(m); }
};
struct ListDeleter {
  void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

// Why a callback stopped the transfer.
enum class Stop { kNone, kTooLarge, kCut, kHeaderDone };

struct Transfer {
  const HttpRequest* request = nullptr;
  HttpResponse* response = nullptr;
  CURL* easy = nullptr;
  Clock::time_point last_activity;
  bool location_seen = false;      // the current answer's header has a Location line
  bool final_header_seen = false;  // the header of the answer whose body is delivered
  int64_t declared = -1;           // Content-Length of that answer
  Stop stop = Stop::kNone;
};

bool IsFinalStatus(long code) { return code >= 200 && !(code >= 300 && code < 400 && code != 304); }

size_t OnHeader(char* data, size_t size, size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  const size_t n = size * count;
  t->last_activity = Clock::now();
  if (n >= 5 && std::memcmp(data, "HTTP/", 5) == 0) t->location_seen = false;
  if (n >= 9 && strncasecmp(data, "location:", 9) == 0) t->location_seen = true;
  // The empty line ends one answer's header. Redirections and 1xx answers are followed by
  // another header; only the final one decides about the body.
  if (n <= 2 && (n == 0 || data[0] == '\r' || data[0] == '\n')) {
    long code = 0;
    curl_easy_getinfo(t->easy, CURLINFO_RESPONSE_CODE, &code);
    const bool redirect = code >= 300 && code < 400 && t->location_seen;
    if (IsFinalStatus(code) && !redirect) {
      t->final_header_seen = true;
      curl_off_t length = -1;
      curl_easy_getinfo(t->easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
      t->declared = length;
      if (t->request->skip_body) {
        t->stop = Stop::kHeaderDone;
        return 0;
      }
      if (length >= 0 && static_cast<uint64_t>(length) > t->request->max_body) {
        t->stop = Stop::kTooLarge;
        return 0;
      }
      if (length > 0) t->response->body.reserve(static_cast<size_t>(length));
    }
  }
  return n;
}

size_t OnBody(char* data, size_t size, size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  const size_t n = size * count;
  t->last_activity = Clock::now();
  std::string& body = t->response->body;
  const size_t max = t->request->max_body;
  if (body.size() + n > max) {
    if (t->request->cut_at_max && t->declared < 0) {
      body.append(data, max - body.size());
      t->response->body_cut = true;
      t->stop = Stop::kCut;
    } else {
      t->stop = Stop::kTooLarge;
    }
    return 0;
  }
  body.append(data, n);
  return n;
}

HttpError FromCurl(CURLcode code, const Transfer& t) {
  switch (t.stop) {
    case Stop::kTooLarge:
      return HttpError::kTooLarge;
    case Stop::kCut:
    case Stop::kHeaderDone:
      return HttpError::kNone;
    case Stop::kNone:
      break;
  }
  switch (code) {
    case CURLE_OK:
      return HttpError::kNone;
    case CURLE_OPERATION_TIMEDOUT:
      return HttpError::kTimedOut;
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_BAD_CONTENT_ENCODING:
    case CURLE_WRITE_ERROR:
      return t.final_header_seen ? HttpError::kReadFailed : HttpError::kOpenFailed;
    default:
      return t.final_header_seen ? HttpError::kReadFailed : HttpError::kOpenFailed;
  }
}

}  // namespace

HttpError HttpGet(const HttpOptions& options, const HttpRequest& request, HttpResponse* response) {
  *response = HttpResponse();
  if (options.proxy_type < 0 || options.proxy_type > 2) return HttpError::kBadSettings;
  if (options.proxy_type == 2 && options.proxy.empty()) return HttpError::kBadSettings;
  if (options.offline) return HttpError::kOpenFailed;  // no system URL cache on POSIX
  GlobalInit();

  std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
  std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
  if (!easy || !multi) return HttpError::kOpenFailed;
  CURL* e = easy.get();

  Transfer t;
  t.request = &request;
  t.response = response;
  t.easy = e;

  const int timeout_ms = std::max(options.timeout_ms, 1);
  curl_easy_setopt(e, CURLOPT_URL, request.url.c_str());
  curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(e, CURLOPT_MAXREDIRS, kMaxRedirections);
  curl_easy_setopt(e, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(e, CURLOPT_USERAGENT, options.user_agent.c_str());
  curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeout_ms));
  if (!options.ca_file.empty()) curl_easy_setopt(e, CURLOPT_CAINFO, options.ca_file.c_str());
  switch (options.proxy_type) {
    case 0:
      break;  // libcurl reads the proxy variables of the environment
    case 1:
      curl_easy_setopt(e, CURLOPT_PROXY, "");
      break;
    case 2:
      curl_easy_setopt(e, CURLOPT_PROXY, options.proxy.c_str());
      curl_easy_setopt(e, CURLOPT_PROXYTYPE, static_cast<long>(CURLPROXY_HTTP));
      curl_easy_setopt(e, CURLOPT_NOPROXY, "127.0.0.1");
      break;
  }

  curl_slist* raw_list = nullptr;
  for (const std::string& line : request.headers) {
    if (line.find_first_of("\r\n") != std::string::npos) continue;  // one line each
    raw_list = curl_slist_append(raw_list, line.c_str());
  }
  if (request.no_cache) raw_list = curl_slist_append(raw_list, "Pragma: no-cache");
  std::unique_ptr<curl_slist, ListDeleter> headers(raw_list);
  if (headers) curl_easy_setopt(e, CURLOPT_HTTPHEADER, headers.get());

  curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &OnHeader);
  curl_easy_setopt(e, CURLOPT_HEADERDATA, &t);
  curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &OnBody);
  curl_easy_setopt(e, CURLOPT_WRITEDATA, &t);

  if (curl_multi_add_handle(multi.get(), e) != CURLM_OK) return HttpError::kOpenFailed;

  const Clock::time_point start = Clock::now();
  t.last_activity = start;
  const auto idle_limit = std::chrono::milliseconds(timeout_ms);
  const bool has_deadline = request.deadline_ms > 0;
  const Clock::time_point deadline = start + std::chrono::milliseconds(request.deadline_ms);
  bool connected = false;
  HttpError forced = HttpError::kNone;
  CURLcode result = CURLE_OK;
  bool done = false;

  while (!done) {
    int running = 0;
    if (curl_multi_perform(multi.get(), &running) != CURLM_OK) {
      forced = HttpError::kOpenFailed;
      break;
    }
    int queued = 0;
    while (CURLMsg* msg = curl_multi_info_read(multi.get(), &queued)) {
      if (msg->msg == CURLMSG_DONE && msg->easy_handle == e) {
        result = msg->data.result;
        done = true;
      }
    }
    if (done || running == 0) break;

    const Clock::time_point now = Clock::now();
    if (!connected) {
      curl_off_t connect_us = 0;
      curl_easy_getinfo(e, CURLINFO_CONNECT_TIME_T, &connect_us);
      if (connect_us > 0) {
        connected = true;
        t.last_activity = now;  // the send and receive waits start afresh after the connection
      }
    }
    if (request.cancel != nullptr && request.cancel->load()) {
      forced = HttpError::kCancelled;
      break;
    }
    if ((has_deadline && now >= deadline) || now - t.last_activity > idle_limit) {
      forced = HttpError::kTimedOut;
      break;
    }
    curl_multi_poll(multi.get(), nullptr, 0, kPollMs, nullptr);
  }
  curl_multi_remove_handle(multi.get(), e);

  HttpError error = forced != HttpError::kNone ? forced : FromCurl(result, t);
  if (!done && forced == HttpError::kNone) error = HttpError::kOpenFailed;
  if (error != HttpError::kNone) return error;

  long code = 0;
  curl_easy_getinfo(e, CURLINFO_RESPONSE_CODE, &code);
  response->status = static_cast<int>(code);
  char* url = nullptr;
  if (curl_easy_getinfo(e, CURLINFO_EFFECTIVE_URL, &url) == CURLE_OK && url != nullptr) {
    response->final_url = url;
  }
  char* type = nullptr;
  if (curl_easy_getinfo(e, CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type != nullptr) {
    response->content_type = type;
  }
  response->content_length = t.declared;
  if (t.stop == Stop::kNone && !request.skip_body && t.declared >= 0 &&
      response->body.size() != static_cast<uint64_t>(t.declared) && code != 304 && code != 204) {
    return HttpError::kReadFailed;
  }
  return HttpError::kNone;
}

}  // namespace korvo::platform
