// RenderHtmlFragment without building the fragment's document.
//
// Descriptions are rendered once per item, so this path is the hot one of the item extraction.
// It reads the fragment with the XML reader's tokenizer rules and token classification (the HTML
// variant's rule is written out here by first byte and must follow the reader's list of void
// tags) and renders from the token sequence: the document's tree, walked in document order,
// visits its nodes in token order, and the "after" text of an element closed by its end tag
// belongs right where that end tag stands. So one pass collects the tokens and matches end tags
// exactly as the tree builder does (innermost open start tag with the same key; start tags in
// between stay unclosed; tokens past the document's node limit dropped), and a second pass
// writes the text. The tests and the fuzzer compare
// the result with RenderNodesAsText over XmlDocument::FromHtmlFragment, so a change to the
// reader's rules that is not made here too shows up there.
#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "feed/entities.h"
#include "feed/html_text.h"
#include "feed/html_text_rows.h"
#include "feed/xml_token_parts.h"

namespace korvo {

namespace {

// Tokenizer states, as the XML reader numbers them.
enum State : unsigned char {
  kBetween = 0,
  kInTag = 1,
  kInText = 2,
  kInComment = 3,
  kCommentEnd = 4,
  kInValue = 5,
  kInCdata = 6,
  kCdataEnd = 7,
};

using SpecialTable = std::array<std::array<bool, 256>, 8>;

// For each state, the bytes whose rule is anything but "append" (the reader's table).
constexpr SpecialTable MakeSpecialTable() {
  SpecialTable table{};
  constexpr const char* kSpecials[8] = {"<>",       "\t\r\n\"<>", "\t\r\n<", "\t\r\n-",
                                        "\t\r\n<>", "\t\r\n\">",  "\t\r\n]", "\t\r\n<>"};
  for (int state = 0; state < 8; ++state) {
    for (const char* p = kSpecials[state]; *p != '\0'; ++p) {
      table[state][static_cast<unsigned char>(*p)] = true;
    }
    table[state][0] = true;
  }
  return table;
}

constexpr SpecialTable kSpecial = MakeSpecialTable();

bool StartsAt(std::string_view input, size_t at, std::string_view text) {
  return input.size() - at >= text.size() && input.compare(at, text.size(), text) == 0;
}

// The element name as ExtractName takes it (after '<', blanks and '/', the run of ASCII letters,
// '!' and ':'), viewed instead of copied.
std::string_view NameOf(std::string_view raw) {
  size_t i = 0;
  while (i < raw.size() && (raw[i] == '<' || raw[i] == ' ' || raw[i] == '/')) ++i;
  const size_t start = i;
  while (i < raw.size()) {
    const char c = raw[i];
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '!' || c == ':')) break;
    ++i;
  }
  return raw.substr(start, i - start);
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

// ApplyVariantRule(raw, kind, true) for a classified tag, by the byte after '<': `<?...?>` and
// "!doctype"/"!DOCTYPE" are declarations, the void tags (img, br, area, basefont, input, frame,
// bgsound, embed, meta, link; lower or upper case, as prefixes) empty elements.
XmlKind FragmentKind(std::string_view raw, XmlKind kind) {
  if (kind != XmlKind::kOpen && kind != XmlKind::kEmpty) return kind;
  const std::string_view after = raw.substr(1);
  bool is_void = false;
  switch (after.empty() ? '\0' : after[0]) {
    case '?':
      return raw.size() >= 3 && raw[raw.size() - 2] == '?' ? XmlKind::kDeclaration : kind;
    case '!':
      return StartsWith(after, "!doctype") || StartsWith(after, "!DOCTYPE") ? XmlKind::kDeclaration
                                                                            : kind;
    case 'i':
      is_void = StartsWith(after, "img") || StartsWith(after, "input");
      break;
    case 'I':
      is_void = StartsWith(after, "IMG") || StartsWith(after, "INPUT");
      break;
    case 'b':
      is_void =
          StartsWith(after, "br") || StartsWith(after, "basefont") || StartsWith(after, "bgsound");
      break;
    case 'B':
      is_void =
          StartsWith(after, "BR") || StartsWith(after, "BASEFONT") || StartsWith(after, "BGSOUND");
      break;
    case 'a':
      is_void = StartsWith(after, "area");
      break;
    case 'A':
      is_void = StartsWith(after, "AREA");
      break;
    case 'f':
      is_void = StartsWith(after, "frame");
      break;
    case 'F':
      is_void = StartsWith(after, "FRAME");
      break;
    case 'e':
      is_void = StartsWith(after, "embed");
      break;
    case 'E':
      is_void = StartsWith(after, "EMBED");
      break;
    case 'm':
      is_void = StartsWith(after, "meta");
      break;
    case 'M':
      is_void = StartsWith(after, "META");
      break;
    case 'l':
      is_void = StartsWith(after, "link");
      break;
    case 'L':
      is_void = StartsWith(after, "LINK");
      break;
    default:
      break;
  }
  return is_void ? XmlKind::kEmpty : kind;
}

bool OnlyBlanks(std::string_view raw) {
  for (char c : raw) {
    if (c != ' ' && c != '\t') return false;
  }
  return true;
}

// One kept token, or the end tag that closed an earlier start tag.
struct Token {
  XmlKind kind;                      // kText, kCdata, kOpen, kEmpty, or kEnd for a matched end tag
  bool closed = false;               // kOpen: an end tag matched it (the tree's kElement)
  const HtmlTextRow* row = nullptr;  // kOpen, kEmpty: the tag's row; kEnd: its start tag's
  uint32_t begin = 0;                // kText, kCdata: the text's bytes in the buffer
  uint32_t size = 0;
};

class FragmentRenderer {
 public:
  explicit FragmentRenderer(size_t input_size) {
    // Tokens never hold more bytes than the input, so the buffer never moves and the keys of
    // open start tags may view it.
    buffer_.reserve(input_size + 32);
    // Room for the tokens of ordinary markup (about one per dozen bytes), so that the vectors
    // rarely grow while reading.
    tokens_.reserve(input_size / 12 + 16);
    open_.reserve(16);
  }

