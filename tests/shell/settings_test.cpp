#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/temp_folder.h"
#include "platform/file_attributes.h"
#include "platform/files.h"
#include "shell/browse_geometry.h"
#include "shell/general_settings.h"
#include "shell/legacy_settings_image.h"
#include "shell/network_settings.h"
#include "shell/profile_file.h"

namespace korvo {
namespace {

using korvo::testing::TempFolder;

constexpr platform::SystemVersion kSystem{6, 2};

std::string ReadAll(const std::string& path) {
  std::string bytes;
  EXPECT_TRUE(platform::ReadWholeFile(path, &bytes));
  return bytes;
}

// A record with a different value in every field.
GeneralSettings Distinctive() {
  GeneralSettings s;
  s.placement = {44, 2, 3, -4, -5, 6, 7, 100, 200, 900, 260};
  s.width = 700;
  s.height = 60;
  s.x_spacing = 3;
  s.y_spacing = -2;
  s.font_size = 14;
  s.scroll_speed = 65535;
  s.new_color = 0x00FF8040;
  s.flags = general_flags::kOpenInBrowseWindow | general_flags::kShowTrayIcon | 15;
  s.skin = "\x83\x58\x83\x4C\x83\x93";  // "スキン"
  s.read_color = 0x123456;
  s.old_color = 0xFFFFFFFF;
  s.tip_flags = 5;
  s.multi_monitor = 1;
  s.title_font = {-12, 0, 10, 20, 700, 1, 1, 0, 128, 3, 2, 1, 49, "MS UI Gothic"};
  s.anti_alias = 1;
  s.over_skin_font = 1;
  s.over_back_color = 1;
  s.back_color = 0x00C0C0C0;
  s.alpha_blend = 200;
  s.system_major = 6;
  s.system_minor = 2;
  s.browser_path = "C:\\Program Files\\Browser\\browser.exe";
  s.browser_option = "-new-tab %s";
  return s;
}

TEST(GeneralSettingsTest, MissingSetupIniGivesTheDefaultsAndSavesThemAll) {
  TempFolder dir;
  SettingsSource source;
  const GeneralSettings s = LoadGeneralSettings(dir.path(), kSystem, &source);
  EXPECT_EQ(source, SettingsSource::kSetupIni);
  // A 400 x 40 placement at the top-left corner, 60 minutes, topmost.
  EXPECT_EQ(s.placement, (WindowPlacementFields{44, 1, 1, 0, 0, 0, 0, 0, 0, 400, 40}));
  EXPECT_EQ(s.flags & general_flags::kUpdateIntervalMinutes, 60u);
  EXPECT_NE(s.flags & general_flags::kTopmost, 0u);
  EXPECT_EQ(s.tip_flags, 63u);
  EXPECT_EQ(s.system_major, 6u);
  EXPECT_EQ(s.system_minor, 2u);
  GeneralSettings expected;
  expected.system_major = 6;
  expected.system_minor = 2;
  EXPECT_EQ(s, expected);

  ASSERT_TRUE(SaveGeneralSettings(dir.path(), s));
  EXPECT_EQ(ReadAll(dir / "setup.ini"),
            "[app_data]\r\nwp_flag=1\r\nwp_showcmd=1\r\nwp_minxpos=0\r\nwp_minypos=0\r\n"
            "wp_maxxpos=0\r\nwp_maxypos=0\r\nwp_left=0\r\nwp_top=0\r\nwp_right=400\r\n"
            "wp_bottom=40\r\nwidth=0\r\nheight=0\r\nxSp=0\r\nySp=0\r\nFontSize=20\r\n"
            "ScrollSpeed=10\r\ncf=55295\r\niFlag=135996\r\nskin=\r\nreadcf=16777215\r\n"
            "oldcf=16777215\r\niTipFlag=63\r\nmulti_monitor=0\r\nalpha_blend=128\r\n"
            "browser_path=\r\nbrowser_option=\r\n"
            "[titlefont]\r\nFaceName=\r\nCharSet=0\r\nClipPrecision=0\r\nEscapement=0\r\n"
            "Height=0\r\nItalic=0\r\nOrientation=0\r\nOutPrecision=0\r\nPitchAndFamily=0\r\n"
            "Quality=0\r\nStrikeOut=0\r\nUnderline=0\r\nWeight=0\r\nWidth=0\r\nanti_alias=0\r\n"
            "over_skin_font=0\r\n"
            "[backcolor]\r\nover_backcolor=0\r\ncolorcode=0\r\n");
}

TEST(GeneralSettingsTest, SaveAndLoadRoundTripWithSignedAndUnsignedKeys) {
  TempFolder dir;
  const GeneralSettings s = Distinctive();
  ASSERT_TRUE(SaveGeneralSettings(dir.path(), s));
  const std::string ini = ReadAll(dir / "setup.ini");
  EXPECT_NE(ini.find("\r\niFlag=2155872271\r\n"), std::string::npos);  // "%u"
  EXPECT_NE(ini.find("\r\noldcf=-1\r\n"), std::string::npos);          // "%d"
  EXPECT_NE(ini.find("\r\nwp_minxpos=-4\r\n"), std::string::npos);
  EXPECT_NE(ini.find("\r\nScrollSpeed=65535\r\n"), std::string::npos);
  EXPECT_NE(ini.find("\r\nskin=\x83\x58\x83\x4C\x83\x93\r\n"), std::string::npos);
  EXPECT_EQ(LoadGeneralSettings(dir.path(), kSystem), s);
}

TEST(GeneralSettingsTest, ValuesAreNarrowedAndCheckedOnRead) {
  TempFolder dir;
  ASSERT_TRUE(
      platform::WriteWholeFile(dir / "setup.ini",
                               "[app_data]\r\niTipFlag=0\r\nFontSize=70000\r\nalpha_blend=-1\r\n"
                               "skin=" +
                                   std::string(300, 's') +
                                   "\r\n[titlefont]\r\nItalic=257\r\n"
                                   "FaceName=" +
                                   std::string(40, 'f') + "\r\n"));
  const GeneralSettings s = LoadGeneralSettings(dir.path(), kSystem);
  EXPECT_EQ(s.tip_flags, 63u);
  EXPECT_EQ(s.font_size, 70000 & 0xFFFF);
  EXPECT_EQ(s.alpha_blend, 255);
  EXPECT_EQ(s.skin, std::string(kSkinNameSize - 1, 's'));
  EXPECT_EQ(s.title_font.italic, 1);
  EXPECT_EQ(s.title_font.face_name, std::string(kFaceNameSize - 1, 'f'));

  ASSERT_TRUE(platform::WriteWholeFile(dir / "setup.ini", "[app_data]\r\niTipFlag=5\r\n"));
  EXPECT_EQ(LoadGeneralSettings(dir.path(), kSystem).tip_flags, 5u);
}

TEST(LegacySettingsImageTest, FieldsSitAtTheirOffsets) {
  const LegacySettingsImage image = EncodeLegacySettings(Distinctive());
  auto u32 = [&image](size_t at) {
    return image[at] | image[at + 1] << 8 | image[at + 2] << 16 | uint32_t{image[at + 3]} << 24;
  };
  EXPECT_EQ(u32(0), 44u);
  EXPECT_EQ(u32(12), static_cast<uint32_t>(-4));
  EXPECT_EQ(u32(40), 260u);
  EXPECT_EQ(u32(44), 700u);
  EXPECT_EQ(image[60] | image[61] << 8, 14);
  EXPECT_EQ(image[62] | image[63] << 8, 65535);
  EXPECT_EQ(u32(68), 0x8080000Fu);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&image[72])), "\x83\x58\x83\x4C\x83\x93");
  EXPECT_EQ(u32(340), 5u);
  EXPECT_EQ(u32(348), static_cast<uint32_t>(-12));
  EXPECT_EQ(u32(364), 700u);
  EXPECT_EQ(image[368], 1);    // italic
  EXPECT_EQ(image[371], 128);  // char set
  EXPECT_EQ(image[375], 49);   // pitch and family
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&image[376])), "MS UI Gothic");
  EXPECT_EQ(u32(420), 0x00C0C0C0u);
  EXPECT_EQ(image[424], 200);
  EXPECT_EQ(image[425], 0);
  EXPECT_EQ(u32(428), 6u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&image[436])),
            "C:\\Program Files\\Browser\\browser.exe");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&image[2484])), "-new-tab %s");
  EXPECT_EQ(u32(2996), 0u);

  EXPECT_EQ(DecodeLegacySettings(image.data(), image.size()), Distinctive());
}

