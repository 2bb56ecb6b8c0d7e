#include "feed/cp932_field.h"

#include "platform/code_page.h"

namespace korvo {

namespace {

bool IsTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

}  // namespace

void MakeCp932Field(std::string* text, size_t max_bytes) {
  std::string& s = *text;
  const size_t limit = s.size() < max_bytes ? s.size() : max_bytes;
  char* const bytes = s.data();
  size_t i = 0;
  while (i < limit) {
    const unsigned char b = static_cast<unsigned char>(bytes[i]);
    if (b >= 0x20 && b < 0x80) {  // the common case first: printable ASCII
      ++i;
    } else if (platform::IsCp932LeadByte(b)) {
      if (i + 1 < s.size() && IsTrailByte(static_cast<unsigned char>(bytes[i + 1]))) {
        if (i + 2 > limit) break;  // the character does not fit: cut before it
        i += 2;
      } else {
        bytes[i++] = '?';
      }
    } else {
      if (b == 0) bytes[i] = ' ';
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
