// The ticker's two item lists (double buffering) and their hand-over, SetTickerList.
//
// One list is shown; the other (the spare) is filled by a hand-over. The engine swaps them when
// it takes the Reload command (SwapLists): the spare becomes the shown list and the old shown
// list is emptied to be the next spare. Until an engine is attached (no command sink), a
// hand-over swaps at once, so the new list is the shown one as soon as SetTickerList returns.
//
// Hand-overs:
//   - SetTickerList(items), from the update cycle: the read and new bits of every item that names
//     a record are ORed in from the store, the items become the spare list, and Reload is pushed
//     when a list has been shown before (the first list is swapped in directly). An empty list
//     is handed over as the single placeholder item, so the shown list is never empty.
//   - LoadSavedList(dump path), once at start-up: the spare list is rebuilt from the record
//     numbers in "dump.dat" (records that do not read, or lack a title or a link, are left out);
//     when there is no saved list or none of its records reads, the list is the single
//     placeholder item. Then Reload is pushed.
// At exit SaveShownList writes the record numbers of the shown list to "dump.dat" when it holds
// at least three items, and Clear frees both lists.
//
// The shown list has a display order and the engine's cursor (display_order.h), and remembers
// which item is on display. Readers (the windows, the local server, plug-ins) get copies: a
// Snapshot, or one item; nobody keeps a pointer into a list, which the engine may free at the
// next swap. Every change of the lists (fill, swap, clear, order, cursor, the read and hidden
// marks) happens under the one lock of this object.
//
// Threads: every member may be called from any thread. The lists' own lock is never held while
// the store lock is taken or the command sink is called: it is the innermost lock (taken inside
// the store lock by OpenItemByRecord and OpenItemById, inside nothing else).
#ifndef KORVO_TICKER_TICKER_LISTS_H_
#define KORVO_TICKER_TICKER_LISTS_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "ticker/display_order.h"
#include "ticker/ticker_item.h"
#include "ticker/ticker_random.h"

namespace korvo {

// A copy of the shown list as it is at one moment.
struct TickerSnapshot {
  static constexpr size_t kNone = static_cast<size_t>(-1);
  std::vector<TickerItem> items;  // in list order (the order the update cycle added them)
  std::vector<size_t> order;      // the display order: indexes into `items`
  size_t on_display = kNone;      // index into `items` of the item on display, or kNone
  uint64_t generation = 0;        // changes whenever the shown list is replaced or cleared
};

// Where the engine's cursor stands, remembered across a reload.
struct TickerPlace {
  bool valid = false;  // false: the list was empty
  std::string link;
  std::string site_link;
  size_t position = 0;  // the cursor's position in the display order
};

// An item of the shown list as the engine selected it.
struct TickerItemRef {
  size_t index = TickerSnapshot::kNone;  // into the list
  uint64_t generation = 0;               // of the list it belongs to
};

// The moves the engine selects an item with.
enum class TickerMove { kCurrent, kNext, kPrevious, kNextSite, kPreviousSite };

class TickerLists {
 public:
  static constexpr uint8_t kCommandReload = 4;
  static constexpr uint8_t kCommandShuffle = 6;
  static constexpr size_t kMinSavedItems = 3;

  // Pushes one engine command; false when the engine's queue refused it.
  using CommandSink = std::function<bool(uint8_t command)>;

  // The store in `working_folder` is reached through short-lived guards (the program's store
  // holder keeps it open); an empty folder means no store: no marks are refreshed and no saved
  // list can be read.
  explicit TickerLists(std::string working_folder);
  TickerLists(const TickerLists&) = delete;
  TickerLists& operator=(const TickerLists&) = delete;

  // Attaches the engine's command queue (empty: none; hand-overs then swap at once).
  void SetCommandSink(CommandSink sink);
  // Pushes a command to the engine; false without an engine or when refused.
  bool PushCommand(uint8_t command);

  // The update cycle's hand-over. Returns the number of items handed over (1 for the
  // placeholder that replaces an empty list).
  size_t SetTickerList(std::vector<TickerItem> items);
  // The start-up hand-over from the saved list at `dump_path`. Returns the number of items in the
  // new list (1 for the placeholder).
  size_t LoadSavedList(const std::string& dump_path);

