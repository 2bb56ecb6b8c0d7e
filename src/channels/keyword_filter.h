// The keyword language of the channel list's folder options, and the filter verdict built on it.
//
// A keyword expression is a list of words (CP932) separated by ASCII spaces or by the double-byte
// space 0x81 0x40; at most kMaxKeywordWords words are taken. A word whose first two letters are
// "OR", or whose first three letters are "AND" (ASCII case ignored, over those letters only), is a
// joiner; so "order" joins by OR and "Android" by AND. Every other word is a search word; "*"
// matches every item. Words are evaluated from left to right without precedence: "a OR b c" is
// (a OR b) AND c; two search words in a row are joined by AND.
//
// Everything here is a pure function of its arguments and is safe on any thread.
#ifndef KORVO_CHANNELS_KEYWORD_FILTER_H_
#define KORVO_CHANNELS_KEYWORD_FILTER_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvo {

constexpr size_t kMaxKeywordWords = 64;

// The bits of `filterFlags` (channel option word of the keyword filter).
constexpr uint32_t kFilterOn = 0x80000000u;     // the keyword filter is used
constexpr uint32_t kFilterStoreMatches = 0x1u;  // HitDb "add": store only matching items
constexpr uint32_t kFilterStoreOthers = 0x2u;   // HitDb "noadd": store only the others
constexpr uint32_t kFilterShowMatches = 0x4u;   // Hit "add": show only matching items
constexpr uint32_t kFilterShowOthers = 0x8u;    // Hit "noadd": show only the others

// The purposes a filter verdict is asked for.
constexpr int kFilterPurposeStore = 1;
constexpr int kFilterPurposeShow = 4;

// The options of its channel that every fetched item carries (a copy of the `Channel` fields).
struct ItemFilterOptions {
  bool drop = false;       // read items are not shown
  bool onlyNew = false;    // only items new to the store are shown
  bool noAddToDb = false;  // items are not stored
  bool skipAll = false;    // items are not shown
  std::string keyword;     // keyword expression, CP932
  uint32_t filterFlags = 0;
  uint32_t itemTtl = 0;  // hours; 0 = no age limit
};

// The texts of one item the keyword filter searches, CP932. An empty view is a missing field.
struct ItemTexts {
  std::string_view title;
  std::string_view siteName;
  std::string_view description;
  std::string_view category;
  std::string_view author;
};

// A parsed keyword expression.
class KeywordExpression {
 public:
  enum class Kind { kSearch, kOr, kAnd };
  struct Word {
    Kind kind;
    std::string text;  // the word as written
  };

  // Splits `expression` into at most kMaxKeywordWords words. The split walks CP932 characters,
  // so the second byte of a two-byte character is never taken for a separator.
  explicit KeywordExpression(std::string_view expression);

  const std::vector<Word>& words() const { return words_; }

  // The running result of the left-to-right evaluation over `texts`: 0 means no match. An
  // expression without search words gives 0.
  int64_t Evaluate(const ItemTexts& texts) const;

 private:
  std::vector<Word> words_;
};

// True when `needle` occurs in `haystack`. Both are CP932; a match starts on a character boundary
// of `haystack`, single-byte ASCII letters compare without regard to case, and the bytes of
// two-byte characters compare exactly (so an ASCII letter never matches half of a kanji).
// An empty needle matches nothing.
bool ContainsIgnoringAsciiCase(std::string_view haystack, std::string_view needle);

// The filter's verdict for one item: 1 (the item passes), 0 (it is rejected) or -1 (the filter
// takes no decision: it is off, or neither flag of the purpose is set, or the purpose is not
// kFilterPurposeStore or kFilterPurposeShow).
int FilterDecision(const ItemFilterOptions& options, const ItemTexts& texts, int purpose);

}  // namespace korvo

#endif  // KORVO_CHANNELS_KEYWORD_FILTER_H_
