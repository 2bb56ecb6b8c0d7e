#include "server/korvo_server.h"

#include <atomic>
#include <mutex>
#include <string_view>
#include <utility>

#include "server/ascii_case.h"

namespace korvo {

namespace {

class KorvoServer;

// The single object and the lock that guards its creation and destruction.
std::mutex g_object_mutex;
KorvoServer* g_object = nullptr;

class KorvoServer final : public IKorvoServer {
 public:
  KorvoServer() : server_(std::make_shared<LocalServer>()) {}

  long AddRef() override { return ++count_; }

  long Release() override {
    std::unique_lock<std::mutex> lock(g_object_mutex);
    const long left = --count_;
    if (left != 0) return left;
    if (g_object == this) g_object = nullptr;
    lock.unlock();
    server_->Stop(SocketServer::kStopWaitMs);
    std::unique_ptr<KorvoServer> self(this);  // created by AcquireKorvoServer
    return 0;
  }

  int QueryInterface(const char* name, void** object) override {
    if (object == nullptr) return -1;
    const std::string_view n = name != nullptr ? name : "";
    if (EqualNoCase(n, "IMyUnknown") || EqualNoCase(n, "IKorvoServer")) {
      AddRef();
      *object = static_cast<IKorvoServer*>(this);
      return 0;
    }
    *object = nullptr;
    return -1;
  }

  int Init(uint32_t port, int backlog, int address_mode, int timeout_ms) override {
    server_->SetLocalMode(address_mode == 1);
    server_->Bind(static_cast<uint16_t>(port & 0xFFFF), backlog, address_mode);
    server_->SetReadTimeout(timeout_ms);
    return 0;
  }

  int Start() override { return server_->StartAccepting(); }
  int Reserved() override { return 0; }

  int SetAllowList(const char* text) override {
    return server_->SetAllowList(text != nullptr ? text : "");
  }

  void SetRouter(std::shared_ptr<RequestRouter> router) override {
    server_->SetRouter(std::move(router));
  }

  uint16_t Port() override { return server_->port(); }
  int LastError() override { return server_->last_error(); }
  LocalServer& Server() override { return *server_; }

 private:
  ~KorvoServer() = default;
  friend struct std::default_delete<KorvoServer>;

  std::atomic<long> count_{0};
  std::shared_ptr<LocalServer> server_;
};

}  // namespace

IKorvoServer* AcquireKorvoServer() {
  std::lock_guard<std::mutex> lock(g_object_mutex);
  if (g_object == nullptr) g_object = std::make_unique<KorvoServer>().release();
  g_object->AddRef();
  return g_object;
}

}  // namespace korvo
