// HTTPS through WinINet against a real TLS server: a native `openssl s_server` that ctest starts
// before this program (tests/fetch/tls_server.sh) with a certificate made for the run. Its
// address is in the file KORVO_TLS_INFO. The certificate is known to no trusted root, so the
// request must fail: WinINet speaks TLS to the server and checks its certificate. (A trusted
// certificate giving the body is shown natively; Wine's root store takes its roots from the
// host system and cannot be given a test root.)
#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "platform/http.h"

namespace korvo::platform {
namespace {

TEST(HttpsWinTest, UnknownCertificateIsRefused) {
  std::string url;
  if (!ReadWholeFile(KORVO_TLS_INFO, &url) || url.empty()) {
    GTEST_SKIP() << "no TLS server (run through ctest)";
  }
  while (!url.empty() && (url.back() == '\n' || url.back() == '\r')) url.pop_back();
  HttpOptions options;
  options.proxy_type = 1;
  options.timeout_ms = 5000;
  HttpRequest request;
  request.url = url;
  HttpResponse response;
  EXPECT_EQ(HttpGet(options, request, &response), HttpError::kOpenFailed);
  EXPECT_TRUE(response.body.empty());
}

}  // namespace
}  // namespace korvo::platform
