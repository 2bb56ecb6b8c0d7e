#include "app/headless/headless_ticker_host.h"

#include "platform/code_page.h"

namespace korvo {

namespace {

// One line of the report: CP932 to UTF-8, every control character (line breaks, tabs, and the
// escapes a feed can slip in with "&#27;", which a terminal would obey) as a blank. (CP932 has
// no C1 controls: its bytes never become U+0080..U+009F.)
std::string Flat(const std::string& cp932) {
  std::string text = platform::Cp932ToUtf8(cp932);
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  return text;
}

}  // namespace

std::string HeadlessTickerHost::ItemLine(const TickerItem& item, size_t position, size_t count) {
  std::string line = "ticker: " + std::to_string(position + 1) + "/" + std::to_string(count) + " " +
                     Flat(item.title);
  if (!item.site_name.empty()) line += " [" + Flat(item.site_name) + "]";
  return line;
}

void HeadlessTickerHost::ItemSelected(const TickerItem& item, size_t position, size_t count) {
  print_(ItemLine(item, position, count));
}

void HeadlessTickerHost::ListReloaded(bool /*refresh_live_bookmarks*/) {
  print_("ticker: list reloaded");
}

bool HeadlessTickerHost::CopyToClipboard(const std::string& text) {
  print_("ticker: copy " + Flat(text));
  return true;
}

void HeadlessTickerHost::OpenLink(const std::string& link) { print_("ticker: open " + Flat(link)); }

}  // namespace korvo
