#include "server/socket_server.h"

#include <chrono>
#include <utility>

namespace korvo {

namespace {

// How long one wait for a connection lasts before the stop flag is looked at again.
constexpr int kAcceptPollMs = 100;
constexpr size_t kEchoBytes = 1024;
constexpr int kEchoWaitMs = 5000;

}  // namespace

SocketServer::SocketServer() = default;

SocketServer::~SocketServer() {
  stop_.store(true);
  // Only reached when the accepting thread is gone or is the one dropping the last reference.
  if (thread_.joinable()) thread_.detach();
  listener_.Close();
}

int SocketServer::Bind(uint16_t port, int backlog, int address_mode) {
  listener_.Close();
  stop_.store(true);
  port_.store(0);
  last_error_.store(kBound);
  int result = kBound;
  if (address_mode != 0 && address_mode != 1) {
    last_error_.store(kBadMode);
    return kBadMode;
  }
  if (!library_) library_ = std::make_unique<platform::SocketLibrary>();
  platform::TcpSocket socket;
  if (!library_->started()) {
    result = kNoLibrary;
  } else if (!(socket = platform::OpenTcpSocket()).valid()) {
    result = kNoSocket;
  } else {
    platform::SetReuseAddress(socket);
    const uint32_t address = address_mode == 1 ? platform::kLoopbackAddress : platform::kAnyAddress;
    if (!platform::BindIpv4(socket, address, port)) {
      result = kBindFailed;
    } else if (!platform::Listen(socket, backlog)) {
      result = kListenFailed;
    }
  }
  if (result != kBound) {
    last_error_.store(result);
    return result;
  }
  port_.store(platform::LocalPort(socket));
  listener_ = std::move(socket);
  stop_.store(false);
  return kBound;
}

int SocketServer::StartAccepting() {
  if (!listener_.valid() || stop_.load() || thread_.joinable()) return -1;
  std::shared_ptr<SocketServer> self = weak_from_this().lock();
  if (!self) return -1;
  {
    std::lock_guard<std::mutex> lock(done_mutex_);
    loop_ended_ = false;
  }
  thread_ = std::thread([self] { self->AcceptLoop(); });
  return 0;
}

void SocketServer::Stop(int wait_ms) {
  stop_.store(true);
  if (!thread_.joinable()) {
    // A thread left behind by an earlier Stop still owns the listening socket and closes it.
    if (!left_behind_) listener_.Close();
    return;
  }
  bool ended;
  {
    std::unique_lock<std::mutex> lock(done_mutex_);
    ended = done_.wait_for(lock, std::chrono::milliseconds(wait_ms < 0 ? 0 : wait_ms),
                           [this] { return loop_ended_; });
  }
  if (ended) {
    thread_.join();
  } else {
    thread_.detach();  // it co-owns the server and ends after its connection
    left_behind_ = true;
  }
}

void SocketServer::AcceptLoop() {
  while (!stop_.load()) {
    const platform::WaitResult wait = platform::WaitReadable(listener_, kAcceptPollMs);
    if (stop_.load()) break;
    if (wait == platform::WaitResult::kTimedOut) continue;
    if (wait == platform::WaitResult::kFailed) {
      std::this_thread::sleep_for(std::chrono::milliseconds(kAcceptPollMs));
      continue;
    }
    uint32_t peer = 0;
    platform::TcpSocket connection = platform::Accept(listener_, &peer, nullptr);
    if (connection.valid()) {
      if (CheckPeer(connection, peer) != 0) {
        connection.ShutdownAndClose();
      } else {
        ServeConnection(std::move(connection), peer);
      }
    }
    const int pause = accept_pause_ms_.load();
    if (pause > 0) std::this_thread::sleep_for(std::chrono::milliseconds(pause));
  }
  listener_.Close();
  std::lock_guard<std::mutex> lock(done_mutex_);
  loop_ended_ = true;
  done_.notify_all();
}

int SocketServer::CheckPeer(const platform::TcpSocket&, uint32_t) { return 0; }

void SocketServer::ServeConnection(platform::TcpSocket socket, uint32_t) {
  char buffer[kEchoBytes];
  const int64_t n = platform::ReceiveSome(socket, buffer, sizeof buffer, kEchoWaitMs);
  if (n > 0) {
    platform::SendAll(socket, buffer, static_cast<size_t>(n), kEchoWaitMs, kEchoWaitMs);
  }
  socket.ShutdownAndClose();
}

}  // namespace korvo
