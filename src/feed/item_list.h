// The items one extraction run produces, in document order, with a display order over them
// (optionally shuffled) and a cursor.
//
// Not thread-safe: one thread builds and reads a list at a time.
#ifndef KORVO_FEED_ITEM_LIST_H_
#define KORVO_FEED_ITEM_LIST_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "feed/feed_item.h"

namespace korvo {

// A source of random numbers for shuffling; tests pass a fixed sequence.
using RandomSource = std::function<uint32_t()>;

// A RandomSource seeded from the platform's random device.
RandomSource DefaultRandomSource();

class ItemList {
 public:
  // The cursor's value when no item is left to show.
  static constexpr size_t kNoItem = static_cast<size_t>(-1);

  ItemList() = default;
  ItemList(ItemList&&) = default;
  ItemList& operator=(ItemList&&) = default;
  ItemList(const ItemList&) = delete;
  ItemList& operator=(const ItemList&) = delete;

  // Adds an item at the end; the display order must be rebuilt afterwards.
  void Append(FeedItem item);
  // Removes every item and the display order.
  void Clear();
  // Keeps the first `count` items (all when there are fewer); the display order must be rebuilt.
  void Truncate(size_t count);

  size_t size() const { return items_.size(); }
  bool empty() const { return items_.empty(); }
  // Items in document order.
  FeedItem& operator[](size_t i) { return items_[i]; }
  const FeedItem& operator[](size_t i) const { return items_[i]; }
  std::vector<FeedItem>::iterator begin() { return items_.begin(); }
  std::vector<FeedItem>::iterator end() { return items_.end(); }
  std::vector<FeedItem>::const_iterator begin() const { return items_.begin(); }
  std::vector<FeedItem>::const_iterator end() const { return items_.end(); }

  // Builds the display order: document order, or with `shuffle` (random() % 10) + 1 passes, each
  // swapping every position i with position random() % size (without a callable `random` the
  // order stays as it is). Then puts the cursor on the first position whose item is not `shown`
  // (kNoItem if every item is).
  void RebuildIndex(bool shuffle = false, const RandomSource& random = {});

  // The display order (positions into document order); rebuilt in document order first if an
  // item was appended since the last rebuild.
  const std::vector<size_t>& Index();
  // Position of the cursor in the display order, or kNoItem.
  size_t cursor();
  // The item at the cursor, or null.
  FeedItem* Current();

 private:
  void EnsureIndex();

  std::vector<FeedItem> items_;
  std::vector<size_t> order_;
  size_t cursor_ = kNoItem;
  bool index_valid_ = false;
};

}  // namespace korvo

#endif  // KORVO_FEED_ITEM_LIST_H_
