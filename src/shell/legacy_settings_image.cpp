#include "shell/legacy_settings_image.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "shell/text_limit.h"

namespace korvo {

namespace {

// Field offsets of the image.
constexpr size_t kPlacement = 0;
constexpr size_t kWidth = 44;
constexpr size_t kHeight = 48;
constexpr size_t kXSpacing = 52;
constexpr size_t kYSpacing = 56;
constexpr size_t kFontSize = 60;
constexpr size_t kScrollSpeed = 62;
constexpr size_t kNewColor = 64;
constexpr size_t kFlags = 68;
constexpr size_t kSkin = 72;
constexpr size_t kReadColor = 332;
constexpr size_t kOldColor = 336;
constexpr size_t kTipFlags = 340;
constexpr size_t kMultiMonitor = 344;
constexpr size_t kTitleFont = 348;
constexpr size_t kFaceName = kTitleFont + 28;
constexpr size_t kAntiAlias = 408;
constexpr size_t kOverSkinFont = 412;
constexpr size_t kOverBackColor = 416;
constexpr size_t kBackColor = 420;
constexpr size_t kAlphaBlend = 424;
constexpr size_t kSystemMajor = 428;
constexpr size_t kSystemMinor = 432;
constexpr size_t kBrowserPath = 436;
constexpr size_t kBrowserOption = 2484;
static_assert(kBrowserOption + kBrowserOptionSize <= kLegacySettingsSize, "record overflows");
static_assert(kFaceName + kFaceNameSize == kAntiAlias, "LOGFONTA is 60 bytes");

class Writer {
 public:
  explicit Writer(LegacySettingsImage* image) : image_(*image) { image_.fill(0); }
  void U8(size_t at, uint8_t v) { image_[at] = v; }
  void U16(size_t at, uint16_t v) {
    image_[at] = static_cast<uint8_t>(v);
    image_[at + 1] = static_cast<uint8_t>(v >> 8);
  }
  void U32(size_t at, uint32_t v) {
    for (size_t i = 0; i < 4; ++i) image_[at + i] = static_cast<uint8_t>(v >> (8 * i));
  }
  void I32(size_t at, int32_t v) { U32(at, static_cast<uint32_t>(v)); }
  void Text(size_t at, size_t size, const std::string& text) {
    const std::string fitted = TruncateCp932(text, size - 1);
    std::memcpy(&image_[at], fitted.data(), fitted.size());
  }

 private:
  LegacySettingsImage& image_;
};

class Reader {
 public:
  Reader(const uint8_t* data, size_t size) {
    image_.fill(0);
    if (data != nullptr) std::memcpy(image_.data(), data, std::min(size, kLegacySettingsSize));
  }
  uint8_t U8(size_t at) const { return image_[at]; }
  uint16_t U16(size_t at) const {
    return static_cast<uint16_t>(image_[at] | (image_[at + 1] << 8));
  }
  uint32_t U32(size_t at) const {
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i) v |= static_cast<uint32_t>(image_[at + i]) << (8 * i);
    return v;
  }
  int32_t I32(size_t at) const { return static_cast<int32_t>(U32(at)); }
  std::string Text(size_t at, size_t size) const {
    const auto* begin = reinterpret_cast<const char*>(&image_[at]);
    return TruncateCp932(std::string_view(begin, size), size - 1);
  }

 private:
  LegacySettingsImage image_;
};

}  // namespace

