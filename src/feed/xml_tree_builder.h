// The tokenizer and the stack-based tree builder behind every XmlDocument.
//
// Feed() takes the document's bytes in one or more pieces, byte by byte through the tokenizer's
// states; each finished token is classified and handed to the builder, which keeps the nodes
// not yet attached to a parent on its stack and links them when an end tag matches. Finish()
// ends the input. The builder writes into the document it was made for (nodes, root,
// declarations, encoding) and lives on the stack of the function building the document.
#ifndef KORVO_FEED_XML_TREE_BUILDER_H_
#define KORVO_FEED_XML_TREE_BUILDER_H_

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "feed/xml_document.h"

namespace korvo {

class XmlTreeBuilder {
 public:
  explicit XmlTreeBuilder(XmlDocument* document);
  XmlTreeBuilder(const XmlTreeBuilder&) = delete;
  XmlTreeBuilder& operator=(const XmlTreeBuilder&) = delete;

  // Tokenizes one piece of input. The tokenizer's state carries over to the next piece, and so
  // do the last few bytes when they may begin "<!--", "-->", "<![CDATA[" or "]]>", so where the
  // input is cut into pieces never changes the result. When memory runs out, the rest of the
  // piece is dropped and the nodes built so far remain.
  void Feed(std::string_view input);
  // Ends the input: a token still being collected is finished, and the nodes left on the stack
  // become the top-level siblings, the first of them the document's root.
  void Finish();

  // The document's encoding as the declarations read so far set it.
  XmlEncoding encoding() const { return document_->encoding_; }
  void set_encoding(XmlEncoding encoding) { document_->encoding_ = encoding; }
  bool seen_declaration() const { return !document_->declarations_.empty(); }

 private:
  enum State : unsigned char {
    kBetween = 0,     // nothing is collected
    kInTag = 1,
    kInText = 2,
    kInComment = 3,
    kCommentEnd = 4,  // "-->" seen
    kInValue = 5,     // double-quoted attribute value
    kInCdata = 6,
    kCdataEnd = 7,    // "]]>" seen
  };

  // `last`: no input follows, so a marker cut by the end of `input` is not one.
  void Tokenize(std::string_view input, bool last);
  void FinishToken();
  XmlNode* NewNode(XmlKind kind);
  void Push(XmlNode* node);
  // Closes the innermost open start tag matching the end tag `raw`, if there is one.
  void CloseElement(std::string_view raw);
  void ForgetOpen(const XmlNode* node);

  XmlDocument* document_;
  const bool html_fragment_;
  State state_ = kBetween;
  std::string token_;  // the token being collected; its buffer is reused for the next one
  std::string carry_;  // the end of the last piece, read again in front of the next one
  std::vector<XmlNode*> stack_;
  // How many start tags of kind kOpen with each match key are on the stack (keys view the raw
  // text of a node with that key), so an end tag without a match is ignored without walking
  // the stack.
  std::unordered_map<std::string_view, size_t> open_counts_;
};

}  // namespace korvo

#endif  // KORVO_FEED_XML_TREE_BUILDER_H_
