#include "feed/cp932_field.h"

#include "platform/code_page.h"

namespace korvo {

namespace {

bool IsTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

}  // namespace

void MakeCp932Field(std::string* text, size_t max_bytes) {
  std::string& s = *text;
  const size_t size = s.size();
  const size_t limit = size < max_bytes ? size : max_bytes;
  char* const bytes = s.data();
  size_t i = 0;
  // While a character's second byte lies inside the limit, no bound needs checking per byte.
  while (i + 1 < limit) {
    const unsigned char b = static_cast<unsigned char>(bytes[i]);
    if (b >= 0x20 && b < 0x80) {  // the common case first: printable ASCII
      ++i;
    } else if (platform::IsCp932LeadByte(b)) {
      if (IsTrailByte(static_cast<unsigned char>(bytes[i + 1]))) {
        i += 2;
      } else {
        bytes[i++] = '?';
      }
    } else {
      if (b == 0) bytes[i] = ' ';
      ++i;
    }
  }
  if (i < limit) {  // the last byte inside the limit
    const unsigned char b = static_cast<unsigned char>(bytes[i]);
    if (!platform::IsCp932LeadByte(b)) {
      if (b == 0) bytes[i] = ' ';
      ++i;
    } else if (i + 1 >= size || !IsTrailByte(static_cast<unsigned char>(bytes[i + 1]))) {
      bytes[i++] = '?';
    }
    // else: a whole character that does not fit; the text is cut before it.
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
