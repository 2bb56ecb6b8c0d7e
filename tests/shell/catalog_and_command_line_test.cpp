#include <gtest/gtest.h>

#include <string>

#include "platform/code_page.h"
#include "shell/command_line.h"
#include "shell/message_catalog.h"

namespace korvo {
namespace {

TEST(MessageCatalogTest, JapaneseTextsAreExactCp932) {
  const MessageCatalog catalog(1041);
  EXPECT_TRUE(catalog.japanese());
  EXPECT_EQ(platform::Cp932ToUtf8(catalog.Text(0)),
            u8"KorvoNewsReaderはすでに起動しています。\r\n\r\n"
            u8"ポジションを元に戻す場合はOKを押して下さい。");
  EXPECT_EQ(catalog.Text(6), "\x92\xC7\x89\xC1");  // "追加"
  EXPECT_EQ(catalog.Text(17), "URL");
  EXPECT_EQ(platform::Cp932ToUtf8(catalog.Text(24)).substr(0, 27), u8"データベースの移行");
  for (int i = 0; i < MessageCatalog::kEntryCount; ++i) {
    // '?' would be a character CP932 lacks; the Japanese texts use the full-width '？'.
    EXPECT_EQ(catalog.Text(i).find('?'), std::string::npos) << i;
    EXPECT_FALSE(catalog.Text(i).empty()) << i;
  }
}

TEST(MessageCatalogTest, EnglishTextsAndOutOfRangeIndexes) {
  const MessageCatalog catalog(1033);
  EXPECT_FALSE(catalog.japanese());
  EXPECT_EQ(
      catalog.Text(0),
      "KorvoNewsReader is already existing.\r\n\r\nif you want to fix the position, push OK.");
  EXPECT_EQ(catalog.Text(2), "this skin name is alrady existing.overwrite this skin?");
  EXPECT_EQ(catalog.Text(21), "Error\r\ncode 21");
  EXPECT_EQ(catalog.Text(24), "stop?");
  EXPECT_EQ(catalog.Text(25), catalog.Text(0));
  EXPECT_EQ(catalog.Text(1000), catalog.Text(0));
  EXPECT_EQ(catalog.Text(-1), catalog.Text(0));
  // Any language other than 1041 is English, including other Japanese-looking numbers.
  EXPECT_EQ(MessageCatalog(2065).Text(3), "added new skin.");
}

TEST(MessageCatalogTest, ResourcesFollowTheLanguage) {
  const MessageCatalog japanese(1041), english(1033);
  EXPECT_EQ(japanese.DialogResource(191), 191);
  EXPECT_EQ(english.DialogResource(191), 192);
  EXPECT_EQ(english.DialogResource(148), 148);
  EXPECT_EQ(japanese.MainMenuResource(), 109);
  EXPECT_EQ(english.MainMenuResource(), 156);
}

TEST(CommandLineTest, SwitchesAreFoundByTheScanRule) {
  struct Case {
    const char* line;
    bool user;
    bool tray;
  };
  const Case cases[] = {
      {"", false, false},
      {"-user", true, false},
      {"-m", false, true},
      {"-user -m", true, true},
      {"-x -m", false, true},      // unknown switch skipped
      {"-mfoo", false, true},      // begins with "m"
      {"-username", true, false},  // begins with "user"
      {"-USER -M", false, false},  // case-sensitive
      {"-use", false, false},
      {"-x-m", false, false},               // the rest of a word after '-' is skipped
      {"path\\my-mail -user", true, true},  // every '-' counts, also inside a word
      {"\t-m\t-user", true, true},
      {"-", false, false},
      {"--m", false, false},
      {"- m", false, false},
  };
  for (const Case& c : cases) {
    const CommandLineOptions options = ScanCommandLine(c.line);
    EXPECT_EQ(options.user_folder, c.user) << c.line;
    EXPECT_EQ(options.start_in_tray, c.tray) << c.line;
  }
  EXPECT_EQ(JoinArguments({"-x", "-m"}), "-x -m");
  EXPECT_EQ(JoinArguments({}), "");
}

}  // namespace
}  // namespace korvo
