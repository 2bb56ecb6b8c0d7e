// The numbers the main window ("DIGITAL") is known by: its private messages, its timers, the menu
// commands it handles, the resources it loads, the ticker engine's command codes and the plug-in
// notifications it raises. Other windows, plug-ins and second copies of the program use the same
// numbers, so they are fixed.
//
// Message numbers are absolute window-message identifiers (WM_USER is 1024).
#ifndef KORVO_SHELL_MAIN_WINDOW_IDS_H_
#define KORVO_SHELL_MAIN_WINDOW_IDS_H_

#include <cstdint>

namespace korvo {

namespace main_window_message {
constexpr unsigned kRestartIdleTimer = 1038;    // kill timer 11, timer 12 to 60000 ms
constexpr unsigned kTrayIcon = 1123;            // tray icon callback (lParam: mouse message)
constexpr unsigned kItemOpened = 1128;          // wParam: the item id
constexpr unsigned kRandomOrderFlag = 1129;     // returns flags & 0x200
constexpr unsigned kTranslucencyModes = 1131;   // ticker windows
constexpr unsigned kItemStateFlags = 1132;      // ticker windows
constexpr unsigned kTranslucencyValue = 1133;   // ticker windows
constexpr unsigned kTranslucentAndIdle = 1134;  // ticker windows
constexpr unsigned kResizeStarts = 1136;        // ticker windows
constexpr unsigned kResizeEnds = 1137;          // ticker windows
constexpr unsigned kSetAlpha = 1138;            // ticker windows
constexpr unsigned kGetAlpha = 1139;            // ticker windows
constexpr unsigned kGeneralFlags = 1140;        // returns the general flags word
constexpr unsigned kTranslucencyState = 1141;   // ticker windows
constexpr unsigned kNewListWhileInTray = 1155;  // posts kNoticeShow to the notice window
constexpr unsigned kMoveToCorner = 1157;        // sent by a second copy of the program
constexpr unsigned kOpenTickerMenu = 1158;      // lParam: client point
constexpr unsigned kLoadedGeneralFlags = 1159;  // the flags word, 0 before the settings load
constexpr unsigned kTooltipRoom = 1160;         // ticker windows
constexpr unsigned kTooltipTop = 1161;          // ticker windows
constexpr unsigned kMatchTrayIcon = 1162;       // add / remove the tray icon after flag bit 23
constexpr unsigned kCopyBrowserPath = 1164;     // wParam: buffer of kBrowserPathSize bytes
constexpr unsigned kOpenInBrowseWindow = 1165;  // returns flag bit 31 (0 or 1)
constexpr unsigned kCopyBrowserOption = 1166;   // wParam: buffer of kBrowserOptionSize bytes
constexpr unsigned kNoticeShow = 1424;          // to the hidden notice window
}  // namespace main_window_message

namespace main_window_timer {
constexpr unsigned kStartup = 10;       // 10 ms, fires once: the start-up continuation
constexpr unsigned kIdle = 11;          // ticker windows
constexpr unsigned kIdleLong = 12;      // ticker windows; 60000 ms
constexpr unsigned kTranslucency = 13;  // 500 ms, drives the translucency
constexpr unsigned kStartupPeriodMs = 10;
constexpr unsigned kIdleLongPeriodMs = 60000;
constexpr unsigned kTranslucencyPeriodMs = 500;
}  // namespace main_window_timer

namespace menu_command {
constexpr int kAbout = 104;
constexpr int kExit = 105;
constexpr int kCheckNewItems = 32776;
constexpr int kEditChannels = 32779;
constexpr int kNoSkin = 32782;
constexpr int kNextItem = 32783;
constexpr int kPreviousItem = 32785;
constexpr int kHeadlineColours = 32787;
constexpr int kToggleTray = 32789;
constexpr int kMemo = 32792;
constexpr int kListWindow = 32805;
constexpr int kCopyUrl = 32814;
constexpr int kCheckedToday = 32821;
constexpr int kConnection = 32823;
constexpr int kOpenSite = 32828;
constexpr int kOptions = 32852;
constexpr int kRestoreSkinSize = 32856;
constexpr int kOpenInBrowser = 32860;
constexpr int kHotkeys = 32862;
constexpr int kReadLater = 32870;
constexpr int kPreviousSite = 32876;
constexpr int kNextSite = 32877;
constexpr int kUpdateNow = 32879;
constexpr int kFirstSkin = 32901;  // the n-th skin of the skin submenu is 32900 + n
constexpr int kLastSkin = 33899;   // the skin submenu holds at most 999 skins
constexpr int kFirstNewsItem = 40000;
constexpr int kLastNewsItem = 59999;
constexpr int kFirstInternetMenu = 60000;
}  // namespace menu_command

namespace resource_id {
constexpr int kTitleString = 103;  // "KorvoNewsReader"
constexpr int kClassString = 109;  // "DIGITAL"
constexpr int kAboutDialog = 103;
constexpr int kAccelerators = 109;
constexpr int kApplicationIcon = 107;
constexpr int kTrayIcon = 133;
constexpr int kTrayIconOld = 190;  // for systems of minor version 0
constexpr int kStringBufferBytes = 100;
}  // namespace resource_id

// Positions inside the main menu (109 Japanese, 156 English).
namespace menu_position {
constexpr int kTickerMenu = 2;          // the third pop-up: the ticker menu
constexpr int kSkinSubmenu = 8;         // in the ticker menu
constexpr int kInternetSubmenu = 13;    // in the ticker menu: "ライブブックマーク"
constexpr int kFavouritesSubmenu = 23;  // in the ticker menu
constexpr int kTickerMenuItems = 31;
}  // namespace menu_position

// Codes pushed into the ticker engine's command queue (what each does: ticker/ticker_engine.h).
enum class EngineCommand : uint8_t {
  kQuit = 1,
  kShowAgain = 2,  // 3 does the same
  kShowAgainToo = 3,
  kReload = 4,
  kOpenCurrent = 5,
  kShuffle = 6,
  kRelayout = 7,
  kPause = 8,
  kResume = 9,
  kRelayoutAndShow = 10,
  kNext = 11,
  kPrevious = 12,
  kUnshuffle = 13,
  kRestartIdleTimer = 14,
  kCopyUrl = 15,
  kTrayIconAdded = 16,  // ignored by the engine
  kTrayIconRemoved = 17,
  kReadLater = 18,
  kNextSite = 19,
  kPreviousSite = 20,
};

// Plug-in notifications the main window raises.
namespace plugin_notification {
constexpr int kMovedToCorner = 9;  // after kMoveToCorner moved the windows
constexpr int kTrayToggling = 10;  // before kToggleTray switches the tray mode
constexpr int kTrayToggled = 11;   // after it
}  // namespace plugin_notification

// The window classes and names.
constexpr char kMainWindowClass[] = "DIGITAL";
constexpr char kMainWindowTitle[] = "KorvoNewsReader";
constexpr char kMessageWindowClass[] = "MyMessageWindow";
constexpr char kFontViewWindowClass[] = "FontViewWindow";
constexpr char kNoticeWindowClass[] = "emu_cococ_20051102";
constexpr char kSecondInstanceCaption[] = "KNR";
// The skin name saved when no skin is selected.
constexpr char kNoSkinName[] = "noskin260";

}  // namespace korvo

#endif  // KORVO_SHELL_MAIN_WINDOW_IDS_H_
