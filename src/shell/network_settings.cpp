#include "shell/network_settings.h"

#include "shell/profile_file.h"

namespace korvo {

namespace {
constexpr char kConnect[] = "connect";
}  // namespace

NetworkSettings LoadNetworkSettings(const std::string& folder) {
  ProfileFile ini;
  ini.Load(folder + "/setup.ini");
  NetworkSettings s;
  s.type = ini.GetInt(kConnect, "type", 0);
  s.proxy = ini.GetString(kConnect, "proxy", "", kProxySize);
  s.port = ini.GetInt(kConnect, "port", 0);
  s.user_agent = ini.GetString(kConnect, "user_agent", kDefaultUserAgent, kUserAgentSize);
  if (s.user_agent.compare(0, 6, "korvo/") != 0) s.user_agent = kDefaultUserAgent;
  s.time_out = ini.GetInt(kConnect, "time_out", 30);
  return s;
}

bool SaveNetworkSettings(const std::string& folder, const NetworkSettings& s) {
  ProfileFileLock lock;
  ProfileFile ini;
  if (!ini.Load(folder + "/setup.ini")) return false;
  ini.PutInt(kConnect, "type", s.type);
  ini.PutString(kConnect, "proxy", s.proxy);
  ini.PutInt(kConnect, "port", s.port);
  ini.PutString(kConnect, "user_agent", s.user_agent);
  ini.PutInt(kConnect, "time_out", s.time_out);
  return ini.Save();
}

}  // namespace korvo
