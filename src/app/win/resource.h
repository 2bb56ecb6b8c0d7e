// Resource identifiers of korvo.exe, shared by the resource script (res/korvo.rc) and the code.
// Only #define lines: the resource compiler reads this file too. The C++ side uses the constants
// of app/main_window_ids.h; main_window.cpp checks that both agree.
#ifndef KORVO_APP_WIN_RESOURCE_H_
#define KORVO_APP_WIN_RESOURCE_H_

// Strings (each read into a buffer of 100 characters).
#define IDS_APP_TITLE 103    /* "KorvoNewsReader": the main window's title */
#define IDS_WINDOW_CLASS 109 /* "DIGITAL": the main window's class */

// Icons.
#define IDI_APPLICATION_ICON 107
#define IDI_TRAY 133
#define IDI_TRAY_OLD 190 /* systems of minor version 0 */

// Menus, accelerators, dialogs.
#define IDM_MAIN_JAPANESE 109
#define IDM_MAIN_ENGLISH 156
#define IDA_MAIN 109
#define IDD_ABOUT 103
#define IDC_ABOUT_VERSION 1001

// Menu commands.
#define IDM_ABOUT 104
#define IDM_EXIT 105
#define IDM_CHECK_NEW_ITEMS 32776
#define IDM_EDIT_CHANNELS 32779
#define IDM_NEXT_ITEM 32783
#define IDM_NO_SKIN 32782
#define IDM_PREVIOUS_ITEM 32785
#define IDM_HEADLINE_COLOURS 32787
#define IDM_TOGGLE_TRAY 32789
#define IDM_MEMO 32792
#define IDM_LIST_WINDOW 32805
#define IDM_COPY_URL 32814
#define IDM_CHECKED_TODAY 32821
#define IDM_CONNECTION 32823
#define IDM_OPEN_SITE 32828
#define IDM_OPTIONS 32852
#define IDM_RESTORE_SKIN_SIZE 32856
#define IDM_OPEN_IN_BROWSER 32860
#define IDM_HOTKEYS 32862
#define IDM_READ_LATER 32870
#define IDM_PREVIOUS_SITE 32876
#define IDM_NEXT_SITE 32877
#define IDM_UPDATE_NOW 32879

#endif  // KORVO_APP_WIN_RESOURCE_H_
