#include "channels/source_download.h"

#include <utility>

#include "fetch/web_download.h"

namespace korvo {

SourceDownload WebSourceDownload(FetchContext context) {
  return [context = std::move(context)](const std::string& address, std::string* body) {
    DownloadControl control;
    control.deadline_ms = 60000;
    control.max_body = kMaxSourceDownloadBytes;
    for (int mode = 0; mode < 2; ++mode) {
      body->clear();
      if (Download(context, address, mode, body, control)) return true;
    }
    body->clear();
    return false;
  };
}

}  // namespace korvo
