// The web view on Windows: the platform's browser control ("Shell.Explorer.2") in an ActiveX
// host child window of its own (class "KorvoWebHost"), placed at 10, 10 with size 500 x 300 and
// then stretched by its owner. The host implements the few OLE site interfaces the control needs
// and the DWebBrowserEvents2 sink that turns the control's events into WebViewEvents calls.
//
// Create() fails (returns null, having destroyed the host window) when the HTML engine (MSHTML's
// document class), the control or its browser interface cannot be had, as under Wine without its
// browser engine (where the control alone would be created but stay blank); the caller then shows
// that in place of the page.
//
// Threads: the window thread that created it (an apartment-threaded control). OLE must be
// initialised on it (korvo.exe does at start).
#ifndef KORVO_BROWSE_WIN_WEB_VIEW_WIN_H_
#define KORVO_BROWSE_WIN_WEB_VIEW_WIN_H_

#include <windows.h>

#include <memory>
#include <string>

#include "browse/web_view.h"

namespace korvo {

class WebViewWin : public WebView {
 public:
  // `events` must outlive the view (or the view be destroyed first); `first_address` empty
  // means "about:blank".
  static std::unique_ptr<WebViewWin> Create(HWND parent, int control_id, WebViewEvents* events,
                                            const std::string& first_address);
  ~WebViewWin() override;
  WebViewWin(const WebViewWin&) = delete;
  WebViewWin& operator=(const WebViewWin&) = delete;

  HWND hwnd() const { return host_; }

  bool Navigate(const std::string& address) override;
  bool NavigateFrame(const std::string& frame, const std::string& address) override;
  std::string ContentType() const override;
  std::string Address() const override;
  void GoBack() override;
  void GoForward() override;
  void Refresh() override;
  void Stop() override;

  // Offers a keyboard message to the control (Tab, shortcuts); true when it took it.
  bool TranslateKey(MSG* message);

  struct Site;  // the OLE site and event sink (web_view_win.cpp)
  static LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM w, LPARAM l);

 private:
  WebViewWin() = default;
  void Resize();

  HWND host_ = nullptr;
  Site* site_ = nullptr;  // a COM object: reference counted, released in the destructor
};

// Registers the host window's class; true when it exists afterwards.
bool RegisterWebHostClass(HINSTANCE instance);

}  // namespace korvo

#endif  // KORVO_BROWSE_WIN_WEB_VIEW_WIN_H_
