#include "server/server_config.h"

#include <algorithm>

#include "server/ascii_case.h"

namespace korvo {

ServerConfig ReadServerConfig(const ProfileFile& setup) {
  ServerConfig config;
  config.allow_ip = setup.GetString(kServerConfigSection, "allow_ip", "0", 4096);
  config.internet =
      EqualNoCase(setup.GetString(kServerConfigSection, "mode", "local", 256), "internet");
  config.port = static_cast<uint16_t>(
      setup.GetUnsigned(kServerConfigSection, "port", ServerConfig::kDefaultPort) & 0xFFFF);
  config.max_connect = setup.GetInt(kServerConfigSection, "max_connect", 5);
  config.timeout = std::clamp(setup.GetInt(kServerConfigSection, "timeout", 1000),
                              ServerConfig::kMinTimeoutMs, ServerConfig::kMaxTimeoutMs);
  return config;
}

void WriteServerConfig(const ServerConfig& config, ProfileFile* setup) {
  setup->PutString(kServerConfigSection, "allow_ip", config.allow_ip);
  setup->PutString(kServerConfigSection, "mode", config.internet ? "internet" : "local");
  setup->PutUnsigned(kServerConfigSection, "port", config.port);
  setup->PutInt(kServerConfigSection, "max_connect", config.max_connect);
  setup->PutInt(kServerConfigSection, "timeout", config.timeout);
}

}  // namespace korvo
