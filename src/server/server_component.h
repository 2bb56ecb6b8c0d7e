// The local server's stage of the application shell (AppStage::kLocalServer), in both programs.
//
// Start: reads `server_config` from setup.ini in the working folder, gets the server object
// (korvo_server.h) and queries "IKorvoServer"; the local mode calls Init(port, max_connect, 1,
// timeout) and Start, the internet mode Init(port, max_connect, 0, timeout), SetAllowList and
// Start; then the section is written back with the values taken. A port that cannot be bound
// leaves the program without a server (Start returns false; the pages simply do not load).
// Stop: releases the object, which stops the server (at most 3000 ms). The shell stops the
// server before the plug-in host, whose request handler the server calls.
//
// Threads: Start and Stop on the shell's thread; port() from any thread.
#ifndef KORVO_SERVER_SERVER_COMPONENT_H_
#define KORVO_SERVER_SERVER_COMPONENT_H_

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "server/request_router.h"
#include "server/server_config.h"
#include "shell/app_component.h"

namespace korvo {

class IKorvoServer;

class ServerComponent : public AppComponent {
 public:
  // Builds the routes once the shell's folders and settings are known (called by Start).
  using RouterFactory = std::function<std::shared_ptr<RequestRouter>(AppShell& shell)>;

  // `log` takes one line per event worth telling (ASCII/UTF-8; may be empty).
  ServerComponent(RouterFactory make_router, std::function<void(const std::string&)> log);
  ~ServerComponent() override;

  bool Start(AppShell& shell) override;
  void Stop(AppShell& shell) override;

  // The port being served; 0 while the server does not run.
  uint16_t port() const { return port_.load(); }
  // The configuration taken at the last Start.
  const ServerConfig& config() const { return config_; }

 private:
  void Release();

  RouterFactory make_router_;
  std::function<void(const std::string&)> log_;
  IKorvoServer* server_ = nullptr;  // one reference, from QueryInterface
  ServerConfig config_;
  std::atomic<uint16_t> port_{0};
};

// "http://localhost:<port>/index.html"
std::string IndexPageAddress(uint16_t port);

}  // namespace korvo

#endif  // KORVO_SERVER_SERVER_COMPONENT_H_
