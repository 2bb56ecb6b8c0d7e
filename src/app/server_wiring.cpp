#include "app/server_wiring.h"

#include <memory>
#include <utility>

#include "app/ticker_item_source.h"
#include "fetch/fetch_context.h"
#include "fetch/http_settings.h"
#include "fetch/web_download.h"
#include "platform/code_page.h"
#include "server/builtin_documents.h"
#include "server/server_component.h"
#include "server/server_routes.h"
#include "shell/app_shell.h"

namespace korvo {

namespace {

// Templates are small pages; a larger answer is refused.
constexpr size_t kMaxTemplateBytes = size_t{1} << 20;
// A template fetch holds the server's only thread: it gets at most this long.
constexpr int kTemplateDeadlineMs = 10000;

std::shared_ptr<TemplateLoader> MakeTemplateLoader(AppShell& shell) {
  TemplateLoader::Options options;
  options.setup_path = shell.folders().working_folder + "/setup.ini";
  options.default_html =
      platform::Utf8ToCp932(shell.folders().program_folder + "/template/frame.html");
  options.default_css =
      platform::Utf8ToCp932(shell.folders().program_folder + "/template/style.css");
  FetchContext context;
  context.settings = HttpSettingsFrom(shell.network());
  context.working_folder = shell.folders().working_folder;
  options.fetch = [context](const std::string& url, std::string* body) {
    DownloadControl control;
    control.deadline_ms = kTemplateDeadlineMs;
    control.max_body = kMaxTemplateBytes;
    return Download(context, url, 0, body, control);
  };
  options.read_file = [](const std::string& path, std::string* body) {
    return ReadLocalFile(path, kMaxTemplateBytes, body);
  };
  options.builtin = [](TemplateKind kind) {
    return kind == TemplateKind::kIndex ? BuiltinIndexDocument() : BuiltinStyleSheet();
  };
  return std::make_shared<TemplateLoader>(std::move(options));
}

}  // namespace

ServerComponent* AttachLocalServer(AppShell& shell, const UpdateWiring& road,
                                   std::function<void(const std::string&)> log) {
  auto items = std::make_shared<TickerItemSource>(road.ticker);
  SetShownItemSource(items);
  UpdateComponent* update = road.update;
  auto make_router = [items, update](AppShell& running) -> std::shared_ptr<RequestRouter> {
    ServerRoutes::Services services;
    services.open_item = [items](int32_t id, std::string* link) {
      return items->OpenItem(id, link);
    };
    if (update != nullptr) services.latest_arrival = [update] { return update->LatestArrival(); };
    services.templates = MakeTemplateLoader(running);
    return std::make_shared<ServerRoutes>(std::move(services));
  };
  auto component = std::make_unique<ServerComponent>(std::move(make_router), std::move(log));
  ServerComponent* server = component.get();
  shell.Attach(AppStage::kLocalServer, std::move(component));
  return server;
}

}  // namespace korvo
