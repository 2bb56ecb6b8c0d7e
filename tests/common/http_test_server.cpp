#include "common/http_test_server.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#ifdef KORVO_TEST_TLS
#include <openssl/err.h>
#include <openssl/ssl.h>
#endif

#include <algorithm>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>

namespace korvo::testing {

namespace {

#ifdef _WIN32
using Socket = SOCKET;
const Socket kNoSocket = INVALID_SOCKET;
void CloseSocket(Socket s) { closesocket(s); }
void ShutdownSocket(Socket s) { shutdown(s, SD_BOTH); }
struct WinsockStart {
  WinsockStart() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
  }
};
void EnsureSockets() { static WinsockStart start; }
constexpr int kSendFlags = 0;
#else
using Socket = int;
const Socket kNoSocket = -1;
void CloseSocket(Socket s) { ::close(s); }
void ShutdownSocket(Socket s) { ::shutdown(s, SHUT_RDWR); }
void EnsureSockets() {}
constexpr int kSendFlags = MSG_NOSIGNAL;
#endif

constexpr size_t kMaxHead = 64 * 1024;

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// True when `s` has data to read within `ms` milliseconds.
bool Readable(Socket s, int ms) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(s, &set);
  timeval tv;
  tv.tv_sec = ms / 1000;
  tv.tv_usec = (ms % 1000) * 1000;
  return select(static_cast<int>(s + 1), &set, nullptr, nullptr, &tv) > 0;
}

std::string ReasonFor(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 301:
      return "Moved Permanently";
    case 302:
      return "Found";
    case 303:
      return "See Other";
    case 304:
      return "Not Modified";
    case 307:
      return "Temporary Redirect";
    case 401:
      return "Unauthorized";
    case 404:
      return "Not Found";
    case 500:
      return "Internal Server Error";
    default:
      return "Status";
  }
}

bool ParseHead(const std::string& head, HttpTestRequest* r) {
  size_t line_end = head.find("\r\n");
  if (line_end == std::string::npos) return false;
  const std::string line = head.substr(0, line_end);
  const size_t sp1 = line.find(' ');
  const size_t sp2 = line.rfind(' ');
  if (sp1 == std::string::npos || sp2 == sp1) return false;
  r->method = line.substr(0, sp1);
  r->target = line.substr(sp1 + 1, sp2 - sp1 - 1);
  r->path = r->target;
  const size_t scheme = r->target.find("://");
  if (scheme != std::string::npos && r->target[0] != '/') {
    r->absolute = true;
    const size_t slash = r->target.find('/', scheme + 3);
    r->path = slash == std::string::npos ? "/" : r->target.substr(slash);
  }
  size_t pos = line_end + 2;
  while (pos < head.size()) {
    const size_t end = head.find("\r\n", pos);
    if (end == std::string::npos || end == pos) break;
    const std::string h = head.substr(pos, end - pos);
    const size_t colon = h.find(':');
    if (colon != std::string::npos) {
      size_t v = colon + 1;
      while (v < h.size() && h[v] == ' ') ++v;
      r->headers.emplace_back(h.substr(0, colon), h.substr(v));
    }
    pos = end + 2;
  }
  return true;
}

// The whole answer as the pieces to send, in order.
std::vector<std::string> BuildAnswer(const HttpTestResponse& a) {
  std::string head = "HTTP/1.1 " + std::to_string(a.status) + " " + ReasonFor(a.status) + "\r\n";
  for (const auto& [name, value] : a.headers) head += name + ": " + value + "\r\n";
  const bool no_body = a.status == 304 || a.status == 204 || a.status < 200;
  if (!no_body && a.framing == HttpTestResponse::Framing::kLength) {
    const int64_t length =
        a.declared_length >= 0 ? a.declared_length : static_cast<int64_t>(a.body.size());
    head += "Content-Length: " + std::to_string(length) + "\r\n";
  }
  if (!no_body && a.framing == HttpTestResponse::Framing::kChunked) {
    head += "Transfer-Encoding: chunked\r\n";
  }
  head += "Connection: close\r\n\r\n";
  std::vector<std::string> pieces{head};
  if (no_body) return pieces;
  const size_t step = a.chunk_size == 0 ? std::max<size_t>(a.body.size(), 1) : a.chunk_size;
  for (size_t at = 0; at < a.body.size(); at += step) {
    const std::string part = a.body.substr(at, step);
    if (a.framing == HttpTestResponse::Framing::kChunked) {
      char size[32];
      std::snprintf(size, sizeof size, "%zx\r\n", part.size());
      pieces.push_back(size + part + "\r\n");
    } else {
      pieces.push_back(part);
    }
  }
  if (a.framing == HttpTestResponse::Framing::kChunked) pieces.push_back("0\r\n\r\n");
  return pieces;
}

}  // namespace

