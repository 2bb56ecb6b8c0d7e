#include "app/headless/echo_plugin.h"

#include <cstring>
#include <memory>
#include <mutex>

#include "platform/files.h"
#include "plugin_host/plugin_dispatch.h"

namespace korvo {

namespace {

std::mutex g_mutex;
std::string g_log_path;  // guarded by g_mutex

int EchoRequest(const char* query, char** answer) {
  std::string text = "HTTP/1.1 200 OK\nContent-Type: text/plain\nConnection: close\n\nplug-in: ";
  text += query;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    std::string log;
    platform::ReadWholeFile(g_log_path, &log);
    platform::WriteWholeFile(g_log_path, log + query + "\n");
  }
  auto copy = std::make_unique<char[]>(text.size() + 1);
  std::memcpy(copy.get(), text.c_str(), text.size() + 1);
  *answer = copy.release();  // given back through EchoRelease
  return 0;
}

void EchoRelease(char* answer) { std::unique_ptr<char[]> freed(answer); }

class EchoHost : public PluginHostBase {
 public:
  bool loaded() const override { return true; }
  PluginRequestHandler request_handler() const override { return EchoRequest; }
  PluginReleaseFunction release_function() const override { return EchoRelease; }
  uint32_t send_mask() const override { return 0; }
  uint32_t post_mask() const override { return 0; }
  intptr_t SendNotification(int, intptr_t, intptr_t) override { return 0; }
  void PostNotification(int, intptr_t, intptr_t) override {}
};

EchoHost g_host;

}  // namespace

void InstallEchoPlugin(const std::string& log_path) {
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_log_path = log_path;
  }
  PluginDispatch(kDispatchSetHost, reinterpret_cast<intptr_t>(&g_host), 0);
}

void UninstallEchoPlugin() { PluginDispatch(kDispatchSetHost, 0, 0); }

}  // namespace korvo
