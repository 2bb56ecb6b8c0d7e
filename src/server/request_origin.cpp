#include "server/request_origin.h"

#include <string>

#include "server/ascii_case.h"

namespace korvo {

namespace {

struct Authority {
  std::string_view name;
  int port = -1;  // -1: not given
};

// "name", "name:port", "[v6]" or "[v6]:port"; false for anything else (user info, bad ports).
bool ParseAuthority(std::string_view text, Authority* out) {
  if (text.empty() || text.find('@') != std::string_view::npos) return false;
  size_t name_end;
  if (text.front() == '[') {
    name_end = text.find(']');
    if (name_end == std::string_view::npos) return false;
    ++name_end;
  } else {
    name_end = text.find(':');
    if (name_end == std::string_view::npos) name_end = text.size();
  }
  out->name = text.substr(0, name_end);
  if (out->name.empty()) return false;
  out->port = -1;
  if (name_end == text.size()) return true;
  if (text[name_end] != ':') return false;
  const std::string_view digits = text.substr(name_end + 1);
  if (digits.empty() || digits.size() > 5) return false;
  int port = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    port = port * 10 + (c - '0');
  }
  if (port > 65535) return false;
  out->port = port;
  return true;
}

bool IsLocalName(std::string_view name) {
  return EqualNoCase(name, "localhost") || name == "127.0.0.1" || EqualNoCase(name, "[::1]");
}

int EffectivePort(const Authority& a) { return a.port < 0 ? 80 : a.port; }

// True when `url` (an Origin or a Referer) names one of the server's own origins.
bool IsOwnOrigin(std::string_view url, const ServerRequest& request, uint16_t port) {
  constexpr std::string_view kScheme = "http://";
  if (url.size() < kScheme.size() || !EqualNoCase(url.substr(0, kScheme.size()), kScheme)) {
    return false;
  }
  url.remove_prefix(kScheme.size());
  const size_t end = url.find_first_of("/?#");
  Authority origin;
  if (!ParseAuthority(url.substr(0, end), &origin)) return false;
  if (EffectivePort(origin) != port) return false;
  if (IsLocalName(origin.name)) return true;
  Authority own;
  return request.host && ParseAuthority(*request.host, &own) && EqualNoCase(own.name, origin.name);
}

}  // namespace

bool HostAllowed(const ServerRequest& request, bool local_mode, uint16_t port) {
  if (!local_mode || !request.host) return true;
  Authority host;
  return ParseAuthority(*request.host, &host) && IsLocalName(host.name) &&
         EffectivePort(host) == port;
}

bool IsCrossSite(const ServerRequest& request, uint16_t port) {
  if (request.fetch_site && !EqualNoCase(*request.fetch_site, "same-origin") &&
      !EqualNoCase(*request.fetch_site, "none")) {
    return true;
  }
  if (request.origin && !IsOwnOrigin(*request.origin, request, port)) return true;
  if (request.referer && !request.referer->empty() &&
      !IsOwnOrigin(*request.referer, request, port)) {
    return true;
  }
  return false;
}

}  // namespace korvo