std::string HttpTestRequest::Header(std::string_view name) const {
  for (const auto& [n, v] : headers) {
    if (EqualNoCase(n, name)) return v;
  }
  return std::string();
}

bool HttpTestRequest::HasHeader(std::string_view name) const {
  for (const auto& h : headers) {
    if (EqualNoCase(h.first, name)) return true;
  }
  return false;
}

HttpTestResponse HttpTestResponse::Text(std::string body, std::string content_type) {
  HttpTestResponse r;
  r.body = std::move(body);
  r.headers.emplace_back("Content-Type", std::move(content_type));
  return r;
}

HttpTestResponse HttpTestResponse::Status(int status) {
  HttpTestResponse r;
  r.status = status;
  if (status >= 200 && status != 204 && status != 304) {
    r.body = "<html><body>" + std::to_string(status) + "</body></html>";
    r.headers.emplace_back("Content-Type", "text/html");
  }
  return r;
}

HttpTestResponse HttpTestResponse::Redirect(int status, std::string location) {
  HttpTestResponse r;
  r.status = status;
  r.headers.emplace_back("Location", std::move(location));
  return r;
}

struct HttpTestServer::Impl {
  Handler handler;
  Socket listener = kNoSocket;
  int port = 0;
  bool tls = false;
  std::thread acceptor;

  mutable std::mutex mu;
  std::condition_variable cv;
  bool stopping = false;               // guarded by mu
  std::vector<std::thread> workers;    // guarded by mu
  std::vector<std::thread::id> ended;  // guarded by mu: workers that finished, to be joined
  std::vector<Socket> open;            // guarded by mu
  std::vector<HttpTestRequest> log;    // guarded by mu

#ifdef KORVO_TEST_TLS
  SSL_CTX* ctx = nullptr;
#endif

  bool Listen();
  void AcceptLoop();
  void Serve(Socket s);
  // Waits `ms` or until the server stops; false when it stops.
  bool Pause(int ms) {
    std::unique_lock<std::mutex> lock(mu);
    if (ms < 0) {
      cv.wait(lock, [this] { return stopping; });
      return false;
    }
    return !cv.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping; });
  }
  bool Stopping() {
    std::lock_guard<std::mutex> lock(mu);
    return stopping;
  }
};

bool HttpTestServer::Impl::Listen() {
  EnsureSockets();
  listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (listener == kNoSocket) return false;
  sockaddr_in addr;
  std::memset(&addr, 0, sizeof addr);
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  if (bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      listen(listener, 64) != 0) {
    return false;
  }
  socklen_t length = sizeof addr;
  if (getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &length) != 0) return false;
  port = ntohs(addr.sin_port);
  acceptor = std::thread([this] { AcceptLoop(); });
  return true;
}

void HttpTestServer::Impl::AcceptLoop() {
  while (!Stopping()) {
    if (!Readable(listener, 20)) continue;
    Socket s = accept(listener, nullptr, nullptr);
    if (s == kNoSocket) continue;
    std::lock_guard<std::mutex> lock(mu);
    if (stopping) {
      CloseSocket(s);
      break;
    }
    open.push_back(s);
    // Finished connections are joined as new ones come, so a long-running server does not
    // gather threads.
    for (const std::thread::id id : ended) {
      const auto it = std::find_if(workers.begin(), workers.end(),
                                   [id](const std::thread& t) { return t.get_id() == id; });
      if (it == workers.end()) continue;
      it->join();
      workers.erase(it);
    }
    ended.clear();
    workers.emplace_back([this, s] { Serve(s); });
  }
}

