#include "fetch/url_text.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "fetch/base64.h"
#include "fetch/http_settings.h"

namespace korvo {
namespace {

TEST(UrlTextTest, RequestAddressStopsAtTheFirstBracket) {
  EXPECT_EQ(RequestAddress("http://a.example/rss[basic]x[y"), "http://a.example/rss");
  EXPECT_EQ(RequestAddress("http://a.example/rss"), "http://a.example/rss");
  EXPECT_EQ(RequestAddress("[only"), "");
}

TEST(UrlTextTest, SameHostComparesHostAndPortOnly) {
  EXPECT_TRUE(SameHost("http://Ex.JP/a", "https://ex.jp/b?c"));
  EXPECT_TRUE(SameHost("http://ex.jp:8080/a", "http://user@ex.jp:8080"));
  EXPECT_FALSE(SameHost("http://ex.jp/a", "http://ex.jp:8080/a"));
  EXPECT_FALSE(SameHost("http://ex.jp/a", "http://ex.jp.evil.example/a"));
  EXPECT_FALSE(SameHost("http://ex.jp@evil.example/", "http://ex.jp/"));
  EXPECT_FALSE(SameHost("ex.jp/a", "ex.jp/a"));  // not web addresses
}

TEST(UrlTextTest, CredentialsFollowToTheSameHostButNeverOntoPlainHttp) {
  EXPECT_TRUE(MayResendCredentials("http://ex.jp/a", "https://ex.jp/b"));  // moved to TLS
  EXPECT_TRUE(MayResendCredentials("https://ex.jp/a", "HTTPS://EX.JP/b"));
  EXPECT_TRUE(MayResendCredentials("http://ex.jp/a", "http://ex.jp/b"));
  EXPECT_FALSE(MayResendCredentials("https://ex.jp/a", "http://ex.jp/a"));  // in clear text
  EXPECT_FALSE(MayResendCredentials("http://ex.jp/a", "http://evil.example/a"));
}

TEST(UrlTextTest, LocalPaths) {
  EXPECT_TRUE(IsLocalPath("C:\\feeds\\a.xml"));
  EXPECT_TRUE(IsLocalPath("z:\\a"));
  EXPECT_FALSE(IsLocalPath("C:/feeds/a.xml"));
  EXPECT_FALSE(IsLocalPath("http://a.example/"));
  EXPECT_FALSE(IsLocalPath("1:\\a"));
  EXPECT_FALSE(IsLocalPath("C:"));
#ifdef _WIN32
  EXPECT_FALSE(IsLocalPath("/tmp/a.xml"));
#else
  EXPECT_TRUE(IsLocalPath("/tmp/a.xml"));
#endif
}

TEST(UrlTextTest, RequestEscapingKeepsAsciiAndEncodesTheRest) {
  EXPECT_EQ(EscapeForRequest("http://a.example/x?q=1&r=%20"), "http://a.example/x?q=1&r=%20");
  // CP932 bytes of a Japanese word, a blank, a tab and DEL.
  EXPECT_EQ(EscapeForRequest("http://a/\x83\x6A\x83\x85 \t\x7F"), "http://a/%83j%83%85%20%09%7F");
}

TEST(UrlTextTest, CacheFileNamesReplaceReservedCharacters) {
  EXPECT_EQ(CacheFileName("http://a.example/rss?x=<1>|\"*\\", 2047, ""),
            "http@@@a.example@rss@x=@1@@@@@");
  EXPECT_EQ(CacheFileName("http://a.example/\x01\x1F", 2047, ".ico"), "http@@@a.example@@@.ico");
  // CP932 text becomes UTF-8: "ニュース" (news).
  EXPECT_EQ(CacheFileName("\x83\x6A\x83\x85\x81\x5B\x83\x58", 2047, ""),
            u8"\u30CB\u30E5\u30FC\u30B9");
  // Only the first max_text bytes count.
  EXPECT_EQ(CacheFileName("abcdef", 3, ".ico"), "abc.ico");
}

TEST(UrlTextTest, LongNamesAreShortenedButStayDistinct) {
  const std::string base = "http://a.example/" + std::string(400, 'x');
  std::set<std::string> names;
  for (char c : std::string("abc")) {
    const std::string name = CacheFileName(base + c, 2047, ".ico");
    EXPECT_LE(name.size(), 255u);
    EXPECT_EQ(name.substr(0, 18), "http@@@a.example@x");
    EXPECT_EQ(name.substr(name.size() - 4), ".ico");
    names.insert(name);
  }
  EXPECT_EQ(names.size(), 3u);
  // Japanese text is never cut inside a character.
  std::string japanese;
  for (int i = 0; i < 200; ++i) japanese += "\x83\x6A";  // 200 x "ニ", 3 bytes each in UTF-8
  const std::string name = CacheFileName(japanese, 2047, "");
  EXPECT_LE(name.size(), 255u);
  EXPECT_EQ(name.find('~') % 3, 0u);
  // A name that fits is kept whole.
  EXPECT_EQ(CacheFileName(std::string(251, 'y'), 2047, ".ico"), std::string(251, 'y') + ".ico");
}

// Unique names keep the readable name and tell apart what it cannot: replaced characters, letter
// case, bytes beyond max_text.
TEST(UrlTextTest, UniqueCacheFileNamesNeverShareAFile) {
  std::set<std::string> names;
  const std::string long_text = "http://h/a/b.xml" + std::string(3000, 'z');
  for (const std::string& text :
       std::vector<std::string>{"http://h/a/b.xml", "http://h/a@b.xml", "http://h/a:b.xml",
                                "http://h/A/b.xml", long_text + "1", long_text + "2"}) {
    const std::string name = UniqueCacheFileName(text, 2047, "");
    EXPECT_LE(name.size(), 255u) << text;
    EXPECT_EQ(name.substr(0, 8), "http@@@h");
    EXPECT_EQ(name[name.size() - 17], '~');
    names.insert(name);
  }
  EXPECT_EQ(names.size(), 6u);
  EXPECT_EQ(UniqueCacheFileName("http://h/a.xml", 2047, "").substr(0, 15), "http@@@h@a.xml~");
  EXPECT_EQ(UniqueCacheFileName("http://h/a.xml", 2047, ""),
            UniqueCacheFileName("http://h/a.xml", 2047, ""));
}

TEST(UrlTextTest, SiteRootCutsAfterTheHost) {
  EXPECT_EQ(SiteRoot("http://a.example/b/c.html"), "http://a.example");
  EXPECT_EQ(SiteRoot("https://a.example:8080/b"), "https://a.example:8080");
  EXPECT_EQ(SiteRoot("http://a.example"), "http://a.example");
  EXPECT_EQ(SiteRoot("http://a.example?x=/y"), "http://a.example");
  EXPECT_EQ(SiteRoot("a.example/b/c"), "a.example");  // the 7-byte rule without a scheme
}

TEST(UrlTextTest, LinksResolveAgainstThePage) {
  const std::string page = "http://a.example/dir/page.html?x=/q";
  EXPECT_EQ(ResolveLink(page, "http://b.example/i.ico"), "http://b.example/i.ico");
  EXPECT_EQ(ResolveLink(page, "HTTPS://b.example/i.ico"), "HTTPS://b.example/i.ico");
  EXPECT_EQ(ResolveLink(page, "/i.ico"), "http://a.example/i.ico");
  EXPECT_EQ(ResolveLink(page, "//c.example/i.ico"), "http://c.example/i.ico");
  EXPECT_EQ(ResolveLink(page, "img/icon.ico"), "http://a.example/dir/img/icon.ico");
  EXPECT_EQ(ResolveLink("http://a.example/dir/", "i.ico"), "http://a.example/dir/i.ico");
  EXPECT_EQ(ResolveLink("http://a.example", "i.ico"), "http://a.example/i.ico");
  EXPECT_EQ(ResolveLink("https://a.example", "/i.ico"), "https://a.example/i.ico");
}

TEST(HttpSettingsTest, ProxyTextUserAgentAndTimeOut) {
  HttpSettings s;
  s.type = 2;
  s.proxy = "proxy.example";
  EXPECT_EQ(ProxyText(s), "proxy.example");  // port 0: the text unchanged
  s.port = 8080;
  EXPECT_EQ(ProxyText(s), "proxy.example:8080");

  EXPECT_EQ(EffectiveUserAgent("Mozilla/4.0"), "korvo/2.75");
  EXPECT_EQ(EffectiveUserAgent("Korvo/3"), "korvo/2.75");  // the prefix is case-sensitive
  EXPECT_EQ(EffectiveUserAgent("korvo/3"), "korvo/3");

  EXPECT_EQ(TimeoutMilliseconds(30), 30000);
  EXPECT_EQ(TimeoutMilliseconds(1), 1000);
  EXPECT_EQ(TimeoutMilliseconds(0), 30000);
  EXPECT_EQ(TimeoutMilliseconds(-5), 30000);
  EXPECT_EQ(TimeoutMilliseconds(2000000000), 86400000);

  s.user_agent = "Other/1";
  s.time_out = 7;
  const platform::HttpOptions o = RequestOptions(s);
  EXPECT_EQ(o.proxy_type, 2);
  EXPECT_EQ(o.proxy, "proxy.example:8080");
  EXPECT_EQ(o.user_agent, "korvo/2.75");
  EXPECT_EQ(o.timeout_ms, 7000);
  EXPECT_EQ(RequestOptions(s, 3000).timeout_ms, 3000);
}

TEST(Base64Test, StandardAlphabetWithPadding) {
  EXPECT_EQ(Base64Encode(""), "");
  EXPECT_EQ(Base64Encode("f"), "Zg==");
  EXPECT_EQ(Base64Encode("fo"), "Zm8=");
  EXPECT_EQ(Base64Encode("foo"), "Zm9v");
  EXPECT_EQ(Base64Encode("Aladdin:open sesame"), "QWxhZGRpbjpvcGVuIHNlc2FtZQ==");
  EXPECT_EQ(Base64Encode(std::string("\xFB\xFF\x00", 3)), "+/8A");
}

}  // namespace
}  // namespace korvo
