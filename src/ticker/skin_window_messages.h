// The private messages of the skin window (class "DrawString"), the window beneath the headline
// window that paints the skin. The engine's display thread, the headline window, plug-ins and
// the skin window itself send them; the numbers are fixed (WM_USER is 1024). Texts passed by
// pointer are CP932 C strings; the skin window copies them before the message returns.
#ifndef KORVO_TICKER_SKIN_WINDOW_MESSAGES_H_
#define KORVO_TICKER_SKIN_WINDOW_MESSAGES_H_

namespace korvo {

constexpr char kSkinWindowClass[] = "DrawString";

namespace skin_window_message {
constexpr unsigned kStartAnimation = 0x464;  // wParam row, lParam frame count
constexpr unsigned kStopAnimation = 0x465;   // wParam != 0: also ends a one-shot
constexpr unsigned kPauseAnimation = 0x466;
constexpr unsigned kResumeAnimation = 0x467;
constexpr unsigned kSetSiteName = 0x469;     // wParam site name, lParam site link
constexpr unsigned kCreateSiteFont = 0x46A;  // LOWORD(w) height, HIWORD(w) bold off, l face
constexpr unsigned kOpenSiteLink = 0x46B;
constexpr unsigned kSetDescription = 0x46C;  // wParam text
constexpr unsigned kCreateDescFont = 0x46D;  // as kCreateSiteFont
constexpr unsigned kGetDescription = 0x46E;  // returns the text if wParam != 0
constexpr unsigned kGetSiteName = 0x46F;     // returns the text if wParam != 0
constexpr unsigned kSetCreated = 0x470;      // wParam text
constexpr unsigned kGetCreated = 0x471;
constexpr unsigned kSetCategory = 0x472;
constexpr unsigned kGetCategory = 0x473;
constexpr unsigned kSetAuthor = 0x474;
constexpr unsigned kGetAuthor = 0x475;
constexpr unsigned kGetTitle = 0x476;  // returns the text if wParam != 0
constexpr unsigned kSetTitle = 0x477;
constexpr unsigned kDisableButtons = 0x478;  // wParam != 0 disables, 0 enables
constexpr unsigned kPlayOnce = 0x47A;        // wParam row, lParam frames (> 1)
constexpr unsigned kEndOneShot = 0x47B;
constexpr unsigned kToggleFrozen = 0x47C;
constexpr unsigned kRestoreBaseSize = 0x47D;
constexpr unsigned kStoreNewsBoxBase = 0x47E;  // LOWORD(w) width, HIWORD(w) height
constexpr unsigned kPlacePlugin = 0x47F;       // wParam plug-in record
constexpr unsigned kResizeNewsBox = 0x480;     // wParam width, lParam height (0 keeps)
constexpr unsigned kOpenLink = 0x481;          // wParam link; -1 when not in the list
constexpr unsigned kToggleFold = 0x482;
constexpr unsigned kGetServerPort = 0x484;  // lParam: where the 16-bit port goes
constexpr unsigned kToggleTray = 0x485;
constexpr unsigned kScreenSize = 0x48B;  // LOWORD(l) width, HIWORD(l) height
}  // namespace skin_window_message

// Timers of the skin window.
namespace skin_window_timer {
constexpr unsigned kAnimation = 1;
constexpr unsigned kOneShot = 2;
constexpr unsigned kClickHold = 3;  // the 500 ms of a click on the news box
}  // namespace skin_window_timer

}  // namespace korvo

#endif  // KORVO_TICKER_SKIN_WINDOW_MESSAGES_H_
