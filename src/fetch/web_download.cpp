#include "fetch/web_download.h"

#include "fetch/credentials.h"
#include "fetch/url_text.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/http.h"

namespace korvo {

namespace {

constexpr int kProbeTimeoutMs = 3000;

bool SetUp(const FetchContext& context, std::string_view url_text, int mode, int timeout_ms,
           platform::HttpOptions* options, platform::HttpRequest* request) {
  if (mode != 0 && mode != 1) return false;
  const std::string_view address = RequestAddress(url_text);
  if (address.empty() || address.size() > kMaxDownloadAddress) return false;
  *options = RequestOptions(context.settings, timeout_ms);
  options->offline = mode == 1;
  options->ca_file = context.ca_file;
  request->url = EscapeForRequest(address);
  request->no_cache = mode == 0;
  request->hyperlink = mode == 0;
  request->max_body = kMaxDownloadBody;
  return true;
}

}  // namespace

bool ReadLocalFile(std::string_view path, size_t max_bytes, std::string* body) {
  return platform::ReadWholeFile(platform::Cp932ToUtf8(path), body, max_bytes);
}

bool Download(const FetchContext& context, std::string_view url_text, int mode, std::string* body,
              const DownloadControl& control) {
  body->clear();
  platform::HttpError ignored = platform::HttpError::kNone;
  platform::HttpError& error = control.error != nullptr ? *control.error : ignored;
  error = platform::HttpError::kOpenFailed;
  if (IsLocalPath(RequestAddress(url_text))) {
    if (!ReadLocalFile(RequestAddress(url_text), control.max_body, body)) return false;
    error = platform::HttpError::kNone;
    return true;
  }
  platform::HttpOptions options;
  platform::HttpRequest request;
  if (!SetUp(context, url_text, mode, 0, &options, &request)) return false;
  request.deadline_ms =
      control.deadline_ms > 0 ? control.deadline_ms : FetchDeadlineMilliseconds(options.timeout_ms);
  request.cancel = control.cancel;
  request.max_body = control.max_body;
  if (request.deadline_ms < options.timeout_ms) options.timeout_ms = request.deadline_ms;
  platform::HttpResponse response;
  auto get = [&]() {
    error = platform::HttpGet(options, request, &response);
    return error == platform::HttpError::kNone;
  };
  if (!get()) return false;
  if (response.status == 401) {
    std::string user;
    std::string password;
    if (!LookUpCredentials(context.CredentialsPath(), url_text, &user, &password)) return false;
    request.headers.push_back(BasicAuthorization(user, password));
    request.no_cache = true;
    request.hyperlink = true;
    if (!get()) return false;
    if (response.status == 401 && MayResendCredentials(request.url, response.final_url)) {
      // Ask the final address directly; never another host (the password is not theirs), never
      // from https onto plain http.
      request.url = response.final_url;
      if (!get()) return false;
    }
    if (response.status == 401) return false;
  }
  *body = std::move(response.body);
  return true;
}

bool ProbeContentType(const FetchContext& context, std::string_view url_text, int mode,
                      std::string* content_type) {
  if (IsLocalPath(RequestAddress(url_text))) return false;
  platform::HttpOptions options;
  platform::HttpRequest request;
  if (!SetUp(context, url_text, mode, kProbeTimeoutMs, &options, &request)) return false;
  request.skip_body = true;
  request.deadline_ms = FetchDeadlineMilliseconds(kProbeTimeoutMs);
  platform::HttpResponse response;
  if (platform::HttpGet(options, request, &response) != platform::HttpError::kNone) return false;
  *content_type = response.content_type;
  return true;
}

}  // namespace korvo
