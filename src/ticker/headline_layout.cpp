#include "ticker/headline_layout.h"

#include <algorithm>

namespace korvo {

namespace {
constexpr uint8_t kDefaultCharset = 1;
constexpr uint8_t kOemCharset = 255;
constexpr uint8_t kNonAntialiasedQuality = 3;
constexpr uint8_t kVariablePitchSwiss = 0x22;
}  // namespace

bool HeadlineFontSpec::operator==(const HeadlineFontSpec& o) const {
  return face == o.face && height == o.height && weight == o.weight && italic == o.italic &&
         underline == o.underline && strike_out == o.strike_out && char_set == o.char_set &&
         quality == o.quality && pitch_and_family == o.pitch_and_family;
}

HeadlineFontSpec HeadlineFont(const HeadlineStyle& style, int height) {
  const TitleFont& font = style.font;
  HeadlineFontSpec spec;
  spec.height = height;
  spec.weight = font.weight;
  spec.italic = font.italic != 0;
  spec.underline = font.underline != 0;
  spec.strike_out = font.strike_out != 0;
  spec.char_set = font.char_set == 0 ? kDefaultCharset : font.char_set;
  spec.quality = font.quality;
  spec.pitch_and_family = font.pitch_and_family;
  spec.face = font.face_name;
  if (spec.face.empty()) {
    if (style.system_major >= 6) {
      spec.face = "meiryo";
    } else {
      spec.quality = kNonAntialiasedQuality;
      spec.pitch_and_family = kVariablePitchSwiss;
    }
  }
  return spec;
}

HeadlineFontSpec FallbackFont(const HeadlineFontSpec& failed) {
  HeadlineFontSpec spec = failed;
  spec.height = std::clamp(failed.height, 9, 72);
  spec.char_set = kOemCharset;
  spec.face.clear();
  return spec;
}

int NoSkinHeadlineHeight(int sample_height, uint32_t flags) {
  int height = sample_height;
  if (flags & ticker_flags::kElectricSign) height = height * 3 / 2;
  return std::max(1, height);
}

int MaxTextWidth(int box_width) { return std::max(1, kMaxStripWidth / 2 - std::max(0, box_width)); }

}  // namespace korvo
