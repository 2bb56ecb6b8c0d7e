// The hash that names an item's link in the index: h = 1, then h = h * 37 + u over the link's
// UTF-16 code units (modulo 2^32); the result is h AND 0x7FFFFFFF. An empty link hashes to 1.
#ifndef KORVO_STORE_LINK_HASH_H_
#define KORVO_STORE_LINK_HASH_H_

#include <cstdint>
#include <string_view>

namespace korvo {

inline uint32_t LinkHash(std::u16string_view link) {
  uint32_t h = 1;
  for (char16_t u : link) h = h * 37u + static_cast<uint32_t>(u);
  return h & 0x7FFFFFFFu;
}

}  // namespace korvo

#endif  // KORVO_STORE_LINK_HASH_H_
