// TickerRandom: the ticker's pseudo-random numbers, 0 to 32767, from the linear congruential
// generator of the C library of the target system (seed = seed * 214013 + 2531011, result = bits
// 16-30 of the seed). The engine seeds one at start for shuffling; each display run seeds one
// with the time for its random effect choice. Tests seed them with fixed values.
//
// Not thread-safe: each thread keeps its own.
#ifndef KORVO_TICKER_TICKER_RANDOM_H_
#define KORVO_TICKER_TICKER_RANDOM_H_

#include <cstdint>

namespace korvo {

class TickerRandom {
 public:
  static constexpr int kMax = 32767;

  explicit TickerRandom(uint32_t seed = 1) : state_(seed) {}
  void Seed(uint32_t seed) { state_ = seed; }
  // The next number, 0 to kMax.
  int Next() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFF);
  }

 private:
  uint32_t state_;
};

}  // namespace korvo

#endif  // KORVO_TICKER_TICKER_RANDOM_H_
