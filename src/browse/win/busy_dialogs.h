// The two small modal dialogs of the browse window, centred over it, each with one button "停止"
// and an animation of the system's shell library:
//   - "検索中" (dialog 144, animation 166): runs a search on the list's worker and waits for it;
//     "停止" cancels it, keeping the rows found so far.
//   - "更新中" (dialog 145, animation 170): waits for the update run the window asked for,
//     looking every 100 ms; OK when it ended, cancelled after 300,000 ms or by "停止" (the run
//     goes on).
// Where the animation cannot be loaded the dialog says so in its text ("Unable to load library."
// or "Cannot Load the avi resource" for the search, "更新中" for the update).
//
// Window thread.
#ifndef KORVO_BROWSE_WIN_BUSY_DIALOGS_H_
#define KORVO_BROWSE_WIN_BUSY_DIALOGS_H_

#include <windows.h>

#include "browse/item_search.h"
#include "browse/win/browse_services.h"

namespace korvo {

class ListPane;

// Runs the search into `list`; returns when it ended (IDOK) or was stopped (IDCANCEL; the rows
// found so far are shown either way).
INT_PTR RunSearchDialog(const BrowseServices& services, HWND owner, ListPane* list,
                        const SearchQuery& query);

// Waits for the update run begun after `runs_started` runs; IDOK when it ended.
INT_PTR RunUpdateDialog(const BrowseServices& services, HWND owner, uint64_t runs_started);

}  // namespace korvo

#endif  // KORVO_BROWSE_WIN_BUSY_DIALOGS_H_
