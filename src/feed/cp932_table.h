// A fast UTF-16 to CP932 encoder for feed text: every BMP character's CP932 form is asked from
// the platform converter once, the first time it is met, and kept, so the result is the
// platform's own. Thread-safe; the table takes 128 KB.
#ifndef KORVO_FEED_CP932_TABLE_H_
#define KORVO_FEED_CP932_TABLE_H_

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace korvo {

class Cp932Table {
 public:
  static const Cp932Table& Get();

  // Appends the CP932 form of `c` (not a surrogate, not U+0000) to `out`; false, with nothing
  // appended, when it has none.
  bool Append(char16_t c, std::string* out) const {
    const uint16_t code = codes_[c].load(std::memory_order_relaxed);
    if (code == kNoForm) return false;
    if (code >= kUnknown) return AppendSlow(c, out);
    if (code > 0xFF) out->push_back(static_cast<char>(code >> 8));
    out->push_back(static_cast<char>(code & 0xFF));
    return true;
  }

 private:
  static constexpr uint16_t kNoForm = 0;
  static constexpr uint16_t kUnknown = 0xFFFE;  // not asked yet; no CP932 code is this high
  static constexpr uint16_t kLong = 0xFFFF;     // a form of more than one character

  Cp932Table();
  bool AppendSlow(char16_t c, std::string* out) const;

  // 0: no form; below 0x100: one byte; else lead * 256 + trail; or kUnknown, kLong.
  std::unique_ptr<std::atomic<uint16_t>[]> codes_;
};

// How many bytes at the start of `text` are ASCII (below 0x80).
size_t AsciiPrefixLength(std::string_view text);

}  // namespace korvo

#endif  // KORVO_FEED_CP932_TABLE_H_
