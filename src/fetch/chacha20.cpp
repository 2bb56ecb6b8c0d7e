#include "fetch/chacha20.h"

namespace korvo {

namespace {

uint32_t Rotl(uint32_t v, int n) { return (v << n) | (v >> (32 - n)); }

void QuarterRound(uint32_t* x, int a, int b, int c, int d) {
  x[a] += x[b];
  x[d] = Rotl(x[d] ^ x[a], 16);
  x[c] += x[d];
  x[b] = Rotl(x[b] ^ x[c], 12);
  x[a] += x[b];
  x[d] = Rotl(x[d] ^ x[a], 8);
  x[c] += x[d];
  x[b] = Rotl(x[b] ^ x[c], 7);
}

uint32_t Load32(std::string_view s, size_t at) {
  return static_cast<uint32_t>(static_cast<unsigned char>(s[at])) |
         static_cast<uint32_t>(static_cast<unsigned char>(s[at + 1])) << 8 |
         static_cast<uint32_t>(static_cast<unsigned char>(s[at + 2])) << 16 |
         static_cast<uint32_t>(static_cast<unsigned char>(s[at + 3])) << 24;
}

}  // namespace

bool ChaCha20Xor(std::string_view key, std::string_view nonce, uint32_t counter,
                 std::string* data) {
  if (key.size() != 32 || nonce.size() != 12) return false;
  uint32_t state[16] = {0x61707865, 0x3320646e, 0x79622d32, 0x6b206574};
  for (int i = 0; i < 8; ++i) state[4 + i] = Load32(key, 4 * i);
  state[12] = counter;
  for (int i = 0; i < 3; ++i) state[13 + i] = Load32(nonce, 4 * i);
  for (size_t at = 0; at < data->size(); at += 64) {
    uint32_t x[16];
    for (int i = 0; i < 16; ++i) x[i] = state[i];
    for (int round = 0; round < 10; ++round) {
      QuarterRound(x, 0, 4, 8, 12);
      QuarterRound(x, 1, 5, 9, 13);
      QuarterRound(x, 2, 6, 10, 14);
      QuarterRound(x, 3, 7, 11, 15);
      QuarterRound(x, 0, 5, 10, 15);
      QuarterRound(x, 1, 6, 11, 12);
      QuarterRound(x, 2, 7, 8, 13);
      QuarterRound(x, 3, 4, 9, 14);
    }
    unsigned char block[64];
    for (int i = 0; i < 16; ++i) {
      const uint32_t v = x[i] + state[i];
      block[4 * i] = static_cast<unsigned char>(v);
      block[4 * i + 1] = static_cast<unsigned char>(v >> 8);
      block[4 * i + 2] = static_cast<unsigned char>(v >> 16);
      block[4 * i + 3] = static_cast<unsigned char>(v >> 24);
    }
    for (size_t i = 0; i < 64 && at + i < data->size(); ++i) {
      (*data)[at + i] = static_cast<char>((*data)[at + i] ^ block[i]);
    }
    ++state[12];
  }
  return true;
}

}  // namespace korvo
