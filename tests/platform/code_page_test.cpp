// The same cases run natively (iconv) and under Wine (the Win32 conversions), so both sides of
// the seam convert alike.
#include "platform/code_page.h"

#include <gtest/gtest.h>

namespace korvo::platform {
namespace {

// 「ニュース取得中」 in each encoding.
const std::string kNewsCp932 = "\x83\x6a\x83\x85\x81\x5b\x83\x58\x8e\xe6\x93\xbe\x92\x86";
const std::string kNewsEucJp = "\xa5\xcb\xa5\xe5\xa1\xbc\xa5\xb9\xbc\xe8\xc6\xc0\xc3\xe6";
const std::u16string kNewsUtf16 = u"\u30cb\u30e5\u30fc\u30b9\u53d6\u5f97\u4e2d";
const std::string kNewsUtf8 =
    "\xe3\x83\x8b\xe3\x83\xa5\xe3\x83\xbc\xe3\x82\xb9\xe5\x8f\x96\xe5\xbe\x97\xe4\xb8\xad";

TEST(CodePageTest, JapaneseRoundTripsExactlyThroughEveryForm) {
  EXPECT_EQ(Cp932ToUtf16(kNewsCp932), kNewsUtf16);
  EXPECT_EQ(Utf16ToCp932(kNewsUtf16), kNewsCp932);
  EXPECT_EQ(Utf8ToCp932(kNewsUtf8), kNewsCp932);
  EXPECT_EQ(Cp932ToUtf8(kNewsCp932), kNewsUtf8);
  EXPECT_EQ(EucJpToCp932(kNewsEucJp), kNewsCp932);
  EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(kNewsUtf8)), kNewsUtf8);
}

TEST(CodePageTest, MicrosoftExtensionsAndHalfWidthKana) {
  // ① (NEC row 13) and 髙 (IBM extension) exist only in CP932; ～ is U+FF5E there.
  EXPECT_EQ(Cp932ToUtf16("\x87\x40\xfb\xfc"), u"\u2460\u9ad9");
  EXPECT_EQ(Utf16ToCp932(u"\u2460\u9ad9\uff5e"), "\x87\x40\xfb\xfc\x81\x60");
  // ﾆｭｰｽ: one byte each in CP932, SS2 pairs in EUC-JP.
  EXPECT_EQ(EucJpToCp932("\x8e\xc6\x8e\xad\x8e\xb0\x8e\xbd"), "\xc6\xad\xb0\xbd");
  EXPECT_EQ(Cp932ToUtf16("\xc6\xad\xb0\xbd"), u"\uff86\uff6d\uff70\uff7d");
}

TEST(CodePageTest, UnmappableCharactersGiveOneReplacementAndNeverNul) {
  EXPECT_EQ(Utf16ToCp932(u"a\u00e9b", '-'), "a-b");   // é has no CP932 form
  EXPECT_EQ(Utf16ToCp932(u"a\U0001F600b", '-'), "a-b");  // emoji: one replacement for the pair
  EXPECT_EQ(Utf16ToCp932(std::u16string(u"a\xd800" u"b"), '-'), "a-b");  // lone surrogate
  EXPECT_EQ(Utf16ToCp932(std::u16string(u"\xdc00"), '-'), "-");
  EXPECT_EQ(Utf16ToCp932(u"x\u4e2d", '?'), "x\x92\x86");
  const std::string out = Utf8ToCp932("\xf0\x9f\x98\x80\xe4\xb8\xad", '-');
  EXPECT_EQ(out, "-\x92\x86");
  EXPECT_EQ(out.find('\0'), std::string::npos);
}

TEST(CodePageTest, BrokenCp932BytesGiveTheDefaultCharacter) {
  // A lead byte at the end, and a lead byte followed by a control byte.
  EXPECT_EQ(Cp932ToUtf16("a\x83"), std::u16string(u"a") + kCp932UnicodeDefault);
  const std::u16string two = Cp932ToUtf16("\x83\x0a" "b");
  ASSERT_FALSE(two.empty());
  EXPECT_EQ(two.front(), kCp932UnicodeDefault);
  EXPECT_EQ(two.back(), u'b');
  EXPECT_EQ(two.find(u'\0'), std::u16string::npos);
}

TEST(CodePageTest, BrokenUtf8GivesReplacementCharacters) {
  EXPECT_EQ(Utf8ToUtf16("a\xff" "b"), u"a\ufffdb");
  EXPECT_EQ(Utf8ToUtf16("a\xe3\x83"), u"a\ufffd");                 // cut short
  EXPECT_EQ(Utf8ToUtf16("\xc0\xaf"), u"\ufffd\ufffd");              // overlong '/'
  EXPECT_EQ(Utf8ToUtf16("\xed\xa0\x80"), u"\ufffd");                // encoded surrogate
  EXPECT_EQ(Utf8ToUtf16("\xf0\x9f\x98\x80"), u"\U0001F600");
  EXPECT_EQ(Utf16ToUtf8(std::u16string(u"\xd800" u"x")), "\xef\xbf\xbdx");
}

TEST(CodePageTest, EucJpSupplementAndBrokenInputGiveReplacement) {
  EXPECT_EQ(EucJpToCp932("\x8f\xb0\xa1x"), "?x");  // JIS X 0212 has no CP932 form
  EXPECT_EQ(EucJpToCp932("a\xa4", '-'), "a-");     // cut short
  EXPECT_EQ(EucJpToCp932("\xa4\x41"), "?A");       // trail byte out of range
  EXPECT_EQ(EucJpToCp932("\x8e\x41"), "?A");
}

TEST(CodePageTest, EmptyAndAsciiTextPassThrough) {
  EXPECT_EQ(Cp932ToUtf16(""), u"");
  EXPECT_EQ(Utf16ToCp932(u""), "");
  const std::string ascii = "http://example.com/rss?x=1&y=2";
  EXPECT_EQ(Utf8ToCp932(ascii), ascii);
  EXPECT_EQ(Cp932ToUtf8(ascii), ascii);
  EXPECT_EQ(EucJpToCp932(ascii), ascii);
}

TEST(CodePageTest, LongTextsConvertWhole) {
  std::string cp932;
  std::u16string utf16;
  for (int i = 0; i < 20000; ++i) {
    cp932 += kNewsCp932;
    utf16 += kNewsUtf16;
  }
  EXPECT_EQ(Cp932ToUtf16(cp932), utf16);
  EXPECT_EQ(Utf16ToCp932(utf16), cp932);
}

}  // namespace
}  // namespace korvo::platform
