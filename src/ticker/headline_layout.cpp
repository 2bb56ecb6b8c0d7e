#include "ticker/headline_layout.h"

#include <algorithm>

namespace korvo {

namespace {
constexpr uint8_t kDefaultCharset = 1;
constexpr uint8_t kOemCharset = 255;
constexpr uint8_t kNonAntialiasedQuality = 3;
constexpr uint8_t kVariablePitchSwiss = 0x22;
}  // namespace

bool HeadlineFontChoice::operator==(const HeadlineFontChoice& o) const {
  return face == o.face && height == o.height && weight == o.weight && italic == o.italic &&
         underline == o.underline && strike_out == o.strike_out && char_set == o.char_set &&
         quality == o.quality && pitch_and_family == o.pitch_and_family;
}

HeadlineFontChoice HeadlineFont(const HeadlineStyle& style, int height) {
  const TitleFont& font = style.font;
  HeadlineFontChoice def;
  def.height = height;
  def.weight = font.weight;
  def.italic = font.italic != 0;
  def.underline = font.underline != 0;
  def.strike_out = font.strike_out != 0;
  def.char_set = font.char_set == 0 ? kDefaultCharset : font.char_set;
  def.quality = font.quality;
  def.pitch_and_family = font.pitch_and_family;
  def.face = font.face_name;
  if (def.face.empty()) {
    if (style.system_major >= 6) {
      def.face = "meiryo";
    } else {
      def.quality = kNonAntialiasedQuality;
      def.pitch_and_family = kVariablePitchSwiss;
    }
  }
  return def;
}

HeadlineFontChoice FallbackFont(const HeadlineFontChoice& failed) {
  HeadlineFontChoice def = failed;
  def.height = std::clamp(failed.height, 9, 72);
  def.char_set = kOemCharset;
  def.face.clear();
  return def;
}

int NoSkinHeadlineHeight(int sample_height, uint32_t flags) {
  int height = sample_height;
  if (flags & ticker_flags::kElectricSign) height = height * 3 / 2;
  return std::max(1, height);
}

int MaxTextWidth(int box_width) { return std::max(1, kMaxStripWidth / 2 - std::max(0, box_width)); }

}  // namespace korvo
