#include "server/server_component.h"

#include <utility>

#include "server/allow_list.h"
#include "server/korvo_server.h"
#include "shell/app_shell.h"
#include "shell/profile_file.h"

namespace korvo {

namespace {

const char* BindFailure(int code) {
  switch (code) {
    case SocketServer::kNoLibrary:
      return "the socket library cannot start";
    case SocketServer::kNoSocket:
      return "no socket";
    case SocketServer::kBindFailed:
      return "the port is in use or the address is not available";
    case SocketServer::kListenFailed:
      return "cannot listen";
    default:
      return "cannot bind";
  }
}

}  // namespace

std::string IndexPageAddress(uint16_t port) {
  return "http://localhost:" + std::to_string(port) + "/index.html";
}

ServerComponent::ServerComponent(RouterFactory make_router,
                                 std::function<void(const std::string&)> log)
    : make_router_(std::move(make_router)), log_(std::move(log)) {}

ServerComponent::~ServerComponent() { Release(); }

bool ServerComponent::Start(AppShell& shell) {
  const std::string setup_path = shell.folders().working_folder + "/setup.ini";
  {
    ProfileFileLock lock;
    ProfileFile setup;
    setup.Load(setup_path);
    config_ = ReadServerConfig(setup);
  }

  IKorvoServer* object = AcquireKorvoServer();
  void* queried = nullptr;
  object->QueryInterface("IKorvoServer", &queried);
  object->Release();
  server_ = static_cast<IKorvoServer*>(queried);
  if (make_router_) server_->SetRouter(make_router_(shell));

  const int mode = config_.internet ? 0 : 1;
  server_->Init(config_.port, config_.max_connect, mode, config_.timeout);
  if (config_.internet && server_->SetAllowList(config_.allow_ip.c_str()) != 0 && log_) {
    log_(
        "server: an allow_ip entry is longer than 31 characters; the entries after it are "
        "ignored");
  }
  if (config_.internet && log_) {
    for (const std::string& refused : server_->Server().refused_entries()) {
      if (refused != "0") log_("server: allow_ip entry refused: " + refused);
    }
  }
  const bool started = server_->Start() == 0;

  {
    ProfileFileLock lock;
    ProfileFile setup;
    if (setup.Load(setup_path)) {
      WriteServerConfig(config_, &setup);
      setup.Save();
    }
  }

  if (!started) {
    if (log_) {
      log_("server: not started on port " + std::to_string(config_.port) + ": " +
           BindFailure(server_->LastError()));
    }
    Release();
    return false;
  }
  port_.store(server_->Port());
  if (log_) {
    log_("server: " + IndexPageAddress(port_.load()) +
         (config_.internet ? " (internet mode)" : ""));
  }
  return true;
}

void ServerComponent::Stop(AppShell&) { Release(); }

void ServerComponent::Release() {
  port_.store(0);
  if (server_ != nullptr) {
    server_->Release();
    server_ = nullptr;
  }
}

}  // namespace korvo
