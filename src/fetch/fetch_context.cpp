#include "fetch/fetch_context.h"

#include "platform/files.h"

namespace korvo {

FetchContext CurrentFolderContext(const HttpSettings& settings) {
  FetchContext c;
  c.settings = settings;
  c.working_folder = platform::CurrentDirectory();
  return c;
}

HttpSettings HttpSettingsFrom(const NetworkSettings& network) {
  HttpSettings settings;
  settings.type = network.type;
  settings.proxy = network.proxy;
  settings.port = network.port;
  settings.user_agent = network.user_agent;
  settings.time_out = network.time_out;
  return settings;
}

FetchContext FolderContext(const std::string& folder) {
  FetchContext c;
  c.settings = HttpSettingsFrom(LoadNetworkSettings(folder));
  c.working_folder = folder;
  return c;
}

}  // namespace korvo
