// Where a request to the local server comes from, as far as a browser tells.
//
// Any web page the user visits can make the browser send requests to the loopback server, and a
// DNS name that rebinds to 127.0.0.1 reaches it under a foreign name. Two checks keep such pages
// out:
//   - HostAllowed: in the local mode only the names localhost, 127.0.0.1 and [::1] are served,
//     with the server's port (a Host without a port stands for port 80). A request without a
//     Host header (not a browser) is served.
//   - IsCrossSite: a request that an Origin, Referer or Sec-Fetch-Site header marks as coming
//     from a page of another origin. The server's own origins are http:// with one of the three
//     local names and its port, and http:// with the request's own Host. Sec-Fetch-Site counts
//     when it is "cross-site" or "same-site" (another port of the same host is another origin);
//     an Origin of "null" and a Referer that is not an http(s) address count as foreign. A
//     request without these headers (the program's own web view, a typed address, a bookmark) is
//     not cross-site.
//
// Pure functions; thread-safe.
#ifndef KORVO_SERVER_REQUEST_ORIGIN_H_
#define KORVO_SERVER_REQUEST_ORIGIN_H_

#include <cstdint>
#include <string_view>

#include "server/server_request.h"

namespace korvo {

bool HostAllowed(const ServerRequest& request, bool local_mode, uint16_t port);
bool IsCrossSite(const ServerRequest& request, uint16_t port);

}  // namespace korvo

#endif  // KORVO_SERVER_REQUEST_ORIGIN_H_
