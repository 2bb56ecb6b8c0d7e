// The network settings: section `connect` of setup.ini. How they are used (proxy modes, the user
// agent of every request, the time-out) is the HTTP fetcher's business; after a load or a save the
// caller applies the proxy to the embedded browser.
#ifndef KORVO_SHELL_NETWORK_SETTINGS_H_
#define KORVO_SHELL_NETWORK_SETTINGS_H_

#include <cstddef>
#include <cstdint>
#include <string>

namespace korvo {

constexpr size_t kProxySize = 512;  // buffer sizes, NUL included
constexpr size_t kUserAgentSize = 1024;
constexpr char kDefaultUserAgent[] = "korvo/2.75";

struct NetworkSettings {
  int32_t type = 0;                            // "type": proxy mode
  std::string proxy;                           // "proxy", CP932, < kProxySize bytes
  int32_t port = 0;                            // "port"
  std::string user_agent = kDefaultUserAgent;  // "user_agent", < kUserAgentSize bytes
  int32_t time_out = 30;                       // "time_out", seconds
};

// Reads section `connect` of setup.ini in `folder`. A user agent that does not begin with
// "korvo/" (case-sensitive) is replaced by "korvo/2.75".
NetworkSettings LoadNetworkSettings(const std::string& folder);

// Writes the five keys ("%d" for the integers); false when setup.ini could not be written.
bool SaveNetworkSettings(const std::string& folder, const NetworkSettings& settings);

}  // namespace korvo

#endif  // KORVO_SHELL_NETWORK_SETTINGS_H_