  void Feed(std::string_view input);
  void Finish() {
    if (state_ != kBetween) FinishToken();
    state_ = kBetween;
  }
  void Render(std::string* out, size_t max_bytes) const;

 private:
  struct OpenTag {
    size_t token;
    std::string_view key;
  };

  void StartToken() { token_start_ = buffer_.size(); }
  void FinishToken();
  void PushOpen(size_t token, std::string_view key);
  void CloseElement(std::string_view key);

  // Up to this many open start tags an end tag's match is looked for by scanning them; beyond,
  // counts per key answer whether there is one, so that hostile input full of unmatched end tags
  // stays linear.
  static constexpr size_t kLinearOpenTags = 16;

  State state_ = kBetween;
  std::string buffer_;  // bytes of the tokens kept so far, then of the one being collected
  size_t token_start_ = 0;
  std::vector<Token> tokens_;
  std::vector<OpenTag> open_;  // unclosed start tags still open to a match, innermost last
  bool counting_ = false;      // open_counts_ is kept (set once open_ grew past kLinearOpenTags)
  size_t nodes_ = 0;           // tokens the document would have made nodes of
  std::unordered_map<std::string_view, size_t> open_counts_;
};

void FragmentRenderer::Feed(std::string_view input) {
  const size_t n = input.size();
  const auto* bytes = reinterpret_cast<const unsigned char*>(input.data());
  size_t i = 0;
  while (i < n) {
    const std::array<bool, 256>& special = kSpecial[state_];
    size_t run_end = i;
    while (run_end < n && !special[bytes[run_end]]) ++run_end;
    if (run_end > i) {
      if (state_ != kBetween) buffer_.append(input.data() + i, run_end - i);
      i = run_end;
      if (i == n) break;
    }
    const char c = input[i];
    switch (c) {
      case '\n':
        if (state_ == kInTag) buffer_.push_back(' ');
        break;
      case '"':
        if (state_ == kInTag) {
          state_ = kInValue;
        } else if (state_ == kInValue) {
          state_ = kInTag;
        }
        if (state_ != kBetween) buffer_.push_back(c);
        break;
      case '-':
        if (state_ == kInComment && StartsAt(input, i, "-->")) state_ = kCommentEnd;
        buffer_.push_back(c);
        break;
      case ']':
        if (state_ == kInCdata && StartsAt(input, i, "]]>")) state_ = kCdataEnd;
        buffer_.push_back(c);
        break;
      case '<':
        if (state_ == kInComment || state_ == kInValue || state_ == kInCdata) {
          buffer_.push_back(c);
          break;
        }
        if (state_ != kBetween) FinishToken();
        StartToken();
        if (StartsAt(input, i, "<!--")) {
          state_ = kInComment;
        } else if (StartsAt(input, i, "<![CDATA[")) {
          state_ = kInCdata;
        } else {
          state_ = kInTag;
        }
        buffer_.push_back(c);
        break;
      case '>':
        if (state_ == kInText || state_ == kInComment || state_ == kInCdata) {
          buffer_.push_back(c);
          break;
        }
        if (state_ != kBetween) {
          buffer_.push_back(c);
          FinishToken();
        }
        StartToken();
        state_ = kInText;
        break;
      default:  // TAB, CR and NUL are dropped
        break;
    }
    ++i;
  }
}

void FragmentRenderer::FinishToken() {
  const std::string_view raw(buffer_.data() + token_start_, buffer_.size() - token_start_);
  bool keep_bytes = false;
  XmlKind kind = XmlKind::kEnd;
  bool keep = !raw.empty() && !OnlyBlanks(raw);
  if (keep) {
    kind = FragmentKind(raw, ClassifyToken(raw));
    // Every token but an end tag would be a node of the document, which keeps kMaxXmlNodes.
    if (kind != XmlKind::kEnd) keep = nodes_++ < kMaxXmlNodes;
  }
  if (keep) {
    Token token{kind};
    switch (kind) {
      case XmlKind::kEnd:
        CloseElement(EndTagKey(raw));
        break;
      case XmlKind::kOpen:
      case XmlKind::kEmpty:
      case XmlKind::kElement:
        token.row = HtmlTextRowFor(NameOf(raw));
        if (kind == XmlKind::kOpen) {
          PushOpen(tokens_.size(), StartTagKey(raw));
          keep_bytes = true;
        }
        tokens_.push_back(token);
        break;
      case XmlKind::kCdata:
        token.begin = static_cast<uint32_t>(token_start_ + 9);
        token.size = static_cast<uint32_t>(raw.size() - 12);
        tokens_.push_back(token);
        keep_bytes = true;
        break;
      case XmlKind::kText:
        token.begin = static_cast<uint32_t>(token_start_);
        token.size = static_cast<uint32_t>(raw.size());
        tokens_.push_back(token);
        keep_bytes = true;
        break;
      case XmlKind::kComment:
      case XmlKind::kDeclaration:
        break;  // they write nothing
    }
  }
  if (!keep_bytes) buffer_.resize(token_start_);
  token_start_ = buffer_.size();
}

void FragmentRenderer::PushOpen(size_t token, std::string_view key) {
  open_.push_back(OpenTag{token, key});
  if (counting_) {
    ++open_counts_[key];
  } else if (open_.size() > kLinearOpenTags) {
    counting_ = true;
    for (const OpenTag& tag : open_) ++open_counts_[tag.key];
  }
}

void FragmentRenderer::CloseElement(std::string_view key) {
  // Is there a match at all? (An unmatched end tag is ignored and closes nothing.)
  if (counting_) {
    if (open_counts_.find(key) == open_counts_.end()) return;
  } else {
    bool found = false;
    for (const OpenTag& tag : open_) found = found || tag.key == key;
    if (!found) return;
  }
  while (!open_.empty()) {
    const OpenTag tag = open_.back();
    open_.pop_back();
    if (counting_) {
      const auto it = open_counts_.find(tag.key);
      if (it != open_counts_.end() && --it->second == 0) open_counts_.erase(it);
    }
    if (tag.key == key) {
      Token& start = tokens_[tag.token];
      start.closed = true;
      Token end{XmlKind::kEnd};
      end.row = start.row;
      tokens_.push_back(end);
      return;
    }
  }
}

void FragmentRenderer::Render(std::string* out, size_t max_bytes) const {
  std::vector<const char*> waiting;  // "after" texts of unclosed start tags
  waiting.reserve(16);
  for (const Token& token : tokens_) {
    if (out->size() >= max_bytes) return;
    switch (token.kind) {
      case XmlKind::kText:
      case XmlKind::kCdata: {
        const std::string_view text(buffer_.data() + token.begin, token.size);
        if (token.kind == XmlKind::kText && text.find('&') != std::string_view::npos) {
          out->append(DecodeEntities(text));
        } else {
          out->append(text);
        }
        if (!waiting.empty()) {
          out->append(waiting.back());
          waiting.pop_back();
        }
        break;
      }
      case XmlKind::kOpen:
        if (token.row == nullptr) break;
        out->append(token.row->before);
        if (!token.closed) waiting.push_back(token.row->after);
        break;
      case XmlKind::kEmpty:
        if (token.row == nullptr) break;
        out->append(token.row->before);
        out->append(token.row->after);
        break;
      case XmlKind::kEnd:
        if (token.row != nullptr) out->append(token.row->after);
        break;
      default:
        break;
    }
  }
}

}  // namespace

std::string RenderHtmlFragment(std::string_view cp932_html, size_t max_bytes) {
  std::string text;
  if (cp932_html.size() > UINT32_MAX - 64) {  // beyond the token offsets: build the document
    RenderNodesAsText(XmlDocument::FromHtmlFragment(cp932_html).root(), &text, max_bytes);
    return text;
  }
  FragmentRenderer renderer(cp932_html.size() + 16);
  renderer.Feed("<dummy>");
  renderer.Feed(cp932_html);
  renderer.Feed("</dummy>");
  renderer.Finish();
  text.reserve(cp932_html.size());
  renderer.Render(&text, max_bytes);
  return text;
}

}  // namespace korvo
