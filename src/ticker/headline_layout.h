// The headline window's layout decisions without a skin, and the headline font's description
// with its fallback (the Win32 side turns a HeadlineFontChoice into a LOGFONT).
#ifndef KORVO_TICKER_HEADLINE_LAYOUT_H_
#define KORVO_TICKER_HEADLINE_LAYOUT_H_

#include <cstdint>
#include <string>

#include "ticker/headline_style.h"

namespace korvo {

struct HeadlineFontChoice {
  std::string face;  // CP932; empty: the system's choice
  int height = 20;   // pixels (the character height)
  int weight = 0;
  bool italic = false;
  bool underline = false;
  bool strike_out = false;
  uint8_t char_set = 1;  // DEFAULT_CHARSET
  uint8_t quality = 0;
  uint8_t pitch_and_family = 0;
  bool operator==(const HeadlineFontChoice& o) const;
};

// The headline font for `style` at `height` pixels: the user's title font; a stored face name
// is used as it is, an empty one becomes "meiryo" on systems from version 6 on, and before that
// no face with non-antialiased quality and a variable-pitch sans-serif family. A stored
// character set of 0 (the western set, which has no Japanese glyphs) is taken as the default
// set.
HeadlineFontChoice HeadlineFont(const HeadlineStyle& style, int height);
// The retry when that font cannot be made: the height clamped to 9..72, the OEM character set,
// no face name.
HeadlineFontChoice FallbackFont(const HeadlineFontChoice& failed);

// The measuring text for the window height without a skin.
constexpr char kHeightSample[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";

// The headline window's height without a skin: the sample's height, one and a half times that
// for the electric-sign style. At least 1.
int NoSkinHeadlineHeight(int sample_height, uint32_t flags);

// The widest text the strip takes: the strip is 2 × (box width + W) pixels wide and must stay
// within what every GDI accepts for a bitmap.
constexpr int kMaxStripWidth = 32000;
int MaxTextWidth(int box_width);

// The electric-sign style draws each pixel of the text at a new place, leaving a one-pixel gap
// before every pair of columns (and of rows): source column c goes to c + c / 2 + 1.
inline int ElectricSignPosition(int c) { return c + c / 2 + 1; }
// The size an electric-sign text of `size` pixels takes.
inline int ElectricSignSize(int size) { return size > 0 ? ElectricSignPosition(size - 1) + 1 : 0; }

}  // namespace korvo

#endif  // KORVO_TICKER_HEADLINE_LAYOUT_H_
