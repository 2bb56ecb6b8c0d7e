#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/clock.h"
#include "platform/tcp_socket.h"

namespace korvo::platform {

namespace {

int Fd(const TcpSocket& socket) { return static_cast<int>(socket.handle()); }

sockaddr_in Ipv4(uint32_t address, uint16_t port) {
  sockaddr_in a;
  std::memset(&a, 0, sizeof(a));
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(address);
  a.sin_port = htons(port);
  return a;
}

// poll() for `events`, retried after signals with the time that is left.
WaitResult WaitFor(int fd, short events, int timeout_ms) {
  if (fd < 0) return WaitResult::kFailed;
  const uint64_t start = MonotonicMilliseconds();
  for (;;) {
    const uint64_t spent = MonotonicMilliseconds() - start;
    const int left =
        timeout_ms > static_cast<int>(spent) ? timeout_ms - static_cast<int>(spent) : 0;
    pollfd p;
    p.fd = fd;
    p.events = events;
    p.revents = 0;
    const int n = ::poll(&p, 1, left);
    if (n > 0) return (p.revents & POLLNVAL) ? WaitResult::kFailed : WaitResult::kReady;
    if (n == 0) return WaitResult::kTimedOut;
    if (errno != EINTR) return WaitResult::kFailed;
  }
}

bool SetBlocking(int fd, bool blocking) {
  const int flags = ::fcntl(fd, F_GETFL, 0);
  if (flags < 0) return false;
  const int wanted = blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK);
  return wanted == flags || ::fcntl(fd, F_SETFL, wanted) == 0;
}

}  // namespace

SocketLibrary::SocketLibrary() : started_(true) {}
SocketLibrary::~SocketLibrary() = default;

TcpSocket& TcpSocket::operator=(TcpSocket&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = other.Release();
  }
  return *this;
}

void TcpSocket::Close() {
  if (handle_ != kInvalid) ::close(static_cast<int>(handle_));
  handle_ = kInvalid;
}

void TcpSocket::ShutdownAndClose() {
  if (handle_ != kInvalid) ::shutdown(static_cast<int>(handle_), SHUT_RDWR);
  Close();
}

TcpSocket TcpSocket::Adopt(intptr_t handle) {
  TcpSocket socket;
  socket.handle_ = handle < 0 ? kInvalid : handle;
  return socket;
}

TcpSocket OpenTcpSocket() {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  return TcpSocket::Adopt(fd);
}

bool SetReuseAddress(const TcpSocket& socket) {
  const int one = 1;
  return ::setsockopt(Fd(socket), SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one)) == 0;
}

bool BindIpv4(const TcpSocket& socket, uint32_t address, uint16_t port) {
  const sockaddr_in a = Ipv4(address, port);
  return ::bind(Fd(socket), reinterpret_cast<const sockaddr*>(&a), sizeof(a)) == 0;
}

bool Listen(const TcpSocket& socket, int backlog) { return ::listen(Fd(socket), backlog) == 0; }

uint16_t LocalPort(const TcpSocket& socket) {
  sockaddr_in a;
  socklen_t length = sizeof(a);
  if (::getsockname(Fd(socket), reinterpret_cast<sockaddr*>(&a), &length) != 0) return 0;
  return ntohs(a.sin_port);
}

WaitResult WaitReadable(const TcpSocket& socket, int timeout_ms) {
  return WaitFor(Fd(socket), POLLIN, timeout_ms);
}

TcpSocket Accept(const TcpSocket& listener, uint32_t* peer_address, uint16_t* peer_port) {
  sockaddr_in a;
  std::memset(&a, 0, sizeof(a));
  socklen_t length = sizeof(a);
  int fd;
  do {
    fd = ::accept4(Fd(listener), reinterpret_cast<sockaddr*>(&a), &length, SOCK_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return TcpSocket();
  if (peer_address != nullptr) *peer_address = ntohl(a.sin_addr.s_addr);
  if (peer_port != nullptr) *peer_port = ntohs(a.sin_port);
  return TcpSocket::Adopt(fd);
}

int64_t ReceiveSome(const TcpSocket& socket, char* buffer, size_t size, int timeout_ms) {
  const WaitResult wait = WaitFor(Fd(socket), POLLIN, timeout_ms);
  if (wait == WaitResult::kTimedOut) return 0;
  if (wait == WaitResult::kFailed) return -1;
  for (;;) {
    const ssize_t n = ::recv(Fd(socket), buffer, size, MSG_DONTWAIT);
    if (n > 0) return n;
    if (n == 0) return -1;  // the peer closed its side
    if (errno == EINTR) continue;
    return (errno == EAGAIN || errno == EWOULDBLOCK) ? 0 : -1;
  }
}

bool SendAll(const TcpSocket& socket, const char* data, size_t size, int timeout_ms,
             int deadline_ms) {
  const uint64_t start = MonotonicMilliseconds();
  while (size > 0) {
    int wait = timeout_ms;
    if (deadline_ms > 0) {
      const uint64_t spent = MonotonicMilliseconds() - start;
      if (spent >= static_cast<uint64_t>(deadline_ms)) return false;
      const int left = deadline_ms - static_cast<int>(spent);
      if (left < wait) wait = left;
    }
    if (WaitFor(Fd(socket), POLLOUT, wait) != WaitResult::kReady) return false;
    const ssize_t n = ::send(Fd(socket), data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n < 0) {
      if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

TcpSocket ConnectIpv4(uint32_t address, uint16_t port, int timeout_ms, uint32_t local_address) {
  TcpSocket socket = OpenTcpSocket();
  if (!socket.valid()) return socket;
  if (local_address != kAnyAddress && !BindIpv4(socket, local_address, 0)) return TcpSocket();
  const int fd = Fd(socket);
  if (!SetBlocking(fd, false)) return TcpSocket();
  const sockaddr_in a = Ipv4(address, port);
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&a), sizeof(a)) != 0) {
    if (errno != EINPROGRESS) return TcpSocket();
    if (WaitFor(fd, POLLOUT, timeout_ms) != WaitResult::kReady) return TcpSocket();
    int error = 0;
    socklen_t length = sizeof(error);
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) {
      return TcpSocket();
    }
  }
  if (!SetBlocking(fd, true)) return TcpSocket();
  return socket;
}

bool ShutdownSending(const TcpSocket& socket) { return ::shutdown(Fd(socket), SHUT_WR) == 0; }

}  // namespace korvo::platform
