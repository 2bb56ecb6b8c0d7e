#include "plugin_host/plugin_dispatch.h"

#include <atomic>

namespace korvo {

namespace {

std::atomic<PluginHostBase*> g_current_host{nullptr};

}  // namespace

NotificationDelivery DeliveryFor(int code, uint32_t send_mask, uint32_t post_mask) {
  if (code < 0 || code > 31) return NotificationDelivery::kNone;
  const uint32_t bit = uint32_t{1} << code;
  if (post_mask & bit) return NotificationDelivery::kPost;
  if (send_mask & bit) return NotificationDelivery::kSend;
  return NotificationDelivery::kNone;
}

PluginHostBase* CurrentPluginHost() { return g_current_host.load(std::memory_order_acquire); }

intptr_t PluginDispatch(int code, intptr_t first, intptr_t second) {
  if (code == kDispatchSetHost) {
    g_current_host.store(reinterpret_cast<PluginHostBase*>(first), std::memory_order_release);
    return 0;
  }
  PluginHostBase* host = CurrentPluginHost();
  if (host == nullptr || !host->loaded()) return 0;
  switch (code) {
    case kDispatchRequest: {
      const PluginRequestHandler handler = host->request_handler();
      if (handler == nullptr) return -1;
      return handler(reinterpret_cast<const char*>(first), reinterpret_cast<char**>(second));
    }
    case kDispatchRelease: {
      const PluginReleaseFunction release = host->release_function();
      if (release == nullptr) return -1;
      release(reinterpret_cast<char*>(first));
      return 0;
    }
    default:
      break;
  }
  switch (DeliveryFor(code, host->send_mask(), host->post_mask())) {
    case NotificationDelivery::kPost:
      host->PostNotification(code, first, second);
      return 0;
    case NotificationDelivery::kSend:
      return host->SendNotification(code, first, second);
    case NotificationDelivery::kNone:
      break;
  }
  return 0;
}

}  // namespace korvo
