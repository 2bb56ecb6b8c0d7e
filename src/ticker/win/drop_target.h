// TickerDropTarget: the OLE drop target of the headline window and the skin window. It accepts
// dropped files (the first one counts) and dragged links or text (a web address dragged from a
// browser), copies what was dropped and hands it on; the ticker handles it after the drop has
// ended, so the program dragging is never kept waiting by the questions that follow.
//
// Created, registered and revoked on the window thread, which must have initialised OLE.
#ifndef KORVO_TICKER_WIN_DROP_TARGET_H_
#define KORVO_TICKER_WIN_DROP_TARGET_H_

#include <ole2.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <utility>

namespace korvo {

struct DroppedThing {
  std::string path;  // UTF-8; a dropped file or folder
  std::string link;  // CP932; a dragged address
};

class TickerDropTarget : public IDropTarget {
 public:
  explicit TickerDropTarget(std::function<void(DroppedThing)> dropped)
      : dropped_(std::move(dropped)) {}
  virtual ~TickerDropTarget() = default;

  // Registers the target for `window`; false when OLE refused.
  bool Register(HWND window);
  static void Revoke(HWND window);

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IDropTarget
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point,
                                      DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point,
                                 DWORD* effect) override;

  // What a data object holds that the ticker takes, or nothing.
  static bool Read(IDataObject* data, DroppedThing* thing);

 private:
  std::atomic<ULONG> references_{1};
  bool acceptable_ = false;
  std::function<void(DroppedThing)> dropped_;
};

}  // namespace korvo

#endif  // KORVO_TICKER_WIN_DROP_TARGET_H_
