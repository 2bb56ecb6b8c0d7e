// The numbers the browse window and its panes are known by: pane messages, control identifiers,
// menu commands and resources. The panes talk through these messages, the menus and dialogs of
// the resource script name these commands and controls, and other windows (the headline window,
// the options dialog) send some of them, so they are fixed.
//
// Message numbers are absolute window-message identifiers (WM_USER is 1024).
#ifndef KORVO_BROWSE_BROWSE_IDS_H_
#define KORVO_BROWSE_BROWSE_IDS_H_

namespace korvo {

// The kinds of the calendar tab's drop-down, in its order.
enum class ListKind : int {
  kAll = 0,        // "すべて": fetched on the day
  kUnread = 1,     // "未読": fetched on the day, not yet read
  kRead = 2,       // "既読": read on the day
  kCommented = 3,  // "コメント": read on the day, with a comment
  kMarked = 4,     // "マーク": read on the day, marked
  kInTicker = 5,   // "現在流れている記事": the ticker's shown list (no day)
  kReadLater = 6,  // "あとで読む": the read-later list (no day)
};
constexpr int kListKindCount = 7;
// True for the kinds that ignore the date (the date picker is greyed for them).
constexpr bool KindIgnoresDate(ListKind kind) {
  return kind == ListKind::kInTicker || kind == ListKind::kReadLater;
}

namespace browse_message {
constexpr unsigned kOpenBrowserTab = 0x460;   // summary -> bottom-right: lParam address (CP932)
constexpr unsigned kTabTitle = 0x461;         // browser -> bottom-right: lParam UTF-16 title
constexpr unsigned kCloseBrowserTab = 0x462;  // browser -> bottom-right: wParam the tab's id
constexpr unsigned kFillList = 0x463;         // frame -> top-right: wParam kind, lParam SYSTEMTIME*
constexpr unsigned kKindOrDateChanged = 0x464;  // left -> frame: wParam kind, lParam SYSTEMTIME*
constexpr unsigned kWriteHtml = 0x466;    // left -> frame -> top-right: wParam kind or 5 + words
constexpr unsigned kStartSearch = 0x467;  // left -> frame -> top-right: the list is cleared
constexpr unsigned kItemOpenedToMain = 0x468;  // -> headline window: wParam the record id
constexpr unsigned kItemSelected = 0x469;      // top-right -> frame -> bottom-right
constexpr unsigned kOpenSelected = 0x46A;      // -> top-right: wParam 0 browser, 1 none, 2 tab
constexpr unsigned kStoreColumns = 0x46D;      // frame -> top-right: column widths for saving
constexpr unsigned kStoreFields = 0x46E;       // frame -> left: check-box states for saving
constexpr unsigned kFinishUpdate = 0x470;      // frame -> left: closing; finish a pending update
constexpr unsigned kOpenLinkInTab = 0x4CE;     // top-right -> frame: lParam the link (CP932)
constexpr unsigned kFontChanged = 0x4D0;       // -> panes: lParam section name (CP932)
// Messages of this program's own, for work that ends on another thread.
constexpr unsigned kFillDone = 0x4E0;        // worker -> top-right: wParam the fill's generation
constexpr unsigned kSearchProgress = 0x4E1;  // worker -> dialog 144: the rows found so far
constexpr unsigned kDiscovery = 0x4E2;       // discovery thread -> browser tab (sent)
}  // namespace browse_message

namespace browse_control {
// Frame.
constexpr int kStatusBar = 105;
constexpr int kLeftPane = 200;
constexpr int kRightUpPane = 201;
constexpr int kRightDownPane = 202;
constexpr int kCollapseRight = 151;  // collapses the bottom-right pane
constexpr int kCollapseLeft = 152;   // collapses the left pane
// Left pane.
constexpr int kDatePicker = 100;
constexpr int kKindList = 102;
constexpr int kStartDate = 106;
constexpr int kEndDate = 107;
constexpr int kWords = 108;
constexpr int kSearchButton = 109;
constexpr int kLeftTabs = 113;
constexpr int kChannelTree = 130;
constexpr int kFavouritesTree = 131;
constexpr int kFirstFieldBox = 200;  // the seven field check boxes: 200 ... 206
constexpr int kUpdateButton = 210;
// Top-right pane.
constexpr int kList = 104;
// Bottom-right pane.
constexpr int kDownTabs = 300;
constexpr int kSummary = 301;
constexpr int kMemo = 403;
constexpr int kFirstBrowserTab = 500;
// Summary: the labels, the values (1310 site, 1311 title, ..., 1317 URL) and the description.
constexpr int kSummaryFirstLabel = 1300;
constexpr int kSummaryFirstValue = 1310;
constexpr int kSummaryDescription = 1320;
// Memo editor.
constexpr int kMemoWrite = 101;
constexpr int kMemoBrowser = 103;
constexpr int kMemoMark = 102;
constexpr int kMemoText = 104;
// Browser tab.
constexpr int kBrowserAddress = 108;
constexpr int kBrowserView = 109;
constexpr int kBrowserHiddenView = 110;
// Search and update dialogs.
constexpr int kBusyAnimation = 1000;
constexpr int kBusyText = 1001;
}  // namespace browse_control

namespace browse_command {
constexpr int kExit = 105;
constexpr int kViewFull = 32798;
constexpr int kMarkUnread = 32799;
constexpr int kMarkRead = 32800;
constexpr int kMark = 32801;
constexpr int kMemo = 32802;
constexpr int kOpenInBrowser = 32803;
constexpr int kUnmark = 32806;
constexpr int kViewCompact = 32808;
constexpr int kViewList = 32810;
constexpr int kCopyUrl = 32814;
constexpr int kCopyTitle = 32817;
constexpr int kCopyUrlAndTitle = 32819;
constexpr int kWriteHtml = 32831;
constexpr int kUpdateNow = 32832;
constexpr int kNewHomeTab = 32833;
constexpr int kCloseTab = 32834;
constexpr int kNewTab = 32837;
constexpr int kOpenInTab = 32839;
constexpr int kEditCut = 32840;
constexpr int kEditCopy = 32841;
constexpr int kEditPaste = 32842;
constexpr int kEditPasteAndGo = 32843;
constexpr int kEditSelectAll = 32846;
constexpr int kEditUndo = 32848;
constexpr int kEditDelete = 32849;
constexpr int kEditDeleteAll = 32850;
constexpr int kOptions = 32859;
constexpr int kDelete = 32864;
constexpr int kProperties = 32866;
constexpr int kReadLater = 32868;
constexpr int kExportReadLater = 32871;
constexpr int kImportReadLater = 32872;
// The ticker menu's entries that belong to the browse window and its pages.
constexpr int kOpenBrowseWindow = 32805;
constexpr int kCheckedToday = 32821;
}  // namespace browse_command

namespace browse_resource {
constexpr int kFrameIcon = 133;
constexpr int kBackgroundBitmap = 138;
constexpr int kPopupMenus = 140;  // "&TabMenu", "&EditMenu", the view pop-up
constexpr int kFrameMenu = 141;   // File / Edit / Tools; Edit is also the list's context menu
constexpr int kSearchDialog = 144;
constexpr int kUpdateDialog = 145;
constexpr int kChannelDialog = 148;
constexpr int kRightCollapseBitmap = 157;
constexpr int kLeftCollapseBitmap = 162;
constexpr int kSearchAnimation = 166;  // in Shell32.dll
constexpr int kUpdateAnimation = 170;  // in Shell32.dll
constexpr int kOptionsDialog = 177;
constexpr int kAuthenticationDialog = 178;
constexpr int kPropertiesDialog = 179;
constexpr int kItemPropertiesDialog = 180;
}  // namespace browse_resource

}  // namespace korvo

#endif  // KORVO_BROWSE_BROWSE_IDS_H_
