// The ChaCha20 stream cipher (RFC 8439): the cipher of the credentials file.
#ifndef KORVO_FETCH_CHACHA20_H_
#define KORVO_FETCH_CHACHA20_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace korvo {

// XORs `data` with the key stream of `key` (32 bytes), `nonce` (12 bytes) and the block counter
// starting at `counter`; enciphering and deciphering are the same operation. False (and `data`
// unchanged) when the key or nonce has the wrong size.
bool ChaCha20Xor(std::string_view key, std::string_view nonce, uint32_t counter, std::string* data);

}  // namespace korvo

#endif  // KORVO_FETCH_CHACHA20_H_
