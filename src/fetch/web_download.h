// The general download (a body into memory) and the content-type probe.
//
// Both are synchronous, open their own session for every call and may run on any number of
// threads at once. Neither shows anything; failures are reported by the result only.
#ifndef KORVO_FETCH_WEB_DOWNLOAD_H_
#define KORVO_FETCH_WEB_DOWNLOAD_H_

#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>

#include "fetch/fetch_context.h"
#include "platform/http.h"

namespace korvo {

constexpr size_t kMaxDownloadAddress = 3095;           // bytes of the requested address
constexpr size_t kMaxDownloadBody = size_t{32} << 20;  // a larger body is refused

// Extra limits of one download besides the settings' time-out.
struct DownloadControl {
  // The whole download; 0: FetchDeadlineMilliseconds of the settings' time-out. Each wait of
  // the request is also bounded by it.
  int deadline_ms = 0;
  const std::atomic<bool>* cancel = nullptr;  // set by another thread to give up
  size_t max_body = kMaxDownloadBody;         // a larger body fails with kTooLarge
  // Out, optional: why the request failed (kNone when it was answered, also when the answer was
  // refused, such as a final 401).
  platform::HttpError* error = nullptr;
};

// Downloads the address text `url_text` (only the part before '[' is requested; the whole text
// is the credentials key). A local path reads the file. Mode 0 sends the no-cache pragma and the
// hyperlink flag; mode 1 takes the answer from the system's URL cache only (offline; POSIX has
// no such cache, so it always fails there); other modes fail.
// A 401 answer is retried once with the Basic credentials of the address text, and when that is
// still 401, once more at the address the request finally reached; a final 401 (or no
// credentials) gives false. Any other answer's body is the result, error pages included.
// False on every failure: too long an address (more than kMaxDownloadAddress bytes), a body
// above the control's max_body, time-outs, a short or broken body.
bool Download(const FetchContext& context, std::string_view url_text, int mode, std::string* body,
              const DownloadControl& control = DownloadControl());

// The Content-Type of the answer for `url_text` (empty when the answer has none), read with
// 3000 ms time-outs (12000 ms in all) and without waiting for the body. Modes as for Download.
// False when the address cannot be opened (local paths included).
bool ProbeContentType(const FetchContext& context, std::string_view url_text, int mode,
                      std::string* content_type);

// Reads a local file named by a path in the internal code page; false when it cannot be read or
// is larger than `max_bytes`.
bool ReadLocalFile(std::string_view path, size_t max_bytes, std::string* body);

}  // namespace korvo

#endif  // KORVO_FETCH_WEB_DOWNLOAD_H_
