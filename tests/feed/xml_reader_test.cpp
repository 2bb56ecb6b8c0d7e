// The tokenizer, the classification per variant and the tree builder.
#include <gtest/gtest.h>

#include <string>

#include "feed/xml_document.h"
#include "feed/xml_tree_dump.h"

namespace korvo {
namespace {

using testing::Dump;

TEST(XmlBuilderTest, UnclosedAndUnmatchedTags) {
  // The unclosed b and the text both become children of a.
  EXPECT_EQ(Dump(XmlDocument::FromMemory("<a><b>x</a>")), "a{b+ \"x\"}");
  // An end tag without its start tag changes nothing.
  EXPECT_EQ(Dump(XmlDocument::FromMemory("<a>x</b></a>")), "a{\"x\"}");
  EXPECT_EQ(Dump(XmlDocument::FromMemory("</b>")), "");
  // Nodes left open at the end become top-level siblings in document order.
  EXPECT_EQ(Dump(XmlDocument::FromMemory("<a><b><c/>")), "a+ b+ c/");
  // The innermost matching start tag is closed.
  EXPECT_EQ(Dump(XmlDocument::FromMemory("<a><a>1</a>2</a>")), "a{a{\"1\"} \"2\"}");
}

TEST(XmlBuilderTest, EndTagsMatchByRawNameBytes) {
  // The name stops at the digit, but the match compares "h1" with "h1".
  const XmlDocument document = XmlDocument::FromMemory("<h1>t</h1><h2>u</h1>");
  EXPECT_EQ(Dump(document), "h{\"t\"} h+ \"u\"");
  EXPECT_EQ(Dump(XmlDocument::FromMemory("<a x=\"1\">t</a >")), "a{\"t\"}");
  // <ab> is not closed by </a>.
  EXPECT_EQ(Dump(XmlDocument::FromMemory("<ab>t</a>")), "ab+ \"t\"");
}

TEST(XmlTokenizerTest, LineBreaksTabsAndBlanks) {
  // Line breaks inside text vanish without a blank.
  EXPECT_EQ(Dump(XmlDocument::FromMemory("<p>one\ntwo</p>")), "p{\"onetwo\"}");
  EXPECT_EQ(Dump(XmlDocument::FromMemory("<p>\tone\r\n two</p>")), "p{\"one two\"}");
  // Text of blanks only is dropped; text before the first tag too.
  EXPECT_EQ(Dump(XmlDocument::FromMemory("junk<a> <b/> </a>")), "a{b/}");
  // A line break inside a tag is a blank, so attributes keep apart.
  const XmlDocument document = XmlDocument::FromMemory("<a x=\"1\"\ny=\"2\"/>");
  ASSERT_NE(document.root(), nullptr);
  EXPECT_EQ(*document.root()->Attribute("y"), "2");
  // NUL bytes are dropped.
  EXPECT_EQ(Dump(XmlDocument::FromMemory(std::string("<a>x\0y</a>", 10))), "a{\"xy\"}");
}

TEST(XmlTokenizerTest, QuotesAndGreaterThanInAttributes) {
  // The '>' inside the quotes ends the tag; the rest up to '<' is text.
  const XmlDocument document = XmlDocument::FromMemory("<x a=\"1>2\" b=3>t</x>");
  const XmlNode* x = document.root();
  ASSERT_NE(x, nullptr);
  EXPECT_EQ(x->value, "x");
  EXPECT_EQ(*x->Attribute("a"), "1>");
  EXPECT_EQ(x->Attribute("b"), nullptr);
  EXPECT_EQ(Dump(document), "x{\"2\" b=3>t\"}");
  // Single quotes are ordinary bytes.
  const XmlDocument link = XmlDocument::FromMemory("<link href='u'/>");
  ASSERT_NE(link.root(), nullptr);
  EXPECT_EQ(link.root()->kind, XmlKind::kEmpty);
  EXPECT_EQ(*link.root()->Attribute("href"), "'u'");
}

TEST(XmlTokenizerTest, AttributeRules) {
  const XmlDocument document =
      XmlDocument::FromMemory("<a  one = \"1\" two=2 flag three=\"x y\" one=\"again\" />");
  const XmlNode* a = document.root();
  ASSERT_NE(a, nullptr);
  ASSERT_EQ(a->attributes.size(), 4u);
  EXPECT_EQ(*a->AttributeNameAt(0), "one");
  EXPECT_EQ(*a->Attribute("one"), "again");  // first position, later value
  EXPECT_EQ(*a->Attribute("two"), "2");
  EXPECT_EQ(*a->Attribute("flag"), "");
  EXPECT_EQ(*a->Attribute("three"), "x y");
  EXPECT_EQ(a->AttributeNameAt(4), nullptr);
  EXPECT_EQ(a->Attribute("/"), nullptr);  // the "/" of "/>" is never stored
  // An unquoted value runs to a blank, '>' or the closing "/>".
  EXPECT_EQ(*XmlDocument::FromMemory("<a v=x/y/>").root()->Attribute("v"), "x/y");
  EXPECT_EQ(*XmlDocument::FromMemory("<a v=x>").root()->Attribute("v"), "x");
  // Complete references are decoded; a bare '&' (older files, query strings) stays.
  const XmlDocument refs = XmlDocument::FromMemory(
      "<a u=\"/f?a=1&amp;b=2&c=3&copy=4\" q=\"&quot;&#65;&#x42;\" s=p&amp;q/>");
  EXPECT_EQ(*refs.root()->Attribute("u"), "/f?a=1&b=2&c=3&copy=4");
  EXPECT_EQ(*refs.root()->Attribute("q"), "\"AB");
  EXPECT_EQ(*refs.root()->Attribute("s"), "p&q");
}

TEST(XmlTokenizerTest, NamesStopAtOtherBytes) {
  EXPECT_EQ(Dump(XmlDocument::FromMemory("<dc:date>d</dc:date>")), "dc:date{\"d\"}");
  EXPECT_EQ(Dump(XmlDocument::FromMemory("<feed_x>d</feed_x>")), "feed{\"d\"}");
  EXPECT_EQ(Dump(XmlDocument::FromMemory("<a-b.c/>")), "a/");
}

TEST(XmlTokenizerTest, CommentsCdataAndEntities) {
  EXPECT_EQ(Dump(XmlDocument::FromMemory("<a><!-- x <b> -> y --></a>")),
            "a{#<!-- x <b> -> y -->}");
  EXPECT_EQ(Dump(XmlDocument::FromMemory("<a><![CDATA[<b>&amp;\n]]]></a>")), "a{[<b>&amp;]]}");
  EXPECT_EQ(Dump(XmlDocument::FromMemory("<a>x &amp; &lt;y&gt;</a>")), "a{\"x & <y>\"}");
}

TEST(XmlDocumentTest, MemoryDocumentDeclarations) {
  const XmlDocument empty = XmlDocument::FromMemory("");
  EXPECT_EQ(Dump(empty), "dummy{}");
  EXPECT_TRUE(empty.declarations().empty());

  const XmlDocument document = XmlDocument::FromMemory(
      "<?xml version=\"1.0\" encoding=\"shift_jis\"?><?xml-stylesheet href=\"s\"?><r/>");
  ASSERT_EQ(document.declarations().size(), 2u);
  EXPECT_EQ(document.declarations()[0]->kind, XmlKind::kDeclaration);
  EXPECT_EQ(*document.declarations()[0]->Attribute("version"), "1.0");
  // The style sheet names no encoding and so keeps the one declared before it.
  EXPECT_EQ(document.encoding(), XmlEncoding::kShiftJis);
  EXPECT_EQ(Dump(document), "r/");
  EXPECT_EQ(XmlDocument::FromMemory("<?xml encoding=\"EUC_JP\"?><r/>").encoding(),
            XmlEncoding::kEucJp);
  EXPECT_EQ(XmlDocument::FromMemory("<?xml encoding=\"iso-8859-1\"?><r/>").encoding(),
            XmlEncoding::kNone);
}

TEST(XmlDocumentTest, HtmlFragmentVoidTagsAndDoctype) {
  const XmlDocument document = XmlDocument::FromHtmlFragment(
      "<!DOCTYPE html><p>a<br>b<img src=\"i.png\"><IMG SRC=x></p><?php x ?><LINK>");
  EXPECT_EQ(Dump(document), "dummy{p{\"a\" br/ \"b\" img/ IMG/} LINK/}");
  ASSERT_EQ(document.declarations().size(), 2u);
  EXPECT_EQ(document.declarations()[0]->raw, "<!DOCTYPE html>");
  // A memory document treats the same tags as ordinary start tags.
  EXPECT_EQ(Dump(XmlDocument::FromMemory("<p>a<br>b</p>")), "p{\"a\" br+ \"b\"}");
  EXPECT_EQ(Dump(XmlDocument::FromHtmlFragment("")), "dummy{}");
}

TEST(XmlDocumentTest, FindSearchesDocumentOrderWithinBounds) {
  const XmlDocument document =
      XmlDocument::FromMemory("<r><a><t>1</t></a><b><t>2</t></b></r><t>3</t>");
  XmlNode* first = document.Find("t");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->first_child->value, "1");
  XmlNode* b = document.Find("b");
  ASSERT_NE(b, nullptr);
  // From b: its subtree, then the siblings after it, never its parent's siblings.
  EXPECT_EQ(document.Find("t", b)->first_child->value, "2");
  EXPECT_EQ(document.Find("a", b), nullptr);
  EXPECT_EQ(document.FindInside("t", b)->first_child->value, "2");
  EXPECT_EQ(document.FindInside("b", b), nullptr);
  EXPECT_EQ(document.FindInside("t", first->first_child), nullptr);  // no children
  // Top level: the third t follows r.
  EXPECT_EQ(document.Find("t", document.Find("r")->next)->first_child->value, "3");
  // Only elements match: a text, comment or CDATA reading "item" is not an item.
  EXPECT_EQ(document.Find("2"), nullptr);
  const XmlDocument feed = XmlDocument::FromMemory(
      "<d><p>item</p><!--item--><![CDATA[item]]><item x=\"1\"/></d>");
  ASSERT_NE(feed.Find("item"), nullptr);
  EXPECT_EQ(*feed.Find("item")->Attribute("x"), "1");
  EXPECT_EQ(FindElementInside(feed.Find("d"), "item"), feed.Find("item"));
  EXPECT_EQ(document.Find("missing"), nullptr);
  EXPECT_EQ(XmlDocument().Find("r"), nullptr);
}

TEST(XmlDocumentTest, NodeCountIsBounded) {
  // Past the limit, tokens are dropped; end tags still close what is open.
  std::string text = "<r>";
  for (size_t i = 0; i < kMaxXmlNodes; ++i) text += "<a/>";
  text += "<b/></r><c/>";
  const XmlDocument document = XmlDocument::FromMemory(text);
  ASSERT_NE(document.root(), nullptr);
  EXPECT_EQ(document.root()->kind, XmlKind::kElement);
  EXPECT_EQ(document.root()->next, nullptr);
  size_t children = 0;
  for (const XmlNode* n = document.root()->first_child; n != nullptr; n = n->next) {
    ++children;
    ASSERT_EQ(n->value, "a");
  }
  EXPECT_EQ(children, kMaxXmlNodes - 1);
}

TEST(XmlDocumentTest, HostileDepthAndWidth) {
  // Deep nesting, closed and unclosed, and many unmatched end tags over a deep stack.
  constexpr int kDepth = 100000;
  std::string text;
  for (int i = 0; i < kDepth; ++i) text += "<a>";
  text += "x";
  for (int i = 0; i < kDepth; ++i) text += "</b>";
  for (int i = 0; i < kDepth; ++i) text += "</a>";
  XmlDocument document = XmlDocument::FromMemory(text);
  XmlNode* deepest = document.root();
  while (deepest != nullptr && deepest->first_child != nullptr) deepest = deepest->first_child;
  ASSERT_NE(deepest, nullptr);
  EXPECT_EQ(deepest->value, "x");
  int depth = 0;
  for (const XmlNode* n = deepest->parent; n != nullptr; n = n->parent) ++depth;
  EXPECT_EQ(depth, kDepth);
  EXPECT_FALSE(document.Write().empty());
  XmlDocument copy;
  XmlNode* top = copy.CopySubtree(*document.root());
  const XmlNode* copied = top;
  for (int i = 1; i < kDepth && copied != nullptr; ++i) copied = copied->first_child;
  ASSERT_NE(copied, nullptr);
  EXPECT_EQ(copied->first_child->value, "x");

  std::string open_only;
  for (int i = 0; i < kDepth; ++i) open_only += "<a><b>";
  const XmlDocument flat = XmlDocument::FromMemory(open_only);
  EXPECT_EQ(flat.Find("zzz"), nullptr);
  // The same deep text as an HTML fragment: one more level, the dummy root.
  const XmlDocument fragment = XmlDocument::FromHtmlFragment(text);
  EXPECT_EQ(fragment.root()->value, "dummy");
  const XmlNode* leaf = fragment.root();
  while (leaf->first_child != nullptr) leaf = leaf->first_child;
  EXPECT_EQ(leaf->value, "x");
}

TEST(XmlDocumentTest, AttributesPerTagAreCapped) {
  std::string tag = "<a";
  for (int i = 0; i < 3000; ++i) tag += " n" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
  tag += " n5=\"again\" n2999=\"late\"/>";
  const XmlDocument document = XmlDocument::FromMemory(tag);
  const XmlNode* a = document.root();
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->attributes.size(), 1024u);
  EXPECT_EQ(*a->Attribute("n1023"), "1023");
  EXPECT_EQ(a->Attribute("n1024"), nullptr);
  EXPECT_EQ(*a->Attribute("n5"), "again");  // a repeated name still takes the later value
  EXPECT_EQ(a->Attribute("n2999"), nullptr);
}

}  // namespace
}  // namespace korvo
