#include "feed/html_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "feed/comment_link.h"
#include "feed/html_text_rows.h"
#include "feed/xml_document.h"

namespace korvo {
namespace {

TEST(HtmlTextTest, ClosedElementsWriteBeforeContentAndAfter) {
  EXPECT_EQ(RenderHtmlFragment("a<br>b"), "a\r\nb");
  EXPECT_EQ(RenderHtmlFragment("<p>one</p><p>two</p>"), "\r\none\r\n\r\ntwo\r\n");
  EXPECT_EQ(RenderHtmlFragment("see <a href=\"x\">here</a>."), "see  here .");
  EXPECT_EQ(RenderHtmlFragment("<ul><li>x</li><li>y</li></ul>"), "\r\n  x\r\n  y\r\n\r\n");
  EXPECT_EQ(RenderHtmlFragment("<table><tr><td>1</td><td>2</td></tr></table>"),
            "\r\n   1   2\r\n\r\n");
  EXPECT_EQ(RenderHtmlFragment("<dl><dt>t</dt><dd>d</dd></dl>"), "t\r\n    d\r\n");
  EXPECT_EQ(RenderHtmlFragment("<blockquote>q</blockquote>"), "\r\n\r\nq\r\n\r\n");
  EXPECT_EQ(RenderHtmlFragment("x<hr>y<img src=\"i.png\">z"), "x--------\r\ny z");
  // Tags outside the table, comments and doctypes write nothing; their text still does.
  EXPECT_EQ(RenderHtmlFragment("<!doctype html><!-- note --><span><b>bold</b></span>"), "bold");
  // Empty elements with a row write both texts at once.
  EXPECT_EQ(RenderHtmlFragment("<p></p>x"), "\r\n\r\nx");
}

TEST(HtmlTextTest, NamesMatchByPrefixAndCaseAsListed) {
  EXPECT_EQ(RenderHtmlFragment("<pre>c</pre>"), "\r\nc\r\n");  // "pre" begins with "p"
  EXPECT_EQ(RenderHtmlFragment("<P>c</P>"), "\r\nc\r\n");
  EXPECT_EQ(RenderHtmlFragment("<Br>c"), "c");  // mixed case is not listed
  EXPECT_EQ(RenderHtmlFragment("<BR>c"), "\r\nc");
  EXPECT_EQ(RenderHtmlFragment("<abbr>c</abbr>"), " c ");
}

TEST(HtmlTextTest, EveryListedNameHasItsRow) {
  const struct {
    std::vector<std::string> names;
    const char* before;
    const char* after;
  } rows[] = {
      {{"img", "IMG", "imgx"}, " ", ""},
      {{"br", "BR", "brx"}, "\r\n", ""},
      {{"p", "P", "pre", "param"}, "\r\n", "\r\n"},
      {{"BLOCKQUOTE", "blockquote", "Q", "q", "quote"}, "\r\n\r\n", "\r\n\r\n"},
      {{"A", "a", "abbr", "Address"}, " ", " "},
      {{"DT", "dt"}, "", "\r\n"},
      {{"DD", "dd"}, "    ", "\r\n"},
      {{"OL", "ol"}, "\r\n", "\r\n"},
      {{"LI", "li", "link"}, "  ", "\r\n"},
      {{"UL", "ul", "TABLE", "table"}, "\r\n", "\r\n"},
      {{"TR", "tr", "track"}, "", "\r\n"},
      {{"TD", "td"}, "   ", ""},
      {{"HR", "hr"}, "--------\r\n", ""},
  };
  for (const auto& row : rows) {
    for (const std::string& name : row.names) {
      const HtmlTextRow* found = HtmlTextRowFor(name);
      ASSERT_NE(found, nullptr) << name;
      EXPECT_STREQ(found->before, row.before) << name;
      EXPECT_STREQ(found->after, row.after) << name;
    }
  }
  for (const char* name : {"", "Img", "bR", "Br", "b", "blockquot", "span", "div", "Table", "th",
                           "dl", "Ol", "uL", "h", "hR", "tbody", "D", "o"}) {
    EXPECT_EQ(HtmlTextRowFor(name), nullptr) << name;
  }
}

TEST(HtmlTextTest, UnclosedStartTagWaitsForTheNextText) {
  // Each unclosed li writes its "after" once the next text has been written.
  EXPECT_EQ(RenderHtmlFragment("<li>one<li>two"), "  one\r\n  two\r\n");
  // Two waiting tags: the most recent is taken first, one per text.
  EXPECT_EQ(RenderHtmlFragment("<p><a>x<b>y"), "\r\n x y\r\n");
  // A waiting tag with no text after it never writes its "after".
  EXPECT_EQ(RenderHtmlFragment("x<li>"), "x  ");
}

TEST(HtmlTextTest, TextsKeepTheReadersOneDecodingAndCdataIsText) {
  EXPECT_EQ(RenderHtmlFragment("a &amp;amp; b"), "a &amp; b");
  EXPECT_EQ(RenderHtmlFragment("<![CDATA[<x>]]>"), "<x>");
}

TEST(HtmlTextTest, HostileNestingNeitherOverflowsNorExplodes) {
  constexpr int kDepth = 100000;
  std::string closed, open;
  for (int i = 0; i < kDepth; ++i) closed += "<q>";
  closed += "x";
  for (int i = 0; i < kDepth; ++i) closed += "</q>";
  const std::string text = RenderHtmlFragment(closed, 1000);
  EXPECT_LE(text.size(), 1000u + 16u);
  EXPECT_EQ(text.substr(0, 8), "\r\n\r\n\r\n\r\n");

  for (int i = 0; i < kDepth; ++i) open += "<li>";
  open += "y";
  EXPECT_EQ(RenderHtmlFragment(open, 64).size(), 64u);
}

// RenderHtmlFragment reads the tokens itself instead of building the fragment's document; it
// must give exactly what the walk over the document gives.
std::string RenderedThroughDocument(const std::string& html) {
  std::string text;
  RenderNodesAsText(XmlDocument::FromHtmlFragment(html).root(), &text);
  return text;
}

TEST(HtmlTextTest, TokenRenderingEqualsTheDocumentWalk) {
  // clang-format off
  const std::vector<std::string> pieces = {
      "<p>", "</p>", "<li>", "</li>", "<a href=\"u>v\">", "</a>", "<!--", "-->", "<![CDATA[",
      "]]>", "&amp;", "&amp;lt;", "\n", "\t", "\r", "\"", "<br>", "<BR/>", "<q>", "</q>", "<",
      ">", "x", " ", "<?x?>", "<!doctype html>", "</dummy>", "<dummy>", "<td>", "<tr>", "</tr>",
      "<hr>", "<img src=x>", "<ul>", "</ul>", "<h1>", "</h1>", "</h>", "<a\nb>", "</ a>", "<p/>",
      "-", "]", "<![CDATA[]]>", "\x81", "<dl><dt>", "<input>", "</input>", "<INPUT x>", "<AREA>",
      "<area>", "</area>", "<basefont>", "<BGSOUND>", "<frame>", "</frame>", "<EMBED>", "<embed>",
      "</embed>", "<meta>", "</meta>", "<LINK>", "<link>", "</link>", "<IMG>", "</img>",
      "<!DOCTYPE x>", "<!doctypex>", "<?", "?>", "<?\?>", "<b>", "</b>", "<Br>", "</br>",
      std::string(1, '\0')};
  // clang-format on
  std::mt19937 random(20050201);
  for (int round = 0; round < 3000; ++round) {
    std::string html;
    const size_t count = random() % 64;
    for (size_t i = 0; i < count; ++i) html += pieces[random() % pieces.size()];
    ASSERT_EQ(RenderHtmlFragment(html), RenderedThroughDocument(html)) << html;
  }
}

TEST(HtmlTextTest, TokenRenderingKeepsTheDocumentsNodeLimit) {
  // Both ways stop taking nodes at the document's limit (comments and declarations count too),
  // so a hostile description costs bounded memory either way.
  // With the fragment's own root, the comment and the declaration, the last "<b/>" fills the
  // limit and the text after it is dropped.
  std::string html = "<p>x<!--c--><?x?>";
  for (size_t i = 0; i < kMaxXmlNodes - 5; ++i) html += "<b/>";
  html += "y</p>";
  EXPECT_EQ(RenderHtmlFragment(html), "\r\nx\r\n");
  EXPECT_EQ(RenderedThroughDocument(html), "\r\nx\r\n");
}

TEST(CommentLinkTest, DerivesTrackbackOnlyForTheBlogHostPattern) {
  const std::string prefix = kCommentLinkHostPrefix;
  EXPECT_EQ(DeriveCommentLink(prefix + "someone/archives/51234.html"),
            prefix + "someone/tb.cgi/51234");
  // The prefix is compared ignoring case; the result always uses the fixed one.
  EXPECT_EQ(DeriveCommentLink("HTTP://Blog.Livedoor.JP/u/a/1.html"), prefix + "u/tb.cgi/1");
  EXPECT_EQ(DeriveCommentLink(prefix + "u/a/1.2.html"), prefix + "u/tb.cgi/1");
  EXPECT_EQ(DeriveCommentLink("http://example.com/u/archives/1.html"), "");
  EXPECT_EQ(DeriveCommentLink(prefix + "u/archives/"), "");       // no file name
  EXPECT_EQ(DeriveCommentLink(prefix + "u/archives/index"), "");  // no '.'
  EXPECT_EQ(DeriveCommentLink(prefix + "u/1.html"), "");          // one segment only
  EXPECT_EQ(DeriveCommentLink(prefix + "/a/1.html"), "");         // empty user
  EXPECT_EQ(DeriveCommentLink(prefix + "u/a/b/1.html"), "");      // deeper than the pattern
  EXPECT_EQ(DeriveCommentLink(prefix), "");
}

}  // namespace
}  // namespace korvo
