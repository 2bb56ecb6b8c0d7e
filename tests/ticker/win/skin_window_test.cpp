// The skin window in the test's own process (under Wine): applying a skin, the item texts and
// their getters, texts and buffers from other processes refused, the animation and size messages,
// button clicks.
#include "ticker/win/skin_window.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <cstdint>
#include <string>

#include "common/temp_folder.h"
#include "platform/files.h"
#include "ticker/skin.h"
#include "ticker/skin_window_messages.h"
#include "ticker/win/win_util.h"

namespace korvo {
namespace {

using korvo::testing::TempFolder;
namespace sw = skin_window_message;

// A 24-bit bitmap file of width x height, every pixel `bgr`.
std::string Bitmap(int width, int height, uint32_t bgr) {
  auto le = [](std::string* s, uint32_t v, int n) {
    for (int i = 0; i < n; ++i) *s += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  const int stride = (width * 3 + 3) & ~3;
  std::string pixels;
  for (int y = 0; y < height; ++y) {
    std::string row;
    for (int x = 0; x < width; ++x) le(&row, bgr, 3);
    row.resize(static_cast<size_t>(stride), '\0');
    pixels += row;
  }
  std::string file = "BM";
  le(&file, 54 + static_cast<uint32_t>(pixels.size()), 4);
  le(&file, 0, 4);
  le(&file, 54, 4);
  le(&file, 40, 4);
  le(&file, static_cast<uint32_t>(width), 4);
  le(&file, static_cast<uint32_t>(height), 4);
  le(&file, 1, 2);
  le(&file, 24, 2);
  file.append(24, '\0');
  return file + pixels;
}

class SkinWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    const std::string folder = dir_ / "skin/green";
    ASSERT_TRUE(platform::MakeDirectory(dir_ / "skin"));
    ASSERT_TRUE(platform::MakeDirectory(folder));
    // Face 100 x 30 (two frames wide, two rows), news box 10,5 80 x 20, dark green; a fold
    // button (300) at 2,2.
    ASSERT_TRUE(platform::WriteWholeFile(folder + "/face.bmp", Bitmap(200, 60, 0x004000)));
    ASSERT_TRUE(platform::WriteWholeFile(folder + "/btn_bitmap.btn", Bitmap(24, 16, 0xFFFFFF)));
    ASSERT_TRUE(platform::WriteWholeFile(
        folder + "/green.ini",
        "[newsbox]\r\nx=10\r\ny=5\r\nwidth=80\r\nheight=20\r\n[skininfo]\r\nwidth=100\r\n"
        "height=30\r\nstretch_y_st=5\r\nstretch_y_end=25\r\n[site_info]\r\nsite_width=50\r\n"
        "site_height=10\r\n[button_info]\r\nwidth=8\r\nheight=8\r\n"
        "[btn0]\r\nxpos=2\r\nypos=2\r\naction=18\r\nwidth=8\r\nheight=8\r\n"));
    headline_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 100, 100, 80, 20, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(headline_, nullptr);
    SkinWindow::Host host;
    host.size_changed = [this] { ++size_changes_; };
    host.server_port = [] { return static_cast<uint16_t>(8090); };
    ASSERT_TRUE(window_.Create(GetModuleHandleW(nullptr), headline_, host, dir_ / "cache"));
    std::optional<Skin> skin = LoadSkin(dir_ / "skin", "green", dir_ / "user.ini");
    ASSERT_TRUE(skin.has_value());
    GeneralSettings settings;
    ASSERT_TRUE(window_.ApplySkin(std::move(skin), settings));
    window_.Place({90, 95, 190, 125});
  }
  void TearDown() override {
    DestroyWindow(window_.hwnd());
    DestroyWindow(headline_);
    CoUninitialize();
  }
  LRESULT Send(UINT message, WPARAM w = 0, LPARAM l = 0) {
    return SendMessageW(window_.hwnd(), message, w, l);
  }

