// Small helpers of the ticker windows' Win32 code: wide texts, GDI handles that delete
// themselves, a memory DC that gives back what it selected, and reading texts whose pointers come
// with window messages.
#ifndef KORVO_TICKER_WIN_WIN_UTIL_H_
#define KORVO_TICKER_WIN_WIN_UTIL_H_

#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include "fetch/win/site_icon_loader.h"  // CreateDib32
#include "ticker/win/wide_text.h"

namespace korvo {

// CP932 (WideText, wide_text.h) and UTF-8 to UTF-16 and back, through the platform's
// conversions.
std::string Cp932FromWideText(std::wstring_view text);
std::wstring WideFromUtf8Text(std::string_view text);
std::string Utf8FromWideText(std::wstring_view text);

// An HBITMAP, HFONT, HBRUSH or HRGN that is deleted with its holder.
template <typename Handle>
class GdiHandle {
 public:
  GdiHandle() = default;
  explicit GdiHandle(Handle h) : h_(h) {}
  ~GdiHandle() { Reset(); }
  GdiHandle(GdiHandle&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
  GdiHandle& operator=(GdiHandle&& o) noexcept {
    if (this != &o) {
      Reset();
      h_ = std::exchange(o.h_, nullptr);
    }
    return *this;
  }
  GdiHandle(const GdiHandle&) = delete;
  GdiHandle& operator=(const GdiHandle&) = delete;

  void Reset(Handle h = nullptr) {
    if (h_ != nullptr) DeleteObject(h_);
    h_ = h;
  }
  Handle get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  Handle h_ = nullptr;
};

// A memory DC compatible with `reference` (null: the screen) with one object selected into it;
// the destructor selects the old object back and deletes the DC.
class MemoryDc {
 public:
  explicit MemoryDc(HDC reference = nullptr) : dc_(CreateCompatibleDC(reference)) {}
  ~MemoryDc() {
    if (dc_ == nullptr) return;
    if (old_ != nullptr) SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;

  void Select(HGDIOBJ object) {
    if (dc_ == nullptr) return;
    HGDIOBJ previous = SelectObject(dc_, object);
    if (old_ == nullptr) old_ = previous;
  }
  HDC get() const { return dc_; }

 private:
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

// Whether the `size` bytes at `address` are committed, writable memory of this process (a
// buffer that came with a window message may come from another process, where the address
// means nothing here).
bool IsWritableBuffer(void* address, size_t size);

// The NUL-terminated CP932 text at `address`, which came with a window message and may come from
// anywhere: only committed, readable memory of this process is read, at most `max_bytes`. Empty
// for a null or unreadable address.
std::string ReadMessageText(const void* address, size_t max_bytes);

}  // namespace korvo

#endif  // KORVO_TICKER_WIN_WIN_UTIL_H_
