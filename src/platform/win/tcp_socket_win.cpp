#include "platform/tcp_socket.h"

// winsock2.h must come before windows.h, which the other headers may pull in.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstring>

#include "platform/clock.h"

namespace korvo::platform {

namespace {

SOCKET Raw(const TcpSocket& socket) { return static_cast<SOCKET>(socket.handle()); }

sockaddr_in Ipv4(uint32_t address, uint16_t port) {
  sockaddr_in a;
  std::memset(&a, 0, sizeof(a));
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(address);
  a.sin_port = htons(port);
  return a;
}

enum class Direction { kRead, kWrite, kConnect };

// select() on one socket. A connect that failed shows in the exception set.
WaitResult WaitFor(SOCKET s, Direction direction, int timeout_ms) {
  if (s == INVALID_SOCKET) return WaitResult::kFailed;
  fd_set main_set;
  fd_set error_set;
  FD_ZERO(&main_set);
  FD_ZERO(&error_set);
  FD_SET(s, &main_set);
  FD_SET(s, &error_set);
  timeval tv;
  if (timeout_ms < 0) timeout_ms = 0;
  tv.tv_sec = timeout_ms / 1000;
  tv.tv_usec = (timeout_ms % 1000) * 1000;
  const int n = direction == Direction::kRead
                    ? select(0, &main_set, nullptr, nullptr, &tv)
                    : select(0, nullptr, &main_set,
                             direction == Direction::kConnect ? &error_set : nullptr, &tv);
  if (n == 0) return WaitResult::kTimedOut;
  if (n < 0) return WaitResult::kFailed;
  if (direction == Direction::kConnect && FD_ISSET(s, &error_set)) return WaitResult::kFailed;
  return WaitResult::kReady;
}

bool SetBlocking(SOCKET s, bool blocking) {
  u_long non_blocking = blocking ? 0 : 1;
  return ioctlsocket(s, FIONBIO, &non_blocking) == 0;
}

bool WouldBlock() {
  const int error = WSAGetLastError();
  return error == WSAEWOULDBLOCK || error == WSAEINTR;
}

}  // namespace

SocketLibrary::SocketLibrary() {
  WSADATA data;
  started_ = WSAStartup(MAKEWORD(2, 0), &data) == 0;
}

SocketLibrary::~SocketLibrary() {
  if (started_) WSACleanup();
}

TcpSocket& TcpSocket::operator=(TcpSocket&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = other.Release();
  }
  return *this;
}

void TcpSocket::Close() {
  if (handle_ != kInvalid) closesocket(static_cast<SOCKET>(handle_));
  handle_ = kInvalid;
}

void TcpSocket::ShutdownAndClose() {
  if (handle_ != kInvalid) shutdown(static_cast<SOCKET>(handle_), SD_BOTH);
  Close();
}

TcpSocket TcpSocket::Adopt(intptr_t handle) {
  TcpSocket socket;
  socket.handle_ = static_cast<SOCKET>(handle) == INVALID_SOCKET ? kInvalid : handle;
  return socket;
}

TcpSocket OpenTcpSocket() {
  const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return TcpSocket();
  // Programs started later (the browser, players) must not inherit the listening socket.
  SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
  return TcpSocket::Adopt(static_cast<intptr_t>(s));
}

bool SetReuseAddress(const TcpSocket& socket) {
  const BOOL one = TRUE;
  return setsockopt(Raw(socket), SOL_SOCKET, SO_EXCLUSIVEADDRUSE,
                    reinterpret_cast<const char*>(&one), sizeof(one)) == 0;
}

bool BindIpv4(const TcpSocket& socket, uint32_t address, uint16_t port) {
  const sockaddr_in a = Ipv4(address, port);
  return bind(Raw(socket), reinterpret_cast<const sockaddr*>(&a), sizeof(a)) == 0;
}

bool Listen(const TcpSocket& socket, int backlog) { return listen(Raw(socket), backlog) == 0; }

