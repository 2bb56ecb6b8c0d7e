#include "feed/entities.h"

#include <gtest/gtest.h>

#include <string>

namespace korvo {
namespace {

TEST(EntitiesTest, NamedReferencesGiveTheirBytes) {
  EXPECT_EQ(DecodeEntities("a&amp;b&lt;c&gt;&quot;&apos;"), "a&b<c>\"'");
  EXPECT_EQ(DecodeEntities("x&nbsp;y"), "x y");  // a plain blank, not byte 160
  EXPECT_EQ(DecodeEntities("1&mdash;2"), "1-2");
  EXPECT_EQ(DecodeEntities("&copy;"), std::string(1, '\xA9'));
  EXPECT_EQ(DecodeEntities("&yen;&frac12;"), "\xA5\xBD");
}

TEST(EntitiesTest, NumericReferencesInBothBases) {
  EXPECT_EQ(DecodeEntities("&#65;&#x41;&#X41;"), "AAA");
  // HIRAGANA LETTER A in CP932.
  EXPECT_EQ(DecodeEntities("&#12354;"), "\x82\xA0");
  EXPECT_EQ(DecodeEntities("&#x3042;"), "\x82\xA0");
  // RIGHT SINGLE QUOTATION MARK.
  EXPECT_EQ(DecodeEntities("it&#8217;s"), "it\x81\x66s");
  // Digits stop at the first other byte; no digits give 0, which is a blank.
  EXPECT_EQ(DecodeEntities("&#65z;"), "A");
  EXPECT_EQ(DecodeEntities("&#x;"), " ");
}

TEST(EntitiesTest, MalformedReferencesAreCopied) {
  EXPECT_EQ(DecodeEntities("AT&T rocks"), "AT&T rocks");
  EXPECT_EQ(DecodeEntities("&unknownname;"), "&unknownname;");
  EXPECT_EQ(DecodeEntities("&;"), "&;");
  // The name may be 14 bytes at most.
  EXPECT_EQ(DecodeEntities("&abcdefghijklmno;&amp;"), "&abcdefghijklmno;&");
  EXPECT_EQ(DecodeEntities("&Amp;"), "&Amp;");  // names are case-sensitive
  EXPECT_EQ(DecodeEntities("tail&"), "tail&");
  // A '&' looks no further than its 15 bytes for the ';': a long text of '&' with one ';' at the
  // end decodes in one pass (a search to the end per '&' would take minutes here).
  const std::string ampersands = std::string(4 << 20, '&') + "amp;";
  EXPECT_EQ(DecodeEntities(ampersands), std::string(4 << 20, '&'));
}

TEST(EntitiesTest, DecodingTwiceRemovesTwoLevels) {
  const std::string once = DecodeEntities("&amp;lt;b&amp;gt;");
  EXPECT_EQ(once, "&lt;b&gt;");
  EXPECT_EQ(DecodeEntities(once), "<b>");
}

// Whatever the reference, the output never holds a NUL or a lone CP932 lead byte, either of which
// would cut or garble the text after it.
TEST(EntitiesTest, NoNulAndNoStrayLeadByte) {
  EXPECT_EQ(DecodeEntities("a&#0;b"), "a b");
  // Control characters are unusable too (escape sequences, bells), except the three blanks
  // that XML itself allows: tab, line feed and carriage return.
  EXPECT_EQ(DecodeEntities("a&#1;b&#x1B;[31mc&#x1f;d&#7;"), "a b [31mc d ");
  EXPECT_EQ(DecodeEntities("a&#9;b&#10;c&#xD;d"), "a\tb\nc\rd");
  EXPECT_EQ(DecodeEntities("a&#256;b"), "a? b");     // no CP932 form: replacement and blank
  EXPECT_EQ(DecodeEntities("a&#128512;b"), "a? b");  // outside the basic plane
  EXPECT_EQ(DecodeEntities("a&#x1F600;b"), "a? b");
  EXPECT_EQ(DecodeEntities("a&#99999999999;b"), "a? b");
  EXPECT_EQ(DecodeEntities("a&#999999999999999;b"), "a&#999999999999999;b");  // too long
  EXPECT_EQ(DecodeEntities("&eacute;\x82\xA0"), "?\x82\xA0");  // 0xE9 would pair with 0x82
  EXPECT_EQ(DecodeEntities("&#130;x"), "?x");
  EXPECT_EQ(DecodeEntities("&#xD800;"), "? ");  // a lone surrogate
  for (long code : {0L, 1L, 0x81L, 0x9FL, 0xE0L, 0xFCL, 0xFFFFL, 0x10000L, 0x110000L}) {
    const std::string out = DecodeEntities("&#" + std::to_string(code) + ";");
    EXPECT_EQ(out.find('\0'), std::string::npos) << code;
    ASSERT_FALSE(out.empty());
    const auto last = static_cast<unsigned char>(out.back());
    const bool paired = out.size() == 2 && ((static_cast<unsigned char>(out[0]) >= 0x81 &&
                                             static_cast<unsigned char>(out[0]) <= 0x9F) ||
                                            static_cast<unsigned char>(out[0]) >= 0xE0);
    if (!paired) {
      EXPECT_FALSE((last >= 0x81 && last <= 0x9F) || (last >= 0xE0 && last <= 0xFC)) << code;
    }
  }
}

TEST(EntitiesTest, LinksLoseTheBasicEntities) {
  std::string link = "http://a/?x=1&amp;y=2&amp;amp;z=&lt;&gt;&quot;&apos;&nbsp;";
  UnescapeLink(&link);
  EXPECT_EQ(link, "http://a/?x=1&y=2&z=<>\"' ");
  std::string double_escaped = "&amp;amp;";
  UnescapeLink(&double_escaped);
  EXPECT_EQ(double_escaped, "&");
  std::string other = "a&copy;b&#38;";
  UnescapeLink(&other);
  EXPECT_EQ(other, "a&copy;b&#38;");
}

TEST(EntitiesTest, ReverseLookup) {
  EXPECT_EQ(EntityNameForCode(38), "amp");
  EXPECT_EQ(EntityNameForCode(60), "lt");
  EXPECT_EQ(EntityNameForCode(161), "iexcl");
  EXPECT_EQ(EntityNameForCode(233), "eacute");
  EXPECT_EQ(EntityNameForCode(255), "yuml");
  EXPECT_TRUE(EntityNameForCode(32).empty());
  EXPECT_TRUE(EntityNameForCode(45).empty());
  EXPECT_TRUE(EntityNameForCode(160).empty());
  EXPECT_TRUE(EntityNameForCode(8217).empty());
  // Every answered name decodes back to its code.
  for (int code = 0; code < 256; ++code) {
    const std::string_view name = EntityNameForCode(code);
    if (name.empty()) continue;
    const std::string decoded = DecodeEntities("&" + std::string(name) + ";");
    if (code == 255) {
      EXPECT_EQ(decoded, "? ") << name;  // 255 and up go through the code page: no form
    } else if (code >= 0xE0 && code <= 0xFC) {
      EXPECT_EQ(decoded, "?") << name;
    } else {
      EXPECT_EQ(decoded, std::string(1, static_cast<char>(code))) << name;
    }
  }
}

}  // namespace
}  // namespace korvo
