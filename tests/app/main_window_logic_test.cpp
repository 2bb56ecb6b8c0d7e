// The decisions of the main window that do not need a window: flag queries, buffer copies, the
// skin menu, the tray mode and keeping the ticker on screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app/screen_fit.h"
#include "app/shell_queries.h"
#include "app/skin_menu.h"
#include "app/tray_mode.h"
#include "common/temp_folder.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "shell/general_settings.h"
#include "shell/main_window_ids.h"

namespace korvo {
namespace {

using korvo::testing::TempFolder;
namespace msg = main_window_message;

TEST(ShellQueriesTest, FlagQueriesAnswerFromTheFlagsWord) {
  const uint32_t defaults = general_flags::kDefault;
  EXPECT_EQ(AnswerFlagQuery(msg::kGeneralFlags, defaults, true), 135996u);
  EXPECT_EQ(AnswerFlagQuery(msg::kRandomOrderFlag, defaults, true), 0x200u);
  EXPECT_EQ(AnswerFlagQuery(msg::kRandomOrderFlag, defaults & ~0x200u, true), 0u);
  EXPECT_EQ(AnswerFlagQuery(msg::kLoadedGeneralFlags, defaults, true), 135996u);
  // Before the start-up timer loaded the settings, 1159 says 0 while 1140 gives the record's word.
  EXPECT_EQ(AnswerFlagQuery(msg::kLoadedGeneralFlags, defaults, false), 0u);
  EXPECT_EQ(AnswerFlagQuery(msg::kGeneralFlags, defaults, false), 135996u);
  // 1165 is a yes/no answer, not the bit's value (which would not fit a 32-bit LRESULT sign).
  EXPECT_EQ(AnswerFlagQuery(msg::kOpenInBrowseWindow, 0x80000000u, true), 1u);
  EXPECT_EQ(AnswerFlagQuery(msg::kOpenInBrowseWindow, 0x7FFFFFFFu, true), 0u);
  EXPECT_FALSE(AnswerFlagQuery(msg::kCopyBrowserPath, defaults, true).has_value());
  EXPECT_FALSE(AnswerFlagQuery(msg::kMoveToCorner, defaults, true).has_value());
}

TEST(ShellQueriesTest, CopyTextStaysInsideTheBufferAndKeepsCharactersWhole) {
  char buffer[8];
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(CopyTextToBuffer("abc", buffer, sizeof buffer), 3u);
  EXPECT_STREQ(buffer, "abc");

  // Seven bytes fit; "あ" is two bytes in CP932, so "abcdef" + half of it must not be written.
  const std::string text = "abcdef" + platform::Utf8ToCp932(u8"あ");
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(CopyTextToBuffer(text, buffer, sizeof buffer), 6u);
  EXPECT_STREQ(buffer, "abcdef");

  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(CopyTextToBuffer(std::string("ab\0cd", 5), buffer, sizeof buffer), 2u);
  EXPECT_STREQ(buffer, "ab");

  buffer[0] = 'x';
  EXPECT_EQ(CopyTextToBuffer("abc", buffer, 1), 0u);
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(CopyTextToBuffer("abc", buffer, 0), 0u);
  EXPECT_EQ(CopyTextToBuffer("abc", nullptr, 100), 0u);

  // A browser path of the largest size the settings allow fits its buffer exactly.
  std::vector<char> path_buffer(kBrowserPathSize + 16, 'x');
  const std::string longest(kBrowserPathSize - 1, 'p');
  EXPECT_EQ(CopyTextToBuffer(longest + "overlong", path_buffer.data(), kBrowserPathSize),
            kBrowserPathSize - 1);
  EXPECT_EQ(path_buffer[kBrowserPathSize - 1], '\0');
  EXPECT_EQ(path_buffer[kBrowserPathSize], 'x');
}

TEST(SkinMenuTest, ListsSkinFoldersWithoutNoSkinAndFiles) {
  TempFolder skins;
  ASSERT_TRUE(platform::MakeDirectory(skins / "blue"));
  ASSERT_TRUE(platform::MakeDirectory(skins / "noskin260"));
  ASSERT_TRUE(platform::MakeDirectory(skins / u8"和風"));
  ASSERT_TRUE(platform::MakeDirectory(skins / "Aqua"));
  ASSERT_TRUE(platform::WriteWholeFile(skins / "readme.txt", "not a skin"));
  const std::vector<std::string> names = SkinMenu::ListSkinFolders(skins.path());
  ASSERT_EQ(names.size(), 3u);
  std::vector<std::string> utf8;
  for (const std::string& name : names) utf8.push_back(platform::Cp932ToUtf8(name));
  EXPECT_NE(std::find(utf8.begin(), utf8.end(), "blue"), utf8.end());
  EXPECT_NE(std::find(utf8.begin(), utf8.end(), "Aqua"), utf8.end());
  EXPECT_NE(std::find(utf8.begin(), utf8.end(), u8"和風"), utf8.end());
  EXPECT_TRUE(SkinMenu::ListSkinFolders(skins / "missing").empty());
}

TEST(SkinMenuTest, FolderWithoutACp932NameIsLeftOut) {
  TempFolder skins;
  ASSERT_TRUE(platform::MakeDirectory(skins / "plain"));
  // "😀" has no CP932 form: the menu could show it only as "?", and no skin loads by that name.
  if (!platform::MakeDirectory(skins / u8"smile\U0001F600")) GTEST_SKIP() << "no such names here";
  const std::vector<std::string> names = SkinMenu::ListSkinFolders(skins.path());
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names[0], "plain");
}

TEST(SkinMenuTest, CommandsNamesAndTheSavedName) {
  SkinMenu menu;
  EXPECT_EQ(menu.current(), menu_command::kNoSkin);
  EXPECT_EQ(menu.NameToSave(), "noskin260");
  menu.SetSkins({"blue", "Aqua", "aqua"});
  EXPECT_EQ(menu.CommandFor("blue"), 32901);
  EXPECT_EQ(menu.CommandFor("aqua"), 32903);  // the menu compares case-sensitively
  EXPECT_EQ(menu.CommandFor("green"), menu_command::kNoSkin);
  EXPECT_EQ(menu.CommandFor(""), menu_command::kNoSkin);
  EXPECT_EQ(menu.NameOf(32902), "Aqua");
  EXPECT_EQ(menu.NameOf(32904), "");
  EXPECT_EQ(menu.NameOf(32900), "");

  EXPECT_TRUE(menu.Select(32902));
  EXPECT_EQ(menu.NameToSave(), "Aqua");
  EXPECT_FALSE(menu.Select(32904));  // no such entry: the choice stays
  EXPECT_FALSE(menu.Select(105));
  EXPECT_EQ(menu.current(), 32902);
  EXPECT_TRUE(menu.Select(menu_command::kNoSkin));
  EXPECT_EQ(menu.NameToSave(), "noskin260");

  EXPECT_EQ(menu.Add("installed"), 32904);
  EXPECT_EQ(menu.Add(""), 0);
  EXPECT_TRUE(menu.Select(32904));
  EXPECT_EQ(menu.NameToSave(), "installed");
  // A new list starts with no choice, so a stale command never names another skin.
  menu.SetSkins({"other"});
  EXPECT_EQ(menu.current(), menu_command::kNoSkin);

  EXPECT_TRUE(SkinMenu::IsSkinCommand(menu_command::kNoSkin));
  EXPECT_TRUE(SkinMenu::IsSkinCommand(32901));
  EXPECT_TRUE(SkinMenu::IsSkinCommand(menu_command::kLastSkin));
  EXPECT_FALSE(SkinMenu::IsSkinCommand(menu_command::kLastSkin + 1));
  EXPECT_FALSE(SkinMenu::IsSkinCommand(32900));
  EXPECT_FALSE(SkinMenu::IsSkinCommand(menu_command::kFirstNewsItem));
}

TEST(SkinMenuTest, TheMenuNeverOutgrowsItsCommandRange) {
  SkinMenu menu;
  std::vector<std::string> many;
  for (int i = 0; i < SkinMenu::kMaxSkins + 5; ++i) many.push_back("s" + std::to_string(i));
  menu.SetSkins(many);
  EXPECT_EQ(static_cast<int>(menu.skins().size()), SkinMenu::kMaxSkins);
  EXPECT_EQ(menu.Add("one more"), 0);
  EXPECT_EQ(menu.CommandFor("s998"), menu_command::kLastSkin);
  EXPECT_EQ(menu.CommandFor("s999"), menu_command::kNoSkin);
}

constexpr uint32_t kIconFlag = general_flags::kShowTrayIcon;

TEST(TrayModeTest, ToggleHidesAndShowsAndTheIconFollowsFlagBit23) {
  TrayMode tray;
  EXPECT_EQ(tray.Start(false, general_flags::kDefault, 32901), TrayAction{});
  EXPECT_FALSE(tray.in_tray());

  TrayAction in = tray.Toggle(general_flags::kDefault, 32901);
  EXPECT_TRUE(in.hide_windows);
  EXPECT_TRUE(in.add_icon);
  EXPECT_FALSE(in.show_windows || in.remove_icon);
  EXPECT_TRUE(tray.in_tray());
  EXPECT_EQ(tray.remembered_skin(), 32901);

  TrayAction out = tray.Toggle(general_flags::kDefault, menu_command::kNoSkin);
  EXPECT_TRUE(out.show_windows);
  EXPECT_EQ(out.reselect_skin, 32901);  // the skin of before, not the one passed now
  EXPECT_TRUE(out.remove_icon);
  EXPECT_FALSE(tray.icon_shown());

  // With bit 23 the icon is there from the start and stays when the windows come back.
  TrayMode with_icon;
  TrayAction start = with_icon.Start(false, kIconFlag, menu_command::kNoSkin);
  EXPECT_TRUE(start.add_icon);
  EXPECT_FALSE(start.hide_windows);
  in = with_icon.Toggle(kIconFlag, menu_command::kNoSkin);
  EXPECT_TRUE(in.hide_windows);
  EXPECT_FALSE(in.add_icon);  // already there: never added twice
  out = with_icon.Toggle(kIconFlag, menu_command::kNoSkin);
  EXPECT_TRUE(out.show_windows);
  EXPECT_FALSE(out.remove_icon);
  EXPECT_TRUE(with_icon.icon_shown());
}

TEST(TrayModeTest, StartInTheTray) {
  TrayMode tray;
  TrayAction start = tray.Start(true, 0, 32903);
  EXPECT_TRUE(start.hide_windows);
  EXPECT_TRUE(start.add_icon);
  EXPECT_TRUE(tray.in_tray());
  EXPECT_EQ(tray.remembered_skin(), 32903);
  // A left click on the icon brings the ticker back with its skin.
  TrayAction out = tray.Toggle(0, menu_command::kNoSkin);
  EXPECT_TRUE(out.show_windows);
  EXPECT_EQ(out.reselect_skin, 32903);
  EXPECT_TRUE(out.remove_icon);
}

TEST(TrayModeTest, MessageMatchesTheIconExceptInTheTray) {
  TrayMode tray;
  EXPECT_TRUE(tray.MatchIconToFlags(kIconFlag).add_icon);
  EXPECT_EQ(tray.MatchIconToFlags(kIconFlag), TrayAction{});  // no second icon
  EXPECT_TRUE(tray.MatchIconToFlags(0).remove_icon);
  EXPECT_EQ(tray.MatchIconToFlags(0), TrayAction{});

  tray.Toggle(0, menu_command::kNoSkin);
  ASSERT_TRUE(tray.in_tray());
  // In the tray the icon is the only way back: clearing bit 23 must not remove it.
  EXPECT_EQ(tray.MatchIconToFlags(0), TrayAction{});
  EXPECT_TRUE(tray.icon_shown());
}

TEST(TrayModeTest, ShutDownLeavesTheTrayAndRemovesTheIcon) {
  TrayMode tray;
  tray.Start(true, kIconFlag, 32902);
  TrayAction end = tray.ShutDown(kIconFlag);
  EXPECT_TRUE(end.show_windows);
  EXPECT_EQ(end.reselect_skin, 32902);
  EXPECT_TRUE(end.remove_icon);
  EXPECT_FALSE(tray.in_tray());
  EXPECT_FALSE(tray.icon_shown());

  TrayMode plain;
  EXPECT_EQ(plain.ShutDown(0), TrayAction{});
  EXPECT_EQ(plain.Leave(0), TrayAction{});
}

TEST(TrayModeTest, TrayMenuMaskKeepsTheTrayEntriesEnabled) {
  EXPECT_EQ(std::strlen(kTrayMenuEnabledMask),
            static_cast<size_t>(menu_position::kTickerMenuItems));
  std::vector<int> enabled;
  for (int i = -1; i <= menu_position::kTickerMenuItems + 1; ++i) {
    if (TrayMenuEntryEnabled(i)) enabled.push_back(i);
  }
  EXPECT_EQ(enabled, (std::vector<int>{13, 17, 18, 20, 21, 24, 25, 27, 28, 30}));
  EXPECT_TRUE(TrayMenuEntryEnabled(menu_position::kInternetSubmenu));
  EXPECT_FALSE(TrayMenuEntryEnabled(menu_position::kSkinSubmenu));
}

TEST(ScreenFitTest, KeepOnScreenMovesWithoutResizing) {
  const ScreenRect inside{100, 100, 500, 140};
  EXPECT_EQ(KeepOnScreen(inside, 1280, 800), inside);
  // The screen shrank from 1920 x 1200 to 1280 x 800: the ticker moves back in.
  EXPECT_EQ(KeepOnScreen({1700, 1100, 2100, 1140}, 1280, 800), (ScreenRect{880, 760, 1280, 800}));
  EXPECT_EQ(KeepOnScreen({-50, -10, 350, 30}, 1280, 800), (ScreenRect{0, 0, 400, 40}));
  // Wider than the screen: the left edge stays visible.
  EXPECT_EQ(KeepOnScreen({300, 0, 2300, 40}, 1280, 800), (ScreenRect{0, 0, 2000, 40}));
  EXPECT_EQ(KeepOnScreen(inside, 0, 800), inside);
  // Corners from a damaged settings file never overflow.
  const ScreenRect huge{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
  const ScreenRect fitted = KeepOnScreen(huge, 1280, 800);
  EXPECT_EQ(fitted.left, 0);
  EXPECT_EQ(fitted.top, 0);
  EXPECT_EQ(fitted.right, INT32_MAX);
  const ScreenRect inverted{500, 500, 100, 100};
  EXPECT_EQ(KeepOnScreen(inverted, 1280, 800), inverted);
}

}  // namespace
}  // namespace korvo
