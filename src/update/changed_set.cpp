#include "update/changed_set.h"

namespace korvo {

void ChangedSet::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  urls_.clear();
}

void ChangedSet::Add(std::string_view url) {
  std::lock_guard<std::mutex> lock(mutex_);
  urls_.emplace(url);
}

bool ChangedSet::Contains(std::string_view url) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return urls_.find(url) != urls_.end();
}

bool ChangedSet::any() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return !urls_.empty();
}

size_t ChangedSet::size() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return urls_.size();
}

std::set<std::string> ChangedSet::Snapshot() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return std::set<std::string>(urls_.begin(), urls_.end());
}

}  // namespace korvo
