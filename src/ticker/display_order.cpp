#include "ticker/display_order.h"

#include <utility>

namespace korvo {

bool DisplayOrder::Visible(const Items& items, size_t position) const {
  const size_t index = positions_[position];
  return index < items.size() && !items[index].hidden;
}

const std::string& DisplayOrder::SiteAt(const Items& items) const {
  static const std::string kNoSite;
  const size_t index = current();
  return index < items.size() ? items[index].site_link : kNoSite;
}

void DisplayOrder::Rewind(const Items& items, TickerRandom* random) {
  const size_t count = items.size();
  positions_.resize(count);
  for (size_t i = 0; i < count; ++i) positions_[i] = i;
  if (random != nullptr && count > 0) {
    const int passes = random->Next() % 10 + 1;
    for (int pass = 0; pass < passes; ++pass) {
      for (size_t i = 0; i < count; ++i) {
        std::swap(positions_[i], positions_[static_cast<size_t>(random->Next()) % count]);
      }
    }
  }
  cursor_ = 0;
  wrapped_ = false;
  for (size_t i = 0; i < count; ++i) {
    if (Visible(items, i)) {
      cursor_ = i;
      break;
    }
  }
}

void DisplayOrder::Assign(const std::vector<size_t>& positions, size_t count) {
  positions_.clear();
  for (size_t position : positions) {
    if (position < count) positions_.push_back(position);
  }
  cursor_ = 0;
  wrapped_ = false;
}

void DisplayOrder::Clear() {
  positions_.clear();
  cursor_ = 0;
  wrapped_ = false;
}

bool DisplayOrder::StepForward(const Items& items) {
  wrapped_ = false;
  const size_t count = positions_.size();
  if (count == 0) return false;
  for (size_t moves = 0; moves <= count; ++moves) {
    cursor_ = (cursor_ + 1) % count;
    if (cursor_ == 0) wrapped_ = true;
    if (Visible(items, cursor_)) break;
  }
  return true;
}

bool DisplayOrder::StepBack(const Items& items) {
  wrapped_ = false;
  const size_t count = positions_.size();
  if (count == 0) return false;
  for (size_t moves = 0; moves <= count; ++moves) {
    cursor_ = cursor_ == 0 ? count - 1 : cursor_ - 1;
    if (cursor_ == 0) wrapped_ = true;
    if (Visible(items, cursor_)) break;
  }
  return true;
}

bool DisplayOrder::StepToNextSite(const Items& items) {
  const size_t count = positions_.size();
  if (count == 0) return false;
  const size_t start = cursor_;
  const std::string site = SiteAt(items);
  bool wrapped = false;
  for (size_t i = 0; i < count; ++i) {
    StepForward(items);
    wrapped = wrapped || wrapped_;
    if (SiteAt(items) != site) {
      wrapped_ = wrapped;
      return true;
    }
  }
  cursor_ = start;
  wrapped_ = false;
  return true;
}

bool DisplayOrder::StepToPreviousSite(const Items& items) {
  const size_t count = positions_.size();
  if (count == 0) return false;
  const size_t start = cursor_;
  bool wrapped = false;
  // Back out of the current site; `count` steps are a whole pass.
  auto back_while_site_is = [&](const std::string& site) {
    for (size_t i = 0; i < count; ++i) {
      StepBack(items);
      wrapped = wrapped || wrapped_;
      if (SiteAt(items) != site) return true;
    }
    return false;
  };
  const std::string site = SiteAt(items);
  if (!back_while_site_is(site)) {
    cursor_ = start;
    wrapped_ = false;
    return true;
  }
  const std::string previous = SiteAt(items);
  back_while_site_is(previous);
  StepForward(items);
  wrapped_ = wrapped || wrapped_;
  return true;
}

size_t DisplayOrder::current() const {
  return cursor_ < positions_.size() ? positions_[cursor_] : kNone;
}

}  // namespace korvo
