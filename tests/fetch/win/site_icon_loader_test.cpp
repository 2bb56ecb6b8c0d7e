// The site-icon loader under Wine: icons, bitmaps, PNG, GIF and JPEG files become GDI images of
// the asked size; the marker and broken or lying files give nothing.
#include "fetch/win/site_icon_loader.h"

#include <gtest/gtest.h>
#include <objbase.h>

#include <string>

namespace korvo {
namespace {

const std::string kPng(
    "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x04\x00\x00"
    "\x00\x04\x08\x06\x00\x00\x00\xa9\xf1\x9e\x7e\x00\x00\x00\x21\x49\x44\x41\x54\x08\xd7\x63"
    "\x64\x60\xf8\xff\xff\x3f\x03\x63\x03\x03\x14\x30\xfe\x67\x60\xa8\x67\x40\x02\x4c\x0c\x68"
    "\x00\x43\x00\x00\x27\xcc\x05\x03\xe2\x92\xb9\xc3\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42"
    "\x60\x82",
    90);
const std::string kGif(
    "\x47\x49\x46\x38\x39\x61\x04\x00\x04\x00\xf0\x01\x00\x00\x80\x00\xff\xff\xff\x21\xf9\x04"
    "\x00\x00\x00\x00\x00\x2c\x00\x00\x00\x00\x04\x00\x04\x00\x00\x02\x04\x84\x1d\xa7\x57\x00"
    "\x3b",
    45);
// 8 x 8 pixels of RGB (200, 100, 50).
const std::string kJpeg(
    "\xff\xd8\xff\xe0\x00\x10\x4a\x46\x49\x46\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00\xff\xdb"
    "\x00\x43\x00\x03\x02\x02\x03\x02\x02\x03\x03\x03\x03\x04\x03\x03\x04\x05\x08\x05\x05\x04"
    "\x04\x05\x0a\x07\x07\x06\x08\x0c\x0a\x0c\x0c\x0b\x0a\x0b\x0b\x0d\x0e\x12\x10\x0d\x0e\x11"
    "\x0e\x0b\x0b\x10\x16\x10\x11\x13\x14\x15\x15\x15\x0c\x0f\x17\x18\x16\x14\x18\x12\x14\x15"
    "\x14\xff\xdb\x00\x43\x01\x03\x04\x04\x05\x04\x05\x09\x05\x05\x09\x14\x0d\x0b\x0d\x14\x14"
    "\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14"
    "\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14"
    "\x14\x14\x14\x14\xff\xc0\x00\x11\x08\x00\x08\x00\x08\x03\x01\x11\x00\x02\x11\x01\x03\x11"
    "\x01\xff\xc4\x00\x14\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x04\xff\xc4\x00\x14\x10\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\xff\xc4\x00\x15\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x07\x08\xff\xc4\x00\x14\x11\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\xff\xda\x00\x0c\x03\x01\x00\x02\x11\x03\x11\x00\x3f\x00\x20\x3d\x48\x3f\xff\xd9",
    286);

void Le(std::string* s, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) *s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A 16 x 16 32-bit icon file, every pixel opaque `bgr`.
std::string IcoFile(uint32_t bgr) {
  std::string image;
  Le(&image, 40, 4);
  Le(&image, 16, 4);
  Le(&image, 32, 4);
  Le(&image, 1, 2);
  Le(&image, 32, 2);
  image.append(24, '\0');
  for (int i = 0; i < 256; ++i) Le(&image, 0xFF000000u | bgr, 4);
  image.append(16 * 4, '\0');  // the mask: all opaque
  std::string file("\0\0\1\0\1\0", 6);
  file += std::string("\x10\x10\0\0\1\0\x20\0", 8);
  Le(&file, static_cast<uint32_t>(image.size()), 4);
  Le(&file, 22, 4);
  return file + image;
}

// A 2 x 2 24-bit bitmap file, every pixel `bgr`.
std::string BmpFile(uint32_t bgr) {
  std::string pixels;
  for (int row = 0; row < 2; ++row) {
    for (int i = 0; i < 2; ++i) Le(&pixels, bgr, 3);
    pixels.append(2, '\0');
  }
  std::string file = "BM";
  Le(&file, 54 + static_cast<uint32_t>(pixels.size()), 4);
  Le(&file, 0, 4);
  Le(&file, 54, 4);
  Le(&file, 40, 4);
  Le(&file, 2, 4);
  Le(&file, 2, 4);
  Le(&file, 1, 2);
  Le(&file, 24, 2);
  file.append(24, '\0');
  return file + pixels;
}

// The colour (0x00RRGGBB) the image draws at the middle of a white 16 x 16 surface.
uint32_t DrawnColour(const SiteIconImage& image) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = 16;
  info.bmiHeader.biHeight = -16;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP surface = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, surface);
  RECT all = {0, 0, 16, 16};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  if (image.is_bitmap()) {
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old_source = SelectObject(source, image.bitmap());
    BitBlt(dc, 0, 0, 16, 16, source, 0, 0, SRCCOPY);
    SelectObject(source, old_source);
    DeleteDC(source);
  } else {
    DrawIconEx(dc, 0, 0, image.icon(), 16, 16, 0, nullptr, DI_NORMAL);
  }
  GdiFlush();
  const uint32_t pixel = static_cast<uint32_t*>(bits)[8 * 16 + 8] & 0xFFFFFF;
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(surface);
  return pixel;
}

