#include "browse/win/web_view_win.h"

#include <exdisp.h>
#include <exdispid.h>
#include <mshtml.h>
#include <ole2.h>
#include <oleidl.h>

#include "platform/code_page.h"

namespace korvo {

namespace {

// The GUIDs used here, spelled out so no import library has to provide them.
constexpr GUID kClsidWebBrowser = {
    0x8856f961, 0x340a, 0x11d0, {0xa9, 0x6b, 0x00, 0xc0, 0x4f, 0xd7, 0x05, 0xa2}};
constexpr GUID kIidWebBrowser2 = {
    0xd30c1661, 0xcdaf, 0x11d0, {0x8a, 0x3e, 0x00, 0xc0, 0x4f, 0xc9, 0xe2, 0x6e}};
constexpr GUID kDiidWebBrowserEvents2 = {
    0x34a715a0, 0x6587, 0x11d0, {0x92, 0x4a, 0x00, 0x20, 0xaf, 0xc7, 0xac, 0x4d}};
constexpr GUID kIidHtmlDocument2 = {
    0x332c4425, 0x26cb, 0x11d0, {0xb4, 0x83, 0x00, 0xc0, 0x4f, 0xd9, 0x01, 0x19}};

// The HTML engine's document class (MSHTML), which the browser control needs to show any page.
constexpr GUID kClsidHtmlDocument = {
    0x25336920, 0x03f9, 0x11cf, {0x8f, 0xd0, 0x00, 0xaa, 0x00, 0x68, 0x6f, 0x13}};

constexpr wchar_t kHostClass[] = L"KorvoWebHost";
constexpr int kFirstX = 10, kFirstY = 10, kFirstWidth = 500, kFirstHeight = 300;

// A BSTR owned for its scope.
class Bstr {
 public:
  explicit Bstr(const std::wstring& text) : text_(SysAllocString(text.c_str())) {}
  Bstr() = default;
  ~Bstr() { SysFreeString(text_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR get() const { return text_; }
  BSTR* out() { return &text_; }

 private:
  BSTR text_ = nullptr;
};

std::string Cp932OfBstr(BSTR text) {
  if (text == nullptr) return std::string();
  return platform::Cp932FromWide(std::wstring_view(text, SysStringLen(text)));
}

// The text of a VARIANT that holds a BSTR (directly or by reference).
std::string Cp932OfVariant(const VARIANT& v) {
  if (v.vt == VT_BSTR) return Cp932OfBstr(v.bstrVal);
  if (v.vt == (VT_BSTR | VT_BYREF) && v.pbstrVal != nullptr) return Cp932OfBstr(*v.pbstrVal);
  if (v.vt == (VT_VARIANT | VT_BYREF) && v.pvarVal != nullptr) return Cp932OfVariant(*v.pvarVal);
  return std::string();
}

}  // namespace

struct WebViewWin::Site : public IOleClientSite,
                          public IOleInPlaceSite,
                          public IOleInPlaceFrame,
                          public IDispatch {
  virtual ~Site() = default;
  LONG refs = 1;
  HWND host = nullptr;
  WebViewEvents* events = nullptr;
  IOleObject* ole = nullptr;
  IWebBrowser2* browser = nullptr;
  IConnectionPoint* point = nullptr;
  DWORD cookie = 0;

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite)) {
      *out = static_cast<IOleClientSite*>(this);
    } else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite)) {
      *out = static_cast<IOleInPlaceSite*>(this);
    } else if (IsEqualIID(iid, IID_IOleInPlaceFrame) || IsEqualIID(iid, IID_IOleInPlaceUIWindow)) {
      *out = static_cast<IOleInPlaceFrame*>(this);
    } else if (IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, kDiidWebBrowserEvents2)) {
      *out = static_cast<IDispatch*>(this);
    } else {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs)); }
  STDMETHODIMP_(ULONG) Release() override {
    const LONG left = InterlockedDecrement(&refs);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // IOleClientSite
  STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP GetContainer(IOleContainer** container) override {
    if (container != nullptr) *container = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IOleWindow (shared by the site and the frame)
  STDMETHODIMP GetWindow(HWND* window) override {
    if (window == nullptr) return E_POINTER;
    *window = host;
    return S_OK;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IOleInPlaceSite
  STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnUIActivate() override { return S_OK; }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
    if (frame != nullptr) {
      *frame = this;
      AddRef();
    }
    if (document != nullptr) *document = nullptr;
    RECT client = {};
    GetClientRect(host, &client);
    if (position != nullptr) *position = client;
    if (clip != nullptr) *clip = client;
    if (info != nullptr) {
      info->fMDIApp = FALSE;
      info->hwndFrame = GetAncestor(host, GA_ROOT);
      info->haccel = nullptr;
      info->cAccelEntries = 0;
    }
    return S_OK;
  }
  STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
  STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
  STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
  STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
  STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

  // IOleInPlaceUIWindow / IOleInPlaceFrame
  STDMETHODIMP GetBorder(LPRECT) override { return E_NOTIMPL; }
  STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
  STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
  STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
  STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
  STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
  STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
  STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

  // IDispatch: the events of DWebBrowserEvents2.
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (count != nullptr) *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                      UINT*) override {
    if (events == nullptr || params == nullptr) return S_OK;
    VARIANTARG* a = params->rgvarg;  // the arguments in reverse order
    const UINT n = params->cArgs;
    switch (id) {
      case DISPID_BEFORENAVIGATE2:
        if (n == 7 && a[0].vt == (VT_BOOL | VT_BYREF) && a[0].pboolVal != nullptr) {
          const bool go = events->OnBeforeNavigate(Cp932OfVariant(a[5]), Cp932OfVariant(a[3]),
                                                   IsTopLevel(a[6]));
          *a[0].pboolVal = go ? VARIANT_FALSE : VARIANT_TRUE;
        }
        break;
      case DISPID_NAVIGATECOMPLETE2:
        if (n == 2) events->OnNavigateComplete(Cp932OfVariant(a[0]), IsTopLevel(a[1]));
        break;
      case DISPID_TITLECHANGE:
        if (n == 1 && a[0].vt == VT_BSTR && a[0].bstrVal != nullptr) {
          const BSTR text = a[0].bstrVal;
          events->OnTitleChange(std::u16string(text, text + SysStringLen(text)));
        }
        break;
      case DISPID_NEWWINDOW3:
        // (ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl)
        if (n == 5 && a[3].vt == (VT_BOOL | VT_BYREF) && a[3].pboolVal != nullptr &&
            events->OnNewWindow(Cp932OfVariant(a[0]))) {
          *a[3].pboolVal = VARIANT_TRUE;
        }
        break;
      case DISPID_NEWWINDOW2:
        // (ppDisp, Cancel): older controls give no address; NEWWINDOW3 follows where it can.
        break;
      default:
        break;
    }
    return S_OK;
  }

  bool IsTopLevel(const VARIANT& v) const {
    IDispatch* source = nullptr;
    if (v.vt == VT_DISPATCH) source = v.pdispVal;
    if (v.vt == (VT_DISPATCH | VT_BYREF) && v.ppdispVal != nullptr) source = *v.ppdispVal;
    if (source == nullptr || browser == nullptr) return true;
    IUnknown* a = nullptr;
    IUnknown* b = nullptr;
    bool same = false;
    if (SUCCEEDED(source->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&a))) &&
        SUCCEEDED(browser->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&b)))) {
      same = a == b;
    }
    if (a != nullptr) a->Release();
    if (b != nullptr) b->Release();
    return same;
  }
};

