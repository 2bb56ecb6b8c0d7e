// A client for socket-level tests of the local server: sends bytes over a fresh connection and
// collects everything the server sends until it closes.
#ifndef KORVO_TESTS_SERVER_SERVER_CLIENT_H_
#define KORVO_TESTS_SERVER_SERVER_CLIENT_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/tcp_socket.h"

namespace korvo::testing {

struct Exchange {
  bool connected = false;
  bool closed = false;  // the server closed the connection (rather than the wait running out)
  std::string answer;
};

// Reads until the server closes or `wait_ms` have passed without it.
inline void ReadToClose(const platform::TcpSocket& socket, Exchange* result, int wait_ms) {
  const uint64_t start = platform::MonotonicMilliseconds();
  char buffer[16384];
  for (;;) {
    const uint64_t spent = platform::MonotonicMilliseconds() - start;
    if (spent >= static_cast<uint64_t>(wait_ms)) return;
    const int64_t n =
        platform::ReceiveSome(socket, buffer, sizeof buffer, wait_ms - static_cast<int>(spent));
    if (n < 0) {
      result->closed = true;
      return;
    }
    result->answer.append(buffer, static_cast<size_t>(n));
  }
}

// Connects from `from` (kAnyAddress: 127.0.0.1), sends `request`, optionally ends the sending
// direction, and reads the answer.
inline Exchange Send(uint16_t port, std::string_view request, uint32_t from = platform::kAnyAddress,
                     bool end_sending = false, int wait_ms = 10000) {
  Exchange result;
  platform::TcpSocket socket = platform::ConnectIpv4(platform::kLoopbackAddress, port, 5000, from);
  if (!socket.valid()) return result;
  result.connected = true;
  if (!request.empty() && !platform::SendAll(socket, request.data(), request.size(), 5000)) {
    return result;
  }
  if (end_sending) platform::ShutdownSending(socket);
  ReadToClose(socket, &result, wait_ms);
  return result;
}

// "GET /<target> HTTP/1.1" with a Host of localhost and the port, and `headers` (each line
// ending in CR LF), then the empty line.
inline std::string Get(std::string_view target, uint16_t port, std::string_view headers = "") {
  std::string r = "GET /";
  r.append(target).append(" HTTP/1.1\r\nHost: localhost:").append(std::to_string(port));
  r.append("\r\n").append(headers).append("\r\n");
  return r;
}

}  // namespace korvo::testing

#endif  // KORVO_TESTS_SERVER_SERVER_CLIENT_H_
