#include "browse/markup_text.h"

#include "platform/code_page.h"

namespace korvo {

std::string EscapeMarkup(std::string_view text, MarkupEncoding encoding) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (encoding == MarkupEncoding::kCp932 &&
        platform::IsCp932LeadByte(static_cast<unsigned char>(c)) && i + 1 < text.size()) {
      out += c;
      out += text[++i];
      continue;
    }
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace korvo
