// Hardware addresses from /sys/class/net/<interface>/address ("aa:bb:cc:dd:ee:ff").
#include <string>

#include "platform/files.h"
#include "platform/net_adapters.h"

namespace korvo::platform {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool ParseAddress(const std::string& text, std::string* out) {
  std::string bytes;
  size_t i = 0;
  while (bytes.size() < 6) {
    if (i + 2 > text.size()) return false;
    const int hi = HexDigit(text[i]);
    const int lo = HexDigit(text[i + 1]);
    if (hi < 0 || lo < 0) return false;
    bytes.push_back(static_cast<char>(hi * 16 + lo));
    i += 2;
    if (bytes.size() < 6) {
      if (i >= text.size() || text[i] != ':') return false;
      ++i;
    }
  }
  if (bytes == std::string(6, '\0')) return false;
  *out = bytes;
  return true;
}

}  // namespace

std::vector<std::string> NetworkHardwareAddresses(size_t max_count) {
  std::vector<std::string> result;
  const std::string root = "/sys/class/net";
  for (const DirectoryEntry& e : ListDirectory(root)) {  // sorted by name
    if (result.size() >= max_count) break;
    if (e.name == "lo") continue;
    std::string text;
    std::string address;
    if (ReadWholeFile(root + "/" + e.name + "/address", &text, 256) &&
        ParseAddress(text, &address)) {
      result.push_back(address);
    }
  }
  return result;
}

}  // namespace korvo::platform
