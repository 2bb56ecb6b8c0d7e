// Resource identifiers of the ticker windows' dialogs and icons, shared by the resource script
// (res/korvo.rc) and the code. Only #define lines: the resource compiler reads this file too.
#ifndef KORVO_TICKER_WIN_TICKER_RESOURCE_IDS_H_
#define KORVO_TICKER_WIN_TICKER_RESOURCE_IDS_H_

// The hot-key dialog: Japanese (191) and English (192).
#define IDD_HOTKEY_JAPANESE 191
#define IDD_HOTKEY_ENGLISH 192
#define IDC_HOTKEY_ENABLED 1000
#define IDC_HOTKEY_MOD_FIRST 1005 /* 1005-1010: the modifier drop-downs, rows 0-5 */
#define IDC_HOTKEY_KEY_FIRST 1047 /* 1047-1052: the key drop-downs, rows 0-5 */

// "更新中" (updating): shown while a dropped link downloads; its button "停止" (IDCANCEL) stops it.
// The dialog is defined once, in res/browse.rc, which the browse window's update uses too.
#define IDD_UPDATING 145

// The default site icon.
#define IDI_SITE_DEFAULT 180

#endif  // KORVO_TICKER_WIN_TICKER_RESOURCE_IDS_H_
