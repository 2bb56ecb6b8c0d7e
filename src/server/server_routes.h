// ServerRoutes: the local server's nine routes. The path is compared with each route name
// without regard to case over the length of the name (so "itemsfoo" is `items`), in this order;
// the first match answers, no match gives no answer:
//
//   redirect     `location`: 303 to it, unchanged; else `id`: opens that item (marks it read)
//                and answers 303 to its link when that is an http(s) address (percent-encoded as
//                UTF-8, ticker/link_opening.h), else with an empty Location
//   echo         `echo`: a page showing the value (escaped)
//   items        the shown items as an HTML page (`view`, `site` select)
//   index.html   the index page template
//   style.css    the style sheet template
//   isupdate     whether anything arrived after `date`, as an HTML page
//   xmlitems     the shown items as an XML document
//   xmlisupdate  the update check as an XML document
//   dllfunc      the query, rebuilt in key order, goes to the plug-in's request handler; its
//                answer is sent as it is
//
// Routes that change state refuse requests marked cross-site (request_origin.h): `redirect` by
// `id` (it marks the item read), `index.html` and `style.css` (a followed template redirect is
// written to setup.ini) and `dllfunc` (plug-in commands delete and copy files). Their answer is
// then no answer.
//
// The item routes read a copy of the shown list taken for the request and given back at its end
// (item_snapshot.h); texts are escaped (item_documents.h).
//
// Threads: Route runs on the server's accepting thread; the services must allow that.
#ifndef KORVO_SERVER_SERVER_ROUTES_H_
#define KORVO_SERVER_SERVER_ROUTES_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/clock.h"
#include "plugin_host/plugin_item.h"
#include "server/request_router.h"
#include "server/template_source.h"

namespace korvo {

class ServerRoutes : public RequestRouter {
 public:
  // What the routes need from the rest of the program. Empty members: the route fails (no
  // answer), except where a default is named.
  struct Services {
    // The item-list operation with enclosures: null takes a copy, a copy gives it back.
    // Default: ItemListSnapshotEx.
    ItemListExOperation items = nullptr;
    // Opens the item with record number `id` (marks it read) and gives its link; false for the
    // ids 0, -1 and -2.
    std::function<bool(int32_t id, std::string* link)> open_item;
    // The local time of the latest update run that stored a new item; year 0 when none.
    std::function<platform::CalendarTime()> latest_arrival;
    // Now in UTC, for the Date header. Default: platform::UtcNow.
    std::function<platform::CalendarTime()> utc_now;
    // The plug-in dispatcher (plugin_dispatch.h). Default: PluginDispatch.
    std::function<intptr_t(int code, intptr_t first, intptr_t second)> dispatch;
    // The template bodies; may be null (the templates then answer the built-in documents).
    std::shared_ptr<TemplateLoader> templates;
  };

  explicit ServerRoutes(Services services);

  RouteAnswer Route(const ServerRequest& request) override;

 private:
  RouteAnswer Redirect(const ServerRequest& request, const std::string& date);
  RouteAnswer Echo(const ServerRequest& request, const std::string& date);
  RouteAnswer Items(const ServerRequest& request, const std::string& date, bool xml);
  RouteAnswer Template(TemplateKind kind, const std::string& date);
  RouteAnswer UpdateCheck(const ServerRequest& request, const std::string& date, bool xml);
  RouteAnswer PluginFunction(const ServerRequest& request);

  Services services_;
};

}  // namespace korvo

#endif  // KORVO_SERVER_SERVER_ROUTES_H_
