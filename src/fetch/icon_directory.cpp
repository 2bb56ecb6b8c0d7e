#include "fetch/icon_directory.h"

#include <cstdint>

namespace korvo {

namespace {

uint32_t Le16(const unsigned char* p) { return p[0] | p[1] << 8; }
uint32_t Le32(const unsigned char* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Whether `a` suits (width, height) better than `b`.
bool Better(const IconImageRef& a, const IconImageRef& b, int width, int height) {
  const bool a_exact = a.width == width && a.height == height;
  const bool b_exact = b.width == width && b.height == height;
  if (a_exact != b_exact) return a_exact;
  if (a_exact) return a.bit_count > b.bit_count;
  const bool a_larger = a.width >= width && a.height >= height;
  const bool b_larger = b.width >= width && b.height >= height;
  if (a_larger != b_larger) return a_larger;
  if (a_larger) {
    if (a.width != b.width) return a.width < b.width;
  } else if (a.width != b.width) {
    return a.width > b.width;
  }
  return a.bit_count > b.bit_count;
}

}  // namespace

bool ChooseIconImage(std::string_view bytes, int width, int height, IconImageRef* image) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  if (bytes.size() < 6 || Le16(p) != 0 || Le16(p + 2) != 1) return false;
  const size_t count = Le16(p + 4);
  bool found = false;
  IconImageRef best;
  for (size_t i = 0; i < count; ++i) {
    const size_t at = 6 + 16 * i;
    if (at + 16 > bytes.size()) break;
    IconImageRef ref;
    ref.width = p[at] == 0 ? 256 : p[at];
    ref.height = p[at + 1] == 0 ? 256 : p[at + 1];
    ref.bit_count = static_cast<int>(Le16(p + at + 6));
    ref.size = Le32(p + at + 8);
    ref.offset = Le32(p + at + 12);
    if (ref.size < 8 || ref.offset > bytes.size() || ref.size > bytes.size() - ref.offset) {
      continue;
    }
    if (!found || Better(ref, best, width, height)) {
      best = ref;
      found = true;
    }
  }
  if (found) *image = best;
  return found;
}

}  // namespace korvo
