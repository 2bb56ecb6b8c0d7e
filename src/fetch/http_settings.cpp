#include "fetch/http_settings.h"

#include <climits>

namespace korvo {

std::string ProxyText(const HttpSettings& settings) {
  if (settings.port <= 0) return settings.proxy;
  return settings.proxy + ":" + std::to_string(settings.port);
}

std::string EffectiveUserAgent(std::string_view agent) {
  if (agent.substr(0, 6) == "korvo/") return std::string(agent);
  return kFetchDefaultUserAgent;
}

int TimeoutMilliseconds(int32_t seconds) {
  constexpr int32_t kDay = 24 * 60 * 60;
  if (seconds < 1) seconds = 30;
  if (seconds > kDay) seconds = kDay;
  return static_cast<int>(seconds) * 1000;
}

int FetchDeadlineMilliseconds(int timeout_ms) {
  constexpr int kFactor = 4;
  if (timeout_ms < 1) timeout_ms = 1;
  // A day's time-out (the largest the settings give) times four still fits an int.
  return timeout_ms > INT_MAX / kFactor ? INT_MAX : timeout_ms * kFactor;
}

platform::HttpOptions RequestOptions(const HttpSettings& settings, int timeout_ms) {
  platform::HttpOptions o;
  o.proxy_type = settings.type;
  if (settings.type == 2) o.proxy = ProxyText(settings);
  o.user_agent = EffectiveUserAgent(settings.user_agent);
  o.timeout_ms = timeout_ms > 0 ? timeout_ms : TimeoutMilliseconds(settings.time_out);
  return o;
}

HttpSettings HttpSettingsFrom(const NetworkSettings& network) {
  HttpSettings settings;
  settings.type = network.type;
  settings.proxy = network.proxy;
  settings.port = network.port;
  settings.user_agent = network.user_agent;
  settings.time_out = network.time_out;
  return settings;
}

}  // namespace korvo
