#include "channels/keyword_filter.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/code_page.h"

namespace korvo {
namespace {

std::string Sjis(const char* utf8) { return platform::Utf8ToCp932(utf8); }

ItemFilterOptions Options(std::string keyword, uint32_t flags) {
  ItemFilterOptions options;
  options.keyword = std::move(keyword);
  options.filterFlags = flags;
  return options;
}

ItemTexts Titled(std::string_view title) {
  ItemTexts texts;
  texts.title = title;
  return texts;
}

TEST(KeywordExpressionTest, JoinersAreRecognisedByTheirFirstLetters) {
  KeywordExpression android("android phone");
  ASSERT_EQ(android.words().size(), 2u);
  EXPECT_EQ(android.words()[0].kind, KeywordExpression::Kind::kAnd);
  EXPECT_EQ(android.words()[1].kind, KeywordExpression::Kind::kSearch);

  KeywordExpression order("order books Or oRANGE anD x o an");
  ASSERT_EQ(order.words().size(), 8u);
  using K = KeywordExpression::Kind;
  const K expected[] = {K::kOr,  K::kSearch, K::kOr,     K::kOr,
                        K::kAnd, K::kSearch, K::kSearch, K::kSearch};
  for (size_t i = 0; i < 8; ++i) EXPECT_EQ(order.words()[i].kind, expected[i]) << i;

  // "order books" is OR followed by books: only books counts.
  EXPECT_EQ(order.Evaluate(Titled("books")), 0);  // "x" is joined by AND and is missing
  EXPECT_NE(KeywordExpression("order books").Evaluate(Titled("books")), 0);
  EXPECT_EQ(KeywordExpression("order books").Evaluate(Titled("order")), 0);
}

TEST(KeywordExpressionTest, SeparatorsAndCharacterBoundaries) {
  // The double-byte space separates words; blanks in runs are one separator.
  const std::string wide_space = "\x81\x40";
  KeywordExpression split("alpha" + wide_space + "beta   gamma" + wide_space + wide_space);
  ASSERT_EQ(split.words().size(), 3u);
  EXPECT_EQ(split.words()[1].text, "beta");

  // 0x81 0x40 inside a two-byte character (trail byte 0x81, then "@") is not a separator.
  KeywordExpression kanji(std::string("\x88\x81@x"));
  ASSERT_EQ(kanji.words().size(), 1u);
  EXPECT_EQ(kanji.words()[0].text, "\x88\x81@x");

  // A lead byte at the very end does not run past the text.
  KeywordExpression truncated(std::string("ab\x88"));
  ASSERT_EQ(truncated.words().size(), 1u);
}

TEST(KeywordExpressionTest, EvaluatesLeftToRightWithoutPrecedence) {
  // (w1 OR w2) AND w3
  KeywordExpression expression("w1 OR w2 w3");
  EXPECT_NE(expression.Evaluate(Titled("w1 w3")), 0);
  EXPECT_NE(expression.Evaluate(Titled("w2 w3")), 0);
  EXPECT_EQ(expression.Evaluate(Titled("w1 w2")), 0);
  // w1 OR (w2 AND w3) would accept this one; left to right does not.
  EXPECT_EQ(KeywordExpression("w2 w3 OR w1").Evaluate(Titled("w1")), 1);
  EXPECT_EQ(KeywordExpression("w1 OR w2 AND w3").Evaluate(Titled("w1")), 0);
  // A trailing joiner changes nothing; an expression of joiners only gives 0.
  EXPECT_EQ(KeywordExpression("w1 OR").Evaluate(Titled("w1")), 1);
  EXPECT_EQ(KeywordExpression("OR AND").Evaluate(Titled("OR AND")), 0);
  EXPECT_EQ(KeywordExpression("").Evaluate(Titled("anything")), 0);
}

TEST(KeywordExpressionTest, SearchesEveryTextField) {
  ItemTexts texts;
  texts.siteName = "Site Name";
  texts.description = "some description";
  texts.category = "Cat";
  texts.author = "Writer";
  for (const char* word : {"site", "DESCRIPTION", "cat", "writer"}) {
    EXPECT_EQ(KeywordExpression(word).Evaluate(texts), 1) << word;
  }
  EXPECT_EQ(KeywordExpression("title").Evaluate(texts), 0);
}

TEST(KeywordExpressionTest, AtMost64WordsAreTaken) {
  std::string expression;
  for (int i = 0; i < 64; ++i) expression += "hit ";
  for (int i = 0; i < 36; ++i) expression += "miss ";  // would turn the result to 0
  KeywordExpression parsed(expression);
  EXPECT_EQ(parsed.words().size(), 64u);
  EXPECT_EQ(parsed.Evaluate(Titled("a hit")), 1);

  // A hostile expression: one huge word and many separators stays bounded.
  std::string huge(100000, 'x');
  huge += std::string(5000, ' ');
  EXPECT_EQ(KeywordExpression(huge).words().size(), 1u);
}

TEST(ContainsTest, IgnoresAsciiCaseOnlyOnCharacterBoundaries) {
  EXPECT_TRUE(ContainsIgnoringAsciiCase("Breaking NEWS today", "news"));
  EXPECT_FALSE(ContainsIgnoringAsciiCase("short", "shorter"));
  EXPECT_FALSE(ContainsIgnoringAsciiCase("text", ""));
  EXPECT_FALSE(ContainsIgnoringAsciiCase("", "x"));

  // The katakana A is 0x83 0x41: its trail byte is the letter "A" and must not match "a".
  const std::string katakana = Sjis(u8"ア");
  ASSERT_EQ(katakana, "\x83\x41");
  EXPECT_FALSE(ContainsIgnoringAsciiCase(katakana, "a"));
  EXPECT_FALSE(ContainsIgnoringAsciiCase(katakana, "A"));
  // A two-byte needle matches only whole characters: "\x41\x83" straddles two characters.
  EXPECT_FALSE(ContainsIgnoringAsciiCase(Sjis(u8"アア"), "\x41\x83"));

  const std::string title = Sjis(u8"新しいスマートフォンの発表 Phone");
  EXPECT_TRUE(ContainsIgnoringAsciiCase(title, Sjis(u8"スマートフォン")));
  EXPECT_TRUE(ContainsIgnoringAsciiCase(title, "PHONE"));
  EXPECT_FALSE(ContainsIgnoringAsciiCase(title, Sjis(u8"タブレット")));
}

TEST(FilterDecisionTest, WithoutFilterOnOrPurposeFlagsNoDecision) {
  EXPECT_EQ(FilterDecision(Options("news", kFilterStoreMatches | kFilterShowMatches),
                           Titled("news"), kFilterPurposeStore),
            -1);
  const ItemFilterOptions on_only = Options("news", kFilterOn);
  EXPECT_EQ(FilterDecision(on_only, Titled("news"), kFilterPurposeStore), -1);
  EXPECT_EQ(FilterDecision(on_only, Titled("news"), kFilterPurposeShow), -1);
  // Store flags do not answer the showing question and the reverse; other purposes never.
  const ItemFilterOptions store = Options("news", kFilterOn | kFilterStoreMatches);
  EXPECT_EQ(FilterDecision(store, Titled("news"), kFilterPurposeShow), -1);
  EXPECT_EQ(FilterDecision(store, Titled("news"), 2), -1);
}

TEST(FilterDecisionTest, MatchAndNoMatchVerdicts) {
  const ItemFilterOptions show_news = Options("news", kFilterOn | kFilterShowMatches);
  EXPECT_EQ(FilterDecision(show_news, Titled("Daily News"), kFilterPurposeShow), 1);
  EXPECT_EQ(FilterDecision(show_news, Titled("nEwS"), kFilterPurposeShow), 1);
  EXPECT_EQ(FilterDecision(show_news, Titled("weather"), kFilterPurposeShow), 0);
  EXPECT_EQ(FilterDecision(show_news, Titled("weather"), kFilterPurposeStore), -1);

  const ItemFilterOptions store_neither = Options("a OR b", kFilterOn | kFilterStoreOthers);
  EXPECT_EQ(FilterDecision(store_neither, Titled("xyz"), kFilterPurposeStore), 1);
  EXPECT_EQ(FilterDecision(store_neither, Titled("xaz"), kFilterPurposeStore), 0);
  EXPECT_EQ(FilterDecision(store_neither, Titled("xbz"), kFilterPurposeStore), 0);

  const ItemFilterOptions star = Options("*", kFilterOn | kFilterStoreMatches);
  EXPECT_EQ(FilterDecision(star, ItemTexts{}, kFilterPurposeStore), 1);

  // An empty expression matches nothing.
  EXPECT_EQ(
      FilterDecision(Options("", kFilterOn | kFilterShowMatches), Titled("x"), kFilterPurposeShow),
      0);
  EXPECT_EQ(
      FilterDecision(Options("", kFilterOn | kFilterShowOthers), Titled("x"), kFilterPurposeShow),
      1);
  // With both flags of a purpose, "add" wins.
  EXPECT_EQ(FilterDecision(Options("x", kFilterOn | kFilterShowMatches | kFilterShowOthers),
                           Titled("x"), kFilterPurposeShow),
            1);
}

}  // namespace
}  // namespace korvo