uint16_t LocalPort(const TcpSocket& socket) {
  sockaddr_in a;
  int length = sizeof(a);
  if (getsockname(Raw(socket), reinterpret_cast<sockaddr*>(&a), &length) != 0) return 0;
  return ntohs(a.sin_port);
}

WaitResult WaitReadable(const TcpSocket& socket, int timeout_ms) {
  return WaitFor(Raw(socket), Direction::kRead, timeout_ms);
}

TcpSocket Accept(const TcpSocket& listener, uint32_t* peer_address, uint16_t* peer_port) {
  sockaddr_in a;
  std::memset(&a, 0, sizeof(a));
  int length = sizeof(a);
  const SOCKET s = accept(Raw(listener), reinterpret_cast<sockaddr*>(&a), &length);
  if (s == INVALID_SOCKET) return TcpSocket();
  SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
  if (peer_address != nullptr) *peer_address = ntohl(a.sin_addr.s_addr);
  if (peer_port != nullptr) *peer_port = ntohs(a.sin_port);
  return TcpSocket::Adopt(static_cast<intptr_t>(s));
}

int64_t ReceiveSome(const TcpSocket& socket, char* buffer, size_t size, int timeout_ms) {
  const WaitResult wait = WaitFor(Raw(socket), Direction::kRead, timeout_ms);
  if (wait == WaitResult::kTimedOut) return 0;
  if (wait == WaitResult::kFailed) return -1;
  const int want = size > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(size);
  const int n = recv(Raw(socket), buffer, want, 0);
  if (n > 0) return n;
  if (n == 0) return -1;  // the peer closed its side
  return WouldBlock() ? 0 : -1;
}

bool SendAll(const TcpSocket& socket, const char* data, size_t size, int timeout_ms,
             int deadline_ms) {
  const SOCKET s = Raw(socket);
  // Non-blocking while sending, so that a send never waits beyond the limits for a peer that
  // does not read.
  if (!SetBlocking(s, false)) return false;
  const uint64_t start = MonotonicMilliseconds();
  bool sent = true;
  while (size > 0) {
    int wait = timeout_ms;
    if (deadline_ms > 0) {
      const uint64_t spent = MonotonicMilliseconds() - start;
      if (spent >= static_cast<uint64_t>(deadline_ms)) {
        sent = false;
        break;
      }
      const int left = deadline_ms - static_cast<int>(spent);
      if (left < wait) wait = left;
    }
    if (WaitFor(s, Direction::kWrite, wait) != WaitResult::kReady) {
      sent = false;
      break;
    }
    const int piece = size > 0x100000 ? 0x100000 : static_cast<int>(size);
    const int n = send(s, data, piece, 0);
    if (n == SOCKET_ERROR) {
      if (WouldBlock()) continue;
      sent = false;
      break;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  SetBlocking(s, true);
  return sent;
}

TcpSocket ConnectIpv4(uint32_t address, uint16_t port, int timeout_ms, uint32_t local_address) {
  TcpSocket socket = OpenTcpSocket();
  if (!socket.valid()) return socket;
  if (local_address != kAnyAddress && !BindIpv4(socket, local_address, 0)) return TcpSocket();
  const SOCKET s = Raw(socket);
  if (!SetBlocking(s, false)) return TcpSocket();
  const sockaddr_in a = Ipv4(address, port);
  if (connect(s, reinterpret_cast<const sockaddr*>(&a), sizeof(a)) != 0) {
    if (WSAGetLastError() != WSAEWOULDBLOCK) return TcpSocket();
    if (WaitFor(s, Direction::kConnect, timeout_ms) != WaitResult::kReady) return TcpSocket();
    int error = 0;
    int length = sizeof(error);
    if (getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0 ||
        error != 0) {
      return TcpSocket();
    }
  }
  if (!SetBlocking(s, true)) return TcpSocket();
  return socket;
}

bool ShutdownSending(const TcpSocket& socket) { return shutdown(Raw(socket), SD_SEND) == 0; }

}  // namespace korvo::platform
