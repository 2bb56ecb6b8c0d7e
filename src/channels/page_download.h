// How feed discovery fetches pages: an injectable download function, so the discovery thread and
// the properties dialog's look-up can be tested without a network, and the program's default,
// the general download.
#ifndef KORVO_CHANNELS_PAGE_DOWNLOAD_H_
#define KORVO_CHANNELS_PAGE_DOWNLOAD_H_

#include <atomic>
#include <functional>
#include <string>

#include "fetch/fetch_context.h"

namespace korvo {

// Fetches the page at `address` (a web address or a local path) into `*body`; false when nothing
// could be fetched. Mode 0 asks the network (no-cache), mode 1 only the system's cache. `cancel`
// (may be null) is set by another thread when the result is no longer wanted; the function
// should then give up soon. Called on discovery threads and on the window thread, possibly on
// several threads at once.
using PageDownloader = std::function<bool(const std::string& address, int mode, std::string* body,
                                          const std::atomic<bool>* cancel)>;

// The general download of the fetching code with `context`, each call limited to `deadline_ms`
// in all (0: only the settings' time-out).
PageDownloader WebPageDownloader(FetchContext context, int deadline_ms);

}  // namespace korvo

#endif  // KORVO_CHANNELS_PAGE_DOWNLOAD_H_
