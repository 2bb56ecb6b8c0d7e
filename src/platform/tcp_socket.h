// TCP over IPv4: the listening sockets of the loopback server and the connections it serves
// (Winsock 2 on Windows, BSD sockets on POSIX), plus the client side that tests and benchmarks
// use to talk to it.
//
// Addresses are IPv4 in host order: 127.0.0.1 is 0x7F000001. Ports are in host order too.
//
// Threads: a TcpSocket is used by one thread at a time; the functions share no state. Nothing here
// raises a signal: a send to a peer that has gone fails instead of raising SIGPIPE.
//
// Every call that waits takes a limit in milliseconds (0: do not wait); none waits longer.
#ifndef KORVO_PLATFORM_TCP_SOCKET_H_
#define KORVO_PLATFORM_TCP_SOCKET_H_

#include <cstddef>
#include <cstdint>

namespace korvo::platform {

constexpr uint32_t kLoopbackAddress = 0x7F000001;  // 127.0.0.1
constexpr uint32_t kAnyAddress = 0;                // 0.0.0.0

// The network library for the life of the object: on Windows WSAStartup asking for version
// 2.0, balanced by WSACleanup; on POSIX nothing. Every socket must be closed before its library
// object goes. Objects may nest and may live on different threads.
class SocketLibrary {
 public:
  SocketLibrary();
  ~SocketLibrary();
  SocketLibrary(const SocketLibrary&) = delete;
  SocketLibrary& operator=(const SocketLibrary&) = delete;

  bool started() const { return started_; }

 private:
  bool started_ = false;
};

// One socket handle, closed by the destructor. Move-only.
class TcpSocket {
 public:
  TcpSocket() = default;
  ~TcpSocket() { Close(); }
  TcpSocket(TcpSocket&& other) noexcept : handle_(other.Release()) {}
  TcpSocket& operator=(TcpSocket&& other) noexcept;
  TcpSocket(const TcpSocket&) = delete;
  TcpSocket& operator=(const TcpSocket&) = delete;

  bool valid() const { return handle_ != kInvalid; }
  // Closes the handle (nothing when there is none).
  void Close();
  // Shuts the connection down in both directions, then closes it.
  void ShutdownAndClose();

  // The raw handle for the implementations of this seam.
  intptr_t handle() const { return handle_; }
  static TcpSocket Adopt(intptr_t handle);

  static constexpr intptr_t kInvalid = -1;

 private:
  intptr_t Release() {
    const intptr_t h = handle_;
    handle_ = kInvalid;
    return h;
  }

  intptr_t handle_ = kInvalid;
};

// --- Listening ---

// A new TCP stream socket for IPv4, not inheritable by child processes; invalid on failure.
TcpSocket OpenTcpSocket();
// Lets a new listener take its port while connections of an earlier run still linger
// (POSIX: SO_REUSEADDR with the value 1). Windows has no such wait for listeners, and its
// SO_REUSEADDR would instead let two programs bind one port (and a later one take over the
// connections of the first): there the port is claimed exclusively (SO_EXCLUSIVEADDRUSE), so a
// port in use fails the bind on every system. False when the option is refused.
bool SetReuseAddress(const TcpSocket& socket);
// Binds to `address`:`port` (port 0: the system picks one). False when the address is not
// available or the port is in use.
bool BindIpv4(const TcpSocket& socket, uint32_t address, uint16_t port);
bool Listen(const TcpSocket& socket, int backlog);
// The local port the socket is bound to; 0 when unknown.
uint16_t LocalPort(const TcpSocket& socket);

// --- Waiting and accepting ---

enum class WaitResult { kReady, kTimedOut, kFailed };

// Waits at most `timeout_ms` until the socket has data to read, a pending connection (a
// listening socket) or an end of stream. kFailed when the socket is invalid or the wait fails.
WaitResult WaitReadable(const TcpSocket& socket, int timeout_ms);

// Takes one pending connection; `*peer_address` and `*peer_port` (either may be null) get the
// peer's address. Call after WaitReadable said kReady; may block when the pending connection
// went away meanwhile. Invalid on failure.
TcpSocket Accept(const TcpSocket& listener, uint32_t* peer_address, uint16_t* peer_port);

// --- Data ---

// Reads once: at most `size` bytes, waiting at most `timeout_ms` for them. Returns the number
// of bytes read (> 0), 0 when nothing arrived in time, or -1 when the peer closed the
// connection or the read failed.
int64_t ReceiveSome(const TcpSocket& socket, char* buffer, size_t size, int timeout_ms);

// Sends all `size` bytes. Each wait for the peer to take more data lasts at most `timeout_ms`;
// the whole call at most `deadline_ms` (0: no overall limit). False when the peer stopped
// taking data for that long, closed the connection, or the send failed: then only part of the
// data may have gone out.
bool SendAll(const TcpSocket& socket, const char* data, size_t size, int timeout_ms,
             int deadline_ms = 0);

// --- Client side ---

// Connects to `address`:`port` from `local_address` (kAnyAddress: the system chooses; another
// loopback address such as 127.0.0.2 makes the connection come from there), waiting at most
// `timeout_ms`. Invalid on failure.
TcpSocket ConnectIpv4(uint32_t address, uint16_t port, int timeout_ms,
                      uint32_t local_address = kAnyAddress);
// Shuts down the sending direction only: the peer reads an end of stream, answers can still
// arrive.
bool ShutdownSending(const TcpSocket& socket);

}  // namespace korvo::platform

#endif  // KORVO_PLATFORM_TCP_SOCKET_H_
