// A small HTTP/1.1 server on 127.0.0.1 for tests, running in the test process (BSD sockets on
// POSIX, Winsock 2 on Windows, so the same test program works natively and under Wine).
//
// Every connection gets its own thread and exactly one answer, followed by "Connection: close".
// A handler given at construction scripts the answers per request; it runs on the connection's
// thread, so it must be thread-safe when requests can overlap. Requests with an absolute URI as
// target ("GET http://host/path HTTP/1.1") are what a client sends to a proxy: they reach the
// same handler with `absolute` set, so the server can act as the proxy of a test.
//
// Natively the server can speak TLS (the test program is then built with KORVO_TEST_TLS and
// linked with OpenSSL): pass the certificate and key files to StartTls.
#ifndef KORVO_TESTS_COMMON_HTTP_TEST_SERVER_H_
#define KORVO_TESTS_COMMON_HTTP_TEST_SERVER_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvo::testing {

struct HttpTestRequest {
  std::string method;
  std::string target;     // as sent
  std::string path;       // the target without scheme and host: "/a/b?c"
  bool absolute = false;  // the target was an absolute URI (a proxy request)
  std::vector<std::pair<std::string, std::string>> headers;

  // The value of the first header of that name (any case); empty when absent.
  std::string Header(std::string_view name) const;
  bool HasHeader(std::string_view name) const;
};

struct HttpTestResponse {
  enum class Framing {
    kLength,   // "Content-Length" (declared_length when >= 0, else the body's size)
    kChunked,  // "Transfer-Encoding: chunked", chunk_size bytes per chunk
    kClose,    // no length: the body ends when the connection closes
  };

  int status = 200;
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;
  Framing framing = Framing::kLength;
  int64_t declared_length = -1;  // kLength only; more than the body gives a short body
  size_t chunk_size = 0;         // bytes per piece sent (0: the whole body at once)
  int delay_ms = 0;              // wait before anything is sent
  int piece_delay_ms = 0;        // wait between pieces
  // Send only this many bytes of the whole answer (header included), then keep the connection
  // open without sending more until the server stops. -1: send everything.
  int64_t hang_after_bytes = -1;
  // Hostile pacing: "100 Continue" answers sent before the real one, piece_delay_ms apart
  // (-1: without end, until the server stops); and the header sent in pieces of this many bytes,
  // piece_delay_ms apart (0: at once).
  int interim_answers = 0;
  size_t head_piece_size = 0;

  static HttpTestResponse Text(std::string body, std::string content_type = "text/plain");
  static HttpTestResponse Status(int status);
  static HttpTestResponse Redirect(int status, std::string location);
};

class HttpTestServer {
 public:
  using Handler = std::function<HttpTestResponse(const HttpTestRequest&)>;

  explicit HttpTestServer(Handler handler);
  ~HttpTestServer();  // stops the server
  HttpTestServer(const HttpTestServer&) = delete;
  HttpTestServer& operator=(const HttpTestServer&) = delete;

  // Listens on 127.0.0.1 at a port the system picks. False when that fails.
  bool Start();
  // The same over TLS with a PEM certificate and key (native builds with KORVO_TEST_TLS only;
  // false elsewhere).
  bool StartTls(const std::string& cert_file, const std::string& key_file);
  // Closes every connection (hung ones too) and waits for the server's threads.
  void Stop();

  int port() const;
  // "http://127.0.0.1:<port>" + path ("https://..." after StartTls).
  std::string Url(std::string_view path) const;
  // "127.0.0.1:<port>"
  std::string HostPort() const;

  // Requests received so far, in the order their heads were read.
  std::vector<HttpTestRequest> Requests() const;
  int RequestCount() const;
  int CountPath(std::string_view path) const;  // requests whose `path` equals `path`
  void ClearRequests();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace korvo::testing

#endif  // KORVO_TESTS_COMMON_HTTP_TEST_SERVER_H_
