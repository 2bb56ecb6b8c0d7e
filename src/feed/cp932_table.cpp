#include "feed/cp932_table.h"

#include <cstring>

#include "platform/code_page.h"

namespace korvo {

const Cp932Table& Cp932Table::Get() {
  static const Cp932Table table;
  return table;
}

Cp932Table::Cp932Table() : codes_(new std::atomic<uint16_t>[0x10000]) {
  for (size_t c = 0; c < 0x10000; ++c) codes_[c].store(kUnknown, std::memory_order_relaxed);
}

bool Cp932Table::AppendSlow(char16_t c, std::string* out) const {
  // NUL as the replacement marks a character without a form; U+0000 itself is never asked.
  const std::string form = platform::Utf16ToCp932(std::u16string_view(&c, 1), '\0');
  uint16_t code = kLong;
  if (form.empty() || (form.size() == 1 && form[0] == '\0')) {
    code = kNoForm;
  } else if (form.size() == 1) {
    code = static_cast<unsigned char>(form[0]);
  } else if (form.size() == 2 && platform::IsCp932LeadByte(static_cast<unsigned char>(form[0]))) {
    code = static_cast<uint16_t>(static_cast<unsigned char>(form[0]) << 8 |
                                 static_cast<unsigned char>(form[1]));
  }
  // Threads that race here store the same answer.
  codes_[c].store(code, std::memory_order_relaxed);
  if (code == kNoForm || form.find('\0') != std::string::npos) return false;
  out->append(form);
  return true;
}

size_t AsciiPrefixLength(std::string_view text) {
  const char* const p = text.data();
  const size_t n = text.size();
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t word;
    std::memcpy(&word, p + i, sizeof word);
    if ((word & 0x8080808080808080ull) != 0) break;
  }
  while (i < n && static_cast<unsigned char>(p[i]) < 0x80) ++i;
  return i;
}

}  // namespace korvo
