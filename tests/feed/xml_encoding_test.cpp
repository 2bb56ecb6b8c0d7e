// Encodings: the encoding feed bytes declare, their conversion to CP932, and file documents
// converted piece by piece.
#include <gtest/gtest.h>

#include <string>

#include "common/temp_folder.h"
#include "feed/encoding_guess.h"
#include "feed/feed_encoding.h"
#include "feed/xml_document.h"
#include "feed/xml_tree_dump.h"
#include "platform/code_page.h"
#include "platform/files.h"

namespace korvo {
namespace {

using testing::Dump;

// HIRAGANA A and I: UTF-8, CP932, EUC-JP, UTF-16LE, UTF-16BE.
const std::string kAiUtf8 = "\xE3\x81\x82\xE3\x81\x84";
const std::string kAiCp932 = "\x82\xA0\x82\xA2";
const std::string kAiEucJp = "\xA4\xA2\xA4\xA4";

std::string Utf16(std::string_view ascii_or_ai, bool big_endian) {
  // ASCII bytes become one unit each; the marker '@' stands for HIRAGANA A (U+3042).
  std::string out;
  for (char c : ascii_or_ai) {
    const unsigned unit = c == '@' ? 0x3042 : static_cast<unsigned char>(c);
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    if (big_endian) {
      out += high;
      out += low;
    } else {
      out += low;
      out += high;
    }
  }
  return out;
}

TEST(FeedEncodingTest, DeclarationsAndMarks) {
  EXPECT_EQ(DetectFeedEncoding("<rss/>"), FeedEncoding::kUtf8);
  EXPECT_EQ(DetectFeedEncoding("<?xml version=\"1.0\"?><rss/>"), FeedEncoding::kUtf8);
  EXPECT_EQ(DetectFeedEncoding("<?xml encoding=\"Shift_JIS\"?>"), FeedEncoding::kShiftJis);
  EXPECT_EQ(DetectFeedEncoding("<?xml encoding='shift-jis'?>"), FeedEncoding::kShiftJis);
  EXPECT_EQ(DetectFeedEncoding("\n<?xml encoding=\"euc-jp\" ?>"), FeedEncoding::kEucJp);
  EXPECT_EQ(DetectFeedEncoding("<?xml encoding=\"EUC_JP\"?>"), FeedEncoding::kEucJp);
  EXPECT_EQ(DetectFeedEncoding("<?xml encoding=\"utf_8\"?>"), FeedEncoding::kUtf8);
  EXPECT_EQ(DetectFeedEncoding("<?xml encoding=\"EUC-JP\""), FeedEncoding::kUtf8);  // no "?>"
  // Byte-order marks and the NUL pattern of "<?" in either order.
  EXPECT_EQ(DetectFeedEncoding("\xFF\xFE<\0"), FeedEncoding::kUtf16Le);
  EXPECT_EQ(DetectFeedEncoding("\xFE\xFF\0<"), FeedEncoding::kUtf16Be);
  EXPECT_EQ(DetectFeedEncoding(std::string("<\0?\0x\0", 6)), FeedEncoding::kUtf16Le);
  EXPECT_EQ(DetectFeedEncoding(std::string("\0<\0?\0x", 6)), FeedEncoding::kUtf16Be);
  EXPECT_EQ(DetectFeedEncoding(Utf16("\n <rss>", false)), FeedEncoding::kUtf16Le);
  EXPECT_EQ(DetectFeedEncoding(Utf16("\n <rss>", true)), FeedEncoding::kUtf16Be);
  // A UTF-8 mark wins over the declaration.
  EXPECT_EQ(DetectFeedEncoding("\xEF\xBB\xBF<?xml encoding=\"Shift_JIS\"?>"), FeedEncoding::kUtf8);
  // A UTF-16 declaration readable byte by byte cannot be UTF-16.
  EXPECT_EQ(DetectFeedEncoding("<?xml encoding=\"UTF-16\"?><rss/>"), FeedEncoding::kUtf8);
  // Undeclared or unknown: UTF-8 when the bytes are (also when a character is cut by the end of
  // the body); otherwise the Japanese encoding the bytes read as.
  const struct {
    const char* bytes;
    FeedEncoding expected;
  } guesses[] = {
      {"<rss>\xE6\x97\xA5</rss>", FeedEncoding::kUtf8},
      {"<rss>\xE6\x97\xA5\xE6\x9C", FeedEncoding::kUtf8},
      {"<rss>\x93\xFA\x96\x7B\x8C\xEA</rss>", FeedEncoding::kShiftJis},  // 日本語
      {"<rss>\xC6\xFC\xCB\xDC\xB8\xEC</rss>", FeedEncoding::kEucJp},
      {"<rss>\xA4\xA2\xA4\xA4\xA4\xA6\x8E\xB1</rss>", FeedEncoding::kEucJp},  // あいうｱ
      {"<rss>\xB1\xB2\xB3 \x82\xC5\x82\xB7</rss>", FeedEncoding::kShiftJis},  // ｱｲｳ です
      {"<?xml encoding=\"latin-9\"?><rss>\x83\x65\x83\x58\x83\x67</rss>", FeedEncoding::kShiftJis},
  };
  for (const auto& g : guesses) EXPECT_EQ(DetectFeedEncoding(g.bytes), g.expected) << g.bytes;
  for (const char* not_utf8 :
       {"\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x80", "\xE6\x97x"}) {
    EXPECT_FALSE(IsUtf8(not_utf8)) << not_utf8;  // overlong, surrogate, past U+10FFFF, ...
  }
}

TEST(FeedEncodingTest, ConversionsToInternalText) {
  EXPECT_EQ(FeedBytesToInternal("<t>" + kAiUtf8 + "</t>"), "<t>" + kAiCp932 + "</t>");
  EXPECT_EQ(FeedBytesToInternal("\xEF\xBB\xBF<t/>"), "<t/>");
  EXPECT_EQ(FeedBytesToInternal("<?xml encoding=\"Shift_JIS\"?>" + kAiCp932),
            "<?xml encoding=\"Shift_JIS\"?>" + kAiCp932);
  EXPECT_EQ(FeedBytesToInternal("<?xml encoding=\"EUC-JP\"?>" + kAiEucJp),
            "<?xml encoding=\"EUC-JP\"?>" + kAiCp932);
  const std::string decl = "<?xml version=\"1.0\" encoding=\"UTF-16\"?><t>@</t>";
  const std::string expected = "<?xml version=\"1.0\" encoding=\"UTF-16\"?><t>\x82\xA0</t>";
  EXPECT_EQ(FeedBytesToInternal("\xFF\xFE" + Utf16(decl, false)), expected);
  EXPECT_EQ(FeedBytesToInternal("\xFE\xFF" + Utf16(decl, true)), expected);
  EXPECT_EQ(FeedBytesToInternal(Utf16(decl, false)), expected);
  EXPECT_EQ(FeedBytesToInternal(Utf16(decl, true)), expected);
}

TEST(FeedEncodingTest, BrokenInputNeverGivesNulOrLoneLeadByte) {
  // UTF-8: NUL bytes vanish, bad sequences and characters without a CP932 form become '-'.
  EXPECT_EQ(FeedBytesToInternal(std::string("a\0b", 3)), "ab");
  const std::string utf8 = "<?xml encoding=\"utf-8\"?>";
  EXPECT_EQ(FeedBytesToInternal(utf8 + "a\xE3\x81z"), utf8 + "a-z");
  EXPECT_EQ(FeedBytesToInternal("\xF0\x9F\x98\x80"), "-");  // U+1F600
  // UTF-16: a NUL unit vanishes, an odd last byte is dropped, a lone surrogate is '-'.
  EXPECT_EQ(FeedBytesToInternal(std::string("\xFF\xFE"
                                            "a\0\0\0b\0c",
                                            9)),
            "ab");
  EXPECT_EQ(FeedBytesToInternal(std::string("\xFF\xFE"
                                            "a\0\x00\xD8"
                                            "b\0",
                                            8)),
            "a-b");
  // Shift_JIS: a lead byte without its trail byte becomes '-', the next byte stays.
  const std::string sjis = "<?xml encoding=\"Shift_JIS\"?>";
  EXPECT_EQ(FeedBytesToInternal(sjis + "a\x82<b\x82"), sjis + "a-<b-");
  EXPECT_EQ(FeedBytesToInternal(sjis + std::string("\x82\0\xA0", 3)), sjis + "-\xA0");
  // EUC-JP: broken sequences become '-'.
  const std::string euc = "<?xml encoding=\"EUC-JP\"?>";
  EXPECT_EQ(FeedBytesToInternal(euc + "\xA4<\xA4\xA2\xA4"), euc + "-<\x82\xA0-");
  for (const std::string& bytes :
       {FeedBytesToInternal(sjis + "\x81\x82\x83"), FeedBytesToInternal(euc + "\x8F\xA1"),
        FeedBytesToInternal("\xC3")}) {
    EXPECT_EQ(bytes.find('\0'), std::string::npos);
    EXPECT_FALSE(!bytes.empty() && static_cast<unsigned char>(bytes.back()) >= 0x81 &&
                 static_cast<unsigned char>(bytes.back()) <= 0x9F);
  }
}

// The first position where two long texts differ, or -1, for short failure messages.
long FirstDifference(const std::string& a, const std::string& b) {
  for (size_t i = 0; i < a.size() || i < b.size(); ++i) {
    if (i >= a.size() || i >= b.size() || a[i] != b[i]) return static_cast<long>(i);
  }
  return -1;
}

TEST(FeedEncodingTest, FastPathsAgreeWithThePlatformConverters) {
  // A sample of the whole BMP, mixed with ASCII, bad sequences and supplementary characters.
  std::u16string units;
  for (uint32_t c = 0x80; c <= 0xFFFF; c += 7) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    units.push_back(static_cast<char16_t>(c));
    if (c % 5 == 0) units += u"<a>";
    if (c % 11 == 0) units += u"\U0001F600";
  }
  const std::string utf8 = platform::Utf16ToUtf8(units);
  EXPECT_EQ(FirstDifference(FeedBytesToInternal(utf8, FeedEncoding::kUtf8),
                            platform::Utf8ToCp932(utf8, '-')),
            -1);
  const std::string broken =
      "a\xE3\x81" + utf8.substr(0, 300) + "\xC0\xAF\xED\xA0\x80\xFF" + utf8.substr(300, 300);
  EXPECT_EQ(FirstDifference(FeedBytesToInternal(broken, FeedEncoding::kUtf8),
                            platform::Utf8ToCp932(broken, '-')),
            -1);
  std::string le;
  for (char16_t unit : units) {
    le += static_cast<char>(unit & 0xFF);
    le += static_cast<char>(unit >> 8);
  }
  le += std::string("\x00\xD8", 2);  // a lone high surrogate at the end
  EXPECT_EQ(FirstDifference(FeedBytesToInternal(le, FeedEncoding::kUtf16Le),
                            platform::Utf16ToCp932(units + u'\xD800', '-')),
            -1);
}

class XmlFileTest : public ::testing::Test {
 protected:
  XmlDocument Read(const std::string& bytes) {
    const std::string path = folder_ / "doc.xml";
    EXPECT_TRUE(platform::WriteWholeFile(path, bytes));
    return XmlDocument::FromFile(path);
  }
  testing::TempFolder folder_;
};

TEST_F(XmlFileTest, MissingFileGivesEmptyDocument) {
  const XmlDocument document = XmlDocument::FromFile(folder_ / "none.xml");
  EXPECT_EQ(document.root(), nullptr);
  EXPECT_EQ(document.variant(), XmlDocument::Variant::kFile);
}

TEST_F(XmlFileTest, LinesAreConvertedByTheEncodingDeclaredSoFar) {
  // Undeclared: UTF-8.
  EXPECT_EQ(Dump(Read("<t>\n" + kAiUtf8 + "\n</t>\n")), "t{\"" + kAiCp932 + "\"}");
  // Declared on the first line, text on later lines.
  EXPECT_EQ(Dump(Read("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n<t>\n" + kAiCp932 + "</t>")),
            "t{\"" + kAiCp932 + "\"}");
  const XmlDocument euc =
      Read("<?xml version=\"1.0\" encoding=\"EUC-JP\"?>\n<t>" + kAiEucJp + "</t>\n");
  EXPECT_EQ(euc.encoding(), XmlEncoding::kEucJp);
  EXPECT_EQ(Dump(euc), "t{\"" + kAiCp932 + "\"}");
  // Leading blanks and tabs of every line are skipped.
  EXPECT_EQ(Dump(Read("<t>\n   a\n\t\tb</t>")), "t{\"ab\"}");
}

TEST_F(XmlFileTest, OneLineDocumentsUseTheirOwnDeclaration) {
  EXPECT_EQ(Dump(Read("<?xml version=\"1.0\" encoding=\"UTF-8\"?><t>" + kAiUtf8 + "</t>")),
            "t{\"" + kAiCp932 + "\"}");
  EXPECT_EQ(Dump(Read("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><t>" + kAiCp932 + "</t>")),
            "t{\"" + kAiCp932 + "\"}");
  EXPECT_EQ(Dump(Read("<?xml version=\"1.0\" encoding=\"EUC-JP\"?><t>" + kAiEucJp + "</t>")),
            "t{\"" + kAiCp932 + "\"}");
  // The same with further lines after the first one.
  EXPECT_EQ(Dump(Read("<?xml version=\"1.0\" encoding=\"EUC-JP\"?><t>" + kAiEucJp + "\n" +
                      kAiEucJp + "</t>\n")),
            "t{\"" + kAiCp932 + kAiCp932 + "\"}");
  EXPECT_EQ(Dump(Read("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><t>" + kAiCp932 +
                      "\n</t>\n<u>" + kAiCp932 + "</u>")),
            "t{\"" + kAiCp932 + "\"} u{\"" + kAiCp932 + "\"}");
  // Broken Shift_JIS: a lead byte without its trail byte does not swallow the '<' after it.
  EXPECT_EQ(Dump(Read("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><t>a\x82</t>")), "t{\"a?\"}");
}

TEST_F(XmlFileTest, MarkersCutByThePieceLimitAreStillRecognised) {
  // A line of 4095 bytes or more is read in pieces; "]]>", "-->", "<![CDATA[" and "<!--" that
  // straddle a piece limit must read as if the line were whole. The filler puts the limit
  // after 1, 2, ... bytes of the marker.
  const std::string x(5000, 'x');
  for (size_t split = 1; split < 3; ++split) {
    const std::string filler(4095 - 12 - split, 'x');
    const XmlDocument cdata = Read("<t><![CDATA[" + filler + "]]></t><u>" + x + "</u>");
    EXPECT_EQ(Dump(cdata), "t{[" + filler + "]} u{\"" + x + "\"}") << split;
    const std::string comment_filler(4095 - 7 - split, 'x');
    const XmlDocument comment = Read("<t><!--" + comment_filler + "--></t><u>" + x + "</u>");
    EXPECT_EQ(Dump(comment), "t{#<!--" + comment_filler + "-->} u{\"" + x + "\"}") << split;
  }
  for (size_t split = 1; split < 9; ++split) {
    const std::string filler(4095 - 3 - split, 'x');
    const XmlDocument cdata = Read("<t>" + filler + "<![CDATA[a>b]]></t>");
    EXPECT_EQ(Dump(cdata), "t{\"" + filler + "\" [a>b]}") << split;
  }
  for (size_t split = 1; split < 4; ++split) {
    const std::string filler(4095 - 3 - split, 'x');
    const XmlDocument comment = Read("<t>" + filler + "<!--a>b--></t>");
    EXPECT_EQ(Dump(comment), "t{\"" + filler + "\" #<!--a>b-->}") << split;
  }
}

TEST_F(XmlFileTest, SingleQuotedDeclarationsNameTheirEncoding) {
  // Many generators quote the declaration's values with single quotes.
  const XmlDocument utf8 = Read("<?xml version='1.0' encoding='utf-8'?>\n<t>" + kAiUtf8 + "</t>\n");
  EXPECT_EQ(utf8.encoding(), XmlEncoding::kUtf8);
  EXPECT_EQ(Dump(utf8), "t{\"" + kAiCp932 + "\"}");
  const XmlDocument euc = Read("<?xml version='1.0' encoding='EUC-JP' ?>\n<t>" + kAiEucJp + "</t>");
  EXPECT_EQ(euc.encoding(), XmlEncoding::kEucJp);
  EXPECT_EQ(Dump(euc), "t{\"" + kAiCp932 + "\"}");
  // A name that is none of the known ones still gives no encoding.
  EXPECT_EQ(Read("<?xml version='1.0' encoding='utf-8x'?>\n<t/>").encoding(), XmlEncoding::kNone);
}

TEST_F(XmlFileTest, Utf16FilesAndMarks) {
  const std::string text = "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<t>@</t>\n";
  EXPECT_EQ(Dump(Read("\xFF\xFE" + Utf16(text, false))), "t{\"\x82\xA0\"}");
  EXPECT_EQ(Dump(Read(Utf16(text, true))), "t{\"\x82\xA0\"}");
  EXPECT_EQ(Dump(Read("\xEF\xBB\xBF<t>" + kAiUtf8 + "</t>")), "t{\"" + kAiCp932 + "\"}");
}

TEST_F(XmlFileTest, LongLinesAreCutBetweenCharacters) {
  // One line of 3000 UTF-8 characters (9000 bytes) crosses two piece limits.
  std::string many;
  for (int i = 0; i < 1500; ++i) many += kAiUtf8;
  std::string expected;
  for (int i = 0; i < 1500; ++i) expected += kAiCp932;
  const XmlDocument utf8 = Read("<t>" + many + "</t>");
  ASSERT_NE(utf8.root(), nullptr);
  ASSERT_NE(utf8.root()->first_child, nullptr);
  EXPECT_EQ(utf8.root()->first_child->value, expected);
  // The same in Shift_JIS, whose trail bytes may look like ASCII ("\x83\x5C" is katakana SO).
  std::string sjis;
  for (int i = 0; i < 3000; ++i) sjis += "\x83\x5C";
  const XmlDocument cp932 =
      Read("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n<t>" + sjis + "</t>");
  ASSERT_NE(cp932.root(), nullptr);
  ASSERT_NE(cp932.root()->first_child, nullptr);
  EXPECT_EQ(cp932.root()->first_child->value, sjis);
  // Pieces without any ASCII byte whose characters do not fit the piece limit evenly: UTF-8
  // shifted by a two-byte character, EUC-JP (two bytes a character, 4095 odd), and EUC-JP
  // three-byte characters.
  const struct {
    const char* name;
    std::string declaration;
    std::string character;
    std::string expected;
  } lines[] = {
      {"utf-8 after a two-byte character", "UTF-8", kAiUtf8, kAiCp932},
      {"euc-jp", "EUC-JP", "\xA4\xA2", "\x82\xA0"},
      {"euc-jp half-width katakana", "EUC-JP", "\x8E\xB1", "\xB1"},
  };
  for (const auto& line : lines) {
    SCOPED_TRACE(line.name);
    std::string text = line.declaration == "UTF-8" ? "\xC2\xA9" : "";
    std::string expected_text = line.declaration == "UTF-8" ? Utf8ToInternal("\xC2\xA9") : "";
    for (int i = 0; i < 3000; ++i) {
      text += line.character;
      expected_text += line.expected;
    }
    const XmlDocument document =
        Read("<?xml version=\"1.0\" encoding=\"" + line.declaration + "\"?>\n<t>" + text + "</t>");
    ASSERT_NE(document.root(), nullptr);
    ASSERT_NE(document.root()->first_child, nullptr);
    EXPECT_EQ(document.root()->first_child->value, expected_text);
  }
}

TEST_F(XmlFileTest, BlanksWhereALongLineIsCutAreKept) {
  // Only the indentation at the start of a line is skipped; a blank that happens to follow a
  // piece limit inside an over-long line belongs to the value or text.
  const std::string value = std::string(4089, 'x') + " y" + std::string(5000, 'z') + " w";
  const XmlDocument attribute = Read("<t v=\"" + value + "\"/>\n");
  ASSERT_NE(attribute.root(), nullptr);
  ASSERT_NE(attribute.root()->Attribute("v"), nullptr);
  EXPECT_EQ(*attribute.root()->Attribute("v"), value);
  const XmlDocument text = Read("<t>" + std::string(4092, 'x') + " y</t>");
  ASSERT_NE(text.root(), nullptr);
  ASSERT_NE(text.root()->first_child, nullptr);
  EXPECT_EQ(text.root()->first_child->value, std::string(4092, 'x') + " y");
}

}  // namespace
}  // namespace korvo
