// SocketServer: a single-threaded TCP server. One accepting thread takes connections one after
// another; for each it asks CheckPeer, then either closes the connection at once or hands it to
// ServeConnection on the same thread, and accepts the next connection only when that returned
// (and a short pause has passed).
//
// The base class accepts every peer and serves an echo: it reads at most 1024 bytes once, sends
// them back and closes. LocalServer derives the real server from it.
//
// Lifecycle: constructed (stopped, last error -2) -> Bind (listening, not yet accepting) ->
// StartAccepting -> Stop. Create it with std::make_shared: the accepting thread co-owns the
// server, so when Stop gives up waiting (a connection still being served), the thread finishes
// that connection on its own and the object goes with its last owner.
//
// Threads: Bind, StartAccepting and Stop on one controlling thread; CheckPeer and
// ServeConnection on the accepting thread. port() and last_error() from any thread.
#ifndef KORVO_SERVER_SOCKET_SERVER_H_
#define KORVO_SERVER_SOCKET_SERVER_H_

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/tcp_socket.h"

namespace korvo {

class SocketServer : public std::enable_shared_from_this<SocketServer> {
 public:
  // Results of Bind (also kept as last_error()).
  static constexpr int kBound = 0;
  static constexpr int kBadMode = -1;
  static constexpr int kNoLibrary = -2;
  static constexpr int kNoSocket = -3;
  static constexpr int kBindFailed = -4;
  static constexpr int kListenFailed = -5;
  static constexpr int kNoMemory = -6;  // a connection dropped for want of a buffer

  static constexpr int kStopWaitMs = 3000;
  static constexpr int kAcceptPauseMs = 10;

  SocketServer();
  virtual ~SocketServer();
  SocketServer(const SocketServer&) = delete;
  SocketServer& operator=(const SocketServer&) = delete;

  // Starts the socket library and listens: address mode 1 on 127.0.0.1, mode 0 on every
  // address, with SO_REUSEADDR and `backlog`. Port 0 lets the system choose (port() tells).
  // Returns kBound or one of the failure codes above.
  int Bind(uint16_t port, int backlog, int address_mode);
  // Starts the accepting thread: 0, or -1 when nothing is listening, it already runs, or the
  // server is not owned by a shared_ptr.
  int StartAccepting();
  // Sets the stop flag and waits at most `wait_ms` for the accepting thread to end; the
  // listening socket is closed when the thread ends. A thread still serving a connection then
  // finishes it alone. Idempotent.
  void Stop(int wait_ms = kStopWaitMs);

  uint16_t port() const { return port_.load(); }
  int last_error() const { return last_error_.load(); }
  bool stopping() const { return stop_.load(); }
  // The pause after each accepted connection (kAcceptPauseMs); tests and benchmarks lower it.
  void set_accept_pause_ms(int ms) { accept_pause_ms_.store(ms); }

 protected:
  // 0 to serve the connection from `peer_address` (host order), anything else to refuse it.
  virtual int CheckPeer(const platform::TcpSocket& socket, uint32_t peer_address);
  // Handles one accepted connection and closes it.
  virtual void ServeConnection(platform::TcpSocket socket, uint32_t peer_address);

 private:
  void AcceptLoop();

  std::unique_ptr<platform::SocketLibrary> library_;
  // Owned by the accepting thread while it runs (it closes it when it ends), else by the
  // controlling thread.
  platform::TcpSocket listener_;
  std::atomic<bool> stop_{true};
  std::atomic<uint16_t> port_{0};
  std::atomic<int> last_error_{kNoLibrary};
  std::atomic<int> accept_pause_ms_{kAcceptPauseMs};

  std::thread thread_;
  bool left_behind_ = false;  // Stop gave up waiting for the thread (controlling thread only)
  std::mutex done_mutex_;
  std::condition_variable done_;
  bool loop_ended_ = false;  // guarded by done_mutex_
};

}  // namespace korvo

#endif  // KORVO_SERVER_SOCKET_SERVER_H_
