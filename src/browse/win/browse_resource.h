/* Resource identifiers of the browse window and its dialogs, shared by the resource script
   (res/browse.rc) and the code. Only #define lines: the resource compiler reads this file too.
   The numbers the Parts fix are checked against browse/browse_ids.h in browse_window.cpp. */
#ifndef KORVO_BROWSE_WIN_BROWSE_RESOURCE_H_
#define KORVO_BROWSE_WIN_BROWSE_RESOURCE_H_

/* Bitmaps (drawn by res/make_browse_bitmaps.py). */
#define IDB_BROWSE_BACK 138
#define IDB_COLLAPSE_DOWN 157
#define IDB_COLLAPSE_LEFT 162

/* Menus. */
#define IDM_BROWSE_POPUPS 140
#define IDM_BROWSE_FRAME 141
#define IDM_TREE_POPUP 183

/* Dialogs. */
#define IDD_SEARCHING 144
#define IDD_UPDATING 145
#define IDD_CHANNELS 148
#define IDD_BROWSE_OPTIONS 177
#define IDD_AUTHENTICATION 178
#define IDD_OUTLINE_PROPERTIES 179
#define IDD_ITEM_PROPERTIES 180
#define IDD_FAVOURITE_PROPERTIES 181
#define IDD_IMPORT_SOURCE 182

/* Dialog 144 / 145. */
#define IDC_BUSY_ANIMATION 1000
#define IDC_BUSY_TEXT 1001

/* Dialog 148: the channel tree and its buttons. */
#define IDC_CHANNEL_TREE 130
#define IDC_CHANNEL_TREE_PLACE 1100 /* where the tree (id 130) is put */
#define IDC_ADD_CHANNEL 1101
#define IDC_ADD_FOLDER 1102
#define IDC_OUTLINE_PROPERTIES 1103
#define IDC_DELETE_OUTLINE 1104
#define IDC_IMPORT_OPML 1105
#define IDC_EXPORT_OPML 1106

/* Dialog 179: channel and folder properties. */
#define IDC_PROP_TITLE 1001
#define IDC_PROP_ADDRESS 1002
#define IDC_PROP_LOOK_UP 1003
#define IDC_PROP_SITE 1004
#define IDC_PROP_DESCRIPTION 1005
#define IDC_PROP_DISABLE 1006
#define IDC_PROP_FILTER_BY_NAME 1007
#define IDC_PROP_SKIP_ALL 1008
#define IDC_PROP_NO_INHERIT 1009
#define IDC_PROP_ONLY_NEW 1010
#define IDC_PROP_DROP 1011
#define IDC_PROP_FILTER_ON 1012
#define IDC_PROP_KEYWORD 1013
#define IDC_PROP_HIT_DB 1014
#define IDC_PROP_HIT 1015
#define IDC_PROP_TTL 1016
#define IDC_PROP_REQUEST 1017
#define IDC_PROP_AUTHENTICATION 1018
#define IDC_PROP_FOLDER_GROUP 1019

/* Dialog 178: authentication. */
#define IDC_AUTH_USER 1001
#define IDC_AUTH_PASSWORD 1002

/* Dialog 181: favourite; 182: import source; 180: item properties. */
#define IDC_FAV_NAME 1001
#define IDC_FAV_ADDRESS 1002
#define IDC_IMPORT_SOURCE 1001
#define IDC_IMPORT_BROWSE 1002
#define IDC_ITEM_TEXT 1001

/* Dialog 177: the browse window's fonts. */
#define IDC_FONT_DESC 1050
#define IDC_FONT_LIST 1051
#define IDC_FONT_FAVOURITES 1052
#define IDC_FONT_CHANNELS 1053
#define IDC_FONT_DESC_RESET 1054
#define IDC_FONT_LIST_RESET 1055
#define IDC_FONT_FAVOURITES_RESET 1056
#define IDC_FONT_CHANNELS_RESET 1057
#define IDC_FONT_DESC_SAMPLE 1060
#define IDC_FONT_LIST_SAMPLE 1061
#define IDC_FONT_FAVOURITES_SAMPLE 1062
#define IDC_FONT_CHANNELS_SAMPLE 1063

/* The tree windows' context menu. */
#define IDM_TREE_ADD_CHANNEL 35001
#define IDM_TREE_ADD_FOLDER 35002
#define IDM_TREE_PROPERTIES 35003
#define IDM_TREE_DELETE 35004
#define IDM_TREE_IMPORT 35005
#define IDM_TREE_EXPORT 35006
#define IDM_TREE_OPEN 35007
#define IDM_TREE_ADD_FAVOURITE 35008

/* The browser tabs' buttons. */
#define IDC_TAB_BACK 35101
#define IDC_TAB_FORWARD 35102
#define IDC_TAB_RELOAD 35103
#define IDC_TAB_STOP 35104
#define IDC_TAB_GO 35105
#define IDC_TAB_FEED 35106
#define IDC_TAB_CLOSE 35107

/* The browse window's menu commands (browse_ids.h names them for the code). */
#define IDM_B_EXIT 105
#define IDM_B_VIEW_FULL 32798
#define IDM_B_MARK_UNREAD 32799
#define IDM_B_MARK_READ 32800
#define IDM_B_MARK 32801
#define IDM_B_MEMO 32802
#define IDM_B_OPEN_BROWSER 32803
#define IDM_B_UNMARK 32806
#define IDM_B_VIEW_COMPACT 32808
#define IDM_B_VIEW_LIST 32810
#define IDM_B_COPY_URL 32814
#define IDM_B_COPY_TITLE 32817
#define IDM_B_COPY_URL_TITLE 32819
#define IDM_B_WRITE_HTML 32831
#define IDM_B_UPDATE_NOW 32832
#define IDM_B_NEW_HOME_TAB 32833
#define IDM_B_CLOSE_TAB 32834
#define IDM_B_NEW_TAB 32837
#define IDM_B_OPEN_TAB 32839
#define IDM_B_CUT 32840
#define IDM_B_COPY 32841
#define IDM_B_PASTE 32842
#define IDM_B_PASTE_GO 32843
#define IDM_B_SELECT_ALL 32846
#define IDM_B_UNDO 32848
#define IDM_B_DELETE_TEXT 32849
#define IDM_B_DELETE_ALL 32850
#define IDM_B_OPTIONS 32859
#define IDM_B_DELETE 32864
#define IDM_B_PROPERTIES 32866
#define IDM_B_READ_LATER 32868
#define IDM_B_EXPORT_LATER 32871
#define IDM_B_IMPORT_LATER 32872

#endif /* KORVO_BROWSE_WIN_BROWSE_RESOURCE_H_ */
