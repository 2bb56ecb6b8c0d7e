// HeadlineStyle: everything a display run needs to know about how to show a headline, taken
// from the general settings and (later) the skin. The engine keeps the current style and hands a
// copy to each display run, so a change reaches the next item.
#ifndef KORVO_TICKER_HEADLINE_STYLE_H_
#define KORVO_TICKER_HEADLINE_STYLE_H_

#include <cstdint>

#include "shell/general_settings.h"

namespace korvo {

// The `iFlag` bits the engine and its display read.
namespace ticker_flags {
constexpr uint32_t kRandomOrder = 1u << 9;
constexpr uint32_t kElectricSign = 1u << 10;  // dot-matrix rendering
constexpr uint32_t kSkinColours = 1u << 12;   // use the skin's headline colours
constexpr uint32_t kExplicitBrowser = 1u << 13;
constexpr uint32_t kTranslucent = 1u << 14;
constexpr uint32_t kSitePrefix = 1u << 18;        // site name and four blanks before the title
constexpr uint32_t kNoLiveBookmarks = 1u << 19;   // no refresh of the live bookmarks on reload
constexpr uint32_t kTranslucentTitle = 1u << 21;  // "タイトルも透明化"
constexpr int kWaitShift = 24;                    // bits 24-29: seconds to wait after each item
constexpr uint32_t kWaitMask = 0x3Fu << kWaitShift;
constexpr uint32_t kNamedBrowser = 1u << 31;  // use the browser program the user named
}  // namespace ticker_flags

// Headline colours (COLORREF: 0x00BBGGRR).
struct HeadlineColours {
  uint32_t new_colour = 55295;
  uint32_t read_colour = 16777215;
  uint32_t old_colour = 16777215;
  bool operator==(const HeadlineColours& o) const {
    return new_colour == o.new_colour && read_colour == o.read_colour && old_colour == o.old_colour;
  }
};

struct HeadlineStyle {
  uint32_t flags = general_flags::kDefault;  // iFlag
  int speed = 10;                            // ScrollSpeed: smaller is faster
  HeadlineColours user_colours;              // cf, readcf, oldcf
  uint32_t back_colour = 0;                  // colorcode: the background without a skin
  uint8_t alpha = 128;                       // alpha_blend
  // The headline font: the settings' title font at `font_size` pixels.
  TitleFont font;
  int font_size = 20;
  uint32_t system_major = 0;  // the face-name fallback depends on the system version
  int window_width = 400;     // the ticker's width from the stored placement (no skin)
  // What a skin gives (Part of the skin format); these are the values without a skin.
  bool skin_loaded = false;
  HeadlineColours skin_colours;
  int effect = 0;           // scroll
  uint32_t hold_ms = 4000;  // hold_time
  int add_desc = 0;         // bytes of the description after the title
  bool antialias = false;   // render at twice the size and shrink

  // The user's part of the style from the general settings (no skin).
  static HeadlineStyle FromSettings(const GeneralSettings& settings);
  // Seconds to wait after each item (flag bits 24-29).
  int wait_seconds() const { return static_cast<int>((flags & ticker_flags::kWaitMask) >> 24); }
  // The top alpha of the fade effect: the user's alpha when the title is translucent too.
  int fade_alpha() const;
};

}  // namespace korvo

#endif  // KORVO_TICKER_HEADLINE_STYLE_H_
