// How the channel-list operations download a feed or an OPML file: a function, so that tests
// answer from memory and the program uses the HTTP fetcher.
#ifndef KORVO_CHANNELS_SOURCE_DOWNLOAD_H_
#define KORVO_CHANNELS_SOURCE_DOWNLOAD_H_

#include <cstddef>
#include <functional>
#include <string>

#include "fetch/fetch_context.h"

namespace korvo {

// Downloads the address (CP932 text) into `body`; false on any failure. Called on the thread of
// the operation that needs it.
using SourceDownload = std::function<bool(const std::string& address, std::string* body)>;

// Largest body a SourceDownload of WebSourceDownload takes (feeds and OPML files).
constexpr size_t kMaxSourceDownloadBytes = size_t{16} << 20;

// A SourceDownload over the web download of the fetching code with `context` (copied), in its
// first mode and then its second, with a 60-second deadline per attempt and bodies of at most
// kMaxSourceDownloadBytes.
SourceDownload WebSourceDownload(FetchContext context);

}  // namespace korvo

#endif  // KORVO_CHANNELS_SOURCE_DOWNLOAD_H_
