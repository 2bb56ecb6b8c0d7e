// HTTP GET requests.
//
// One call is one whole request: it opens its own session (WinINet on Windows, libcurl on POSIX),
// follows redirections, reads the body into memory and closes everything before it returns.
// Nothing is shared between calls, so any number of threads may call at once.
//
// Proxy modes (HttpOptions::proxy_type):
//   0  the system's configuration. Windows: the current user's Internet settings
//      (INTERNET_OPEN_TYPE_PRECONFIG). POSIX: the http_proxy / https_proxy / no_proxy variables of
//      the environment, as libcurl reads them.
//   1  direct.
//   2  the named proxy `proxy` ("host" or "host:port"), with 127.0.0.1 bypassed. An empty name
//      fails.
//   Any other value fails every request with kBadSettings.
//
// Time-outs: `timeout_ms` bounds the connection, the sending of the request and every wait for
// more of the answer (the WinINet connect, send, receive, data-send and data-receive time-outs);
// a server that stops sending for longer fails the request with kTimedOut. `deadline_ms`, when
// not 0, bounds the whole call however the server paces its answer (a header one byte at a
// time, "100 Continue" answers without end, a trickling body): POSIX checks it every few
// milliseconds; Windows runs a watchdog thread that closes the request handle when the deadline
// passes (or the cancel flag is set), which ends a blocked WinINet call.
//
// Bodies: a body with a declared Content-Length is read until it is complete; a shorter body is
// kReadFailed, and a declared length above `max_body` is refused with kTooLarge before anything
// is allocated. A body without a declared length (chunked, or ended by closing the connection)
// is kept byte for byte up to `max_body`; beyond that it is cut there when `cut_at_max` is set
// (HttpResponse::body_cut tells) and fails with kTooLarge otherwise. Bodies are binary: NUL bytes
// are kept.
//
// HTTPS: https:// addresses are requested over TLS with the server's certificate checked against
// the system's trusted roots (Windows: INTERNET_FLAG_SECURE, certificate errors are failures).
// Redirections go to http:// and https:// addresses only.
#ifndef KORVO_PLATFORM_HTTP_H_
#define KORVO_PLATFORM_HTTP_H_

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace korvo::platform {

struct HttpOptions {
  int proxy_type = 0;      // 0 system configuration, 1 direct, 2 named proxy; see above
  std::string proxy;       // mode 2: "host" or "host:port"
  std::string user_agent;  // sent as given
  int timeout_ms = 30000;  // each of the connect, send and receive waits; values < 1 mean 1
  // Offline mode: the answer may only come from the system's URL cache (Windows:
  // INTERNET_FLAG_OFFLINE). POSIX has no such cache: every offline request fails with
  // kOpenFailed without touching the network.
  bool offline = false;
  // POSIX only: a PEM file of certificates trusted for https:// in place of the system's store
  // (tests use it for their own certificate). Ignored on Windows.
  std::string ca_file;
};

struct HttpRequest {
  // An absolute http:// or https:// address in ASCII; callers escape other bytes.
  std::string url;
  // Extra request header lines, each "Name: value" without a line end.
  std::vector<std::string> headers;
  bool no_cache = false;   // "Pragma: no-cache" (Windows: INTERNET_FLAG_PRAGMA_NOCACHE)
  bool hyperlink = false;  // Windows: INTERNET_FLAG_HYPERLINK (a cache rule); no effect on POSIX
  bool skip_body = false;  // stop after the answer's header: status and headers only
  size_t max_body = size_t{32} << 20;
  bool cut_at_max = false;
  int deadline_ms = 0;  // 0: none
  // When set and it becomes true, the call ends soon with kCancelled. Read from the calling
  // thread only; another thread may set it.
  const std::atomic<bool>* cancel = nullptr;
};

struct HttpResponse {
  int status = 0;               // of the final answer, after redirections
  std::string final_url;        // the address the request finally reached
  std::string content_type;     // the Content-Type header of the final answer; empty when none
  int64_t content_length = -1;  // declared length of the final answer; -1 when none
  std::string body;
  bool body_cut = false;  // the body was longer than max_body and was cut there
};

enum class HttpError {
  kNone = 0,
  kBadSettings,  // unknown proxy mode, or mode 2 without a proxy name
  kOpenFailed,   // bad address, no connection, TLS failure, offline without a cached answer
  kTimedOut,     // a time-out or the deadline passed
  kTooLarge,     // the body is above max_body (and not cut)
  kReadFailed,   // the connection failed while the body was read, or the body was short
  kCancelled,
};

// Sends one GET request. On kNone `*response` holds the final answer whatever its status code
// (a 404 page is a successful request); on failure its content is unspecified.
HttpError HttpGet(const HttpOptions& options, const HttpRequest& request, HttpResponse* response);

}  // namespace korvo::platform

#endif  // KORVO_PLATFORM_HTTP_H_
