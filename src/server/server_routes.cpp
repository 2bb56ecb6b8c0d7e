#include "server/server_routes.h"

#include <cstring>
#include <limits>
#include <string_view>
#include <utility>

#include "fetch/url_text.h"
#include "plugin_host/item_snapshot.h"
#include "plugin_host/plugin_dispatch.h"
#include "server/ascii_case.h"
#include "server/builtin_documents.h"
#include "server/http_answer.h"
#include "server/item_documents.h"
#include "server/update_check.h"
#include "ticker/link_opening.h"

namespace korvo {

namespace {

// The leading decimal number of `text` (optional blanks and sign first), saturated to 32 bits;
// 0 when there is none.
int32_t LeadingNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > std::numeric_limits<int32_t>::max()) {
      value = static_cast<int64_t>(std::numeric_limits<int32_t>::max()) + 1;
    }
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(value);
}

// The item copy of one request, given back when the request is done.
class ItemCopy {
 public:
  explicit ItemCopy(ItemListExOperation operation)
      : operation_(operation), list_(operation_(nullptr)) {}
  ~ItemCopy() {
    if (list_ != nullptr) operation_(list_);
  }
  ItemCopy(const ItemCopy&) = delete;
  ItemCopy& operator=(const ItemCopy&) = delete;

  const PluginItemEx* list() const { return list_; }

 private:
  ItemListExOperation operation_;
  PluginItemEx* list_;
};

}  // namespace

ServerRoutes::ServerRoutes(Services services) : services_(std::move(services)) {
  if (services_.items == nullptr) services_.items = ItemListSnapshotEx;
  if (!services_.utc_now) services_.utc_now = platform::UtcNow;
  if (!services_.dispatch) services_.dispatch = PluginDispatch;
}

RouteAnswer ServerRoutes::Route(const ServerRequest& request) {
  const std::string date = ServerDate(services_.utc_now());
  const std::string& path = request.path;
  if (StartsWithNoCase(path, "redirect")) return Redirect(request, date);
  if (StartsWithNoCase(path, "echo")) return Echo(request, date);
  if (StartsWithNoCase(path, "items")) return Items(request, date, false);
  if (StartsWithNoCase(path, "index.html")) {
    return request.cross_site ? RouteAnswer::None() : Template(TemplateKind::kIndex, date);
  }
  if (StartsWithNoCase(path, "style.css")) {
    return request.cross_site ? RouteAnswer::None() : Template(TemplateKind::kStyle, date);
  }
  if (StartsWithNoCase(path, "isupdate")) return UpdateCheck(request, date, false);
  if (StartsWithNoCase(path, "xmlitems")) return Items(request, date, true);
  if (StartsWithNoCase(path, "xmlisupdate")) return UpdateCheck(request, date, true);
  if (StartsWithNoCase(path, "dllfunc")) {
    return request.cross_site ? RouteAnswer::None() : PluginFunction(request);
  }
  return RouteAnswer::None();
}

RouteAnswer ServerRoutes::Redirect(const ServerRequest& request, const std::string& date) {
  if (const std::string* location = request.Parameter("location")) {
    return RouteAnswer::Text(RedirectAnswer(*location, date));
  }
  const std::string* id = request.Parameter("id");
  if (id == nullptr || request.cross_site || !services_.open_item) return RouteAnswer::None();
  std::string link;
  if (!services_.open_item(LeadingNumber(*id), &link)) return RouteAnswer::None();
  // A feed chose the link: only a web address is handed on (any other scheme would reach
  // whatever program claims it, from the program's own page), written as the browser reads it.
  const std::string location = IsWebAddress(link) ? EncodeLinkForBrowser(link) : std::string();
  return RouteAnswer::Text(RedirectAnswer(location, date));
}

RouteAnswer ServerRoutes::Echo(const ServerRequest& request, const std::string& date) {
  const std::string* echo = request.Parameter("echo");
  if (echo == nullptr) return RouteAnswer::None();
  std::string answer = EchoHead(date);
  answer += "<html><head><head><body><h1>";
  AppendEscaped(&answer, *echo);
  answer += "</h1></body></html>";
  return RouteAnswer::Text(std::move(answer));
}

RouteAnswer ServerRoutes::Items(const ServerRequest& request, const std::string& date, bool xml) {
  const ItemSelection selection = SelectionFromRequest(request);
  std::string body;
  {
    ItemCopy copy(services_.items);
    body = xml ? ItemDocument(copy.list(), selection) : ItemPage(copy.list(), selection);
  }
  return RouteAnswer::Text(StandardHead(xml ? ContentKind::kXml : ContentKind::kHtml, date) + body);
}

RouteAnswer ServerRoutes::Template(TemplateKind kind, const std::string& date) {
  std::string body;
  if (services_.templates) {
    body = services_.templates->Load(kind);
  } else {
    body = kind == TemplateKind::kIndex ? BuiltinIndexDocument() : BuiltinStyleSheet();
  }
  return RouteAnswer::Text(
      StandardHead(kind == TemplateKind::kIndex ? ContentKind::kHtml : ContentKind::kCss, date) +
      body);
}

RouteAnswer ServerRoutes::UpdateCheck(const ServerRequest& request, const std::string& date,
                                      bool xml) {
  const platform::CalendarTime latest =
      services_.latest_arrival ? services_.latest_arrival() : platform::CalendarTime();
  const bool newer = IsNewerThan(latest, request.Parameter("date"));
  return RouteAnswer::Text(
      StandardHead(xml ? ContentKind::kXml : ContentKind::kHtml, date) +
      (xml ? UpdateCheckDocument(newer, latest) : UpdateCheckPage(newer, latest)));
}

RouteAnswer ServerRoutes::PluginFunction(const ServerRequest& request) {
  std::string query;
  for (const auto& [key, value] : request.parameters) {
    if (!query.empty()) query += '&';
    query.append(key).append("=").append(value);
  }
  char* answer = nullptr;
  const intptr_t result =
      services_.dispatch(kDispatchRequest, reinterpret_cast<intptr_t>(query.c_str()),
                         reinterpret_cast<intptr_t>(&answer));
  if (result < 0 || answer == nullptr) return RouteAnswer::None();
  auto dispatch = services_.dispatch;
  auto release = [dispatch, answer] {
    dispatch(kDispatchRelease, reinterpret_cast<intptr_t>(answer), 0);
  };
  if (result > 0) return RouteAnswer::Raw(answer, static_cast<size_t>(result), release);
  std::string text(answer);
  release();
  return RouteAnswer::Text(std::move(text));
}

}  // namespace korvo
