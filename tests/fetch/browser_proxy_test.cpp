#include "fetch/browser_proxy.h"

#include <gtest/gtest.h>

namespace korvo {
namespace {

using Kind = BrowserProxy::Kind;

TEST(BrowserProxyTest, EachModeChoosesItsProxy) {
  SystemProxySettings system;
  system.enabled = true;
  system.server = "sys.example:3128";
  system.bypass = "<local>;*.example";
  HttpSettings s;

  s.type = 0;
  BrowserProxy p = ChooseBrowserProxy(s, system);
  EXPECT_EQ(p.kind, Kind::kProxy);
  EXPECT_EQ(p.server, "sys.example:3128");
  EXPECT_EQ(p.bypass, "<local>;*.example");
  system.enabled = false;
  EXPECT_EQ(ChooseBrowserProxy(s, system).kind, Kind::kDirect);

  s.type = 1;
  system.enabled = true;
  EXPECT_EQ(ChooseBrowserProxy(s, system).kind, Kind::kDirect);

  s.type = 2;
  s.proxy = "named.example";
  s.port = 0;
  p = ChooseBrowserProxy(s, system);
  EXPECT_EQ(p.kind, Kind::kProxy);
  EXPECT_EQ(p.server, "named.example");
  EXPECT_EQ(p.bypass, "127.0.0.1");
  s.port = 8080;
  EXPECT_EQ(ChooseBrowserProxy(s, system).server, "named.example:8080");

  for (int mode : {3, -1, 100}) {
    s.type = mode;
    EXPECT_EQ(ChooseBrowserProxy(s, system).kind, Kind::kUntouched) << mode;
  }
}

}  // namespace
}  // namespace korvo
