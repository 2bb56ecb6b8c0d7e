#include "server/allow_list.h"

namespace korvo {

namespace {

// A dotted IPv4 address of exactly four decimal parts (one to three digits, at most 255).
bool ParseDotted(std::string_view entry, uint32_t* address) {
  uint32_t result = 0;
  int parts = 0;
  size_t i = 0;
  while (parts < 4) {
    size_t digits = 0;
    uint32_t part = 0;
    while (i < entry.size() && entry[i] >= '0' && entry[i] <= '9' && digits < 4) {
      part = part * 10 + static_cast<uint32_t>(entry[i] - '0');
      ++i;
      ++digits;
    }
    if (digits == 0 || digits > 3 || part > 255) return false;
    result = (result << 8) | part;
    ++parts;
    if (parts < 4) {
      if (i >= entry.size() || entry[i] != '.') return false;
      ++i;
    }
  }
  if (i != entry.size()) return false;
  *address = result;
  return true;
}

}  // namespace

int ParseAllowList(std::string_view text, std::vector<uint32_t>* addresses,
                   std::vector<std::string>* refused) {
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(' ', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view entry = text.substr(start, end - start);
    if (entry.size() > kMaxAllowEntry) return -1;
    uint32_t address = 0;
    if (ParseDotted(entry, &address)) {
      addresses->push_back(address);
    } else if (!entry.empty() && refused != nullptr) {
      refused->emplace_back(entry);
    }
    start = end + 1;
  }
  return 0;
}

std::string FormatIpv4(uint32_t address) {
  return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "." +
         std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

}  // namespace korvo
