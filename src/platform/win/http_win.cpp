// HTTP GET on WinINet: one InternetOpen session per call; per address InternetConnect,
// HttpOpenRequest and HttpSendRequest, with the time-outs set on every handle (some WinINet
// versions honour them only on the connection and request handles); InternetReadFile until the
// body ends. Redirections are followed here (see HttpGet). Offline answers are read from the
// URL cache directly. The deadline and cancellation are enforced by a watchdog thread that
// closes the request handle (RequestWatchdog).
// The system headers need this order.
// clang-format off
#include <windows.h>
#include <wininet.h>
// clang-format on

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/code_page.h"
#include "platform/http.h"

namespace korvo::platform {

namespace {

using Clock = std::chrono::steady_clock;

constexpr DWORD kReadPiece = 65536;
constexpr int kMaxRedirections = 10;

// Closes a WinINet handle at the end of its scope.
class InternetHandle {
 public:
  InternetHandle() = default;
  explicit InternetHandle(HINTERNET h) : h_(h) {}
  ~InternetHandle() { Reset(nullptr); }
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;
  HINTERNET get() const { return h_; }
  void Reset(HINTERNET h) {
    if (h_ != nullptr) InternetCloseHandle(h_);
    h_ = h;
  }

 private:
  HINTERNET h_ = nullptr;
};

// Releases a URL-cache stream at the end of its scope.
class CacheStream {
 public:
  explicit CacheStream(HANDLE h) : h_(h) {}
  ~CacheStream() {
    if (h_ != nullptr) UnlockUrlCacheEntryStream(h_, 0);
  }
  CacheStream(const CacheStream&) = delete;
  CacheStream& operator=(const CacheStream&) = delete;
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

std::wstring Wide(const std::string& utf8) {
  const std::u16string w = Utf8ToUtf16(utf8);
  return std::wstring(w.begin(), w.end());
}

std::string Narrow(const wchar_t* text, size_t length) {
  return Utf16ToUtf8(std::u16string(text, text + length));
}

bool StartsWithNoCase(const std::string& text, const char* prefix) {
  const size_t n = std::char_traits<char>::length(prefix);
  if (text.size() < n) return false;
  for (size_t i = 0; i < n; ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  }
  return true;
}

// A header of the answer as text; false when it is absent.
bool QueryHeader(HINTERNET request, DWORD which, std::string* out) {
  DWORD size = 0;
  DWORD index = 0;
  if (HttpQueryInfoW(request, which, nullptr, &size, &index) ||
      GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) {
    return false;
  }
  std::wstring buffer(size / sizeof(wchar_t) + 1, L'\0');
  index = 0;
  if (!HttpQueryInfoW(request, which, &buffer[0], &size, &index)) return false;
  *out = Narrow(buffer.c_str(), size / sizeof(wchar_t));
  return true;
}

// Parses a Content-Length value strictly: digits only (surrounding blanks allowed).
bool ParseLength(const std::string& text, int64_t* out) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  size_t end = text.size();
  while (end > i && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
  if (i == end) return false;
  uint64_t value = 0;
  for (; i < end; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    if (value > (UINT64_MAX - 9) / 10) return false;
    value = value * 10 + static_cast<unsigned>(text[i] - '0');
  }
  if (value > static_cast<uint64_t>(INT64_MAX)) return false;
  *out = static_cast<int64_t>(value);
  return true;
}

// "scheme://host:port" of an address, lower case.
std::string Authority(const std::string& url) {
  const size_t scheme = url.find("://");
  if (scheme == std::string::npos) return std::string();
  const size_t end = url.find_first_of("/?#", scheme + 3);
  std::string a = url.substr(0, end);
  for (char& c : a) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return a;
}

// Resolves a Location value against the address it came from.
bool Combine(const std::string& base, const std::string& relative, std::string* out) {
  const std::wstring b = Wide(base);
  const std::wstring r = Wide(relative);
  std::wstring buffer(4096, L'\0');
  DWORD length = static_cast<DWORD>(buffer.size());
  if (!InternetCombineUrlW(b.c_str(), r.c_str(), &buffer[0], &length, 0)) {
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || length == 0) return false;
    buffer.assign(length + 1, L'\0');
    length = static_cast<DWORD>(buffer.size());
    if (!InternetCombineUrlW(b.c_str(), r.c_str(), &buffer[0], &length, 0)) return false;
  }
  *out = Narrow(buffer.c_str(), length);
  return true;
}

struct UrlParts {
  bool https = false;
  std::wstring host;
  INTERNET_PORT port = 0;
  std::wstring object;  // path and query
};

bool Crack(const std::string& url, UrlParts* parts) {
  const bool https = StartsWithNoCase(url, "https://");
  if (!https && !StartsWithNoCase(url, "http://")) return false;
  const std::wstring w = Wide(url);
  URL_COMPONENTSW c;
  ZeroMemory(&c, sizeof c);
  c.dwStructSize = sizeof c;
  c.dwHostNameLength = 1;
  c.dwUrlPathLength = 1;
  c.dwExtraInfoLength = 1;
  if (!InternetCrackUrlW(w.c_str(), static_cast<DWORD>(w.size()), 0, &c)) return false;
  if (c.lpszHostName == nullptr || c.dwHostNameLength == 0) return false;
  parts->https = https;
  parts->host.assign(c.lpszHostName, c.dwHostNameLength);
  parts->port = c.nPort;
  parts->object.clear();
  if (c.lpszUrlPath != nullptr) parts->object.assign(c.lpszUrlPath, c.dwUrlPathLength);
  if (c.lpszExtraInfo != nullptr) parts->object.append(c.lpszExtraInfo, c.dwExtraInfoLength);
  // The fragment is not part of the request.
  const size_t hash = parts->object.find(L'#');
  if (hash != std::wstring::npos) parts->object.resize(hash);
  if (parts->object.empty()) parts->object = L"/";
  return true;
}

void SetTimeouts(HINTERNET h, DWORD timeout) {
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                       INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_DATA_SEND_TIMEOUT,
                       INTERNET_OPTION_DATA_RECEIVE_TIMEOUT}) {
    InternetSetOptionW(h, option, &timeout, sizeof timeout);
  }
}