  TempFolder dir_;
  HWND headline_ = nullptr;
  SkinWindow window_;
  int size_changes_ = 0;
};

TEST_F(SkinWindowTest, ItemTextsAreCopiedAndGivenBack) {
  std::string site = "\x8b\x5a\x8f\x70";  // 技術 in CP932
  std::string link = "http://127.0.0.1/";
  Send(sw::kSetSiteName, reinterpret_cast<WPARAM>(site.c_str()),
       reinterpret_cast<LPARAM>(link.c_str()));
  site.assign("changed");  // the window holds its own copy
  EXPECT_EQ(window_.site_name(), "\x8b\x5a\x8f\x70");
  const std::string title = "Title";
  Send(sw::kSetTitle, reinterpret_cast<WPARAM>(title.c_str()));
  const std::string description = "Body";
  Send(sw::kSetDescription, reinterpret_cast<WPARAM>(description.c_str()));
  EXPECT_STREQ(reinterpret_cast<const char*>(Send(sw::kGetSiteName, 1)), "\x8b\x5a\x8f\x70");
  EXPECT_EQ(Send(sw::kGetSiteName, 0), 0);
  EXPECT_STREQ(reinterpret_cast<const char*>(Send(sw::kGetTitle, 1)), "Title");
  EXPECT_EQ(window_.TooltipText(63), "\x8b\x5a\x8f\x70\r\nTitle\r\n\r\n Body\r\n");

  // Addresses that mean nothing here (from another process) are read as no text, and a port is
  // written only into writable memory.
  Send(sw::kSetTitle, 0x10);
  EXPECT_EQ(window_.title(), "");
  uint16_t port = 0;
  EXPECT_EQ(Send(sw::kGetServerPort, 0, reinterpret_cast<LPARAM>(&port)), 1);
  EXPECT_EQ(port, 8090);
  EXPECT_EQ(Send(sw::kGetServerPort, 0, 0x20), 0);
  EXPECT_FALSE(IsWritableBuffer(reinterpret_cast<void*>(0x20), 2));
  EXPECT_EQ(ReadMessageText(reinterpret_cast<const void*>(0x30), 100), "");
}

TEST_F(SkinWindowTest, AnimationAndSizeMessages) {
  EXPECT_EQ(window_.skin()->layout.FrameCount(), 2);
  Send(sw::kStartAnimation, 1, 2);
  EXPECT_TRUE(window_.animation().running());
  EXPECT_EQ(window_.animation().row(), 1);
  Send(sw::kPlayOnce, 0, 2);
  EXPECT_TRUE(window_.animation().one_shot());
  Send(sw::kEndOneShot);
  EXPECT_EQ(window_.animation().row(), 1);
  Send(sw::kToggleFrozen);
  EXPECT_TRUE(window_.frozen());
  Send(sw::kToggleFrozen);
  Send(sw::kStopAnimation, 1);
  EXPECT_FALSE(window_.animation().running());

  Send(sw::kToggleFold);
  EXPECT_EQ(size_changes_, 1);
  EXPECT_EQ(window_.skin()->layout.size().height, 10);  // 5 + (30 - 25)
  Send(sw::kResizeNewsBox, 120, 0);
  EXPECT_EQ(window_.skin()->layout.size().width, 140);
  Send(sw::kRestoreBaseSize);
  EXPECT_EQ(window_.skin()->layout.size(), (SkinSize{100, 30}));
  EXPECT_EQ(size_changes_, 3);
  EXPECT_EQ(window_.margins(), (SkinMargins{10, 10, 5, 5}));
}

TEST_F(SkinWindowTest, EveryClickOfAQuickPairRunsTheButton) {
  // Button 0 folds (action 18). An owner-drawn button reports the second of two quick clicks as
  // a double click.
  HWND button = GetDlgItem(window_.hwnd(), 300);
  ASSERT_NE(button, nullptr);
  Send(WM_COMMAND, MAKEWPARAM(300, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  EXPECT_EQ(window_.skin()->layout.size().height, 10);
  Send(WM_COMMAND, MAKEWPARAM(300, BN_DOUBLECLICKED), reinterpret_cast<LPARAM>(button));
  EXPECT_EQ(window_.skin()->layout.size().height, 30);
  EXPECT_EQ(size_changes_, 2);
}

}  // namespace
}  // namespace korvo
