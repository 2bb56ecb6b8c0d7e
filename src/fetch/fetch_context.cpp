#include "fetch/fetch_context.h"

#include "platform/files.h"

namespace korvo {

FetchContext CurrentFolderContext(const HttpSettings& settings) {
  FetchContext c;
  c.settings = settings;
  c.working_folder = platform::CurrentDirectory();
  return c;
}

}  // namespace korvo