void HttpTestServer::Impl::Serve(Socket s) {
#ifdef KORVO_TEST_TLS
  SSL* ssl = nullptr;
  if (tls) {
    ssl = SSL_new(ctx);
    SSL_set_fd(ssl, static_cast<int>(s));
    if (SSL_accept(ssl) != 1) {
      SSL_free(ssl);
      ssl = nullptr;
    }
  }
  const bool ok_tls = !tls || ssl != nullptr;
#else
  const bool ok_tls = !tls;
#endif
  auto receive = [&](char* buffer, int size) -> int {
#ifdef KORVO_TEST_TLS
    if (ssl != nullptr) return SSL_read(ssl, buffer, size);
#endif
    return static_cast<int>(recv(s, buffer, size, 0));
  };
  auto send_all = [&](const std::string& data) -> bool {
    size_t done = 0;
    while (done < data.size()) {
      const int chunk = static_cast<int>(std::min<size_t>(data.size() - done, 65536));
      int n;
#ifdef KORVO_TEST_TLS
      if (ssl != nullptr) {
        n = SSL_write(ssl, data.data() + done, chunk);
      } else
#endif
      {
        n = static_cast<int>(send(s, data.data() + done, chunk, kSendFlags));
      }
      if (n <= 0) return false;
      done += static_cast<size_t>(n);
    }
    return true;
  };
  auto pending = [&]() -> bool {
#ifdef KORVO_TEST_TLS
    if (ssl != nullptr && SSL_pending(ssl) > 0) return true;
#endif
    return false;
  };

  std::string head;
  bool have_head = false;
  while (ok_tls && !have_head && head.size() < kMaxHead && !Stopping()) {
    if (!pending() && !Readable(s, 20)) continue;
    char buffer[4096];
    const int n = receive(buffer, sizeof buffer);
    if (n <= 0) break;
    head.append(buffer, static_cast<size_t>(n));
    // Like a real server, hang up at once on bytes that cannot begin a request (a TLS hello
    // sent to the plain port, for example).
    if (!std::isupper(static_cast<unsigned char>(head[0]))) break;
    have_head = head.find("\r\n\r\n") != std::string::npos;
  }
  HttpTestRequest request;
  if (have_head && ParseHead(head, &request)) {
    {
      std::lock_guard<std::mutex> lock(mu);
      log.push_back(request);
    }
    const HttpTestResponse answer = handler(request);
    std::vector<std::string> pieces = BuildAnswer(answer);
    bool go_on = answer.delay_ms <= 0 || Pause(answer.delay_ms);
    // Interim answers first, then the header in pieces when asked; each of those pieces waits
    // piece_delay_ms, like the body's pieces after the first.
    for (int sent = 0; go_on && (answer.interim_answers < 0 || sent < answer.interim_answers);
         ++sent) {
      go_on = send_all("HTTP/1.1 100 Continue\r\n\r\n") &&
              (answer.piece_delay_ms <= 0 || Pause(answer.piece_delay_ms));
    }
    size_t head_pieces = 1;
    if (answer.head_piece_size > 0 && !pieces.empty()) {
      std::vector<std::string> split;
      for (size_t at = 0; at < pieces[0].size(); at += answer.head_piece_size) {
        split.push_back(pieces[0].substr(at, answer.head_piece_size));
      }
      head_pieces = split.size();
      pieces.erase(pieces.begin());
      pieces.insert(pieces.begin(), split.begin(), split.end());
    }
    int64_t budget = answer.hang_after_bytes;
    for (size_t i = 0; go_on && i < pieces.size(); ++i) {
      // The header's pieces after its first, and the body's pieces after its first, wait.
      const bool waits = (i > 0 && i < head_pieces) || i > head_pieces;
      if (waits && answer.piece_delay_ms > 0) go_on = Pause(answer.piece_delay_ms);
      if (!go_on) break;
      std::string piece = pieces[i];
      if (budget >= 0 && static_cast<int64_t>(piece.size()) > budget) {
        piece.resize(static_cast<size_t>(budget));
      }
      if (!piece.empty() && !send_all(piece)) go_on = false;
      if (budget >= 0) {
        budget -= static_cast<int64_t>(piece.size());
        if (budget <= 0) break;
      }
    }
    if (go_on && answer.hang_after_bytes >= 0) Pause(-1);
  }
#ifdef KORVO_TEST_TLS
  if (ssl != nullptr) {
    SSL_shutdown(ssl);
    SSL_free(ssl);
  }
#endif
  {
    std::lock_guard<std::mutex> lock(mu);
    auto it = std::find(open.begin(), open.end(), s);
    if (it != open.end()) open.erase(it);
  }
  ShutdownSocket(s);
  CloseSocket(s);
  std::lock_guard<std::mutex> lock(mu);
  ended.push_back(std::this_thread::get_id());
}

