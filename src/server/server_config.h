// ServerConfig: the section `server_config` of setup.ini, which the local server reads at
// start-up and then writes back with the values it took, so that the file shows every key.
//
//   allow_ip     text (up to 4095 characters), default "0": the allow list of the internet mode
//   mode         "local" (default; any word but "internet", case ignored): listen on 127.0.0.1;
//                "internet": listen on every interface and serve the peers of the allow list
//   port         unsigned, default 31622; only the low 16 bits count
//   max_connect  signed, default 5: the listen backlog (not a limit on connections served)
//   timeout      signed milliseconds, default 1000: how long one read of a request waits. Taken
//                between 1 and 60000, so that no setting lets a silent client hold the server
//                for hours.
//
// Thread-safety: plain functions on a ProfileFile the caller owns.
#ifndef KORVO_SERVER_SERVER_CONFIG_H_
#define KORVO_SERVER_SERVER_CONFIG_H_

#include <cstdint>
#include <string>

#include "shell/profile_file.h"

namespace korvo {

struct ServerConfig {
  static constexpr uint16_t kDefaultPort = 31622;
  static constexpr int kMinTimeoutMs = 1;
  static constexpr int kMaxTimeoutMs = 60000;

  std::string allow_ip = "0";
  bool internet = false;
  uint16_t port = kDefaultPort;
  int max_connect = 5;
  int timeout = 1000;
};

constexpr char kServerConfigSection[] = "server_config";

ServerConfig ReadServerConfig(const ProfileFile& setup);
// Writes all five keys: mode as "local" or "internet", port unsigned, max_connect and timeout
// signed.
void WriteServerConfig(const ServerConfig& config, ProfileFile* setup);

}  // namespace korvo

#endif  // KORVO_SERVER_SERVER_CONFIG_H_
