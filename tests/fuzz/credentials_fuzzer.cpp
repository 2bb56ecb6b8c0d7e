// The credentials file reader on arbitrary bytes: it must end with a clear answer, never read
// out of bounds, and whatever it accepts must survive a plain write and read back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "fetch/credentials.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view file(reinterpret_cast<const char*>(data), size);
  std::vector<korvo::Credential> entries;
  const bool ok = korvo::DecodeCredentials(file, &entries);
  if (ok) {
    std::vector<korvo::Credential> again;
    if (!korvo::DecodeCredentials(korvo::EncodeCredentials(entries, 2, ""), &again) ||
        again.size() != entries.size()) {
      std::abort();
    }
    for (size_t i = 0; i < entries.size(); ++i) {
      if (again[i].url_text != entries[i].url_text || again[i].user != entries[i].user ||
          again[i].password != entries[i].password) {
        std::abort();
      }
    }
  }
  return 0;
}
