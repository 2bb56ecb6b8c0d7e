// The frame layout, the collapse buttons and splitters, the layout record round trip and the
// browse window's fonts.
#include "browse/browse_layout.h"

#include <gtest/gtest.h>

#include "browse/browse_fonts.h"
#include "common/temp_folder.h"
#include "platform/code_page.h"
#include "shell/profile_file.h"

namespace korvo::testing {
namespace {

TEST(BrowseLayoutTest, PanesSplittersAndButtonsTileTheClientArea) {
  PaneSizes sizes;
  sizes.left_width = 200;
  sizes.down_height = 250;
  const FrameLayout l = LayOutFrame(1000, 700, 20, sizes);
  EXPECT_EQ(l.left, (PaneRect{0, 0, 200, 680}));
  EXPECT_EQ(l.x_splitter, (PaneRect{200, 0, 207, 680}));
  EXPECT_EQ(l.right_down, (PaneRect{207, 430, 1000, 680}));
  EXPECT_EQ(l.y_splitter, (PaneRect{207, 423, 1000, 430}));
  EXPECT_EQ(l.right_up, (PaneRect{207, 0, 1000, 423}));
  EXPECT_EQ(l.status, (PaneRect{0, 680, 1000, 700}));
  EXPECT_EQ(l.status_first_part, 205);
  EXPECT_EQ(l.left_button.height(), 7);
  EXPECT_EQ(l.down_button.width(), 50);
  EXPECT_EQ(l.left_button.top, l.y_splitter.top);
  EXPECT_EQ(HitSplitter(l, 203, 100), SplitterHit::kVertical);
  EXPECT_EQ(HitSplitter(l, 900, 425), SplitterHit::kHorizontal);
  EXPECT_EQ(HitSplitter(l, l.down_button.left + 1, 425), SplitterHit::kNone);
  EXPECT_EQ(HitSplitter(l, 500, 100), SplitterHit::kNone);
}

TEST(BrowseLayoutTest, CollapsingAndOpeningKeepsTheSizes) {
  PaneSizes sizes;
  sizes.left_width = 240;
  sizes.down_height = 300;
  ToggleLeftPane(&sizes);
  ToggleDownPane(&sizes);
  FrameLayout l = LayOutFrame(1000, 700, 20, sizes);
  EXPECT_EQ(l.left.width(), 0);
  EXPECT_EQ(l.right_down.height(), 0);
  EXPECT_EQ(l.right_up.bottom, 673);  // the splitter stays above the status bar
  ToggleLeftPane(&sizes);
  ToggleDownPane(&sizes);
  l = LayOutFrame(1000, 700, 20, sizes);
  EXPECT_EQ(l.left.width(), 240);
  EXPECT_EQ(l.right_down.height(), 300);
}

TEST(BrowseLayoutTest, OversizedPanesAndDraggedSplittersAreClamped) {
  PaneSizes sizes;
  sizes.left_width = 5000;
  sizes.down_height = 5000;
  const FrameLayout l = LayOutFrame(600, 400, 20, sizes);
  EXPECT_EQ(l.right_up.width(), kMinRightWidth);
  EXPECT_EQ(l.right_up.height(), kMinPaneHeight);
  EXPECT_EQ(sizes.left_width, 5000);  // what the user chose stays for a larger window

  sizes.left_collapsed = true;
  DragVerticalSplitter(10, 600, &sizes);
  EXPECT_FALSE(sizes.left_collapsed);
  EXPECT_EQ(sizes.left_width, kMinLeftWidth);
  DragHorizontalSplitter(100, 380, &sizes);
  EXPECT_EQ(sizes.down_height, 380 - 100 - 3);
  DragHorizontalSplitter(379, 380, &sizes);
  EXPECT_EQ(sizes.down_height, kMinPaneHeight);
  EXPECT_EQ(LayOutFrame(0, 0, 20, sizes).left.width(), 0);  // a minimised frame
}

TEST(BrowseLayoutTest, LayoutRecordRoundTripsThroughSetupIni) {
  TempFolder folder;
  PaneSizes sizes;
  sizes.left_width = 260;
  sizes.down_height = 210;
  sizes.left_collapsed = true;
  const FrameLayout l = LayOutFrame(900, 600, 22, sizes);
  BrowseGeometry g;
  for (size_t i = 0; i < g.columns.size(); ++i) g.columns[i] = static_cast<int32_t>(i * 10);
  g.fields = {1, 0, 0, 1, 0, 0, 1};
  StoreLayout(sizes, l, {50, 60, 950, 700}, &g);
  EXPECT_EQ(g.x_min, 1);
  EXPECT_EQ(g.x_left, 0);
  EXPECT_EQ(g.x_width, 260);
  EXPECT_EQ(g.rd_height, 210);
  ASSERT_TRUE(SaveBrowseGeometry(folder.path(), g));

  const BrowseGeometry back = LoadBrowseGeometry(folder.path());
  EXPECT_EQ(back.columns, g.columns);
  EXPECT_EQ(back.fields, g.fields);
  const PaneSizes restored = PaneSizesFromGeometry(back);
  EXPECT_TRUE(restored.left_collapsed);
  EXPECT_FALSE(restored.down_collapsed);
  EXPECT_EQ(restored.left_width, 260);
  EXPECT_EQ(restored.down_height, 210);
  EXPECT_EQ(FrameRectangle(back, {0, 0, 1280, 800}), (PaneRect{50, 60, 950, 700}));
  // Opening the pane again after the restart gives its width back.
  PaneSizes open = restored;
  ToggleLeftPane(&open);
  EXPECT_EQ(LayOutFrame(900, 600, 22, open).left.width(), 260);
}

TEST(BrowseLayoutTest, EmptyOrOffScreenRecordsGiveTheDefaults) {
  const BrowseGeometry empty;
  const PaneSizes sizes = PaneSizesFromGeometry(empty);
  EXPECT_EQ(sizes.left_width, kDefaultLeftWidth);
  EXPECT_EQ(sizes.down_height, kDefaultDownHeight);
  EXPECT_FALSE(sizes.left_collapsed);
  const PaneRect work = {0, 0, 1280, 770};
  EXPECT_EQ(FrameRectangle(empty, work), (PaneRect{160, 45, 1120, 725}));
  BrowseGeometry away;
  away.x_pos = 5000;
  away.y_pos = 10;
  away.width = 500;
  away.height = 400;
  EXPECT_EQ(FrameRectangle(away, work).left, 160);
  EXPECT_EQ(FrameRectangle(empty, {0, 0, 640, 480}), (PaneRect{0, 0, 640, 480}));
}

TEST(BrowseFontsTest, MissingSectionsAreWrittenWithTheirDefaults) {
  TempFolder folder;
  const TitleFont list = LoadBrowseFont(folder.path(), kListFontSection);
  EXPECT_EQ(list.height, -12);
  EXPECT_EQ(list.weight, 400);
  EXPECT_EQ(list.char_set, 1);
  EXPECT_EQ(list.face_name, "MS UI Gothic");
  EXPECT_EQ(LoadBrowseFont(folder.path(), kDescFontSection).height, -18);
  ProfileFile ini;
  ini.Load(folder / "setup.ini");
  EXPECT_EQ(ini.GetInt("list_font", "Height", 0), -12);
  EXPECT_EQ(ini.GetString("desc_font", "FaceName", "", 32), "MS UI Gothic");

  TitleFont big = list;
  big.height = -20;
  big.face_name = platform::Utf8ToCp932(u8"メイリオ");
  ASSERT_TRUE(SaveBrowseFont(folder.path(), kListFontSection, big));
  EXPECT_EQ(LoadBrowseFont(folder.path(), kListFontSection), big);
  EXPECT_EQ(ListRowHeight(-20), 30);
  EXPECT_EQ(ListRowHeight(-12), 18);
}

}  // namespace
}  // namespace korvo::testing
