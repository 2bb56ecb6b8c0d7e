// Skins: the .ini keys and their defaults, colours, geometry (margins, stretch, minimum sizes,
// resizing, folding, nine-slice pieces, frames), buttons, user.ini and loading from a folder.
#include "ticker/skin.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/temp_folder.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "shell/profile_file.h"
#include "ticker/nine_slice.h"
#include "ticker/skin_button.h"
#include "ticker/skin_definition.h"
#include "ticker/skin_files.h"
#include "ticker/skin_layout.h"
#include "ticker/skin_user_settings.h"

namespace korvo {
namespace {

using korvo::testing::TempFolder;

// The headers of a bitmap file that declares `width` x `height` (info header; core header with
// `core`). The pixels are left out: only the headers are read here.
std::string BitmapHeaders(int width, int height, bool core = false) {
  std::string b = "BM";
  auto le32 = [&b](uint32_t v) {
    for (int i = 0; i < 4; ++i) b += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  auto le16 = [&b](uint16_t v) {
    b += static_cast<char>(v & 0xFF);
    b += static_cast<char>(v >> 8);
  };
  le32(0);
  le32(0);
  le32(core ? 26 : 54);
  if (core) {
    le32(12);
    le16(static_cast<uint16_t>(width));
    le16(static_cast<uint16_t>(height));
    le16(1);
    le16(24);
  } else {
    le32(40);
    le32(static_cast<uint32_t>(width));
    le32(static_cast<uint32_t>(height));
    le16(1);
    le16(24);
    b.append(24, '\0');
  }
  return b;
}

ProfileFile Ini(const TempFolder& dir, const std::string& text) {
  const std::string path = dir / "skin.ini";
  EXPECT_TRUE(platform::WriteWholeFile(path, text));
  ProfileFile ini;
  EXPECT_TRUE(ini.Load(path));
  return ini;
}

TEST(SkinColourTest, ParsesThreeNumbersIntoColorref) {
  const struct {
    const char* text;
    SkinColour want;
  } cases[] = {
      {"255 0 255", 0xFF00FF},
      {"1 2 3", 0x030201},
      {"256 257 -1", 0xFF0100},  // low 8 bits of each
      {"10 20", 0},              // only one blank: black
      {"", 0},
      {"12 x 7", 0x07000C},  // a part without digits reads as 0
      {"0 0 0 trailing", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseSkinColour(c.text), c.want) << c.text;
}

TEST(SkinDefinitionTest, DefaultsForAnEmptyFile) {
  TempFolder dir;
  const SkinDefinition s = ReadSkinDefinition(Ini(dir, ""));
  EXPECT_EQ(s.box_width, 200);
  EXPECT_EQ(s.box_height, 20);
  EXPECT_EQ(s.hold_time, 4000);
  EXPECT_EQ(s.idle_number, -1);
  EXPECT_EQ(s.fade_in_number, -1);
  EXPECT_EQ(s.grip_x, 5);
  EXPECT_EQ(s.colour_key, kSkinMagenta);
  EXPECT_EQ(s.new_colour, kSkinWhite);
  EXPECT_EQ(s.interval, 500);
  EXPECT_EQ(s.backcolor_width, 200);
  EXPECT_FALSE(s.has_buttons());
  EXPECT_TRUE(ReadSkinButtons(Ini(dir, "")).empty());
}

TEST(SkinDefinitionTest, ReadsKeysAndCutsTexts) {
  TempFolder dir;
  // A face name of 30 ASCII bytes and a two-byte character: the field keeps 31 bytes, so the
  // character that would be cut in half is left out.
  const std::string face = std::string(30, 'F') + "\x82\xa0";
  const SkinDefinition s =
      ReadSkinDefinition(Ini(dir,
                             "[newsbox]\r\nx=12\r\ny=-3\r\nscroll=7\r\ntransparent=1\r\n"
                             "[skininfo]\r\ncolorkey=0 255 0\r\nread_color=bad\r\n"
                             "font_name=" +
                                 face +
                                 "\r\nbackcolor_y=9\r\n"
                                 "[site_info]\r\nsite_x_pos=-40\r\nsite_width=100\r\n"
                                 "[plugin_info]\r\nplugin_path=plugin\\clock.dll\r\n"));
  EXPECT_EQ(s.box_x, 12);
  EXPECT_EQ(s.box_y, -3);
  EXPECT_EQ(s.scroll, 7);
  EXPECT_TRUE(s.box_transparent);
  EXPECT_EQ(s.colour_key, 0x00FF00u);
  EXPECT_EQ(s.read_colour, 0u);  // unparsable: black
  EXPECT_EQ(s.font_name, std::string(30, 'F'));
  EXPECT_EQ(s.backcolor_x, 12);  // defaults to the news box
  EXPECT_EQ(s.backcolor_y, 9);
  EXPECT_EQ(s.site_x, -40);
  EXPECT_EQ(s.plugin_path, "plugin\\clock.dll");
}

TEST(SkinDefinitionTest, ButtonsStopAtTheFirstIncompleteSection) {
  TempFolder dir;
  std::string text;
  for (int n : {0, 1, 3}) {
    text += "[btn" + std::to_string(n) + "]\r\nxpos=" + std::to_string(n * 10) +
            "\r\nypos=-5\r\naction=" + std::to_string(n) + "\r\n";
    if (n == 1) text += "tooltip=next\r\nparam=http://example.com/\r\n";
  }
  const std::vector<SkinButtonDefinition> buttons = ReadSkinButtons(Ini(dir, text));
  ASSERT_EQ(buttons.size(), 2u);
  EXPECT_EQ(buttons[1].number, 1);
  EXPECT_EQ(buttons[1].x, 10);
  EXPECT_EQ(buttons[1].y, -5);
  EXPECT_EQ(buttons[1].btnx, -1);
  EXPECT_EQ(buttons[1].param, "http://example.com/");

  // A section lacking `action` ends the list too; at most 16 are read.
  EXPECT_EQ(ReadSkinButtons(Ini(dir, "[btn0]\r\nxpos=1\r\nypos=1\r\n")).size(), 0u);
  std::string many;
  for (int n = 0; n < 20; ++n) {
    many += "[btn" + std::to_string(n) + "]\r\nxpos=0\r\nypos=0\r\naction=1\r\n";
  }
  EXPECT_EQ(ReadSkinButtons(Ini(dir, many)).size(), static_cast<size_t>(kMaxSkinButtons));
}

SkinDefinition BoxDefinition(int x, int y, int w, int h) {
  SkinDefinition s;
  s.box_x = x;
  s.box_y = y;
  s.box_width = w;
  s.box_height = h;
  return s;
}

TEST(SkinLayoutTest, FaceSizeMarginsAndStretchDefaults) {
  SkinDefinition s = BoxDefinition(20, 4, 300, 20);
  s.face_height = 100;  // width 0: the bitmap's whole size for both
  SkinLayout layout(s, 400, 96);
  EXPECT_EQ(layout.base_size(), (SkinSize{400, 96}));
  EXPECT_EQ(layout.margins(), (SkinMargins{20, 80, 4, 72}));
  EXPECT_EQ(layout.margins().packed_x(), 20u | 80u << 16);
  EXPECT_EQ(layout.stretch_x_start(), 20);
  EXPECT_EQ(layout.stretch_x_end(), 320);
  EXPECT_EQ(layout.stretch_y_start(), 4);
  EXPECT_EQ(layout.stretch_y_end(), 24);
  EXPECT_EQ(layout.minimum_size(), (SkinSize{100, 76}));
  EXPECT_EQ(layout.news_box(), (SkinRect{20, 4, 300, 20}));

  // A news box wider than the face: right margin 0, not negative.
  SkinLayout wide(BoxDefinition(10, 0, 500, 20), 400, 32);
  EXPECT_EQ(wide.margins().right, 0);
  EXPECT_EQ(wide.news_box().width, 390);

  // Stretch values outside the face are clamped to it.
  s.face_width = 400;
  s.stretch_x_st = 350;
  s.stretch_x_end = 900;
  EXPECT_EQ(SkinLayout(s, 400, 96).stretch_x_end(), 400);
  EXPECT_EQ(SkinLayout(s, 400, 96).stretch_x_start(), 350);
}

TEST(SkinLayoutTest, StoredSizeAndResizeRules) {
  SkinDefinition s = BoxDefinition(20, 4, 300, 20);
  SkinLayout layout(s, 400, 28);                 // minimum 100 x 8
  EXPECT_FALSE(layout.ApplyStoredSize(99, 40));  // narrower than the fixed parts: ignored
  EXPECT_FALSE(layout.ApplyStoredSize(500, 0));
  EXPECT_TRUE(layout.ApplyStoredSize(500, 40));
  EXPECT_EQ(layout.news_box(), (SkinRect{20, 4, 400, 32}));
  EXPECT_TRUE(layout.resized());

  EXPECT_EQ(layout.Resize(10, 3), (SkinSize{100, 8}));  // raised to the minimum
  EXPECT_EQ(layout.ResizeNewsBox(200, 0), (SkinSize{300, 8}));
  EXPECT_EQ(layout.Restore(), (SkinSize{400, 28}));
  EXPECT_FALSE(layout.resized());

  const struct {
    int variable;
    SkinSize want;
  } rules[] = {{0, {600, 50}}, {1, {600, 28}}, {2, {400, 50}}, {3, {400, 28}}};
  for (const auto& r : rules) {
    s.variable_size = r.variable;
    SkinLayout l(s, 400, 28);
    EXPECT_EQ(l.Resize(600, 50), r.want) << r.variable;
  }
}

TEST(SkinLayoutTest, NoChangeKeepsTheNewsBoxSize) {
  SkinDefinition s = BoxDefinition(20, 4, 300, 20);
  s.no_change_width = true;
  SkinLayout layout(s, 400, 28);
  layout.Resize(500, 40);
  EXPECT_EQ(layout.margins(), (SkinMargins{20, 180, 4, 4}));
  EXPECT_EQ(layout.news_box(), (SkinRect{20, 4, 300, 32}));
}

TEST(SkinLayoutTest, FoldRemembersTheSizeOrTheBase) {
  SkinDefinition s = BoxDefinition(10, 10, 100, 20);
  s.stretch_y_st = 10;
  s.stretch_y_end = 30;
  s.stretch_x_st = 10;
  s.stretch_x_end = 110;
  SkinLayout layout(s, 120, 40);  // minimum 20 x 20
  layout.Resize(120, 80);
  EXPECT_EQ(layout.ToggleFold(), (SkinSize{120, 20}));
  EXPECT_TRUE(layout.folded());
  EXPECT_EQ(layout.ToggleFold(), (SkinSize{120, 80}));

  // Less than 10 pixels above the minimum: unfolding gives the base height.
  layout.Resize(120, 25);
  layout.ToggleFold();
  EXPECT_EQ(layout.ToggleFold(), (SkinSize{120, 40}));

  // Width-only skins do not fold their height.
  s.variable_size = 1;
  SkinLayout width_only(s, 120, 40);
  EXPECT_EQ(width_only.ToggleFold(), (SkinSize{120, 40}));
  EXPECT_EQ(width_only.ToggleFold(true), (SkinSize{20, 40}));
}

TEST(SkinLayoutTest, PlacesFromEdgesAndGrowsThePluginArea) {
  SkinDefinition s = BoxDefinition(0, 0, 100, 20);
  s.plugin_x = -60;
  s.plugin_y = 4;
  s.plugin_width = 50;
  s.plugin_height = 16;
  SkinLayout layout(s, 200, 24);
  layout.Resize(260, 30);
  EXPECT_EQ(layout.Place(-30, -10, 20, 8), (SkinRect{230, 20, 20, 8}));
  EXPECT_EQ(layout.Place(5, 6, 1, 1), (SkinRect{5, 6, 1, 1}));
  EXPECT_EQ(layout.PluginArea(s), (SkinRect{200, 4, 110, 22}));
}

TEST(SkinLayoutTest, FramesAndTiles) {
  SkinDefinition s = BoxDefinition(0, 0, 100, 20);
  s.face_width = 100;
  s.face_height = 30;
  SkinLayout whole(s, 400, 90);
  EXPECT_EQ(whole.FrameCount(), 4);
  EXPECT_EQ(whole.RowCount(), 3);
  EXPECT_EQ(whole.FaceTile(2, 1), (SkinRect{200, 30, 100, 30}));

  s.anime_x = -20;
  s.anime_y = 2;
  s.anime_width = 16;
  s.anime_height = 16;
  SkinLayout area(s, 180, 90);
  EXPECT_EQ(area.FrameCount(), 5);
  EXPECT_EQ(area.AreaFrame(3, 2), (SkinRect{148, 60, 16, 16}));
  EXPECT_EQ(area.AnimatedArea(), (SkinRect{80, 2, 16, 16}));

  SkinDefinition none;
  EXPECT_EQ(SkinLayout(none, 0, 0).FrameCount(), 0);
}

TEST(NineSliceTest, CornersStayEdgesAndCentreStretch) {
  SkinDefinition s = BoxDefinition(10, 5, 80, 10);  // face 100 x 20: stretch 10..90, 5..15
  s.face_width = 100;
  s.face_height = 20;
  SkinLayout layout(s, 100, 40);
  const SkinRect tile = layout.FaceTile(0, 1);
  NineSlicePlan plain = PlanNineSlice(tile, layout);
  ASSERT_EQ(plain.count, 1);
  EXPECT_EQ(plain.blits[0], (SliceBlit{{0, 20, 100, 20}, {0, 0, 100, 20}}));

  layout.Resize(150, 30);
  const NineSlicePlan plan = PlanNineSlice(tile, layout);
  ASSERT_EQ(plan.count, 9);
  EXPECT_EQ(plan.blits[0], (SliceBlit{{0, 20, 10, 5}, {0, 0, 10, 5}}));       // corner
  EXPECT_EQ(plan.blits[1], (SliceBlit{{10, 20, 80, 5}, {10, 0, 130, 5}}));    // top edge
  EXPECT_EQ(plan.blits[2], (SliceBlit{{90, 20, 10, 5}, {140, 0, 10, 5}}));    // corner
  EXPECT_EQ(plan.blits[4], (SliceBlit{{10, 25, 80, 10}, {10, 5, 130, 20}}));  // centre
  EXPECT_EQ(plan.blits[8], (SliceBlit{{90, 35, 10, 5}, {140, 25, 10, 5}}));   // corner

  // A skin whose stretch columns reach its edge: the empty pieces are left out.
  s.stretch_x_st = 0;
  s.stretch_x_end = 100;
  SkinLayout edge(s, 100, 20);
  edge.Resize(200, 20);
  EXPECT_EQ(PlanNineSlice(edge.FaceTile(0, 0), edge).count, 3);
}

TEST(SkinButtonTest, ImagesRectanglesAndActions) {
  SkinDefinition s = BoxDefinition(0, 0, 100, 20);
  s.button_width = 12;
  s.button_height = 10;
  SkinButtonDefinition b;
  b.number = 2;
  b.x = -14;
  b.y = 3;
  EXPECT_EQ(SkinButtonImageFor(b, s, SkinButtonState::kHot).image,
            (SkinRect{(3 * 2 + 2) * 12, 0, 12, 10}));
  EXPECT_EQ(SkinButtonImageFor(b, s, SkinButtonState::kHot).mask.width, 0);
  b.btnx = 40;
  b.btny = 8;
  b.maskx = 0;
  b.masky = 30;
  b.width = 16;
  const SkinButtonImage pressed = SkinButtonImageFor(b, s, SkinButtonState::kPressed);
  EXPECT_EQ(pressed.image, (SkinRect{56, 8, 16, 10}));
  EXPECT_EQ(pressed.mask, (SkinRect{16, 30, 16, 10}));
  SkinLayout layout(s, 200, 30);
  EXPECT_EQ(SkinButtonRect(b, s, layout), (SkinRect{186, 3, 16, 10}));

  using K = SkinButtonAction::Kind;
  EXPECT_EQ(SkinButtonActionFor(0), (SkinButtonAction{K::kPostCommand, 32785}));
  EXPECT_EQ(SkinButtonActionFor(3), (SkinButtonAction{K::kSendCommand, 32814}));
  EXPECT_EQ(SkinButtonActionFor(8), (SkinButtonAction{K::kSendCommand, 32823}));
  EXPECT_EQ(SkinButtonActionFor(14), (SkinButtonAction{K::kPostCommand, 105}));
  EXPECT_EQ(SkinButtonActionFor(15).kind, K::kTickerMenu);
  EXPECT_EQ(SkinButtonActionFor(16).kind, K::kOpenParam);
  EXPECT_EQ(SkinButtonActionFor(18).kind, K::kFold);
  EXPECT_EQ(SkinButtonActionFor(22), (SkinButtonAction{K::kPostCommand, 32776}));
  EXPECT_EQ(SkinButtonActionFor(23).kind, K::kNothing);
  EXPECT_EQ(SkinButtonActionFor(-1).kind, K::kNothing);
}

TEST(SkinFilesTest, FindsTheFirstIniAndBitmapAndReadsBitmapSizes) {
  TempFolder dir;
  SkinFiles files;
  EXPECT_FALSE(FindSkinFiles(dir.path(), &files));
  ASSERT_TRUE(platform::WriteWholeFile(dir / "b.ini", ""));
  ASSERT_TRUE(platform::WriteWholeFile(dir / "A.INI", ""));
  EXPECT_FALSE(FindSkinFiles(dir.path(), &files));  // no bitmap yet
  ASSERT_TRUE(platform::WriteWholeFile(dir / "face.Bmp", BitmapHeaders(300, 40)));
  ASSERT_TRUE(FindSkinFiles(dir.path(), &files));
  EXPECT_EQ(files.ini, dir / "A.INI");
  EXPECT_EQ(files.bitmap, dir / "face.Bmp");
  EXPECT_TRUE(files.button_bitmap.empty());
  ASSERT_TRUE(platform::WriteWholeFile(dir / kButtonBitmapName, BitmapHeaders(10, 10)));
  ASSERT_TRUE(FindSkinFiles(dir.path(), &files));
  EXPECT_EQ(files.button_bitmap, dir / kButtonBitmapName);

  const struct {
    std::string bytes;
    bool ok;
    int w, h;
  } cases[] = {
      {BitmapHeaders(300, 40), true, 300, 40},
      {BitmapHeaders(64, 16, true), true, 64, 16},
      {BitmapHeaders(5, -7), true, 5, 7},  // top-down
      {BitmapHeaders(0, 7), false, 0, 0},
      {BitmapHeaders(40000, 7), false, 0, 0},
      {"BM short", false, 0, 0},
      {"GIF89a" + std::string(40, '\0'), false, 0, 0},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(platform::WriteWholeFile(dir / "x.bmp", c.bytes));
    int w = 0;
    int h = 0;
    EXPECT_EQ(ReadBitmapSize(dir / "x.bmp", &w, &h), c.ok);
    if (c.ok) {
      EXPECT_EQ(w, c.w);
      EXPECT_EQ(h, c.h);
    }
  }
}

TEST(SkinUserSettingsTest, Utf16SectionPerSkinName) {
  TempFolder dir;
  const std::string path = dir / kUserIniName;
  const std::string name = platform::Utf8ToCp932("青い空");
  EXPECT_EQ(ReadSkinUserSettings(path, name).scroll, -1);
  ASSERT_TRUE(SaveSkinUserSize(path, name, 640, 48));
  ASSERT_TRUE(SaveSkinUserEffect(path, name, 13, 2500));
  std::string bytes;
  ASSERT_TRUE(platform::ReadWholeFile(path, &bytes));
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  EXPECT_NE(bytes.find(std::string("\x52\x97", 2)), std::string::npos);  // U+9752 "青"
  const SkinUserSettings s = ReadSkinUserSettings(path, name);
  EXPECT_EQ(s.width, 640);
  EXPECT_EQ(s.height, 48);
  EXPECT_EQ(s.scroll, 13);
  EXPECT_EQ(s.hold_time, 2500);
  ASSERT_TRUE(RemoveSkinUserSettings(path, name));
  EXPECT_EQ(ReadSkinUserSettings(path, name).width, 0);
}

TEST(LoadSkinTest, LoadsFromTheFolderWithOverrides) {
  TempFolder root;
  const std::string folder = root / "blue";
  ASSERT_TRUE(platform::MakeDirectory(folder));
  ASSERT_TRUE(platform::WriteWholeFile(folder + "/blue.ini",
                                       "[newsbox]\r\nx=10\r\ny=4\r\nwidth=200\r\nheight=20\r\n"
                                       "scroll=3\r\nhold_time=3000\r\n"
                                       "[button_info]\r\nwidth=10\r\nheight=10\r\n"
                                       "[btn0]\r\nxpos=1\r\nypos=1\r\naction=1\r\n"));
  ASSERT_TRUE(platform::WriteWholeFile(folder + "/face.bmp", BitmapHeaders(240, 28)));
  const std::string user = root / kUserIniName;

  std::optional<Skin> skin = LoadSkin(root.path(), "blue", user);
  ASSERT_TRUE(skin.has_value());
  EXPECT_EQ(skin->effect, 3);
  EXPECT_EQ(skin->hold_time, 3000);
  EXPECT_TRUE(skin->buttons.empty());  // no btn_bitmap.btn
  EXPECT_EQ(skin->layout.margins(), (SkinMargins{10, 30, 4, 4}));

  ASSERT_TRUE(platform::WriteWholeFile(folder + "/" + kButtonBitmapName, BitmapHeaders(60, 10)));
  ASSERT_TRUE(SaveSkinUserSize(user, "blue", 300, 40));
  ASSERT_TRUE(SaveSkinUserEffect(user, "blue", -1, 0));
  skin = LoadSkin(root.path(), "blue", user);
  ASSERT_TRUE(skin.has_value());
  EXPECT_EQ(skin->effect, 3);  // -1 and 0 in user.ini: the skin's own
  EXPECT_EQ(skin->hold_time, 3000);
  EXPECT_EQ(skin->buttons.size(), 1u);
  EXPECT_EQ(skin->layout.size(), (SkinSize{300, 40}));
  ASSERT_TRUE(SaveSkinUserEffect(user, "blue", 17, 1000));
  EXPECT_EQ(LoadSkin(root.path(), "blue", user)->effect, 17);

  SkinMargins margins;
  ASSERT_TRUE(ReadSkinMargins(root.path(), "blue", &margins));
  EXPECT_EQ(margins, (SkinMargins{10, 30, 4, 4}));

  for (const char* bad : {"", "noskin260", "..", "missing", "blue/../blue"}) {
    EXPECT_FALSE(LoadSkin(root.path(), bad, user).has_value()) << bad;
  }
}

}  // namespace
}  // namespace korvo