TEST(LegacySettingsImageTest, TextsWithoutTerminatorAndShortImagesStayInBounds) {
  LegacySettingsImage image;
  image.fill('x');
  const GeneralSettings full = DecodeLegacySettings(image.data(), image.size());
  EXPECT_EQ(full.skin, std::string(kSkinNameSize - 1, 'x'));
  EXPECT_EQ(full.title_font.face_name, std::string(kFaceNameSize - 1, 'x'));
  EXPECT_EQ(full.browser_path, std::string(kBrowserPathSize - 1, 'x'));
  EXPECT_EQ(full.browser_option, std::string(kBrowserOptionSize - 1, 'x'));

  // A two-byte character across the end of the field is dropped whole.
  GeneralSettings s;
  s.skin = std::string(kSkinNameSize - 2, 'a') + "\x83\x58";
  EXPECT_EQ(DecodeLegacySettings(EncodeLegacySettings(s).data(), kLegacySettingsSize).skin,
            std::string(kSkinNameSize - 2, 'a'));

  const GeneralSettings short_image = DecodeLegacySettings(image.data(), 70);
  EXPECT_EQ(short_image.flags, 0x7878u);  // bytes 68, 69 read, 70 and 71 are 0
  EXPECT_EQ(short_image.skin, "");
  EXPECT_EQ(short_image.alpha_blend, 0);
}

