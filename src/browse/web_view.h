// The embedded web view: what the browse window's browser tabs (and later the media plug-in's
// windows) need of the platform's browser control. On Windows it is the control "Shell.Explorer.2"
// in an ActiveX host child window (win/web_view_win.h); elsewhere there is none.
//
//   create        (win/web_view_win.h) a child window at 10, 10, 500 x 300 that its owner then
//                 stretches; the first address is "about:blank" when none is given. Failure to
//                 obtain the control's browser interface is reported to the caller, which says so
//                 (caption "ERROR") and goes on without the view.
//   Navigate      open an address (a web address, a "file:" path or an "about:" address).
//   NavigateFrame open an address in a named frame of the current page.
//   ContentType   the MIME type of the shown document (empty when unknown).
//   events        before every navigation (cancellable; with the target frame's name), after a
//                 navigation completed, when the title changed, when the page asks for a new
//                 window.
// The process-wide proxy of every view is fetch/browser_proxy.h's ApplyBrowserProxy.
//
// Addresses and frame names are CP932 (the program's text); titles are UTF-16 as the control
// gives them. Every call and event happens on the window thread that created the view.
#ifndef KORVO_BROWSE_WEB_VIEW_H_
#define KORVO_BROWSE_WEB_VIEW_H_

#include <string>

namespace korvo {

class WebViewEvents {
 public:
  virtual ~WebViewEvents() = default;
  // Before every navigation, also for addresses typed or clicked inside the page; false cancels
  // it and leaves the page as it is. `top_level` is false for a frame of the page.
  virtual bool OnBeforeNavigate(const std::string& address, const std::string& target_frame,
                                bool top_level) = 0;
  // A navigation ended; `top_level` as above.
  virtual void OnNavigateComplete(const std::string& address, bool top_level) = 0;
  virtual void OnTitleChange(const std::u16string& title) = 0;
  // The page asks for a new window (a link with a target, window.open) for `address` (may be
  // empty when the control does not say). True when the owner handled it (the view then opens
  // nothing); false lets the control decide.
  virtual bool OnNewWindow(const std::string& address) = 0;
};

class WebView {
 public:
  virtual ~WebView() = default;
  virtual bool Navigate(const std::string& address) = 0;
  virtual bool NavigateFrame(const std::string& frame, const std::string& address) = 0;
  virtual std::string ContentType() const = 0;
  // The address shown now.
  virtual std::string Address() const = 0;
  virtual void GoBack() = 0;
  virtual void GoForward() = 0;
  virtual void Refresh() = 0;
  virtual void Stop() = 0;
};

}  // namespace korvo

#endif  // KORVO_BROWSE_WEB_VIEW_H_
