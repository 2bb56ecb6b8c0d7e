// Where the local server and the plug-ins read the ticker's shown items (ShownItemSource), and
// how the server's redirect opens an item by its record number. Today the ticker's two lists
// (TickerLists) hold the shown list; this is the one place that knows it.
//
// Threads: any (TickerLists is thread-safe).
#ifndef KORVO_APP_TICKER_ITEM_SOURCE_H_
#define KORVO_APP_TICKER_ITEM_SOURCE_H_

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "plugin_host/item_snapshot.h"

namespace korvo {

class TickerLists;

class TickerItemSource : public ShownItemSource {
 public:
  explicit TickerItemSource(std::shared_ptr<TickerLists> lists) : lists_(std::move(lists)) {}

  std::vector<TickerItem> ShownItems() const override;
  // The item on display; before the engine has shown one, the first item of the shown list that
  // is not hidden.
  bool CurrentItem(TickerItem* item) const override;
  // TickerLists::OpenItemByRecord.
  bool OpenItem(int32_t id, std::string* link) const;

 private:
  std::shared_ptr<TickerLists> lists_;
};

}  // namespace korvo

#endif  // KORVO_APP_TICKER_ITEM_SOURCE_H_
