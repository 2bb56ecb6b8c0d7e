#include "shell/profile_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace korvo {
namespace {

using Text = ProfileText<char>;

Text Parsed(const std::string& content) {
  Text text;
  text.Parse(content);
  return text;
}

std::string FindOr(const Text& text, std::string_view section, std::string_view key,
                   const std::string& missing = "<missing>") {
  auto found = text.Find(section, key);
  return found ? std::string(*found) : missing;
}

TEST(ProfileTextTest, LookUpFollowsTheLineRules) {
  const Text text = Parsed(
      "orphan=before any section\r\n"
      "[App_Data]\r\n"
      "  FontSize  =  20  \r\n"
      "; skin=commented\r\n"
      "no equals sign\r\n"
      "empty=\r\n"
      "a=b=c\r\n"
      "tab\t=\tx\t\x1A\r\n"
      "[ spaced ] trailing text\n"
      "k=1\n"
      "[app_data]\n"
      "skin=second section is not read\n"
      "fontsize=30\n");
  EXPECT_EQ(FindOr(text, "app_data", "fontsize"), "20");
  EXPECT_EQ(FindOr(text, "  APP_DATA ", " FONTSIZE"), "20");
  EXPECT_EQ(FindOr(text, "app_data", "skin"), "<missing>");
  EXPECT_EQ(FindOr(text, "app_data", "; skin"), "<missing>");
  EXPECT_EQ(FindOr(text, "app_data", "no equals sign"), "<missing>");
  EXPECT_EQ(FindOr(text, "app_data", "empty"), "");
  EXPECT_EQ(FindOr(text, "app_data", "a"), "b=c");
  EXPECT_EQ(FindOr(text, "app_data", "tab"), "x");
  EXPECT_EQ(FindOr(text, "spaced", "k"), "1");
  EXPECT_EQ(FindOr(text, "", "orphan"), "<missing>");
  EXPECT_EQ(FindOr(text, "nosuch", "k"), "<missing>");
}

TEST(ProfileTextTest, FirstOfDuplicateKeysWins) {
  const Text text = Parsed("[s]\nk=1\nK=2\n");
  EXPECT_EQ(FindOr(text, "s", "k"), "1");
  EXPECT_EQ(text.KeyNames("s"), std::vector<std::string>{"k"});
}

TEST(ProfileTextTest, Cp932TrailBytesAreNotSyntax) {
  // "ゾ" is 83 5D: its trail byte is ']'.
  const Text text = Parsed(
      "[abc]\x83\x5D\n"
      "k=1\n"
      "[\x83\x5D\n"
      "k=2\n");
  EXPECT_EQ(FindOr(text, "abc", "k"), "1");
  EXPECT_EQ(text.SectionNames(), std::vector<std::string>{"abc"});
  // "ア" 83 41 and "ヂ" 83 61 differ only by the ASCII case of the trail byte.
  const Text keys = Parsed("[s]\n\x83\x41=a\n\x83\x61=di\n");
  EXPECT_EQ(FindOr(keys, "s", "\x83\x41"), "a");
  EXPECT_EQ(FindOr(keys, "s", "\x83\x61"), "di");
}

TEST(ProfileTextTest, CaseFoldingCoversFullWidthAndGreek) {
  // "ＡＢＣ" / "ａｂｃ", "Ⅰ" (87 54) / "ⅰ" (FA 40), "Α" (83 9F) / "α" (83 BF).
  const Text text = Parsed("[\x82\x60\x82\x61\x82\x62]\nk=1\n[\x87\x54]\nk=2\n[\x83\x9F]\nk=3\n");
  EXPECT_EQ(FindOr(text, "\x82\x81\x82\x82\x82\x83", "k"), "1");
  EXPECT_EQ(FindOr(text, "\xFA\x40", "k"), "2");
  EXPECT_EQ(FindOr(text, "\x83\xBF", "k"), "3");
}

TEST(ProfileTextTest, SetKeepsEveryOtherLineByteForByte) {
  const std::string original =
      "; comment\n"
      "[one]\n"
      "a = 1\n"
      "\xFF\x80 garbage \x01\n"
      "\n"
      "[two]\r\n"
      "b=2";  // no line break at the end
  Text text = Parsed(original);
  EXPECT_EQ(text.Serialize(), original);

  EXPECT_FALSE(text.Set("ONE", "A", "1"));  // same value: no change, spelling kept
  EXPECT_EQ(text.Serialize(), original);

  EXPECT_TRUE(text.Set("one", "A", "9"));
  EXPECT_TRUE(text.Set("one", "c", "3"));  // after the section's last entry
  EXPECT_TRUE(text.Set("two", "d", "4"));  // the last line gets a line break first
  EXPECT_TRUE(text.Set("three", "e", "5"));
  EXPECT_EQ(text.Serialize(),
            "; comment\n"
            "[one]\n"
            "a=9\n"
            "c=3\n"
            "\xFF\x80 garbage \x01\n"
            "\n"
            "[two]\r\n"
            "b=2\n"
            "d=4\n"
            "[three]\n"
            "e=5\n");
}

TEST(ProfileTextTest, NewTextUsesCrLf) {
  Text text;
  EXPECT_TRUE(text.Set("app_data", "iFlag", "135996"));
  EXPECT_TRUE(text.Set("app_data", "skin", ""));
  EXPECT_EQ(text.Serialize(), "[app_data]\r\niFlag=135996\r\nskin=\r\n");
}

TEST(ProfileTextTest, RemoveTakesEveryDuplicate) {
  Text text = Parsed("[s]\nk=1\nx=0\nk=2\n[t]\nk=3\n[S]\nk=4\n");
  EXPECT_TRUE(text.RemoveKey("s", "K"));
  EXPECT_EQ(text.Serialize(), "[s]\nx=0\n[t]\nk=3\n[S]\n");
  EXPECT_FALSE(text.RemoveKey("s", "k"));
  EXPECT_TRUE(text.RemoveSection("s"));
  EXPECT_EQ(text.Serialize(), "[t]\nk=3\n");
  EXPECT_FALSE(text.RemoveSection("s"));
}

TEST(ProfileTextTest, NamesThatWouldChangeTheStructureAreInvalid) {
  EXPECT_TRUE(Text::IsValidKeyName("width"));
  EXPECT_TRUE(Text::IsValidKeyName(" col0 "));
  EXPECT_FALSE(Text::IsValidKeyName(""));
  EXPECT_FALSE(Text::IsValidKeyName("  "));
  EXPECT_FALSE(Text::IsValidKeyName("a=b"));
  EXPECT_FALSE(Text::IsValidKeyName("[x]"));
  EXPECT_FALSE(Text::IsValidKeyName(";x"));
  EXPECT_FALSE(Text::IsValidKeyName("a\nb"));
  EXPECT_FALSE(Text::IsValidKeyName(std::string("a\0b", 3)));
  EXPECT_TRUE(Text::IsValidSectionName("a]b"));
  EXPECT_FALSE(Text::IsValidSectionName("a\r"));
  EXPECT_FALSE(Text::IsValidSectionName(""));
}

TEST(ProfileTextTest, Utf16TextWorksTheSameWay) {
  ProfileText<char16_t> text;
  text.Parse(u"[スキン]\r\nWidth = 400\r\n");
  auto found = text.Find(u"スキン", u"width");
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(std::u16string(*found), u"400");
  EXPECT_TRUE(text.Set(u"ｓｋｉｎ", u"hold_time", u"3000"));
  EXPECT_EQ(text.Serialize(), u"[スキン]\r\nWidth = 400\r\n[ｓｋｉｎ]\r\nhold_time=3000\r\n");
  EXPECT_TRUE(text.Find(u"ＳＫＩＮ", u"HOLD_TIME").has_value());
}

TEST(ProfileTextTest, HostileTextStaysBoundedAndEditable) {
  // A huge line, a NUL in the middle of a value, and random bytes: parsing never fails, the text
  // serialises back unchanged, and a written key can always be read back.
  std::string huge =
      "[s]\nbig=" + std::string(2 << 20, 'x') + "\nnul=ab" + std::string(1, '\0') + "cd\n";
  Text text = Parsed(huge);
  EXPECT_EQ(text.Serialize(), huge);
  EXPECT_EQ(FindOr(text, "s", "big").size(), size_t{2} << 20);
  EXPECT_EQ(FindOr(text, "s", "nul"), "ab");

  std::mt19937 random(1234);
  for (int round = 0; round < 200; ++round) {
    std::string bytes(random() % 400, '\0');
    for (char& c : bytes) {
      const unsigned pick = random() % 8;
      c = pick == 0 ? '\n' : pick == 1 ? '[' : pick == 2 ? ']' : pick == 3 ? '=' : char(random());
    }
    Text t = Parsed(bytes);
    ASSERT_EQ(t.Serialize(), bytes);
    t.Set("section", "key", "value");
    const std::string written = t.Serialize();
    Text again = Parsed(written);
    ASSERT_EQ(FindOr(again, "section", "key"), "value") << round;
  }
}

}  // namespace
}  // namespace korvo
