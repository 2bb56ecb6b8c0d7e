#include "channels/keyword_filter.h"

#include "platform/code_page.h"

namespace korvo {

namespace {

using platform::IsCp932LeadByte;

// Length in bytes of the CP932 character at `text[i]` (1 or 2; a lead byte at the very end
// counts as one byte).
size_t CharLength(std::string_view text, size_t i) {
  return (IsCp932LeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
}

unsigned char FoldAscii(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// True when `text` begins with the ASCII `prefix`, ignoring the case of ASCII letters.
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (FoldAscii(static_cast<unsigned char>(text[i])) !=
        FoldAscii(static_cast<unsigned char>(prefix[i]))) {
      return false;
    }
  }
  return true;
}

// True when `needle` matches `haystack` at byte `at`, which is a character boundary.
bool MatchesAt(std::string_view haystack, size_t at, std::string_view needle) {
  size_t i = at;
  size_t j = 0;
  while (j < needle.size()) {
    if (i >= haystack.size()) return false;
    const size_t hl = CharLength(haystack, i);
    const size_t nl = CharLength(needle, j);
    if (hl != nl) return false;
    if (nl == 1) {
      if (FoldAscii(static_cast<unsigned char>(haystack[i])) !=
          FoldAscii(static_cast<unsigned char>(needle[j]))) {
        return false;
      }
    } else if (haystack[i] != needle[j] || haystack[i + 1] != needle[j + 1]) {
      return false;
    }
    i += hl;
    j += nl;
  }
  return true;
}

}  // namespace

bool ContainsIgnoringAsciiCase(std::string_view haystack, std::string_view needle) {
  if (needle.empty()) return false;
  for (size_t i = 0; i < haystack.size(); i += CharLength(haystack, i)) {
    if (haystack.size() - i < needle.size()) return false;
    if (MatchesAt(haystack, i, needle)) return true;
  }
  return false;
}

KeywordExpression::KeywordExpression(std::string_view expression) {
  size_t i = 0;
  const size_t n = expression.size();
  while (i < n && words_.size() < kMaxKeywordWords) {
    // Skip separators: ASCII spaces and the double-byte space.
    if (expression[i] == ' ') {
      ++i;
      continue;
    }
    if (static_cast<unsigned char>(expression[i]) == 0x81 && i + 1 < n &&
        static_cast<unsigned char>(expression[i + 1]) == 0x40) {
      i += 2;
      continue;
    }
    const size_t start = i;
    while (i < n) {
      if (expression[i] == ' ') break;
      if (static_cast<unsigned char>(expression[i]) == 0x81 && i + 1 < n &&
          static_cast<unsigned char>(expression[i + 1]) == 0x40) {
        break;
      }
      i += CharLength(expression, i);
    }
    std::string_view word = expression.substr(start, i - start);
    Kind kind = Kind::kSearch;
    if (StartsWithIgnoringCase(word, "or")) {
      kind = Kind::kOr;
    } else if (StartsWithIgnoringCase(word, "and")) {
      kind = Kind::kAnd;
    }
    words_.push_back(Word{kind, std::string(word)});
  }
}

int64_t KeywordExpression::Evaluate(const ItemTexts& texts) const {
  int64_t running = 0;
  bool have_search_word = false;
  Kind pending = Kind::kSearch;  // kSearch stands for "no joiner pending"
  for (const Word& word : words_) {
    if (word.kind != Kind::kSearch) {
      pending = word.kind;
      continue;
    }
    int64_t m = 0;
    if (word.text == "*") {
      m = 1;
    } else {
      const std::string_view fields[] = {texts.title, texts.category, texts.author, texts.siteName,
                                         texts.description};
      for (std::string_view field : fields) {
        if (ContainsIgnoringAsciiCase(field, word.text)) {
          m = 1;
          break;
        }
      }
    }
    if (!have_search_word) {
      running = m;
      have_search_word = true;
    } else if (pending == Kind::kOr) {
      running = running + m;
    } else {
      running = running * m;
    }
    pending = Kind::kSearch;
  }
  return running;
}

int FilterDecision(const ItemFilterOptions& options, const ItemTexts& texts, int purpose) {
  if ((options.filterFlags & kFilterOn) == 0) return -1;
  uint32_t matches_bit;
  uint32_t others_bit;
  if (purpose == kFilterPurposeStore) {
    matches_bit = kFilterStoreMatches;
    others_bit = kFilterStoreOthers;
  } else if (purpose == kFilterPurposeShow) {
    matches_bit = kFilterShowMatches;
    others_bit = kFilterShowOthers;
  } else {
    return -1;
  }
  if ((options.filterFlags & (matches_bit | others_bit)) == 0) return -1;
  const int64_t running = KeywordExpression(options.keyword).Evaluate(texts);
  if (options.filterFlags & matches_bit) return running != 0 ? 1 : 0;
  return running == 0 ? 1 : 0;
}

}  // namespace korvo
