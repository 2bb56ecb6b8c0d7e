#include "ticker/ticker_tooltip.h"

#include <algorithm>

#include "shell/text_limit.h"

namespace korvo {

namespace {

constexpr char kCrLf[] = "\r\n";
constexpr char kFullWidthBlank[] = "\x81\x40";
constexpr char kCategoryJoin[] = " \x81\x46 ";  // blank, full-width colon, blank

}  // namespace

std::string BuildTickerTooltip(const TooltipParts& parts, uint32_t flags) {
  if (flags == 0) flags = tip_flag::kAll;
  const auto chosen = [flags](uint32_t bit, const std::string& text) {
    return (flags & bit) != 0 && !text.empty() && text[0] != '\0';
  };
  std::string out;
  const bool site = chosen(tip_flag::kSiteName, parts.site_name);
  const bool category = chosen(tip_flag::kCategory, parts.category);
  if (site) out += TruncateCp932(parts.site_name, kTooltipShortPart);
  if (category) {
    out += kCategoryJoin;
    out += TruncateCp932(parts.category, kTooltipShortPart);
  }
  if (site || category) out += kCrLf;
  if (chosen(tip_flag::kTitle, parts.title)) {
    out += TruncateCp932(parts.title, kTooltipTitlePart);
    out += kCrLf;
  }
  if (chosen(tip_flag::kAuthor, parts.author)) {
    out += "by ";
    out += TruncateCp932(parts.author, kTooltipShortPart);
    out += kCrLf;
  }
  if (chosen(tip_flag::kCreated, parts.created)) {
    out += TruncateCp932(parts.created, kTooltipShortPart);
    out += kCrLf;
  }
  if (chosen(tip_flag::kDescription, parts.description)) {
    if (!out.empty()) out += kCrLf;
    const std::string& d = parts.description;
    const bool blank_first = d[0] == ' ' || d.compare(0, 2, kFullWidthBlank) == 0;
    if (!blank_first) out += ' ';
    // The description takes what is left of the limit after its own line end.
    const size_t used = out.size() + 2;
    if (used < kTooltipTextLimit) out += TruncateCp932(d, kTooltipTextLimit - used);
    out += kCrLf;
  }
  if (out.empty()) return "_";
  return out;
}

TooltipRoom ComputeTooltipRoom(int ticker_top, int ticker_bottom, int screen_height) {
  const int above = ticker_top;
  const int below = screen_height - ticker_bottom;
  TooltipRoom r;
  r.room = std::max(above, below) - 10;
  r.top = above > below ? 0 : ticker_bottom + 1;
  return r;
}

TooltipFit FitTooltip(int height, const TooltipRoom& room) {
  TooltipFit fit;
  fit.height = height;
  if (height > room.room) {
    fit.cut = true;
    fit.height = std::max(0, room.room);
    fit.top = room.top;
  }
  return fit;
}

bool TooltipMadeTopmost(uint32_t general_flags) {
  return (general_flags & (1u << 8)) == 0 && (general_flags & (1u << 17)) != 0;
}

}  // namespace korvo
