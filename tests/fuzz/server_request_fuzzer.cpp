// Requests to the local server, as bytes from any client: the parser, the Host and cross-site
// checks and the router over a fixed shown list whose texts carry markup. Every answer must be
// none or a well-framed one; no item text may reach an answer unescaped; a redirect's Location
// stays one header line; every item copy is given back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "plugin_host/item_snapshot.h"
#include "plugin_host/plugin_dispatch.h"
#include "server/request_origin.h"
#include "server/server_request.h"
#include "server/server_routes.h"

namespace {

using namespace korvo;

class MarkupSource : public ShownItemSource {
 public:
  std::vector<TickerItem> ShownItems() const override {
    std::vector<TickerItem> items(3);
    for (size_t i = 0; i < items.size(); ++i) {
      TickerItem& t = items[i];
      t.title = "<x-raw>title\"'&";
      t.link = i == 0 ? "javascript:<x-raw>" : "http://a.example/<x-raw>";
      t.site_name = "<x-raw>site";
      t.site_link = "http://a.example/\"<x-raw>";
      t.description = "<x-raw>\r\nline\r";
      t.category = "<x-raw>";
      t.author = "<x-raw>";
      t.enclosure_url = "http://a.example/e?<x-raw>&b";
      t.media.push_back(MediaRef{"http://a.example/m<x-raw>", "1", "t"});
      t.id = static_cast<int32_t>(i) - 1;
      t.state = i == 1 ? 8u : 0u;
    }
    return items;
  }
  bool CurrentItem(TickerItem*) const override { return false; }
};

char g_answer[] = "HTTP/1.1 200 OK\n\nplug-in";

int Handler(const char*, char** answer) {
  *answer = g_answer;
  return 0;
}
void Free(char*) {}

class Host : public PluginHostBase {
 public:
  bool loaded() const override { return true; }
  PluginRequestHandler request_handler() const override { return Handler; }
  PluginReleaseFunction release_function() const override { return Free; }
  uint32_t send_mask() const override { return 0; }
  uint32_t post_mask() const override { return 0; }
  intptr_t SendNotification(int, intptr_t, intptr_t) override { return 0; }
  void PostNotification(int, intptr_t, intptr_t) override {}
};

ServerRoutes& Routes() {
  static Host host;
  static ServerRoutes* routes = [] {
    SetShownItemSource(std::make_shared<MarkupSource>());
    PluginDispatch(kDispatchSetHost, reinterpret_cast<intptr_t>(&host), 0);
    ServerRoutes::Services services;
    services.open_item = [](int32_t id, std::string* link) {
      *link = "http://a.example/\r\nSet-Cookie: " + std::to_string(id);
      return id != 0 && id != -1 && id != -2;
    };
    services.latest_arrival = [] {
      platform::CalendarTime t;
      t.year = 2005;
      t.month = 2;
      t.day = 1;
      return t;
    };
    static ServerRoutes instance(std::move(services));
    return &instance;
  }();
  return *routes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  ServerRequest request;
  if (!ParseServerRequest(input, &request)) return 0;
  if (!HostAllowed(request, true, 31622)) return 0;
  request.cross_site = IsCrossSite(request, 31622);
  {
    RouteAnswer answer = Routes().Route(request);
    if (answer.result() == RouteAnswer::kText) {
      const std::string& text = answer.text();
      if (text.rfind("HTTP/1.1 200 OK\n", 0) != 0 &&
          text.rfind("HTTP/1.1 303 See Other\n", 0) != 0) {
        std::abort();
      }
      if (text.find("<x-raw>") != std::string::npos) std::abort();
      if (text.find("\nSet-Cookie") != std::string::npos) std::abort();  // a header was planted
      if (request.cross_site && text.rfind("HTTP/1.1 303", 0) == 0 &&
          request.Parameter("location") == nullptr) {
        std::abort();  // an item was opened for another site
      }
    }
  }
  if (OutstandingItemSnapshots() != 0) std::abort();
  return 0;
}
