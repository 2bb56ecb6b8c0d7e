#include "fetch/fetch_context.h"

#include "platform/files.h"

namespace korvo {

FetchContext CurrentFolderContext(const HttpSettings& settings) {
  FetchContext c;
  c.settings = settings;
  c.working_folder = platform::CurrentDirectory();
  return c;
}

FetchContext FolderContext(const std::string& folder) {
  FetchContext c;
  c.settings = HttpSettingsFrom(LoadNetworkSettings(folder));
  c.working_folder = folder;
  return c;
}

}  // namespace korvo
