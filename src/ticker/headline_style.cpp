#include "ticker/headline_style.h"

namespace korvo {

HeadlineStyle HeadlineStyle::FromSettings(const GeneralSettings& settings) {
  HeadlineStyle style;
  style.flags = settings.flags;
  style.speed = settings.scroll_speed;
  style.user_colours = {settings.new_color, settings.read_color, settings.old_color};
  style.back_colour = settings.back_color & 0xFFFFFFu;
  style.alpha = settings.alpha_blend;
  style.font = settings.title_font;
  style.font_size = settings.font_size;
  style.system_major = settings.system_major;
  const int width = settings.placement.right - settings.placement.left;
  if (width > 0) style.window_width = width;
  style.antialias = false;
  return style;
}

int HeadlineStyle::fade_alpha() const {
  const uint32_t both = ticker_flags::kTranslucent | ticker_flags::kTranslucentTitle;
  return (flags & both) == both ? alpha : 255;
}

}  // namespace korvo
