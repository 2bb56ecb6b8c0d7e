#include "ticker/ticker_dump.h"

#include <algorithm>

#include "fetch/feed_cache.h"
#include "platform/files.h"

namespace korvo {

std::vector<uint32_t> DecodeTickerDump(std::string_view bytes) {
  const size_t count = std::min(bytes.size() / 4, kMaxTickerDumpNumbers);
  std::vector<uint32_t> numbers;
  numbers.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + 4 * i);
    numbers.push_back(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                      static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
  }
  return numbers;
}

std::string EncodeTickerDump(const std::vector<uint32_t>& numbers) {
  std::string bytes;
  bytes.reserve(numbers.size() * 4);
  for (uint32_t n : numbers) {
    bytes.push_back(static_cast<char>(n & 0xFF));
    bytes.push_back(static_cast<char>((n >> 8) & 0xFF));
    bytes.push_back(static_cast<char>((n >> 16) & 0xFF));
    bytes.push_back(static_cast<char>((n >> 24) & 0xFF));
  }
  return bytes;
}

bool ReadTickerDump(const std::string& path, std::vector<uint32_t>* numbers) {
  numbers->clear();
  if (!platform::FileExists(path)) return false;
  platform::File file;
  if (!file.Open(path, platform::File::Mode::kRead)) return false;
  // Read no more than the largest list, whatever size the file claims.
  std::string bytes(kMaxTickerDumpNumbers * 4, '\0');
  size_t got = 0;
  while (got < bytes.size()) {
    const int64_t n = file.ReadAt(got, &bytes[got], bytes.size() - got);
    if (n < 0) return false;
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  bytes.resize(got);
  *numbers = DecodeTickerDump(bytes);
  return true;
}

bool WriteTickerDump(const std::string& path, const std::vector<uint32_t>& numbers) {
  const size_t slash = path.find_last_of("/\\");
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
  return ReplaceFileContents(folder, path, EncodeTickerDump(numbers));
}

}  // namespace korvo
