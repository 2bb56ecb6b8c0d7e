#include "app/ticker_item_source.h"

#include "ticker/ticker_lists.h"

namespace korvo {

std::vector<TickerItem> TickerItemSource::ShownItems() const { return lists_->shown(); }

bool TickerItemSource::CurrentItem(TickerItem* item) const {
  if (lists_->OnDisplay(item)) return true;
  for (TickerItem& shown : lists_->shown()) {
    if (shown.hidden) continue;
    *item = std::move(shown);
    return true;
  }
  return false;
}

bool TickerItemSource::OpenItem(int32_t id, std::string* link) const {
  return lists_->OpenItemByRecord(id, link);
}

}  // namespace korvo