LegacySettingsImage EncodeLegacySettings(const GeneralSettings& s) {
  LegacySettingsImage image;
  Writer w(&image);
  const WindowPlacementFields& p = s.placement;
  w.U32(kPlacement + 0, p.length);
  w.U32(kPlacement + 4, p.flags);
  w.U32(kPlacement + 8, p.show_command);
  w.I32(kPlacement + 12, p.min_x);
  w.I32(kPlacement + 16, p.min_y);
  w.I32(kPlacement + 20, p.max_x);
  w.I32(kPlacement + 24, p.max_y);
  w.I32(kPlacement + 28, p.left);
  w.I32(kPlacement + 32, p.top);
  w.I32(kPlacement + 36, p.right);
  w.I32(kPlacement + 40, p.bottom);
  w.I32(kWidth, s.width);
  w.I32(kHeight, s.height);
  w.I32(kXSpacing, s.x_spacing);
  w.I32(kYSpacing, s.y_spacing);
  w.U16(kFontSize, s.font_size);
  w.U16(kScrollSpeed, s.scroll_speed);
  w.U32(kNewColor, s.new_color);
  w.U32(kFlags, s.flags);
  w.Text(kSkin, kSkinNameSize, s.skin);
  w.U32(kReadColor, s.read_color);
  w.U32(kOldColor, s.old_color);
  w.U32(kTipFlags, s.tip_flags);
  w.I32(kMultiMonitor, s.multi_monitor);
  const TitleFont& f = s.title_font;
  w.I32(kTitleFont + 0, f.height);
  w.I32(kTitleFont + 4, f.width);
  w.I32(kTitleFont + 8, f.escapement);
  w.I32(kTitleFont + 12, f.orientation);
  w.I32(kTitleFont + 16, f.weight);
  w.U8(kTitleFont + 20, f.italic);
  w.U8(kTitleFont + 21, f.underline);
  w.U8(kTitleFont + 22, f.strike_out);
  w.U8(kTitleFont + 23, f.char_set);
  w.U8(kTitleFont + 24, f.out_precision);
  w.U8(kTitleFont + 25, f.clip_precision);
  w.U8(kTitleFont + 26, f.quality);
  w.U8(kTitleFont + 27, f.pitch_and_family);
  w.Text(kFaceName, kFaceNameSize, f.face_name);
  w.I32(kAntiAlias, s.anti_alias);
  w.I32(kOverSkinFont, s.over_skin_font);
  w.I32(kOverBackColor, s.over_back_color);
  w.U32(kBackColor, s.back_color);
  w.U8(kAlphaBlend, s.alpha_blend);
  w.U32(kSystemMajor, s.system_major);
  w.U32(kSystemMinor, s.system_minor);
  w.Text(kBrowserPath, kBrowserPathSize, s.browser_path);
  w.Text(kBrowserOption, kBrowserOptionSize, s.browser_option);
  return image;
}

GeneralSettings DecodeLegacySettings(const uint8_t* data, size_t size) {
  const Reader r(data, size);
  GeneralSettings s;
  WindowPlacementFields& p = s.placement;
  p.length = r.U32(kPlacement + 0);
  p.flags = r.U32(kPlacement + 4);
  p.show_command = r.U32(kPlacement + 8);
  p.min_x = r.I32(kPlacement + 12);
  p.min_y = r.I32(kPlacement + 16);
  p.max_x = r.I32(kPlacement + 20);
  p.max_y = r.I32(kPlacement + 24);
  p.left = r.I32(kPlacement + 28);
  p.top = r.I32(kPlacement + 32);
  p.right = r.I32(kPlacement + 36);
  p.bottom = r.I32(kPlacement + 40);
  s.width = r.I32(kWidth);
  s.height = r.I32(kHeight);
  s.x_spacing = r.I32(kXSpacing);
  s.y_spacing = r.I32(kYSpacing);
  s.font_size = r.U16(kFontSize);
  s.scroll_speed = r.U16(kScrollSpeed);
  s.new_color = r.U32(kNewColor);
  s.flags = r.U32(kFlags);
  s.skin = r.Text(kSkin, kSkinNameSize);
  s.read_color = r.U32(kReadColor);
  s.old_color = r.U32(kOldColor);
  s.tip_flags = r.U32(kTipFlags);
  s.multi_monitor = r.I32(kMultiMonitor);
  TitleFont& f = s.title_font;
  f.height = r.I32(kTitleFont + 0);
  f.width = r.I32(kTitleFont + 4);
  f.escapement = r.I32(kTitleFont + 8);
  f.orientation = r.I32(kTitleFont + 12);
  f.weight = r.I32(kTitleFont + 16);
  f.italic = r.U8(kTitleFont + 20);
  f.underline = r.U8(kTitleFont + 21);
  f.strike_out = r.U8(kTitleFont + 22);
  f.char_set = r.U8(kTitleFont + 23);
  f.out_precision = r.U8(kTitleFont + 24);
  f.clip_precision = r.U8(kTitleFont + 25);
  f.quality = r.U8(kTitleFont + 26);
  f.pitch_and_family = r.U8(kTitleFont + 27);
  f.face_name = r.Text(kFaceName, kFaceNameSize);
  s.anti_alias = r.I32(kAntiAlias);
  s.over_skin_font = r.I32(kOverSkinFont);
  s.over_back_color = r.I32(kOverBackColor);
  s.back_color = r.U32(kBackColor);
  s.alpha_blend = r.U8(kAlphaBlend);
  s.system_major = r.U32(kSystemMajor);
  s.system_minor = r.U32(kSystemMinor);
  s.browser_path = r.Text(kBrowserPath, kBrowserPathSize);
  s.browser_option = r.Text(kBrowserOption, kBrowserOptionSize);
  return s;
}

}  // namespace korvo
