// DisplayOrder: the order in which the shown list is displayed (positions into the list) and the
// engine's cursor in it.
//
//   Rewind(random)   the order becomes list order; with `random`, (rand % 10) + 1 passes each
//                    swap the entry at every position i, first to last, with the entry at
//                    rand % count; the cursor goes to the first position whose item is visible.
//   StepForward/Back one position on, modulo the count (back from position 0 is the last),
//                    skipping hidden items, at most count + 1 moves. Every step first clears the
//                    wrapped mark; arriving at position 0 sets it.
//   StepToNextSite   steps forward until the site link differs from the current item's (at most
//                    one pass over the list).
//   StepToPreviousSite  steps back until the site link differs, then on until it differs from
//                    that site too, then forward once: the first item of the previous site.
// The site moves keep the wrapped mark of any of their steps. With a single site they leave
// the cursor where it was.
//
// Not thread-safe: TickerLists keeps it under its lock. The items are passed to every call and
// must be the list the order was built for (the same count).
#ifndef KORVO_TICKER_DISPLAY_ORDER_H_
#define KORVO_TICKER_DISPLAY_ORDER_H_

#include <cstddef>
#include <string>
#include <vector>

#include "ticker/ticker_item.h"
#include "ticker/ticker_random.h"

namespace korvo {

class DisplayOrder {
 public:
  using Items = std::vector<TickerItem>;
  static constexpr size_t kNone = static_cast<size_t>(-1);

  // `random` null: list order.
  void Rewind(const Items& items, TickerRandom* random);
  // Takes `positions` as the order (those out of range of `count` are dropped); cursor 0.
  void Assign(const std::vector<size_t>& positions, size_t count);
  void Clear();

  // False when the order is empty.
  bool StepForward(const Items& items);
  bool StepBack(const Items& items);
  bool StepToNextSite(const Items& items);
  bool StepToPreviousSite(const Items& items);

  // The list index of the item at the cursor; kNone when the order is empty.
  size_t current() const;
  // The cursor: a position in the order.
  size_t cursor() const { return cursor_; }
  bool wrapped() const { return wrapped_; }
  void ClearWrapped() { wrapped_ = false; }
  const std::vector<size_t>& positions() const { return positions_; }

 private:
  bool Visible(const Items& items, size_t position) const;
  const std::string& SiteAt(const Items& items) const;

  std::vector<size_t> positions_;
  size_t cursor_ = 0;
  bool wrapped_ = false;
};

}  // namespace korvo

#endif  // KORVO_TICKER_DISPLAY_ORDER_H_
