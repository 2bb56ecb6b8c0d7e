#include "server/local_server.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "platform/clock.h"
#include "server/allow_list.h"
#include "server/request_origin.h"
#include "server/server_request.h"

namespace korvo {

namespace {

// Reading one request lasts at most this many read timeouts in all.
constexpr int kReadTimeoutsPerRequest = 3;

}  // namespace

void LocalServer::SetReadTimeout(int timeout_ms) {
  read_timeout_ms_ = std::clamp(timeout_ms, 1, 60000);
}

int LocalServer::SetAllowList(std::string_view text) {
  std::vector<uint32_t> addresses;
  std::vector<std::string> refused;
  const int result = ParseAllowList(text, &addresses, &refused);
  std::lock_guard<std::mutex> lock(allow_mutex_);
  allow_list_.insert(allow_list_.end(), addresses.begin(), addresses.end());
  refused_.insert(refused_.end(), refused.begin(), refused.end());
  return result;
}

std::vector<uint32_t> LocalServer::allow_list() const {
  std::lock_guard<std::mutex> lock(allow_mutex_);
  return allow_list_;
}

std::vector<std::string> LocalServer::refused_entries() const {
  std::lock_guard<std::mutex> lock(allow_mutex_);
  return refused_;
}

int LocalServer::CheckPeer(const platform::TcpSocket&, uint32_t peer_address) {
  if (peer_address == platform::kLoopbackAddress) return 0;
  std::lock_guard<std::mutex> lock(allow_mutex_);
  return std::find(allow_list_.begin(), allow_list_.end(), peer_address) != allow_list_.end() ? 0
                                                                                              : 1;
}

void LocalServer::ReadRequest(const platform::TcpSocket& socket, std::string* text,
                              ConnectionReport* report) const {
  std::string chunk(kReadSize, '\0');
  const uint64_t start = platform::MonotonicMilliseconds();
  const uint64_t limit = static_cast<uint64_t>(read_timeout_ms_) * kReadTimeoutsPerRequest;
  while (report->reads < kMaxReads) {
    const uint64_t spent = platform::MonotonicMilliseconds() - start;
    if (spent >= limit) break;
    const int wait = static_cast<int>(std::min<uint64_t>(read_timeout_ms_, limit - spent));
    const int64_t n = platform::ReceiveSome(socket, chunk.data(), kReadSize, wait);
    ++report->reads;
    if (n <= 0) break;  // timed out, closed or failed
    const size_t scanned = text->size() < 3 ? 0 : text->size() - 3;
    text->append(chunk.data(), static_cast<size_t>(n));
    if (HasCompleteHead(std::string_view(*text).substr(scanned))) break;
  }
  report->bytes = text->size();
}

void LocalServer::ServeConnection(platform::TcpSocket socket, uint32_t peer_address) {
  ConnectionReport report;
  report.peer = peer_address;
  try {
    std::string text;
    ReadRequest(socket, &text, &report);
    ServerRequest request;
    // Once the server is stopping, what the routes reach (the store, the update cycle, the
    // plug-in) is going away: a request that was still being read gets no answer.
    if (!stopping() && ParseServerRequest(text, &request)) {
      report.parsed = true;
      if (!HostAllowed(request, local_mode_, port())) {
        report.host_refused = true;
      } else {
        request.cross_site = IsCrossSite(request, port());
        report.cross_site = request.cross_site;
        RouteAnswer answer = router_ ? router_->Route(request) : RouteAnswer::None();
        report.result = answer.result();
        if (answer.result() != RouteAnswer::kNone) {
          report.sent =
              platform::SendAll(socket, answer.data(), answer.size(), kSendWaitMs, kSendDeadlineMs);
        }
      }
    }
  } catch (const std::exception&) {
    // Out of memory for the request or the answer (or a route that failed): the connection is
    // dropped without an answer; the server goes on.
    report.result = RouteAnswer::kNone;
    report.sent = false;
  }
  socket.ShutdownAndClose();
  if (observer_) observer_(report);
}

}  // namespace korvo
