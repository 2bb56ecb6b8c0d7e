// The allow list of the "internet" mode: the `allow_ip` text of `server_config`, IPv4 addresses
// separated by single blanks.
//
// Each piece is one entry of at most 31 characters; a longer piece ends the parsing with -1
// (the entries before it stay, the rest of the text is ignored). An entry is taken only when it
// is a plain dotted address, four decimal parts of 0 to 255 ("192.168.1.5"); anything else
// ("192.168.1.0/24", "1.2.3.300", "localhost", the default "0") is refused and matches no
// peer, instead of being read as some other address. Empty pieces (two blanks) add nothing.
//
// Pure functions; thread-safe.
#ifndef KORVO_SERVER_ALLOW_LIST_H_
#define KORVO_SERVER_ALLOW_LIST_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvo {

constexpr size_t kMaxAllowEntry = 31;

// Appends the addresses of `text` (host order: 1.2.3.4 is 0x01020304) to `addresses` and the
// refused entries to `refused` (may be null). 0, or -1 when an entry was longer than 31
// characters.
int ParseAllowList(std::string_view text, std::vector<uint32_t>* addresses,
                   std::vector<std::string>* refused);

// "1.2.3.4" for an address in host order.
std::string FormatIpv4(uint32_t address);

}  // namespace korvo

#endif  // KORVO_SERVER_ALLOW_LIST_H_