TEST(GeneralSettingsTest, LegacyFileWinsOnceAndIsWrittenToSetupIni) {
  TempFolder dir;
  GeneralSettings old;
  old.skin = "from setup.ini";
  old.flags = 1;
  ASSERT_TRUE(SaveGeneralSettings(dir.path(), old));
  const LegacySettingsImage image = EncodeLegacySettings(Distinctive());
  std::string bytes(image.begin(), image.end());
  bytes += std::string(500, '\x7F');  // anything after 3000 bytes is ignored
  ASSERT_TRUE(platform::WriteWholeFile(dir / "eboard", bytes));

  SettingsSource source;
  const GeneralSettings s = LoadGeneralSettings(dir.path(), {5, 1}, &source);
  EXPECT_EQ(source, SettingsSource::kLegacyImported);
  GeneralSettings expected = Distinctive();
  expected.system_major = 5;
  expected.system_minor = 1;
  EXPECT_EQ(s, expected);
  EXPECT_FALSE(platform::FileExists(dir / "eboard"));
  // The import is already in setup.ini and is what the next start reads.
  EXPECT_EQ(LoadGeneralSettings(dir.path(), {5, 1}, &source), expected);
  EXPECT_EQ(source, SettingsSource::kSetupIni);
}

// An eboard that cannot go (marked read-only) is imported once; the settings saved afterwards
// are what every later start reads, until another eboard appears.
TEST(GeneralSettingsTest, ReadOnlyLegacyFileIsImportedOnlyOnce) {
  TempFolder dir;
  const LegacySettingsImage image = EncodeLegacySettings(Distinctive());
  const std::string eboard = dir / "eboard";
  ASSERT_TRUE(platform::WriteWholeFile(eboard, std::string(image.begin(), image.end())));
  namespace fs = std::filesystem;
  const auto writable = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  fs::permissions(fs::u8path(eboard), writable, fs::perm_options::remove);
  ASSERT_TRUE(platform::IsReadOnlyFile(eboard));

  SettingsSource source;
  GeneralSettings s = LoadGeneralSettings(dir.path(), kSystem, &source);
  EXPECT_EQ(source, SettingsSource::kLegacyImported);
  EXPECT_EQ(s.skin, Distinctive().skin);
  EXPECT_TRUE(platform::FileExists(eboard));
  s.skin = "chosen since";
  ASSERT_TRUE(SaveGeneralSettings(dir.path(), s));
  for (int start = 0; start < 2; ++start) {
    EXPECT_EQ(LoadGeneralSettings(dir.path(), kSystem, &source).skin, "chosen since");
    EXPECT_EQ(source, SettingsSource::kSetupIni);
  }
  // Another eboard (another size) is imported again.
  fs::permissions(fs::u8path(eboard), fs::perms::owner_write, fs::perm_options::add);
  ASSERT_TRUE(platform::WriteWholeFile(eboard, std::string(image.begin(), image.begin() + 200)));
  EXPECT_EQ(LoadGeneralSettings(dir.path(), kSystem, &source).skin, Distinctive().skin);
  EXPECT_EQ(source, SettingsSource::kLegacyImported);
}

