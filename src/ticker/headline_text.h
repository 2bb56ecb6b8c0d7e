// What the headline shows and in which colours: the display run's decisions before drawing.
#ifndef KORVO_TICKER_HEADLINE_TEXT_H_
#define KORVO_TICKER_HEADLINE_TEXT_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "ticker/headline_style.h"
#include "ticker/ticker_item.h"

namespace korvo {

// The longest headline text, in bytes: a title of a hostile feed can be megabytes long, and the
// strip it is drawn into has a bounded width anyway.
constexpr size_t kMaxHeadlineBytes = 2048;

// The composed text (CP932): the title; with the site prefix flag the site name, four blanks and
// the title. With `add_desc` N > 0 four blanks and the description follow; a description of N
// bytes or more is cut to N bytes (never inside a two-byte character) and "..." is appended.
// The whole is cut to `max_bytes` at a character boundary.
std::string ComposeHeadline(const TickerItem& item, uint32_t flags, int add_desc,
                            size_t max_bytes = kMaxHeadlineBytes);

struct HeadlinePalette {
  uint32_t text = 0;
  uint32_t background = 0;
};

// The colours for an item of `state`: read (bit 0) → read colour, new (bit 1) → new colour,
// otherwise old colour; the skin's colours when a skin is loaded and the skin-colours flag is
// set, else the user's. The background is `background` (the colour key). A text colour equal to
// the background becomes the inverse of the new colour, so the text never vanishes.
HeadlinePalette ChoosePalette(uint32_t state, const HeadlineStyle& style, uint32_t background);

}  // namespace korvo

#endif  // KORVO_TICKER_HEADLINE_TEXT_H_
