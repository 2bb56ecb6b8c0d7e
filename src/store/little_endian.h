// Little-endian 32-bit words in byte buffers: every file of the news store is written field by
// field through these, whatever the byte order of the machine.
#ifndef KORVO_STORE_LITTLE_ENDIAN_H_
#define KORVO_STORE_LITTLE_ENDIAN_H_

#include <cstdint>

namespace korvo::store_bytes {

inline uint32_t GetWord(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

inline void PutWord(unsigned char* p, uint32_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
  p[2] = static_cast<unsigned char>(v >> 16);
  p[3] = static_cast<unsigned char>(v >> 24);
}

}  // namespace korvo::store_bytes

#endif  // KORVO_STORE_LITTLE_ENDIAN_H_
