// Decodes and unescapes arbitrary bytes; the decoded text must never hold a NUL that the input
// did not have.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "feed/entities.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::string decoded = korvo::DecodeEntities(input);
  if (input.find('\0') == std::string::npos && decoded.find('\0') != std::string::npos) {
    std::abort();
  }
  std::string link = input;
  korvo::UnescapeLink(&link);
  if (link.size() > input.size()) std::abort();
  return 0;
}
