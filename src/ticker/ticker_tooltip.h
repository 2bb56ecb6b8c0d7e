// The ticker's tooltip: its text, built from the shown item's parts, and where it may go on the
// screen (the room above or below the ticker).
//
// Texts are CP932. Every cut stops at a character boundary, and the whole text with its
// terminating NUL fits the tooltip's 4,096-byte buffer. Pure functions; safe on any thread.
#ifndef KORVO_TICKER_TICKER_TOOLTIP_H_
#define KORVO_TICKER_TICKER_TOOLTIP_H_

#include <cstddef>
#include <cstdint>
#include <string>

namespace korvo {

constexpr size_t kTooltipBufferSize = 4096;
constexpr size_t kTooltipTextLimit = 4080;  // the description is cut to keep the text within it
constexpr size_t kTooltipShortPart = 64;    // site name, category, author, creation date
constexpr size_t kTooltipTitlePart = 128;
constexpr int kTooltipMaxWidth = 350;
constexpr int kTooltipShowMs = 30000;

struct TooltipParts {
  std::string site_name;
  std::string category;
  std::string title;
  std::string author;
  std::string created;
  std::string description;
};

// Bits of `iTipFlag`: which parts the headline window's tooltip shows.
namespace tip_flag {
constexpr uint32_t kSiteName = 1;
constexpr uint32_t kCategory = 2;
constexpr uint32_t kTitle = 4;
constexpr uint32_t kAuthor = 8;
constexpr uint32_t kDescription = 16;
constexpr uint32_t kCreated = 32;
constexpr uint32_t kAll = 63;  // a stored 0 means all
}  // namespace tip_flag

// The text, each part on its own line ending in CR LF, only the parts present and chosen by
// `flags` (0: all):
//   site name (64 bytes), then " ：" and the category (64 bytes) when there is one;
//   the title (128 bytes);
//   "by " and the author (64 bytes);
//   the creation date text (64 bytes);
//   an empty line when anything came before, then the description, with one blank in front
//   unless it starts with a blank or a full-width blank, cut so the text stays within 4,080
//   bytes.
// An empty result is "_".
std::string BuildTickerTooltip(const TooltipParts& parts, uint32_t flags = tip_flag::kAll);

// Where tooltips may go, kept up to date whenever the ticker moves: `room` is the larger of the
// space above the ticker and the space below it, minus 10 pixels; `top` is 0 when the space
// above is larger, else the ticker's bottom + 1.
struct TooltipRoom {
  int room = 0;
  int top = 0;
  bool operator==(const TooltipRoom& o) const { return room == o.room && top == o.top; }
};
TooltipRoom ComputeTooltipRoom(int ticker_top, int ticker_bottom, int screen_height);

// A tooltip `height` pixels tall: cut to the room (and moved to its top) when taller.
struct TooltipFit {
  bool cut = false;
  int height = 0;
  int top = 0;  // only when cut
};
TooltipFit FitTooltip(int height, const TooltipRoom& room);

// Whether a tooltip that fits is made topmost: when the ticker is not topmost (flag bit 8 clear)
// and flag bit 17 asks for topmost tooltips.
bool TooltipMadeTopmost(uint32_t general_flags);

}  // namespace korvo

#endif  // KORVO_TICKER_TICKER_TOOLTIP_H_
