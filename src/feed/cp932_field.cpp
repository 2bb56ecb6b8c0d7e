#include "feed/cp932_field.h"

#include "platform/code_page.h"

namespace korvo {

namespace {

bool IsTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

}  // namespace

void MakeCp932Field(std::string* text, size_t max_bytes) {
  std::string& s = *text;
  const size_t size = s.size();
  size_t i = 0;
  while (i < size) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
      if (i + 1 > max_bytes) break;
      if (b == 0) s[i] = ' ';
      ++i;
    } else if (platform::IsCp932LeadByte(b)) {
      if (i + 1 < size && IsTrailByte(static_cast<unsigned char>(s[i + 1]))) {
        if (i + 2 > max_bytes) break;
        i += 2;
      } else {
        if (i + 1 > max_bytes) break;
        s[i] = '?';
        ++i;
      }
    } else {
      if (i + 1 > max_bytes) break;
      ++i;
    }
  }
  s.resize(i);
}

std::string_view TrimBlanks(std::string_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && text[begin] == ' ') ++begin;
  while (end > begin && text[end - 1] == ' ') --end;
  return text.substr(begin, end - begin);
}

}  // namespace korvo