bool Near(uint32_t a, uint32_t b) {
  for (int shift = 0; shift < 24; shift += 8) {
    const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    if (d > 12 || d < -12) return false;
  }
  return true;
}

class SiteIconLoaderTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
  void TearDown() override { CoUninitialize(); }
};

TEST_F(SiteIconLoaderTest, EveryKindOfImageLoads) {
  SiteIconImage image;
  ASSERT_TRUE(LoadSiteIconImage(IcoFile(0x3366CC), 16, 16, &image));
  EXPECT_FALSE(image.is_bitmap());
  EXPECT_TRUE(Near(DrawnColour(image), 0x3366CC));

  ASSERT_TRUE(LoadSiteIconImage(BmpFile(0x20A040), 16, 16, &image));
  EXPECT_TRUE(image.is_bitmap());
  BITMAP info = {};
  ASSERT_NE(GetObjectW(image.bitmap(), sizeof info, &info), 0);
  EXPECT_EQ(info.bmWidth, 16);
  EXPECT_TRUE(Near(DrawnColour(image), 0x20A040));

  ASSERT_TRUE(LoadSiteIconImage(kJpeg, 16, 16, &image));
  EXPECT_FALSE(image.is_bitmap());
  EXPECT_TRUE(Near(DrawnColour(image), 0xC86432)) << std::hex << DrawnColour(image);

  ASSERT_TRUE(LoadSiteIconImage(kGif, 16, 16, &image));
  EXPECT_TRUE(Near(DrawnColour(image), 0x008000)) << std::hex << DrawnColour(image);

  // Half-transparent red over white.
  ASSERT_TRUE(LoadSiteIconImage(kPng, 16, 16, &image));
  EXPECT_TRUE(Near(DrawnColour(image), 0xFF8080)) << std::hex << DrawnColour(image);
}

TEST_F(SiteIconLoaderTest, MarkersAndBrokenFilesLoadNothing) {
  SiteIconImage image;
  const std::string broken_png = kPng.substr(0, 40);
  std::string lying_ico = IcoFile(0);
  lying_ico[22 + 4] = '\x40';  // the image claims 64 pixels wide: more than the bytes hold
  std::string cut_ico = IcoFile(0);
  cut_ico.resize(200);
  for (const std::string& bytes : {std::string("Nico"), std::string(), broken_png, lying_ico,
                                   cut_ico, std::string("<html>404</html>")}) {
    EXPECT_FALSE(LoadSiteIconImage(bytes, 16, 16, &image));
    EXPECT_TRUE(image.empty());
  }
  EXPECT_FALSE(LoadSiteIconImage(IcoFile(0), 0, 16, &image));
}

}  // namespace
}  // namespace korvo
