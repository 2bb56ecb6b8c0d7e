// LocalServer: the program's loopback HTTP server on top of SocketServer. For every accepted
// connection it reads one request, parses it (server_request.h), lets the router answer and
// sends that answer in one piece, then shuts the connection down and closes it.
//
// Peers: 127.0.0.1 is always served; any other peer only when its address is on the allow list
// (empty in the local mode, so only 127.0.0.1 is served there; 127.0.0.2 counts as another
// host). A refused peer is closed at once without a byte.
//
// Requests: every read takes at most 4096 bytes and waits at most the read timeout (a read that
// times out ends the reading; what has arrived is processed). Reading goes on while reads bring
// data and the empty line that ends the header block has not arrived, for at most 385 reads
// (1,576,960 bytes) and at most three read timeouts in all, so a slow or silent client holds the
// server for a bounded time only. A request whose reading ends after Stop was called is closed
// without an answer (the services the routes call are being stopped). In the local mode a
// request whose Host is not a local name
// with the server's port is closed without an answer (request_origin.h); every request is
// marked cross-site or not before it is routed.
//
// Answers are sent with a bounded wait: a client that does not read its answer is dropped after
// kSendWaitMs without progress, or kSendDeadlineMs in all.
//
// Threads: configure (SetReadTimeout, SetLocalMode, SetAllowList, SetRouter, SetObserver) on the
// controlling thread before StartAccepting; connections are served on the accepting thread.
#ifndef KORVO_SERVER_LOCAL_SERVER_H_
#define KORVO_SERVER_LOCAL_SERVER_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "server/request_router.h"
#include "server/socket_server.h"

namespace korvo {

class LocalServer : public SocketServer {
 public:
  static constexpr int kDefaultReadTimeoutMs = 5000;
  static constexpr size_t kReadSize = 4096;
  static constexpr int kMaxReads = 385;
  static constexpr int kSendWaitMs = 5000;
  static constexpr int kSendDeadlineMs = 20000;

  // What one connection came to; for tests and diagnostics.
  struct ConnectionReport {
    uint32_t peer = 0;
    int reads = 0;
    size_t bytes = 0;           // bytes of the request read
    bool parsed = false;        // the request line began with GET and held a "/"
    bool host_refused = false;  // a foreign Host in the local mode
    bool cross_site = false;
    int result = RouteAnswer::kNone;
    bool sent = false;  // the whole answer went out
  };
  using Observer = std::function<void(const ConnectionReport&)>;

  LocalServer() = default;

  // The wait of one read, taken between 1 and 60000 ms.
  void SetReadTimeout(int timeout_ms);
  int read_timeout() const { return read_timeout_ms_; }
  // The local mode checks the Host of every request (set from the address mode of Init).
  void SetLocalMode(bool local) { local_mode_ = local; }
  // Adds the entries of an allow_ip text (allow_list.h): 0, or -1 when an entry was too long.
  // Refused entries are kept for refused_entries().
  int SetAllowList(std::string_view text);
  std::vector<uint32_t> allow_list() const;
  std::vector<std::string> refused_entries() const;
  void SetRouter(std::shared_ptr<RequestRouter> router) { router_ = std::move(router); }
  // Called on the accepting thread after every served connection (not for refused peers).
  void SetObserver(Observer observer) { observer_ = std::move(observer); }

 protected:
  int CheckPeer(const platform::TcpSocket& socket, uint32_t peer_address) override;
  void ServeConnection(platform::TcpSocket socket, uint32_t peer_address) override;

 private:
  // Reads one request into `text`.
  void ReadRequest(const platform::TcpSocket& socket, std::string* text,
                   ConnectionReport* report) const;

  int read_timeout_ms_ = kDefaultReadTimeoutMs;
  bool local_mode_ = true;
  mutable std::mutex allow_mutex_;
  std::vector<uint32_t> allow_list_;  // guarded by allow_mutex_
  std::vector<std::string> refused_;  // guarded by allow_mutex_
  std::shared_ptr<RequestRouter> router_;
  Observer observer_;
};

}  // namespace korvo

#endif  // KORVO_SERVER_LOCAL_SERVER_H_
