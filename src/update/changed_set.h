// ChangedSet: the channel address texts whose FeedCache file changed during one update run.
//
// Each run makes its own set (shared by the run and its fetch workers through a shared_ptr), so a
// worker that is still running after its run gave up waiting can only ever add to the set of the
// run that started it, never to a later run's.
//
// Thread-safe: every member takes the set's own lock, which is the last lock in the program's
// nesting order (run mutex, store lock, schedule lock, changed-set lock); nothing is called while
// it is held.
#ifndef KORVO_UPDATE_CHANGED_SET_H_
#define KORVO_UPDATE_CHANGED_SET_H_

#include <cstddef>
#include <mutex>
#include <set>
#include <string>
#include <string_view>

namespace korvo {

class ChangedSet {
 public:
  ChangedSet() = default;
  ChangedSet(const ChangedSet&) = delete;
  ChangedSet& operator=(const ChangedSet&) = delete;

  void Clear();
  // Adds an address text (compared byte for byte).
  void Add(std::string_view url);
  bool Contains(std::string_view url) const;
  // True when at least one address was added since the last Clear: the run's "changed" flag.
  bool any() const;
  size_t size() const;
  // A copy of the addresses in ascending byte order.
  std::set<std::string> Snapshot() const;

 private:
  mutable std::mutex mutex_;
  std::set<std::string, std::less<>> urls_;
};

}  // namespace korvo

#endif  // KORVO_UPDATE_CHANGED_SET_H_
