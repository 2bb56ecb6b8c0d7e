#include "ticker/headline_text.h"

#include "shell/text_limit.h"

namespace korvo {

namespace {
constexpr char kGap[] = "    ";
constexpr char kEllipsis[] = "...";
}  // namespace

std::string ComposeHeadline(const TickerItem& item, uint32_t flags, int add_desc,
                            size_t max_bytes) {
  std::string text;
  if (flags & ticker_flags::kSitePrefix) {
    text = TruncateCp932(item.site_name, max_bytes);
    text += kGap;
  }
  text += TruncateCp932(item.title, max_bytes);
  if (add_desc > 0 && text.size() < max_bytes) {
    const size_t limit = static_cast<size_t>(add_desc);
    text += kGap;
    if (item.description.size() >= limit) {
      text += TruncateCp932(item.description, limit);
      text += kEllipsis;
    } else {
      text += item.description;
    }
  }
  return TruncateCp932(text, max_bytes);
}

HeadlinePalette ChoosePalette(uint32_t state, const HeadlineStyle& style, uint32_t background) {
  const HeadlineColours& colours = style.skin_loaded && (style.flags & ticker_flags::kSkinColours)
                                       ? style.skin_colours
                                       : style.user_colours;
  HeadlinePalette palette;
  palette.background = background;
  if (state & TickerItem::kRead) {
    palette.text = colours.read_colour;
  } else if (state & TickerItem::kNew) {
    palette.text = colours.new_colour;
  } else {
    palette.text = colours.old_colour;
  }
  if (palette.text == background) palette.text = ~colours.new_colour & 0xFFFFFFu;
  return palette;
}

}  // namespace korvo