bool RegisterWebHostClass(HINSTANCE instance) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExW(instance, kHostClass, &wc)) return true;
  wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &WebViewWin::HostProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  wc.lpszClassName = kHostClass;
  return RegisterClassExW(&wc) != 0;
}

LRESULT CALLBACK WebViewWin::HostProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  auto* self = reinterpret_cast<WebViewWin*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_SIZE && self != nullptr) {
    self->Resize();
    return 0;
  }
  return DefWindowProcW(window, message, w, l);
}

namespace {

// True when the HTML engine can be had. Without it (Wine without its browser engine) the browser
// control is still created but shows nothing, so the tab is better off saying it failed. Asked
// once per process; window thread (COM initialised).
bool HtmlEngineAvailable() {
  static const bool available = [] {
    IUnknown* document = nullptr;
    if (FAILED(CoCreateInstance(kClsidHtmlDocument, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                reinterpret_cast<void**>(&document))) ||
        document == nullptr) {
      return false;
    }
    document->Release();
    return true;
  }();
  return available;
}

}  // namespace

std::unique_ptr<WebViewWin> WebViewWin::Create(HWND parent, int control_id, WebViewEvents* events,
                                               const std::string& first_address) {
  if (!HtmlEngineAvailable()) return nullptr;
  const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
  if (!RegisterWebHostClass(instance)) return nullptr;
  std::unique_ptr<WebViewWin> view(new WebViewWin());
  view->host_ =
      CreateWindowExW(0, kHostClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, kFirstX, kFirstY,
                      kFirstWidth, kFirstHeight, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_id)), instance, nullptr);
  if (view->host_ == nullptr) return nullptr;
  view->site_ = new Site();
  Site& site = *view->site_;
  site.host = view->host_;

  // "Shell.Explorer.2", or the web browser class directly when the name is not registered.
  CLSID clsid = kClsidWebBrowser;
  CLSIDFromProgID(L"Shell.Explorer.2", &clsid);
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                              reinterpret_cast<void**>(&site.ole))) ||
      site.ole == nullptr) {
    return nullptr;  // the destructor releases the site and the window
  }
  site.ole->SetClientSite(&site);
  OleSetContainedObject(site.ole, TRUE);
  RECT client = {};
  GetClientRect(view->host_, &client);
  site.ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, view->host_, &client);
  if (FAILED(site.ole->QueryInterface(kIidWebBrowser2, reinterpret_cast<void**>(&site.browser))) ||
      site.browser == nullptr) {
    return nullptr;
  }
  IConnectionPointContainer* container = nullptr;
  if (SUCCEEDED(site.browser->QueryInterface(IID_IConnectionPointContainer,
                                             reinterpret_cast<void**>(&container)))) {
    if (SUCCEEDED(container->FindConnectionPoint(kDiidWebBrowserEvents2, &site.point))) {
      if (FAILED(site.point->Advise(static_cast<IDispatch*>(&site), &site.cookie))) {
        site.point->Release();
        site.point = nullptr;
      }
    }
    container->Release();
  }
  site.events = events;
  SetWindowLongPtrW(view->host_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view.get()));
  view->Resize();
  view->Navigate(first_address.empty() ? std::string("about:blank") : first_address);
  return view;
}

