// Editing operations and the writer, with save/load round trips through files.
#include <gtest/gtest.h>

#include <string>

#include "common/temp_folder.h"
#include "feed/feed_encoding.h"
#include "feed/xml_document.h"
#include "feed/xml_tree_dump.h"
#include "platform/files.h"

namespace korvo {
namespace {

using testing::Dump;
using testing::LinksConsistent;

class XmlEditingTest : public ::testing::Test {
 protected:
  XmlEditingTest()
      : document_(XmlDocument::FromMemory("<opml><body><a/><b/><c>t</c></body></opml>")) {}
  XmlNode* Node(const char* name) { return document_.Find(name); }
  bool Consistent() { return LinksConsistent(document_.root(), nullptr); }
  XmlDocument document_;
};

TEST_F(XmlEditingTest, AppendChildGoesToTheBodyOrTheGivenParent) {
  XmlNode* d = document_.NewNode(XmlKind::kEmpty, "d");
  EXPECT_EQ(document_.AppendChild(nullptr, d), 0);  // the first node named "body"
  EXPECT_EQ(Dump(document_), "opml{body{a/ b/ c{\"t\"} d/}}");
  // An empty or open parent becomes an element.
  EXPECT_EQ(document_.AppendChild(Node("a"), document_.NewNode(XmlKind::kText, "x")), 0);
  EXPECT_EQ(Node("a")->kind, XmlKind::kElement);
  // A linked node moves.
  EXPECT_EQ(document_.AppendChild(Node("a"), Node("b")), 0);
  EXPECT_EQ(Dump(document_), "opml{body{a{\"x\" b/} c{\"t\"} d/}}");
  // A node never becomes its own descendant.
  EXPECT_EQ(document_.AppendChild(Node("b"), Node("a")), -1);
  EXPECT_TRUE(Consistent());

  XmlDocument no_body = XmlDocument::FromMemory("<r/>");
  EXPECT_EQ(no_body.AppendChild(nullptr, no_body.NewNode(XmlKind::kEmpty, "d")), -1);
  XmlDocument empty;
  XmlNode* top = empty.NewNode(XmlKind::kElement, "r");
  empty.InsertAfter(top, nullptr, nullptr);
  EXPECT_EQ(empty.root(), top);
  EXPECT_EQ(empty.AppendChild(top, empty.NewNode(XmlKind::kText, "x")), 0);
  EXPECT_EQ(Dump(empty), "r{\"x\"}");
}

TEST_F(XmlEditingTest, ManyAppendsStayLinearAndEditsBetweenThemStayCorrect) {
  XmlNode* body = Node("body");
  for (int i = 0; i < 200000; ++i) {  // walking the children each time would take minutes
    ASSERT_EQ(document_.AppendChild(body, document_.NewNode(XmlKind::kEmpty, "o")), 0);
  }
  // The last appended node moved, removed or followed by another: the next append still lands
  // at the end of its own parent.
  XmlNode* last = document_.NewNode(XmlKind::kEmpty, "z");
  document_.AppendChild(body, last);
  document_.Move(last, 0);
  XmlNode* y = document_.NewNode(XmlKind::kEmpty, "y");
  document_.AppendChild(body, y);
  document_.Remove(y, false);
  XmlNode* x = document_.NewNode(XmlKind::kEmpty, "x");
  document_.AppendChild(Node("c"), x);
  document_.InsertAfter(document_.NewNode(XmlKind::kEmpty, "w"), x, nullptr);
  document_.AppendChild(Node("c"), document_.NewNode(XmlKind::kEmpty, "v"));
  document_.AppendChild(body, document_.NewNode(XmlKind::kEmpty, "u"));
  EXPECT_TRUE(Consistent());
  XmlNode* tail = body->first_child;
  while (tail->next != nullptr) tail = tail->next;
  EXPECT_EQ(tail->value, "u");
  EXPECT_EQ(tail->previous->value, "o");
  EXPECT_EQ(tail->previous->previous->value, "z");
  EXPECT_EQ(Dump(document_).find("c{\"t\" x/ w/ v/}") != std::string::npos, true);
}

TEST_F(XmlEditingTest, DetachAndInsertAfter) {
  XmlNode* b = Node("b");
  document_.Detach(b);
  EXPECT_EQ(Dump(document_), "opml{body{a/ c{\"t\"}}}");
  EXPECT_EQ(b->parent, nullptr);
  document_.InsertAfter(b, Node("c"), nullptr);
  EXPECT_EQ(Dump(document_), "opml{body{a/ c{\"t\"} b/}}");
  document_.InsertAfter(b, nullptr, Node("body"));
  EXPECT_EQ(Dump(document_), "opml{body{b/ a/ c{\"t\"}}}");
  XmlNode* top = document_.NewNode(XmlKind::kComment, "<!-- c -->");
  document_.InsertAfter(top, nullptr, nullptr);
  EXPECT_EQ(document_.root(), top);
  EXPECT_EQ(Dump(document_), "#<!-- c --> opml{body{b/ a/ c{\"t\"}}}");
  document_.Detach(top);  // the root's sibling becomes the root
  EXPECT_EQ(document_.root(), Node("opml"));
  EXPECT_TRUE(Consistent());
}

TEST_F(XmlEditingTest, MoveReturnCodes) {
  EXPECT_EQ(document_.Move(Node("a"), 0), -1);  // no previous sibling
  EXPECT_EQ(document_.Move(Node("c"), 1), -2);  // no next sibling
  EXPECT_EQ(document_.Move(Node("b"), 0), 0);
  EXPECT_EQ(Dump(document_), "opml{body{b/ a/ c{\"t\"}}}");
  EXPECT_EQ(document_.Move(Node("b"), 1), 0);
  EXPECT_EQ(Dump(document_), "opml{body{a/ b/ c{\"t\"}}}");
  EXPECT_EQ(document_.Move(Node("c"), 0), 0);
  EXPECT_EQ(Dump(document_), "opml{body{a/ c{\"t\"} b/}}");
  EXPECT_EQ(document_.Move(Node("a"), 2, Node("b")), 0);
  EXPECT_EQ(Dump(document_), "opml{body{c{\"t\"} b/ a/}}");
  EXPECT_EQ(document_.Move(Node("body"), 2, Node("a")), -3);  // into its own subtree
  EXPECT_EQ(document_.Move(Node("a"), 2, nullptr), -3);
  EXPECT_TRUE(Consistent());
}

TEST_F(XmlEditingTest, RemoveWithAndWithoutChildren) {
  XmlDocument document = XmlDocument::FromMemory("<r><f><x/><y/></f><g><z/></g><h/></r>");
  document.Remove(document.Find("f"), /*keep_children=*/true);
  EXPECT_EQ(Dump(document), "r{x/ y/ g{z/} h/}");
  XmlNode* g = document.Find("g");
  document.Remove(g, /*keep_children=*/false);
  EXPECT_EQ(Dump(document), "r{x/ y/ h/}");
  EXPECT_EQ(g->first_child->value, "z");  // still owned by the document
  document.Remove(document.Find("r"), true);
  EXPECT_EQ(Dump(document), "x/ y/ h/");
  EXPECT_TRUE(LinksConsistent(document.root(), nullptr));
}

TEST_F(XmlEditingTest, CopySubtreeFromAnotherDocument) {
  const XmlDocument source = XmlDocument::FromMemory("<o t=\"1\"><p><q>v</q></p><s/></o>");
  XmlNode* copy = document_.CopySubtree(*source.root());
  EXPECT_EQ(copy->parent, nullptr);
  EXPECT_EQ(document_.AppendChild(nullptr, copy), 0);
  EXPECT_EQ(Dump(document_), "opml{body{a/ b/ c{\"t\"} o{p{q{\"v\"}} s/}}}");
  EXPECT_EQ(*document_.Find("o")->Attribute("t"), "1");
  EXPECT_NE(document_.Find("q"), source.Find("q"));
  EXPECT_TRUE(Consistent());
}

TEST(XmlNodeTest, AttributeEditing) {
  XmlNode node;
  node.SetAttribute("a", "1");
  node.SetAttribute("b", "2");
  node.SetAttribute("a", "3");
  EXPECT_EQ(*node.Attribute("a"), "3");
  EXPECT_EQ(*node.AttributeNameAt(1), "b");
  EXPECT_TRUE(node.RemoveAttribute("a"));
  EXPECT_FALSE(node.RemoveAttribute("a"));
  EXPECT_EQ(*node.AttributeNameAt(0), "b");
}

TEST(XmlWriterTest, Format) {
  const XmlDocument document = XmlDocument::FromMemory(
      "<?xml version=\"1.0\"?><opml version=\"1.0\"><body><outline text=\"a\" x=y/>"
      "<outline text=\"b\"><!-- c --></outline><p>t</p></body><open></opml>");
  EXPECT_EQ(document.Write(),
            "<?xml version=\"1.0\"?>\n"
            "<opml version = \"1.0\">\n"
            "\t<body>\n"
            "\t\t<outline text = \"a\" x = \"y\"/>\n"
            "\t\t<outline text = \"b\">\n"
            "\t\t\t<!-- c -->\n"
            "\t\t</outline>\n"
            "\t\t<p>\n"
            "\t\t\tt\n"
            "\t\t</p>\n"
            "\t</body>\n"
            "\t<open>\n"
            "</opml>\n");
}

TEST(XmlWriterTest, EscapesWhatWouldBreakRereading) {
  XmlDocument document = XmlDocument::FromMemory("<r><t>a &amp; &lt;b&gt;</t></r>");
  document.Find("r")->SetAttribute("q", "say \"hi\" > x & y");
  document.Find("r")->SetAttribute("literal", "&quot;&amp;<");
  document.AppendChild(document.Find("r"), document.NewNode(XmlKind::kCdata, "x]]>y"));
  const std::string text = document.Write();
  // Well-formed XML for other programs: no raw '&', '<' or '"' inside a value.
  EXPECT_NE(text.find("q = \"say &quot;hi&quot; &gt; x &amp; y\""), std::string::npos) << text;
  EXPECT_NE(text.find("literal = \"&amp;quot;&amp;amp;&lt;\""), std::string::npos) << text;
  const XmlDocument again = XmlDocument::FromMemory(text);
  EXPECT_EQ(*again.Find("r")->Attribute("q"), "say \"hi\" > x & y");
  EXPECT_EQ(*again.Find("r")->Attribute("literal"), "&quot;&amp;<");
  EXPECT_EQ(again.Find("t")->first_child->value, "a & <b>");
  // The CDATA content comes back split in two sections around its "]]>".
  EXPECT_EQ(Dump(again), "r{t{\"a & <b>\"} [x]]] [>y]}");
}

class XmlSaveTest : public ::testing::Test {
 protected:
  testing::TempFolder folder_;
};

TEST_F(XmlSaveTest, SaveAndReloadKeepTreeAndValuesInUtf8) {
  // HIRAGANA A in CP932 and UTF-8.
  const std::string a_cp932 = "\x82\xA0";
  const std::string a_utf8 = "\xE3\x81\x82";
  const XmlDocument document = XmlDocument::FromMemory(
      "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>"
      "<opml version=\"1.0\"><head><title>" + a_cp932 + " &amp; b</title></head><body>"
      "<outline title=\"" + a_cp932 + "\" xmlUrl=\"http://x/?a=1&amp;b='2'\" t=\"&quot;q&quot;\"/>"
      "<outline text=\"folder\"><outline text=\"inner\"/></outline></body></opml>");
  const std::string path = folder_ / "channel.opml";
  ASSERT_TRUE(document.SaveUtf8(path));
  std::string bytes;
  ASSERT_TRUE(platform::ReadWholeFile(path, &bytes));
  EXPECT_NE(bytes.find(a_utf8), std::string::npos);
  EXPECT_EQ(bytes.find(a_cp932), std::string::npos);
  EXPECT_NE(bytes.find("encoding=\"UTF-8\""), std::string::npos);
  EXPECT_FALSE(platform::FileExists(path + ".tmp"));

  const XmlDocument reloaded = XmlDocument::FromFile(path);
  EXPECT_EQ(Dump(reloaded), Dump(document));
  ASSERT_EQ(reloaded.declarations().size(), 1u);
  EXPECT_EQ(reloaded.declarations()[0]->raw, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
  const XmlNode* outline = reloaded.Find("outline");
  ASSERT_NE(outline, nullptr);
  EXPECT_EQ(*outline->Attribute("title"), a_cp932);
  EXPECT_EQ(*outline->Attribute("xmlUrl"), "http://x/?a=1&b='2'");
  EXPECT_EQ(*outline->Attribute("t"), "\"q\"");
  // Saving again over the file replaces it.
  ASSERT_TRUE(reloaded.SaveUtf8(path));
  EXPECT_EQ(Dump(XmlDocument::FromFile(path)), Dump(document));

  // A declaration quoted with single quotes is written back well-formed.
  const XmlDocument single = XmlDocument::FromMemory(
      "<?xml version='1.0' encoding='Shift_JIS'?><opml><body>" + a_cp932 + "</body></opml>");
  ASSERT_TRUE(single.SaveUtf8(path));
  ASSERT_TRUE(platform::ReadWholeFile(path, &bytes));
  EXPECT_EQ(bytes.substr(0, bytes.find('\n')), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
  EXPECT_EQ(Dump(XmlDocument::FromFile(path)), Dump(single));
}

TEST_F(XmlSaveTest, SaveFailsCleanlyAndReEncodeRewritesFiles) {
  const XmlDocument document = XmlDocument::FromMemory("<r/>");
  EXPECT_FALSE(document.SaveUtf8(folder_ / "missing/dir/x.opml"));

  const std::string path = folder_ / "page.txt";
  ASSERT_TRUE(platform::WriteWholeFile(path, "a\x82\xA0z"));
  ASSERT_TRUE(ReEncodeFileToUtf8(path));
  std::string bytes;
  ASSERT_TRUE(platform::ReadWholeFile(path, &bytes));
  EXPECT_EQ(bytes, "a\xE3\x81\x82z");
  EXPECT_FALSE(ReEncodeFileToUtf8(folder_ / "none.txt"));
  EXPECT_EQ(Utf8ToInternal("\xE3\x81\x82\xF0\x9F\x98\x80"), "\x82\xA0?");
  EXPECT_EQ(InternalToUtf8("\x82\xA0"), "\xE3\x81\x82");
}

}  // namespace
}  // namespace korvo
