#include "feed/item_list.h"

#include <cstddef>
#include <memory>
#include <random>
#include <utility>

namespace korvo {

RandomSource DefaultRandomSource() {
  auto engine = std::make_shared<std::mt19937>(std::random_device{}());
  return [engine] { return static_cast<uint32_t>((*engine)()); };
}

void ItemList::Append(FeedItem item) {
  items_.push_back(std::move(item));
  index_valid_ = false;
}

void ItemList::Clear() {
  items_.clear();
  order_.clear();
  cursor_ = kNoItem;
  index_valid_ = false;
}

void ItemList::Truncate(size_t count) {
  if (count >= items_.size()) return;
  items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(count), items_.end());
  order_.clear();
  cursor_ = kNoItem;
  index_valid_ = false;
}

void ItemList::RebuildIndex(bool shuffle, const RandomSource& random) {
  const size_t count = items_.size();
  order_.resize(count);
  for (size_t i = 0; i < count; ++i) order_[i] = i;
  if (shuffle && count > 1 && random) {
    const uint32_t passes = random() % 10 + 1;
    for (uint32_t pass = 0; pass < passes; ++pass) {
      for (size_t i = 0; i < count; ++i) std::swap(order_[i], order_[random() % count]);
    }
  }
  cursor_ = kNoItem;
  for (size_t position = 0; position < count; ++position) {
    if (!items_[order_[position]].shown) {
      cursor_ = position;
      break;
    }
  }
  index_valid_ = true;
}

void ItemList::EnsureIndex() {
  if (!index_valid_) RebuildIndex();
}

const std::vector<size_t>& ItemList::Index() {
  EnsureIndex();
  return order_;
}

size_t ItemList::cursor() {
  EnsureIndex();
  return cursor_;
}

FeedItem* ItemList::Current() {
  EnsureIndex();
  return cursor_ == kNoItem ? nullptr : &items_[order_[cursor_]];
}

}  // namespace korvo
