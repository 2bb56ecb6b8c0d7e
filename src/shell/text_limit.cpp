#include "shell/text_limit.h"

#include "platform/code_page.h"

namespace korvo {

std::string TruncateCp932(std::string_view text, size_t max_bytes) {
  text = text.substr(0, text.find('\0'));
  size_t end = 0;
  while (end < text.size()) {
    const size_t width =
        platform::IsCp932LeadByte(static_cast<unsigned char>(text[end])) && end + 1 < text.size()
            ? 2
            : 1;
    if (end + width > max_bytes) break;
    end += width;
  }
  return std::string(text.substr(0, end));
}

std::u16string TruncateUtf16(std::u16string_view text, size_t max_units) {
  text = text.substr(0, text.find(u'\0'));
  if (text.size() <= max_units) return std::u16string(text);
  size_t end = max_units;
  // Do not keep a high surrogate whose low half is cut off.
  if (end > 0 && text[end - 1] >= 0xD800 && text[end - 1] <= 0xDBFF) --end;
  return std::u16string(text.substr(0, end));
}

}  // namespace korvo
