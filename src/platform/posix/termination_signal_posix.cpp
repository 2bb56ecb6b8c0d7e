// SIGINT and SIGTERM through a self-pipe: the handler only writes one byte, which is
// async-signal-safe; Wait() polls the other end.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "platform/termination_signal.h"

namespace korvo::platform {

namespace {

constexpr unsigned char kRequestByte = 0xFF;

int g_pipe[2] = {-1, -1};
struct sigaction g_saved_int;
struct sigaction g_saved_term;

void OnSignal(int signal_number) {
  const int saved_errno = errno;
  const auto b = static_cast<unsigned char>(signal_number);
  [[maybe_unused]] ssize_t n = ::write(g_pipe[1], &b, 1);
  errno = saved_errno;
}

}  // namespace

TerminationSignal::TerminationSignal() {
  if (::pipe(g_pipe) != 0) return;
  for (int fd : g_pipe) {
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
  }
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGINT, &action, &g_saved_int);
  ::sigaction(SIGTERM, &action, &g_saved_term);
  installed_ = true;
}

TerminationSignal::~TerminationSignal() {
  if (!installed_) return;
  ::sigaction(SIGINT, &g_saved_int, nullptr);
  ::sigaction(SIGTERM, &g_saved_term, nullptr);
  ::close(g_pipe[0]);
  ::close(g_pipe[1]);
  g_pipe[0] = g_pipe[1] = -1;
}

int TerminationSignal::Wait(int timeout_ms) {
  if (!installed_) return 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    unsigned char b = 0;
    if (::read(g_pipe[0], &b, 1) == 1) return b == kRequestByte ? -1 : b;
    int wait_ms = -1;
    if (timeout_ms >= 0) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return 0;
      wait_ms = static_cast<int>(left.count());
    }
    struct pollfd p {};
    p.fd = g_pipe[0];
    p.events = POLLIN;
    if (::poll(&p, 1, wait_ms) < 0 && errno != EINTR) return 0;
  }
}

void TerminationSignal::Request() {
  if (!installed_) return;
  const unsigned char b = kRequestByte;
  [[maybe_unused]] ssize_t n = ::write(g_pipe[1], &b, 1);
}

void TerminationSignal::Done() {}

}  // namespace korvo::platform