TEST(GeneralSettingsTest, ShortLegacyFileLeavesZerosWithTheFixedRules) {
  TempFolder dir;
  const LegacySettingsImage image = EncodeLegacySettings(Distinctive());
  ASSERT_TRUE(
      platform::WriteWholeFile(dir / "eboard", std::string(image.begin(), image.begin() + 64)));
  const GeneralSettings s = LoadGeneralSettings(dir.path(), kSystem);
  EXPECT_EQ(s.placement, Distinctive().placement);
  EXPECT_EQ(s.font_size, 14);
  EXPECT_EQ(s.flags, 0u);  // beyond the 64 bytes read
  EXPECT_EQ(s.tip_flags, 63u);
  EXPECT_EQ(s.alpha_blend, 0);

  ASSERT_TRUE(platform::WriteWholeFile(dir / "eboard", ""));
  const GeneralSettings empty = LoadGeneralSettings(dir.path(), kSystem);
  EXPECT_EQ(empty.placement.length, 44u);
  EXPECT_EQ(empty.placement.right, 0);
}

TEST(GeneralSettingsTest, LegacyFileStaysWhenSetupIniCannotBeWritten) {
  TempFolder dir;
  ASSERT_TRUE(platform::WriteWholeFile(dir / "setup.ini", "[app_data]\r\nskin=old\r\n"));
  std::filesystem::permissions(std::filesystem::u8path(dir / "setup.ini"),
                               std::filesystem::perms::owner_write |
                                   std::filesystem::perms::group_write |
                                   std::filesystem::perms::others_write,
                               std::filesystem::perm_options::remove);
  const LegacySettingsImage image = EncodeLegacySettings(Distinctive());
  ASSERT_TRUE(platform::WriteWholeFile(dir / "eboard", std::string(image.begin(), image.end())));
  SettingsSource source;
  EXPECT_EQ(LoadGeneralSettings(dir.path(), kSystem, &source).skin, Distinctive().skin);
  EXPECT_EQ(source, SettingsSource::kLegacyKept);
  EXPECT_TRUE(platform::FileExists(dir / "eboard"));
  std::filesystem::permissions(std::filesystem::u8path(dir / "setup.ini"),
                               std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
}

TEST(GeneralSettingsTest, StartPlacementAndUpdatePeriod) {
  GeneralSettings s;
  EXPECT_EQ(PlacementForStart(s, false).show_command, 1u);
  EXPECT_EQ(PlacementForStart(s, true).show_command, 0u);
  s.flags |= general_flags::kStartInTray;
  EXPECT_EQ(PlacementForStart(s, false).show_command, 0u);
  EXPECT_EQ(PlacementForStart(s, false).right, 400);
  // Stored hidden, started normally: shown, or nothing on screen and no tray icon would be left.
  s.flags &= ~general_flags::kStartInTray;
  s.placement.show_command = 0;
  EXPECT_EQ(PlacementForStart(s, false).show_command, 1u);
  EXPECT_EQ(PlacementForStart(s, true).show_command, 0u);
  s.placement.show_command = 3;  // maximised stays as stored
  EXPECT_EQ(PlacementForStart(s, false).show_command, 3u);
  EXPECT_EQ(UpdatePeriodMilliseconds(general_flags::kDefault), 60u * 60000u);
  EXPECT_EQ(UpdatePeriodMilliseconds(0xFFFFFF00u), 0u);
}

TEST(NetworkSettingsTest, DefaultsUserAgentRuleAndRoundTrip) {
  TempFolder dir;
  NetworkSettings s = LoadNetworkSettings(dir.path());
  EXPECT_EQ(s.type, 0);
  EXPECT_EQ(s.proxy, "");
  EXPECT_EQ(s.port, 0);
  EXPECT_EQ(s.user_agent, "korvo/2.75");
  EXPECT_EQ(s.time_out, 30);

  const std::pair<std::string, std::string> agents[] = {
      {"Mozilla/4.0", "korvo/2.75"}, {"korvo/3", "korvo/3"}, {"Korvo/3", "korvo/2.75"},
      {"korvo", "korvo/2.75"},       {"", "korvo/2.75"},     {"korvo/", "korvo/"}};
  for (const auto& [stored, read] : agents) {
    ASSERT_TRUE(WriteProfileValue(dir / "setup.ini", "connect", "user_agent", stored));
    EXPECT_EQ(LoadNetworkSettings(dir.path()).user_agent, read) << stored;
  }

  s.type = 2;
  s.proxy = "proxy.example:8080";
  s.port = 8080;
  s.user_agent = "korvo/9";
  s.time_out = -1;
  ASSERT_TRUE(SaveNetworkSettings(dir.path(), s));
  const NetworkSettings back = LoadNetworkSettings(dir.path());
  EXPECT_EQ(back.type, 2);
  EXPECT_EQ(back.proxy, "proxy.example:8080");
  EXPECT_EQ(back.port, 8080);
  EXPECT_EQ(back.user_agent, "korvo/9");
  EXPECT_EQ(back.time_out, -1);

  ASSERT_TRUE(WriteProfileValue(dir / "setup.ini", "connect", "proxy", std::string(600, 'p')));
  EXPECT_EQ(LoadNetworkSettings(dir.path()).proxy.size(), kProxySize - 1);
}

TEST(BrowseGeometryTest, MinimisedFlagsAreZeroOrOneAndEverythingRoundTrips) {
  TempFolder dir;
  ASSERT_TRUE(platform::WriteWholeFile(dir / "setup.ini",
                                       "[search_window]\r\nx_min=5\r\ny_min=-2\r\ncol11=80\r\n"));
  BrowseGeometry g = LoadBrowseGeometry(dir.path());
  EXPECT_EQ(g.x_min, 1);
  EXPECT_EQ(g.y_min, 0);
  EXPECT_EQ(g.columns[11], 80);
  EXPECT_EQ(g.x_pos, 0);

  g.x_pos = 10;
  g.y_bottom = -7;
  g.fields[6] = 3;
  g.columns[0] = 120;
  ASSERT_TRUE(SaveBrowseGeometry(dir.path(), g));
  const std::string ini = ReadAll(dir / "setup.ini");
  EXPECT_NE(ini.find("x_pos=10\r\ny_pos=0\r\nwidth=0\r\nheight=0\r\nrd_height=0\r\n"),
            std::string::npos);
  const BrowseGeometry back = LoadBrowseGeometry(dir.path());
  EXPECT_EQ(back.x_pos, 10);
  EXPECT_EQ(back.y_bottom, -7);
  EXPECT_EQ(back.fields[6], 3);
  EXPECT_EQ(back.columns[0], 120);
  EXPECT_EQ(back.columns[11], 80);
  EXPECT_EQ(back.x_min, 1);
}

}  // namespace
}  // namespace korvo
