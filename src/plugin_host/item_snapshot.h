// Copies of the ticker's shown items for plug-ins and the local server: the four operations of
// plugin_item.h over the source the program registers.
//
// The source is whatever owns the shown list (the ticker's lists, later the ticker engine); the
// program registers it once at start-up and clears it at shut-down. Each copy is taken under
// the source's own lock, so it never overlaps a swap or a clear of the lists.
//
// Ownership: every list the operations return is held here until it is given back; lists that
// were never given back are freed by ReleaseAllItemSnapshots (shut-down, tests).
//
// Threads: every function may be called from any thread.
#ifndef KORVO_PLUGIN_HOST_ITEM_SNAPSHOT_H_
#define KORVO_PLUGIN_HOST_ITEM_SNAPSHOT_H_

#include <cstddef>
#include <memory>
#include <vector>

#include "plugin_host/plugin_item.h"
#include "ticker/ticker_item.h"

namespace korvo {

class ShownItemSource {
 public:
  virtual ~ShownItemSource() = default;
  // A copy of the shown list, in list order.
  virtual std::vector<TickerItem> ShownItems() const = 0;
  // A copy of the ticker's current item; false when there is none.
  virtual bool CurrentItem(TickerItem* item) const = 0;
};

// Registers the source of every later copy (null: none; the operations then return null).
void SetShownItemSource(std::shared_ptr<ShownItemSource> source);

// The operations handed to plug-ins (plugin_item.h); plain functions, so their addresses can be.
PluginItem* ItemListSnapshot(PluginItem* list);
PluginItem* CurrentItemSnapshot();
PluginItemEx* ItemListSnapshotEx(PluginItemEx* list);
PluginItemEx* CurrentItemSnapshotEx();

// The number of lists taken and not yet given back.
size_t OutstandingItemSnapshots();
// Frees every list still out (their pointers become invalid).
void ReleaseAllItemSnapshots();

}  // namespace korvo

#endif  // KORVO_PLUGIN_HOST_ITEM_SNAPSHOT_H_
