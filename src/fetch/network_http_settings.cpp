#include "fetch/network_http_settings.h"

namespace korvo {

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
