// EngineCommandQueue: the ticker engine's command queue, 256 one-byte commands under one lock.
// Any thread pushes; the engine thread pops the oldest and waits for new ones.
//
// The lock stands alone: no other lock is taken while it is held, and no callback runs under it.
#ifndef KORVO_TICKER_ENGINE_COMMAND_QUEUE_H_
#define KORVO_TICKER_ENGINE_COMMAND_QUEUE_H_

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace korvo {

class EngineCommandQueue {
 public:
  static constexpr size_t kCapacity = 256;

  // Appends `command`: 0, or -1 when kCapacity commands are already waiting (the queue is left
  // as it was).
  int Push(uint8_t command);
  // Takes the oldest command; false when none waits.
  bool Pop(uint8_t* command);
  // Waits until a command waits, `ready()` is true or `timeout` passed. `ready` is evaluated
  // under the queue's lock, so it must only read atomics. Wake() makes waiters look again.
  template <typename Ready>
  void WaitFor(std::chrono::milliseconds timeout, Ready ready) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, timeout, [&] { return count_ > 0 || ready(); });
  }
  void Wake();

  size_t size() const;
  // The waiting commands, oldest first (for tests and diagnostics).
  std::vector<uint8_t> Contents() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::array<uint8_t, kCapacity> commands_{};
  size_t first_ = 0;
  size_t count_ = 0;
};

}  // namespace korvo

#endif  // KORVO_TICKER_ENGINE_COMMAND_QUEUE_H_
