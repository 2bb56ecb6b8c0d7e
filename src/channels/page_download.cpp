#include "channels/page_download.h"

#include <utility>

#include "fetch/web_download.h"

namespace korvo {

PageDownloader WebPageDownloader(FetchContext context, int deadline_ms) {
  return [context = std::move(context), deadline_ms](const std::string& address, int mode,
                                                     std::string* body,
                                                     const std::atomic<bool>* cancel) {
    DownloadControl control;
    control.deadline_ms = deadline_ms;
    control.cancel = cancel;
    return Download(context, address, mode, body, control);
  };
}

}  // namespace korvo
