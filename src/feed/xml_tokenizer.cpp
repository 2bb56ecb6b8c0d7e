// The tokenizer half of XmlTreeBuilder: the byte rules of the eight states.
#include <array>
#include <cstdint>
#include <new>

#include "feed/xml_tree_builder.h"

namespace korvo {
namespace {

// For each state, the bytes whose rule is anything but "append": runs of other bytes are
// appended (or, between tokens, skipped) in one step.
using SpecialTable = std::array<std::array<bool, 256>, 8>;

constexpr SpecialTable MakeSpecialTable() {
  SpecialTable table{};
  constexpr const char* kSpecials[8] = {
      "<>",          // between tokens
      "\t\r\n\"<>",  // tag
      "\t\r\n<",     // text
      "\t\r\n-",     // comment
      "\t\r\n<>",    // comment end seen
      "\t\r\n\">",   // quoted value
      "\t\r\n]",     // CDATA
      "\t\r\n<>",    // CDATA end seen
  };
  for (int state = 0; state < 8; ++state) {
    for (const char* p = kSpecials[state]; *p != '\0'; ++p) {
      table[state][static_cast<unsigned char>(*p)] = true;
    }
    table[state][0] = true;  // NUL bytes are dropped everywhere
  }
  return table;
}

constexpr SpecialTable kSpecial = MakeSpecialTable();

bool StartsAt(std::string_view input, size_t at, std::string_view text) {
  return input.size() - at >= text.size() && input.compare(at, text.size(), text) == 0;
}

// True when the input from `at` to its end is shorter than `text` and begins it, so only the
// next piece can tell whether `text` stands here.
bool MayStartAt(std::string_view input, size_t at, std::string_view text) {
  const size_t rest = input.size() - at;
  return rest < text.size() && input.compare(at, rest, text, 0, rest) == 0;
}

}  // namespace

void XmlTreeBuilder::Feed(std::string_view input) {
  try {
    if (carry_.empty()) {
      Tokenize(input, /*last=*/false);
    } else {
      std::string joined;
      joined.swap(carry_);
      joined.append(input);
      Tokenize(joined, /*last=*/false);
    }
  } catch (const std::bad_alloc&) {
    // Out of memory: the rest of this piece is dropped; the nodes built so far remain.
    token_.clear();
    carry_.clear();
    state_ = kBetween;
  }
}

void XmlTreeBuilder::Tokenize(std::string_view input, bool last) {
  const size_t n = input.size();
  const auto* bytes = reinterpret_cast<const unsigned char*>(input.data());
  size_t i = 0;
  while (i < n) {
    const std::array<bool, 256>& special = kSpecial[state_];
    size_t run_end = i;
    while (run_end < n && !special[bytes[run_end]]) ++run_end;
    if (run_end > i) {
      if (state_ != kBetween) token_.append(input.data() + i, run_end - i);
      i = run_end;
      if (i == n) break;
    }
    const char c = input[i];
    switch (c) {
      case '\n':
        if (state_ == kInTag) token_.push_back(' ');
        break;
      case '"':
        if (state_ == kInTag) {
          state_ = kInValue;
        } else if (state_ == kInValue) {
          state_ = kInTag;
        }
        if (state_ != kBetween) token_.push_back(c);
        break;
      case '-':
        if (state_ == kInComment && !last && MayStartAt(input, i, "-->")) {
          carry_.assign(input.substr(i));
          return;
        }
        if (state_ == kInComment && StartsAt(input, i, "-->")) state_ = kCommentEnd;
        token_.push_back(c);
        break;
      case ']':
        if (state_ == kInCdata && !last && MayStartAt(input, i, "]]>")) {
          carry_.assign(input.substr(i));
          return;
        }
        if (state_ == kInCdata && StartsAt(input, i, "]]>")) state_ = kCdataEnd;
        token_.push_back(c);
        break;
      case '<':
        if (state_ == kInComment || state_ == kInValue || state_ == kInCdata) {
          token_.push_back(c);
          break;
        }
        if (!last && (MayStartAt(input, i, "<!--") || MayStartAt(input, i, "<![CDATA["))) {
          carry_.assign(input.substr(i));
          return;
        }
        if (state_ != kBetween) FinishToken();
        token_.clear();
        if (i + 1 < n && input[i + 1] != '!') {
          state_ = kInTag;
        } else if (StartsAt(input, i, "<!--")) {
          state_ = kInComment;
        } else if (StartsAt(input, i, "<![CDATA[")) {
          state_ = kInCdata;
        } else {
          state_ = kInTag;
        }
        token_.push_back(c);
        break;
      case '>':
        if (state_ == kInText || state_ == kInComment || state_ == kInCdata) {
          token_.push_back(c);
          break;
        }
        if (state_ != kBetween) {
          token_.push_back(c);
          FinishToken();
        }
        token_.clear();
        state_ = kInText;
        break;
      default:  // TAB, CR and NUL are dropped
        break;
    }
    ++i;
  }
}

}  // namespace korvo