// WinINet reports a time-out as ERROR_INTERNET_TIMEOUT; Wine's also as the socket's
// WSAETIMEDOUT.
HttpError FromLastError(DWORD error, HttpError otherwise) {
  constexpr DWORD kSocketTimedOut = 10060;  // WSAETIMEDOUT, without including winsock2.h
  return error == ERROR_INTERNET_TIMEOUT || error == kSocketTimedOut ? HttpError::kTimedOut
                                                                     : otherwise;
}

// Offline: the answer of the URL cache, or kOpenFailed when it holds none. The network is
// never touched.
HttpError FromCache(const HttpRequest& request, HttpResponse* response) {
  const std::wstring url = Wide(request.url);
  DWORD size = 0;
  RetrieveUrlCacheEntryStreamW(url.c_str(), nullptr, &size, FALSE, 0);
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) return HttpError::kOpenFailed;
  std::vector<unsigned char> info_buffer(size);
  auto* info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOW*>(info_buffer.data());
  CacheStream stream(RetrieveUrlCacheEntryStreamW(url.c_str(), info, &size, FALSE, 0));
  if (stream.get() == nullptr) return HttpError::kOpenFailed;
  response->status = 200;
  response->final_url = request.url;
  if (info->lpHeaderInfo != nullptr) {
    const std::string header = Narrow(info->lpHeaderInfo, info->dwHeaderInfoSize / sizeof(wchar_t));
    size_t at = 0;
    while (at < header.size()) {
      size_t end = header.find('\n', at);
      if (end == std::string::npos) end = header.size();
      std::string line = header.substr(at, end - at);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (StartsWithNoCase(line, "content-type:")) {
        size_t v = 13;
        while (v < line.size() && line[v] == ' ') ++v;
        response->content_type = line.substr(v);
      }
      at = end + 1;
    }
  }
  const uint64_t total =
      (static_cast<uint64_t>(info->dwSizeHigh) << 32) | static_cast<uint64_t>(info->dwSizeLow);
  if (request.skip_body) return HttpError::kNone;
  if (total > request.max_body) return HttpError::kTooLarge;
  response->body.resize(static_cast<size_t>(total));
  DWORD offset = 0;
  while (offset < total) {
    DWORD length = static_cast<DWORD>(std::min<uint64_t>(total - offset, kReadPiece));
    if (!ReadUrlCacheEntryStream(stream.get(), offset, &response->body[offset], &length, 0) ||
        length == 0) {
      return HttpError::kReadFailed;
    }
    offset += length;
  }
  return HttpError::kNone;
}