HttpTestServer::HttpTestServer(Handler handler) : impl_(new Impl) {
  impl_->handler = std::move(handler);
}

HttpTestServer::~HttpTestServer() { Stop(); }

bool HttpTestServer::Start() { return impl_->Listen(); }

bool HttpTestServer::StartTls(const std::string& cert_file, const std::string& key_file) {
#ifdef KORVO_TEST_TLS
  impl_->ctx = SSL_CTX_new(TLS_server_method());
  if (impl_->ctx == nullptr ||
      SSL_CTX_use_certificate_chain_file(impl_->ctx, cert_file.c_str()) != 1 ||
      SSL_CTX_use_PrivateKey_file(impl_->ctx, key_file.c_str(), SSL_FILETYPE_PEM) != 1) {
    return false;
  }
  impl_->tls = true;
  return impl_->Listen();
#else
  (void)cert_file;
  (void)key_file;
  return false;
#endif
}

void HttpTestServer::Stop() {
  {
    std::lock_guard<std::mutex> lock(impl_->mu);
    if (impl_->stopping) return;
    impl_->stopping = true;
    for (Socket s : impl_->open) ShutdownSocket(s);
  }
  impl_->cv.notify_all();
  if (impl_->acceptor.joinable()) impl_->acceptor.join();
  std::vector<std::thread> workers;
  {
    std::lock_guard<std::mutex> lock(impl_->mu);
    workers.swap(impl_->workers);
  }
  for (std::thread& t : workers) t.join();
  if (impl_->listener != kNoSocket) CloseSocket(impl_->listener);
  impl_->listener = kNoSocket;
#ifdef KORVO_TEST_TLS
  if (impl_->ctx != nullptr) SSL_CTX_free(impl_->ctx);
  impl_->ctx = nullptr;
#endif
}

int HttpTestServer::port() const { return impl_->port; }

std::string HttpTestServer::HostPort() const { return "127.0.0.1:" + std::to_string(impl_->port); }

std::string HttpTestServer::Url(std::string_view path) const {
  return std::string(impl_->tls ? "https://" : "http://") + HostPort() + std::string(path);
}

std::vector<HttpTestRequest> HttpTestServer::Requests() const {
  std::lock_guard<std::mutex> lock(impl_->mu);
  return impl_->log;
}

int HttpTestServer::RequestCount() const {
  std::lock_guard<std::mutex> lock(impl_->mu);
  return static_cast<int>(impl_->log.size());
}

int HttpTestServer::CountPath(std::string_view path) const {
  std::lock_guard<std::mutex> lock(impl_->mu);
  return static_cast<int>(std::count_if(impl_->log.begin(), impl_->log.end(),
                                        [&](const HttpTestRequest& r) { return r.path == path; }));
}

void HttpTestServer::ClearRequests() {
  std::lock_guard<std::mutex> lock(impl_->mu);
  impl_->log.clear();
}

}  // namespace korvo::testing
