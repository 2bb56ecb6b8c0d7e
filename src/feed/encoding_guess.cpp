#include "feed/encoding_guess.h"

#include <cstddef>
#include <cstdint>

namespace korvo {

namespace {

constexpr int kCharacterScore = 2;
constexpr int kErrorCost = 8;

bool IsTail(unsigned char b) { return (b & 0xC0) == 0x80; }

int Cp932Score(const unsigned char* p, size_t n) {
  int score = 0;
  for (size_t i = 0; i < n;) {
    const unsigned char b = p[i];
    if (b < 0x80 || (b >= 0xA1 && b <= 0xDF)) {
      ++i;  // ASCII, or a half-width katakana
    } else if (((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) && i + 1 < n &&
               p[i + 1] >= 0x40 && p[i + 1] <= 0xFC && p[i + 1] != 0x7F) {
      score += kCharacterScore;
      i += 2;
    } else {
      if (i + 1 < n) score -= kErrorCost;  // a lead byte cut by the end is no error
      ++i;
    }
  }
  return score;
}

bool IsEucByte(unsigned char b) { return b >= 0xA1 && b <= 0xFE; }

int EucJpScore(const unsigned char* p, size_t n) {
  int score = 0;
  for (size_t i = 0; i < n;) {
    const unsigned char b = p[i];
    if (b < 0x80) {
      ++i;
    } else if (IsEucByte(b) && i + 1 < n && IsEucByte(p[i + 1])) {
      score += kCharacterScore;
      i += 2;
    } else if (b == 0x8E && i + 1 < n && p[i + 1] >= 0xA1 && p[i + 1] <= 0xDF) {
      i += 2;  // a half-width katakana
    } else if (b == 0x8F && i + 2 < n && IsEucByte(p[i + 1]) && IsEucByte(p[i + 2])) {
      score += kCharacterScore;  // JIS X 0212
      i += 3;
    } else {
      if (i + 2 < n) score -= kErrorCost;
      ++i;
    }
  }
  return score;
}

}  // namespace

bool IsUtf8(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t n = bytes.size();
  for (size_t i = 0; i < n;) {
    const unsigned char b = p[i];
    if (b < 0x80) {
      ++i;
      continue;
    }
    size_t length;
    uint32_t min;
    if (b >= 0xC2 && b <= 0xDF) {
      length = 2;
      min = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
      length = 3;
      min = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
      length = 4;
      min = 0x10000;
    } else {
      return false;
    }
    uint32_t c = b & (0x7F >> length);
    size_t k = 1;
    for (; k < length && i + k < n; ++k) {
      if (!IsTail(p[i + k])) return false;
      c = c << 6 | (p[i + k] & 0x3Fu);
    }
    if (k < length) return true;  // cut by the end of the bytes
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

bool LooksLikeEucJp(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  return EucJpScore(p, bytes.size()) > Cp932Score(p, bytes.size());
}

}  // namespace korvo
