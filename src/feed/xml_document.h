// The tolerant XML reader every document of the program goes through (feeds, OPML channel lists,
// HTML fragments of item descriptions), its node tree, the search and editing operations and the
// writer used to save OPML files.
//
// The reader never rejects a document: unclosed tags stay open (kind kOpen), unmatched end tags
// are ignored, text before the first `<` is dropped. Every text held in a node is in the internal
// code page (CP932).
//
// Ownership: a document owns every node it built or created (NewNode/CopySubtree), attached to its
// tree or not; node pointers stay valid until the document is destroyed. Nodes of one document
// must not be linked into another one's tree (copy them with CopySubtree).
// Threads: a document is used by one thread at a time.
#ifndef KORVO_FEED_XML_DOCUMENT_H_
#define KORVO_FEED_XML_DOCUMENT_H_

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvo {

// Token kinds; the numbers are those the tree has always used.
enum class XmlKind : int {
  kOpen = 0,         // start tag without a matching end tag
  kEnd = 1,          // end tag (never kept in the tree)
  kEmpty = 2,        // <x/>, or a void HTML tag
  kComment = 3,      // <!-- ... -->
  kText = 4,         // text between tags, entities decoded
  kElement = 5,      // element closed by its end tag; may have children
  kDeclaration = 6,  // <?...?>, and in HTML fragments <!doctype ...>
  kCdata = 7,        // <![CDATA[ ... ]]>
};

struct XmlAttribute {
  std::string name;
  std::string value;
};

struct XmlNode {
  XmlKind kind = XmlKind::kText;
  std::string raw;    // the token as the tokenizer collected it
  std::string value;  // element name; decoded text; whole comment; CDATA content
  std::vector<XmlAttribute> attributes;  // ordered; names unique
  XmlNode* next = nullptr;
  XmlNode* previous = nullptr;
  XmlNode* first_child = nullptr;
  XmlNode* parent = nullptr;

  bool IsElement() const {
    return kind == XmlKind::kOpen || kind == XmlKind::kEmpty || kind == XmlKind::kElement;
  }
  // The value of attribute `name` (exact comparison), or null.
  const std::string* Attribute(std::string_view name) const;
  // The name of the index-th attribute, or null past the end.
  const std::string* AttributeNameAt(size_t index) const;
  // Sets (or adds at the end) attribute `name`.
  void SetAttribute(std::string_view name, std::string_view value);
  // Removes attribute `name`; false when it was absent.
  bool RemoveAttribute(std::string_view name);
};

// A document read from text holds at most this many nodes (declarations included); tokens past
// the limit are dropped, end tags still close elements already open. This keeps a hostile input
// (a feed of 32 MB made of "<a>") far below the memory it would otherwise take, while real feeds
// and channel lists stay well within it.
constexpr size_t kMaxXmlNodes = size_t{1} << 20;

// The document's declared encoding (from its <?xml ... encoding="..."?>).
enum class XmlEncoding : int { kNone = 0, kUtf8 = 1, kShiftJis = 2, kEucJp = 3 };

class XmlDocument {
 public:
  enum class Variant { kFile, kMemory, kHtmlFragment };

  // A file document: the file at `utf8_path` read line by line (pieces of at most 4095 bytes),
  // each piece converted by the encoding declared so far (UTF-8 until a declaration says
  // otherwise); the indentation of each line is skipped. A path that cannot be opened gives an empty document (no root).
  static XmlDocument FromFile(const std::string& utf8_path);
  // A memory document over CP932 text; an empty text reads as "<dummy></dummy>".
  static XmlDocument FromMemory(std::string_view cp932_text);
  // An HTML fragment: "<dummy>" + text + "</dummy>", with the HTML void-tag and doctype rules.
  static XmlDocument FromHtmlFragment(std::string_view cp932_text);
  // An empty document of the given variant (no root), to be filled by the editing operations.
  explicit XmlDocument(Variant variant = Variant::kMemory);

  XmlDocument(XmlDocument&&) noexcept;
  XmlDocument& operator=(XmlDocument&&) noexcept;
  XmlDocument(const XmlDocument&) = delete;
  XmlDocument& operator=(const XmlDocument&) = delete;
  ~XmlDocument();

  Variant variant() const { return variant_; }
  // First top-level node; the others follow as its siblings. Null for an empty document.
  XmlNode* root() const { return root_; }
  // Kind-6 nodes in document order, kept outside the tree.
  const std::vector<XmlNode*>& declarations() const { return declarations_; }
  XmlEncoding encoding() const { return encoding_; }

  // First element in document order whose name equals `name` exactly: `start` (null: the root),
  // its descendants, then its following siblings and theirs. Texts, comments and CDATA never
  // match (a text reading "item" is not an item).
  XmlNode* Find(std::string_view name, XmlNode* start = nullptr) const;
  // The same search started at `element`'s first child (null element: the root), so it never
  // leaves the element; null when the element has no children.
  XmlNode* FindInside(std::string_view name, XmlNode* element = nullptr) const;

  // A new, unlinked node owned by this document.
  XmlNode* NewNode(XmlKind kind, std::string_view value);
  // A deep copy of `node` and its subtree (from any document), unlinked, owned by this one.
  XmlNode* CopySubtree(const XmlNode& node);
  // Makes `node` the last child of `parent` (null: the first node named "body"); an element of
  // kind kOpen or kEmpty becomes kElement. Returns 0, or -1 when there is no parent.
  int AppendChild(XmlNode* parent, XmlNode* node);
  // Unlinks `node` from its siblings and parent (or from the top level); its subtree stays.
  void Detach(XmlNode* node);
  // Links the detached `node` after `sibling`, or as `parent`'s first child when `sibling` is
  // null (null parent too: as the first top-level node).
  void InsertAfter(XmlNode* node, XmlNode* sibling, XmlNode* parent);
  // direction 0: before its previous sibling (-1 if none); 1: after its next sibling (-2 if
  // none); otherwise after `after`. Returns 0 when moved.
  int Move(XmlNode* node, int direction, XmlNode* after = nullptr);
  // Detaches `node`; with `keep_children` its children take its place first.
  void Remove(XmlNode* node, bool keep_children);

  // The document as text (CP932): declarations, then the tree with TAB indentation.
  std::string Write() const;
  // Writes Write() re-encoded to UTF-8 to `utf8_path` through a temporary file renamed over the
  // old one, so a failed write never leaves a cut file. False on failure.
  bool SaveUtf8(const std::string& utf8_path) const;

 private:
  friend class XmlTreeBuilder;

  Variant variant_;
  XmlNode* root_ = nullptr;
  std::vector<XmlNode*> declarations_;
  XmlEncoding encoding_ = XmlEncoding::kNone;
  std::deque<XmlNode> nodes_;  // arena: every node of the document
  XmlNode* last_appended_ = nullptr;  // AppendChild's last node; a hint, checked before use
};

// XmlDocument::Find and FindInside for callers holding only a node.
XmlNode* FindElement(const XmlNode* start, std::string_view name);
XmlNode* FindElementInside(const XmlNode* parent, std::string_view name);

}  // namespace korvo

#endif  // KORVO_FEED_XML_DOCUMENT_H_