WebViewWin::~WebViewWin() {
  if (host_ != nullptr) SetWindowLongPtrW(host_, GWLP_USERDATA, 0);
  if (site_ != nullptr) {
    Site& site = *site_;
    site.events = nullptr;
    if (site.point != nullptr) {
      site.point->Unadvise(site.cookie);
      site.point->Release();
      site.point = nullptr;
    }
    if (site.browser != nullptr) {
      site.browser->Stop();
      site.browser->Release();
      site.browser = nullptr;
    }
    if (site.ole != nullptr) {
      site.ole->Close(OLECLOSE_NOSAVE);
      site.ole->SetClientSite(nullptr);
      site.ole->Release();
      site.ole = nullptr;
    }
    site.host = nullptr;
    site.Release();
    site_ = nullptr;
  }
  if (host_ != nullptr && IsWindow(host_)) DestroyWindow(host_);
}

void WebViewWin::Resize() {
  if (site_ == nullptr || site_->ole == nullptr) return;
  RECT client = {};
  GetClientRect(host_, &client);
  IOleInPlaceObject* in_place = nullptr;
  if (SUCCEEDED(
          site_->ole->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&in_place)))) {
    in_place->SetObjectRects(&client, &client);
    in_place->Release();
  }
}

bool WebViewWin::Navigate(const std::string& address) {
  if (site_ == nullptr || site_->browser == nullptr) return false;
  Bstr url(platform::WideFromCp932(address));
  VARIANT empty;
  VariantInit(&empty);
  return SUCCEEDED(site_->browser->Navigate(url.get(), &empty, &empty, &empty, &empty));
}

bool WebViewWin::NavigateFrame(const std::string& frame, const std::string& address) {
  if (site_ == nullptr || site_->browser == nullptr) return false;
  Bstr url(platform::WideFromCp932(address));
  Bstr target(platform::WideFromCp932(frame));
  VARIANT empty;
  VariantInit(&empty);
  VARIANT frame_name;
  VariantInit(&frame_name);
  frame_name.vt = VT_BSTR;
  frame_name.bstrVal = target.get();
  return SUCCEEDED(site_->browser->Navigate(url.get(), &empty, &frame_name, &empty, &empty));
}

std::string WebViewWin::ContentType() const {
  if (site_ == nullptr || site_->browser == nullptr) return std::string();
  IDispatch* document = nullptr;
  if (FAILED(site_->browser->get_Document(&document)) || document == nullptr) return std::string();
  std::string type;
  IHTMLDocument2* html = nullptr;
  if (SUCCEEDED(document->QueryInterface(kIidHtmlDocument2, reinterpret_cast<void**>(&html)))) {
    Bstr mime;
    if (SUCCEEDED(html->get_mimeType(mime.out()))) type = Cp932OfBstr(mime.get());
    html->Release();
  }
  document->Release();
  return type;
}

std::string WebViewWin::Address() const {
  if (site_ == nullptr || site_->browser == nullptr) return std::string();
  Bstr url;
  if (FAILED(site_->browser->get_LocationURL(url.out()))) return std::string();
  return Cp932OfBstr(url.get());
}

void WebViewWin::GoBack() {
  if (site_ != nullptr && site_->browser != nullptr) site_->browser->GoBack();
}
void WebViewWin::GoForward() {
  if (site_ != nullptr && site_->browser != nullptr) site_->browser->GoForward();
}
void WebViewWin::Refresh() {
  if (site_ != nullptr && site_->browser != nullptr) site_->browser->Refresh();
}
void WebViewWin::Stop() {
  if (site_ != nullptr && site_->browser != nullptr) site_->browser->Stop();
}

bool WebViewWin::TranslateKey(MSG* message) {
  if (site_ == nullptr || site_->browser == nullptr) return false;
  IOleInPlaceActiveObject* active = nullptr;
  if (FAILED(site_->browser->QueryInterface(IID_IOleInPlaceActiveObject,
                                            reinterpret_cast<void**>(&active)))) {
    return false;
  }
  const bool taken = active->TranslateAccelerator(message) == S_OK;
  active->Release();
  return taken;
}

}  // namespace korvo
