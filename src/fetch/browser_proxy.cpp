#include "fetch/browser_proxy.h"

namespace korvo {

BrowserProxy ChooseBrowserProxy(const HttpSettings& settings, const SystemProxySettings& system) {
  BrowserProxy p;
  switch (settings.type) {
    case 0:
      if (system.enabled) {
        p.kind = BrowserProxy::Kind::kProxy;
        p.server = system.server;
        p.bypass = system.bypass;
      } else {
        p.kind = BrowserProxy::Kind::kDirect;
      }
      break;
    case 1:
      p.kind = BrowserProxy::Kind::kDirect;
      break;
    case 2:
      p.kind = BrowserProxy::Kind::kProxy;
      p.server = ProxyText(settings);
      p.bypass = "127.0.0.1";
      break;
    default:
      break;
  }
  return p;
}

}  // namespace korvo