// Bounds a request in time from outside: a synchronous WinINet call blocks for as long as the
// server keeps sending something (a header one byte a second, "100 Continue" without end), and
// only closing its request handle from another thread ends it. The watchdog's thread waits for
// the deadline, checking the cancel flag every 50 ms; when time is up during a blocking call on
// the watched request handle, it closes that handle, which makes the call fail at once.
//
// The request thread brackets every blocking call with Enter and Leave. The handle is only
// closed by the watchdog inside such a bracket, and once Leave reports that time is up the
// request thread never touches the handle again; otherwise it gives the handle back with Close.
// So a handle is closed exactly once and never used after it was closed.
class RequestWatchdog {
 public:
  RequestWatchdog(bool has_deadline, Clock::time_point deadline, const std::atomic<bool>* cancel)
      : has_deadline_(has_deadline), deadline_(deadline), cancel_(cancel) {
    if (!has_deadline_ && cancel_ == nullptr) return;
    try {
      thread_ = std::thread([this] { Loop(); });
    } catch (const std::system_error&) {
      // No watchdog: the checks between the calls still apply.
    }
  }
  ~RequestWatchdog() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      done_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
  }
  RequestWatchdog(const RequestWatchdog&) = delete;
  RequestWatchdog& operator=(const RequestWatchdog&) = delete;

  // `h` (a request handle) is the one closed when time runs out during a call.
  void Watch(HINTERNET h) {
    std::lock_guard<std::mutex> lock(mutex_);
    watched_ = h;
  }
  // Before a blocking call on the watched handle; false when time is already up.
  bool Enter() {
    std::lock_guard<std::mutex> lock(mutex_);
    in_call_ = !fired_;
    return in_call_;
  }
  // After it; false when time ran out meanwhile (the handle may be closed: do not use it).
  bool Leave() {
    std::lock_guard<std::mutex> lock(mutex_);
    in_call_ = false;
    return !fired_;
  }
  // Gives back the watched handle `h` and closes it, unless the watchdog already did.
  void Close(HINTERNET h) {
    if (h == nullptr) return;
    std::lock_guard<std::mutex> lock(mutex_);
    if (watched_ != h) return;
    watched_ = nullptr;
    InternetCloseHandle(h);
  }

 private:
  bool TimeIsUp() const {
    if (cancel_ != nullptr && cancel_->load()) return true;
    return has_deadline_ && Clock::now() >= deadline_;
  }
  void Loop() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!done_) {
      if (TimeIsUp()) {
        fired_ = true;
        if (in_call_ && watched_ != nullptr) {
          InternetCloseHandle(watched_);
          watched_ = nullptr;
        }
        return;
      }
      Clock::time_point wake = Clock::now() + std::chrono::milliseconds(50);
      if (has_deadline_ && (cancel_ == nullptr || deadline_ < wake)) wake = deadline_;
      wake_.wait_until(lock, wake);
    }
  }

  const bool has_deadline_;
  const Clock::time_point deadline_;
  const std::atomic<bool>* cancel_;
  std::mutex mutex_;
  std::condition_variable wake_;
  HINTERNET watched_ = nullptr;  // guarded by mutex_
  bool in_call_ = false;         // guarded by mutex_
  bool fired_ = false;           // guarded by mutex_
  bool done_ = false;            // guarded by mutex_
  std::thread thread_;
};

}  // namespace