  // What the engine does on Reload: the spare list becomes the shown one, in list order with the
  // cursor on its first visible item and nothing on display; the old shown list is emptied.
  // Without a pending hand-over nothing changes. True when the lists were swapped.
  bool SwapLists();

  // Writes the record numbers of the shown list, in display order, to `dump_path` when the list
  // holds at least kMinSavedItems items (items that name no record are left out of the file).
  // False when nothing was written (too few items, or the write failed; the old file stays).
  bool SaveShownList(const std::string& dump_path) const;
  // Frees both lists.
  void Clear();

  // Copies of the lists and their state.
  std::vector<TickerItem> shown() const;
  std::vector<TickerItem> spare() const;
  size_t shown_count() const;
  bool reload_pending() const;
  // Opens the item with record number `id` for a reader outside the ticker (the local server's
  // redirect). Fails for the ids 0, -1 and -2 and does nothing else then. Otherwise, under the
  // store lock: every shown item with that id gets the read bit, and one that leaves the list
  // once opened is hidden while the list still shows at least two items; the record's check day
  // is set to the local time when it is empty; `*link` gets the record's link (empty when the
  // record cannot be read). (item_opening.h)
  bool OpenItemByRecord(int32_t id, std::string* link);

  // Sets the display order of the shown list (positions into it). Positions out of range are
  // dropped. An empty order means list order.
  void SetShownOrder(std::vector<size_t> order);

  // --- What the windows, the server and the plug-ins read ---
  TickerSnapshot Snapshot() const;
  // A copy of the item on display; false when none is (nothing shown yet, or the list was
  // replaced since).
  bool OnDisplay(TickerItem* item) const;
  // The list's part of opening an item by its record id (the local server, the skin window):
  // every shown item with that id gets its read mark, and one that is hidden once opened is
  // hidden while at least two items of the list are visible. False when no shown item has the
  // id.
  bool MarkOpenedById(int32_t id);
  // The same for the item `ref` the engine selected; false when the list was replaced since.
  bool MarkOpened(const TickerItemRef& ref);

  // --- The engine's cursor (display_order.h) ---
  // Rewinds the display order; shuffled when `random` is not null.
  void Rewind(TickerRandom* random);
  // Where the cursor stands now.
  TickerPlace CurrentPlace() const;
  // Places the cursor after a reload swapped the lists: with no remembered place or with
  // `random` (random order on): rewind (shuffled with `random`). Otherwise rewind in list order
  // and walk the list once looking for the remembered link, stepping once more on a match (the
  // item after the one on display comes next); else for the remembered site link (stay on its
  // first item); else step forward to the remembered position.
  void PlaceAfterReload(const TickerPlace& place, TickerRandom* random);
  // Moves the cursor by `move` and makes the item there the one on display. When `random` is
  // not null (random order on) and a move wrapped around, the order is reshuffled first and its
  // first item taken. False, with nothing on display, when the list is empty.
  bool Select(TickerMove move, TickerRandom* random, TickerItem* item, TickerItemRef* ref);
  // A copy of the item at the cursor and its reference; false when the list is empty.
  bool Current(TickerItem* item, TickerItemRef* ref = nullptr) const;

 private:
  void RefreshMarks(std::vector<TickerItem>* items);
  void HandOver(std::vector<TickerItem> items, bool always_reload);
  bool MarkOpenedLocked(size_t index);

  const std::string working_folder_;
  CommandSink sink_;  // guarded by mutex_; copied out before it is called

  mutable std::mutex mutex_;
  std::vector<TickerItem> shown_;
  DisplayOrder order_;
  size_t on_display_ = TickerSnapshot::kNone;
  uint64_t generation_ = 0;
  std::vector<TickerItem> spare_;
  bool spare_pending_ = false;
  bool shown_before_ = false;
};

}  // namespace korvo

#endif  // KORVO_TICKER_TICKER_LISTS_H_
