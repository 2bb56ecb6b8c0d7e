#include "ticker/engine_command_queue.h"

namespace korvo {

int EngineCommandQueue::Push(uint8_t command) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (count_ == kCapacity) return -1;
    commands_[(first_ + count_) % kCapacity] = command;
    ++count_;
  }
  changed_.notify_all();
  return 0;
}

bool EngineCommandQueue::Pop(uint8_t* command) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (count_ == 0) return false;
  *command = commands_[first_];
  first_ = (first_ + 1) % kCapacity;
  --count_;
  return true;
}

void EngineCommandQueue::Wake() {
  // Taking the lock orders the caller's change before the waiter's next look.
  { std::lock_guard<std::mutex> lock(mutex_); }
  changed_.notify_all();
}

size_t EngineCommandQueue::size() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return count_;
}

std::vector<uint8_t> EngineCommandQueue::Contents() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<uint8_t> out;
  for (size_t i = 0; i < count_; ++i) out.push_back(commands_[(first_ + i) % kCapacity]);
  return out;
}

}  // namespace korvo