HttpError HttpGet(const HttpOptions& options, const HttpRequest& request, HttpResponse* response) {
  *response = HttpResponse();
  if (options.proxy_type < 0 || options.proxy_type > 2) return HttpError::kBadSettings;
  if (options.proxy_type == 2 && options.proxy.empty()) return HttpError::kBadSettings;
  UrlParts parts;
  if (!Crack(request.url, &parts)) return HttpError::kOpenFailed;
  if (options.offline) return FromCache(request, response);

  DWORD access = INTERNET_OPEN_TYPE_PRECONFIG;
  std::wstring proxy;
  const wchar_t* bypass = nullptr;
  if (options.proxy_type == 1) access = INTERNET_OPEN_TYPE_DIRECT;
  if (options.proxy_type == 2) {
    access = INTERNET_OPEN_TYPE_PROXY;
    proxy = Wide(options.proxy);
    bypass = L"127.0.0.1";
  }
  const std::wstring agent = Wide(options.user_agent);
  InternetHandle session(InternetOpenW(
      agent.c_str(), access, options.proxy_type == 2 ? proxy.c_str() : nullptr, bypass, 0));
  if (session.get() == nullptr) return HttpError::kOpenFailed;
  const DWORD timeout = static_cast<DWORD>(std::max(options.timeout_ms, 1));
  SetTimeouts(session.get(), timeout);

  DWORD flags = INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_AUTO_REDIRECT;
  if (request.no_cache) flags |= INTERNET_FLAG_PRAGMA_NOCACHE;
  if (request.hyperlink) flags |= INTERNET_FLAG_HYPERLINK;

  const Clock::time_point start = Clock::now();
  const bool has_deadline = request.deadline_ms > 0;
  const Clock::time_point deadline = start + std::chrono::milliseconds(request.deadline_ms);
  auto should_stop = [&]() -> HttpError {
    if (request.cancel != nullptr && request.cancel->load()) return HttpError::kCancelled;
    if (has_deadline && Clock::now() >= deadline) return HttpError::kTimedOut;
    return HttpError::kNone;
  };
  // Why the watchdog ended the request.
  auto stopped = [&]() -> HttpError {
    return request.cancel != nullptr && request.cancel->load() ? HttpError::kCancelled
                                                               : HttpError::kTimedOut;
  };

  // Declared after the handles it may close, so it ends (and its thread with it) before they
  // are released.
  InternetHandle connection;
  RequestWatchdog watchdog(has_deadline, deadline, request.cancel);
  // The request handle of the current hop; closed through the watchdog.
  HINTERNET handle = nullptr;
  struct CloseRequest {
    RequestWatchdog& watchdog;
    HINTERNET& handle;
    ~CloseRequest() { watchdog.Close(handle); }
  } close_request{watchdog, handle};

  // Redirections are followed here rather than by WinINet, so that their number is bounded,
  // only http:// and https:// targets are taken, and credentials never go to another host.
  std::string url = request.url;
  DWORD code = 0;
  for (int hop = 0;; ++hop) {
    if (hop > 0 && !Crack(url, &parts)) return HttpError::kOpenFailed;
    std::wstring header_text;
    for (const std::string& line : request.headers) {
      if (line.find_first_of("\r\n") != std::string::npos) continue;  // one line each
      if (hop > 0 && Authority(url) != Authority(request.url) &&
          StartsWithNoCase(line, "authorization:")) {
        continue;
      }
      header_text += Wide(line);
      header_text += L"\r\n";
    }
    watchdog.Close(handle);
    handle = nullptr;
    if (HttpError e = should_stop(); e != HttpError::kNone) return e;
    connection.Reset(InternetConnectW(session.get(), parts.host.c_str(), parts.port, nullptr,
                                      nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (connection.get() == nullptr) return HttpError::kOpenFailed;
    SetTimeouts(connection.get(), timeout);
    const DWORD hop_flags = flags | (parts.https ? INTERNET_FLAG_SECURE : 0);
    handle = HttpOpenRequestW(connection.get(), L"GET", parts.object.c_str(), L"HTTP/1.1", nullptr,
                              nullptr, hop_flags, 0);
    if (handle == nullptr) return HttpError::kOpenFailed;
    watchdog.Watch(handle);
    SetTimeouts(handle, timeout);
    const Clock::time_point sent_at = Clock::now();
    if (!watchdog.Enter()) return stopped();
    const BOOL sent = HttpSendRequestW(handle, header_text.empty() ? nullptr : header_text.c_str(),
                                       static_cast<DWORD>(header_text.size()), nullptr, 0);
    const DWORD send_error = sent ? 0 : GetLastError();
    if (!watchdog.Leave()) return stopped();
    if (HttpError e = should_stop(); e != HttpError::kNone) return e;
    if (!sent) {
      // Wine reports a server that never answers as an aborted connection once the receive
      // time-out has passed; that is a time-out too.
      if (send_error == ERROR_INTERNET_CONNECTION_ABORTED &&
          Clock::now() - sent_at >= std::chrono::milliseconds(timeout)) {
        return HttpError::kTimedOut;
      }
      return FromLastError(send_error, HttpError::kOpenFailed);
    }

    DWORD code_size = sizeof code;
    DWORD index = 0;
    if (!HttpQueryInfoW(handle, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &code, &code_size,
                        &index)) {
      return HttpError::kOpenFailed;
    }
    std::string location;
    const bool redirect =
        (code == 301 || code == 302 || code == 303 || code == 307 || code == 308) &&
        QueryHeader(handle, HTTP_QUERY_LOCATION, &location);
    if (!redirect) break;
    if (hop >= kMaxRedirections) return HttpError::kOpenFailed;
    std::string next;
    if (!Combine(url, location, &next)) return HttpError::kOpenFailed;
    if (!StartsWithNoCase(next, "http://") && !StartsWithNoCase(next, "https://")) {
      return HttpError::kOpenFailed;
    }
    url = next;
  }
  response->status = static_cast<int>(code);
  response->final_url = url;
  QueryHeader(handle, HTTP_QUERY_CONTENT_TYPE, &response->content_type);
  std::string length_text;
  if (QueryHeader(handle, HTTP_QUERY_CONTENT_LENGTH, &length_text)) {
    int64_t length = -1;
    if (!ParseLength(length_text, &length)) return HttpError::kReadFailed;
    response->content_length = length;
  }
  if (request.skip_body) return HttpError::kNone;

  const int64_t declared = response->content_length;
  if (declared >= 0 && static_cast<uint64_t>(declared) > request.max_body) {
    return HttpError::kTooLarge;
  }
  std::string& body = response->body;
  if (declared > 0) body.reserve(static_cast<size_t>(declared));
  std::string piece(kReadPiece, '\0');
  for (;;) {
    if (HttpError e = should_stop(); e != HttpError::kNone) return e;
    // A synchronous InternetReadFile waits until it has all it was asked for, so ask only for
    // what has arrived; the wait for more is bounded by the receive time-out.
    DWORD available = 0;
    if (!watchdog.Enter()) return stopped();
    const BOOL queried = InternetQueryDataAvailable(handle, &available, 0, 0);
    const DWORD query_error = queried ? 0 : GetLastError();
    if (!watchdog.Leave()) return stopped();
    if (!queried) return FromLastError(query_error, HttpError::kReadFailed);
    DWORD got = 0;
    const DWORD want = std::min<DWORD>(std::max<DWORD>(available, 1), kReadPiece);
    if (!watchdog.Enter()) return stopped();
    const BOOL read = InternetReadFile(handle, &piece[0], want, &got);
    const DWORD read_error = read ? 0 : GetLastError();
    if (!watchdog.Leave()) return stopped();
    if (!read) return FromLastError(read_error, HttpError::kReadFailed);
    if (got == 0) break;
    if (body.size() + got > request.max_body) {
      if (request.cut_at_max && declared < 0) {
        body.append(piece.data(), request.max_body - body.size());
        response->body_cut = true;
        return HttpError::kNone;
      }
      return HttpError::kTooLarge;
    }
    body.append(piece.data(), got);
  }
  if (declared >= 0 && body.size() != static_cast<uint64_t>(declared) && code != 304 &&
      code != 204) {
    return HttpError::kReadFailed;
  }
  return HttpError::kNone;
}

}  // namespace korvo::platform
