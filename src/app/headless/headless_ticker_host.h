// The ticker's host in korvo-headless: no windows, so what the engine would show or open is
// reported as lines instead ("ticker: 3/12 見出し [サイト]", "ticker: open <link>", ...), in UTF-8.
#ifndef KORVO_APP_HEADLESS_HEADLESS_TICKER_HOST_H_
#define KORVO_APP_HEADLESS_HEADLESS_TICKER_HOST_H_

#include <functional>
#include <string>

#include "ticker/ticker_engine_host.h"

namespace korvo {

class HeadlessTickerHost : public TickerEngineHost {
 public:
  // `print` takes one line, from the engine thread.
  explicit HeadlessTickerHost(std::function<void(const std::string&)> print)
      : print_(std::move(print)) {}

  void ItemSelected(const TickerItem& item, size_t position, size_t count) override;
  void ListReloaded(bool refresh_live_bookmarks) override;
  bool CopyToClipboard(const std::string& text) override;
  void OpenLink(const std::string& link) override;

  // The line ItemSelected prints: one line without control characters, whatever the feed put
  // into the texts.
  static std::string ItemLine(const TickerItem& item, size_t position, size_t count);

 private:
  std::function<void(const std::string&)> print_;
};

}  // namespace korvo

#endif  // KORVO_APP_HEADLESS_HEADLESS_TICKER_HOST_H_
