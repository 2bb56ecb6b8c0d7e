#include "feed/cp932_text.h"

#include <algorithm>

#include "feed/cp932_table.h"
#include "platform/code_page.h"

namespace korvo {

std::string SanitizeCp932(std::string_view bytes, char replacement) {
  std::string out;
  out.reserve(bytes.size());
  const size_t n = bytes.size();
  for (size_t i = 0; i < n; ++i) {
    // Runs of ASCII without NUL are copied at once.
    const size_t ascii = AsciiPrefixLength(bytes.substr(i));
    if (ascii > 0) {
      const std::string_view run = bytes.substr(i, ascii);
      const size_t nul = run.find('\0');
      out.append(run.data(), std::min(nul, run.size()));
      i += std::min(nul, run.size());
      if (i >= n) break;
    }
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b == 0) continue;
    if (!platform::IsCp932LeadByte(b)) {
      out.push_back(static_cast<char>(b));
      continue;
    }
    const auto t = i + 1 < n ? static_cast<unsigned char>(bytes[i + 1]) : 0;
    if ((t >= 0x40 && t <= 0x7E) || (t >= 0x80 && t <= 0xFC)) {
      out.push_back(static_cast<char>(b));
      out.push_back(static_cast<char>(t));
      ++i;
    } else {
      out.push_back(replacement);  // the byte after it is read again on its own
    }
  }
  return out;
}

}  // namespace korvo
