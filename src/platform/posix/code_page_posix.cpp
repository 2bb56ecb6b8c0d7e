// CP932 <-> UTF-16 through iconv. One pair of conversion descriptors per thread, opened on first
// use and kept for the thread's life.
#include <errno.h>
#include <iconv.h>

#include <cstring>

#include "platform/code_page.h"

namespace korvo::platform {

namespace {

class IconvHandle {
 public:
  IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~IconvHandle() {
    if (ok()) iconv_close(cd_);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }
  void Reset() const { iconv(cd_, nullptr, nullptr, nullptr, nullptr); }

 private:
  iconv_t cd_;
};

const IconvHandle& ToUtf16() {
  thread_local IconvHandle h("UTF-16LE", "CP932");
  return h;
}

const IconvHandle& FromUtf16() {
  thread_local IconvHandle h("CP932", "UTF-16LE");
  return h;
}

bool IsCp932Trail(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

}  // namespace

std::u16string Cp932ToUtf16(std::string_view text) {
  std::u16string out;
  const IconvHandle& h = ToUtf16();
  if (!h.ok()) {  // no CP932 tables: keep ASCII, mark the rest
    for (unsigned char c : text) out.push_back(c < 0x80 ? c : kCp932UnicodeDefault);
    return out;
  }
  h.Reset();
  out.resize(text.size() + 1);
  char* in = const_cast<char*>(text.data());
  size_t in_left = text.size();
  size_t used = 0;  // code units written
  while (in_left > 0) {
    char* dst = reinterpret_cast<char*>(&out[used]);
    size_t dst_left = (out.size() - used) * sizeof(char16_t);
    const size_t r = iconv(h.get(), &in, &in_left, &dst, &dst_left);
    used = out.size() - dst_left / sizeof(char16_t);
    if (r != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2 + 8);
      continue;
    }
    // EILSEQ or EINVAL: one default character for the bad byte, or for a lead byte with its
    // trail byte when the pair is well formed but unassigned.
    const auto lead = static_cast<unsigned char>(*in);
    size_t skip = 1;
    if (IsCp932LeadByte(lead) && in_left >= 2 && IsCp932Trail(static_cast<unsigned char>(in[1]))) {
      skip = 2;
    }
    if (used >= out.size()) out.resize(out.size() * 2 + 8);
    out[used++] = kCp932UnicodeDefault;
    in += skip;
    in_left -= skip;
    h.Reset();
  }
  out.resize(used);
  return out;
}

std::string Utf16ToCp932(std::u16string_view text, char replacement) {
  std::string out;
  const IconvHandle& h = FromUtf16();
  if (!h.ok()) {
    for (char16_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : replacement);
    return out;
  }
  h.Reset();
  out.resize(text.size() * 2 + 1);
  char* in = reinterpret_cast<char*>(const_cast<char16_t*>(text.data()));
  size_t in_left = text.size() * sizeof(char16_t);
  size_t used = 0;
  while (in_left > 0) {
    char* dst = &out[used];
    size_t dst_left = out.size() - used;
    const size_t r = iconv(h.get(), &in, &in_left, &dst, &dst_left);
    used = out.size() - dst_left;
    if (r != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2 + 8);
      continue;
    }
    // No mapping, a lone surrogate, or a truncated pair: one replacement byte. A surrogate
    // pair (a supplementary-plane character) is replaced as a whole.
    char16_t c;
    std::memcpy(&c, in, sizeof c);
    size_t skip = sizeof(char16_t);
    if (c >= 0xD800 && c <= 0xDBFF && in_left >= 2 * sizeof(char16_t)) {
      char16_t c2;
      std::memcpy(&c2, in + sizeof(char16_t), sizeof c2);
      if (c2 >= 0xDC00 && c2 <= 0xDFFF) skip = 2 * sizeof(char16_t);
    }
    if (in_left < skip) skip = in_left;
    if (used >= out.size()) out.resize(out.size() * 2 + 8);
    out[used++] = replacement;
    in += skip;
    in_left -= skip;
    h.Reset();
  }
  out.resize(used);
  return out;
}

}  // namespace korvo::platform
