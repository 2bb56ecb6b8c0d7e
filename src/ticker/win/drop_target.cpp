#include "ticker/win/drop_target.h"

#include <shellapi.h>

#include "ticker/win/win_util.h"

namespace korvo {

namespace {

constexpr size_t kMaxLinkChars = 4096;

bool ReadHdrop(IDataObject* data, std::string* path) {
  FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium = {};
  if (FAILED(data->GetData(&format, &medium))) return false;
  bool ok = false;
  if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal != nullptr) {
    auto drop = static_cast<HDROP>(medium.hGlobal);
    wchar_t buffer[MAX_PATH * 4] = {};
    const UINT length = DragQueryFileW(drop, 0, buffer, MAX_PATH * 4);
    if (length > 0 && length < MAX_PATH * 4) {
      *path = Utf8FromWideText(buffer);
      ok = true;
    }
  }
  ReleaseStgMedium(&medium);
  return ok;
}

// Text of a global memory block: wide or CP932, cut at its first NUL and its size.
bool ReadText(IDataObject* data, CLIPFORMAT clip, bool wide, std::string* text) {
  FORMATETC format = {clip, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium = {};
  if (clip == 0 || FAILED(data->GetData(&format, &medium))) return false;
  bool ok = false;
  if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal != nullptr) {
    const SIZE_T bytes = GlobalSize(medium.hGlobal);
    const void* p = GlobalLock(medium.hGlobal);
    if (p != nullptr) {
      if (wide) {
        const auto* w = static_cast<const wchar_t*>(p);
        size_t n = 0;
        while (n < bytes / sizeof(wchar_t) && n < kMaxLinkChars && w[n] != L'\0') ++n;
        *text = Cp932FromWideText(std::wstring_view(w, n));
      } else {
        const auto* c = static_cast<const char*>(p);
        size_t n = 0;
        while (n < bytes && n < kMaxLinkChars && c[n] != '\0') ++n;
        *text = std::string(c, n);
      }
      GlobalUnlock(medium.hGlobal);
      ok = !text->empty();
    }
  }
  ReleaseStgMedium(&medium);
  return ok;
}

}  // namespace

bool TickerDropTarget::Read(IDataObject* data, DroppedThing* thing) {
  *thing = DroppedThing();
  if (data == nullptr) return false;
  if (ReadHdrop(data, &thing->path)) return true;
  static const CLIPFORMAT kUrlWide =
      static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"UniformResourceLocatorW"));
  static const CLIPFORMAT kUrl =
      static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"UniformResourceLocator"));
  return ReadText(data, kUrlWide, true, &thing->link) ||
         ReadText(data, kUrl, false, &thing->link) ||
         ReadText(data, CF_UNICODETEXT, true, &thing->link) ||
         ReadText(data, CF_TEXT, false, &thing->link);
}

bool TickerDropTarget::Register(HWND window) { return SUCCEEDED(RegisterDragDrop(window, this)); }

void TickerDropTarget::Revoke(HWND window) { RevokeDragDrop(window); }

HRESULT TickerDropTarget::QueryInterface(REFIID riid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropTarget)) {
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG TickerDropTarget::AddRef() { return ++references_; }

ULONG TickerDropTarget::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT TickerDropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) {
  DroppedThing thing;
  acceptable_ = Read(data, &thing);
  *effect = acceptable_ ? DROPEFFECT_COPY : DROPEFFECT_NONE;
  return S_OK;
}

HRESULT TickerDropTarget::DragOver(DWORD, POINTL, DWORD* effect) {
  *effect = acceptable_ ? DROPEFFECT_COPY : DROPEFFECT_NONE;
  return S_OK;
}

HRESULT TickerDropTarget::DragLeave() {
  acceptable_ = false;
  return S_OK;
}

HRESULT TickerDropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) {
  DroppedThing thing;
  if (!Read(data, &thing)) {
    *effect = DROPEFFECT_NONE;
    return S_OK;
  }
  *effect = DROPEFFECT_COPY;
  if (dropped_) dropped_(std::move(thing));
  return S_OK;
}

}  // namespace korvo
