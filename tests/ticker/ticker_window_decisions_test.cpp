// What the headline window decides without a skin: which links open and how they reach the
// browser, the headline font and its fallback, the window height.
#include <gtest/gtest.h>

#include <string>

#include "ticker/headline_layout.h"
#include "ticker/link_opening.h"

namespace korvo {
namespace {

TEST(LinkOpening, OnlyWebLinksWithoutUserPartsAreOpened) {
  struct Case {
    const char* link;
    bool opened;
  };
  const Case cases[] = {
      {"http://example.com/a", true},
      {"HTTPS://example.com/a?b=c&d", true},
      {"", false},
      {"http://user@evil.example/", false},
      {"file:///c:/windows/system32/calc.exe", false},
      {"javascript:alert(1)", false},
      {"ms-settings:", false},
      {"c:\\evil.html", false},  // the suffix rule for other schemes is gone
      {"httpx://example.com", false},
      {" http://example.com", false},
  };
  for (const Case& c : cases) EXPECT_EQ(MayOpenLink(c.link), c.opened) << c.link;
  EXPECT_FALSE(MayOpenLink("http://example.com/" + std::string(kMaxOpenedLink, 'a')));
}

TEST(LinkOpening, TheLinkIsOneQuotedArgumentThatCannotBreakOut) {
  // Japanese characters (CP932 here) reach the browser as their UTF-8 escapes: 日 and ソ (whose
  // second CP932 byte is a backslash).
  EXPECT_EQ(EncodeLinkForBrowser("http://a/b c\"d\te\x7F\x93\xFA?q=\x83\x5C"),
            "http://a/b%20c%22d%09e%7F%E6%97%A5?q=%E3%82%BD");
  EXPECT_EQ(EncodeLinkForBrowser("http://a/?q=%41&x=1"), "http://a/?q=%41&x=1");
  struct Case {
    const char* options;
    const char* parameters;
  };
  const Case cases[] = {
      {"", " \"http://a/b%20c\""},
      {"-new-tab", "-new-tab \"http://a/b%20c\""},
      {"--url %s --x", "--url \"http://a/b%20c\" --x"},
      {"%s %s", "\"http://a/b%20c\" \"http://a/b%20c\""},
      {"%d %n %%s", "%d %n %\"http://a/b%20c\""},  // nothing but %s is replaced
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NamedBrowserParameters(c.options, "http://a/b c"), c.parameters) << c.options;
  }
  EXPECT_EQ(NamedBrowserParameters(std::string(100, 'x') + "%s%s%s", "http://a/", 50), "");
}

TEST(LinkOpening, TheProgramComesOutOfACommandLineAndTheFlagsChooseTheWay) {
  EXPECT_EQ(ProgramFromCommand(
                std::string_view("\"C:\\Program Files\\Browser\\b.exe\" --single-argument %1")),
            "C:\\Program Files\\Browser\\b.exe");
  EXPECT_EQ(ProgramFromCommand(std::string_view("  C:\\b.exe -url \"%1\"")), "C:\\b.exe");
  EXPECT_EQ(ProgramFromCommand(std::wstring_view(L"b.exe")), L"b.exe");
  using Way = BrowserChoice::Way;
  EXPECT_EQ(ChooseBrowser(0).way, Way::kShell);
  EXPECT_EQ(ChooseBrowser(0, true).way, Way::kExplicit);
  EXPECT_EQ(ChooseBrowser(1u << 13).way, Way::kExplicit);
  EXPECT_EQ(ChooseBrowser((1u << 13) | (1u << 31)).way, Way::kNamed);
}

TEST(HeadlineLayout, FontFallsBackAndTheWindowIsAsHighAsTheText) {
  HeadlineStyle style;
  style.system_major = 6;
  HeadlineFontChoice def = HeadlineFont(style, 20);
  EXPECT_EQ(def.face, "meiryo");
  EXPECT_EQ(def.height, 20);
  EXPECT_EQ(def.char_set, 1);  // the default set, not the western one
  style.system_major = 5;
  def = HeadlineFont(style, 20);
  EXPECT_EQ(def.face, "");
  EXPECT_EQ(def.quality, 3);
  EXPECT_EQ(def.pitch_and_family, 0x22);
  style.font.face_name = "MS UI Gothic";
  style.font.char_set = 128;
  style.font.weight = 700;
  def = HeadlineFont(style, 200);
  EXPECT_EQ(def.face, "MS UI Gothic");
  EXPECT_EQ(def.char_set, 128);
  EXPECT_EQ(def.weight, 700);
  const HeadlineFontChoice fallback = FallbackFont(def);
  EXPECT_EQ(fallback.face, "");
  EXPECT_EQ(fallback.height, 72);
  EXPECT_EQ(fallback.char_set, 255);
  EXPECT_EQ(FallbackFont(HeadlineFont(style, 3)).height, 9);

  EXPECT_EQ(NoSkinHeadlineHeight(22, 0), 22);
  EXPECT_EQ(NoSkinHeadlineHeight(22, ticker_flags::kElectricSign), 33);
  EXPECT_EQ(NoSkinHeadlineHeight(0, 0), 1);
  EXPECT_EQ(MaxTextWidth(400), 15600);
  EXPECT_EQ(MaxTextWidth(40000), 1);
  // Electric sign: a gap before every pair of columns.
  EXPECT_EQ(ElectricSignPosition(0), 1);
  EXPECT_EQ(ElectricSignPosition(1), 2);
  EXPECT_EQ(ElectricSignPosition(2), 4);
  EXPECT_EQ(ElectricSignPosition(3), 5);
  EXPECT_EQ(ElectricSignSize(4), 6);
}

}  // namespace
}  // namespace korvo
