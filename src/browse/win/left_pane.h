// "LeftWindow" (id 200): the browse window's left pane, a tab control (id 113) with three tabs:
//   "カレンダー": the day (date picker id 100, label "日時"), the kind (drop-down id 102 with the
//                seven kinds, label "種類"), the button "更新" (id 210) and the channel tree
//                ("EditOpmlView", id 130); for kinds 5 and 6 the date picker is greyed;
//   "検索": start and end dates (ids 106, 107), the words (id 108, 14-pixel font), the button
//                "検索" (id 109) and the seven field check boxes (ids 200-206);
//   "お気に入り": the favourites tree ("EditFavView", id 131).
// Labels are bold 12 pixels, the other controls 12 pixels.
//
// It tells its frame 0x464 when the day or the kind changed (wParam kind, lParam SYSTEMTIME*),
// and sends it WM_COMMAND 32832 for "更新" and WM_COMMAND 109 for "検索". It serves 0x46E (store
// the check boxes), 0x470 (closing: the channel tree's changes are applied or discarded) and
// 0x4D0 (fonts).
//
// Window thread.
#ifndef KORVO_BROWSE_WIN_LEFT_PANE_H_
#define KORVO_BROWSE_WIN_LEFT_PANE_H_

#include <windows.h>

#include <array>
#include <memory>

#include "browse/browse_ids.h"
#include "browse/item_search.h"
#include "browse/win/browse_services.h"
#include "browse/win/browse_win_util.h"
#include "browse/win/outline_tree_view.h"
#include "browse/win/pane_window.h"

namespace korvo {

class LeftPane : public PaneWindow {
 public:
  static constexpr wchar_t kClassName[] = L"LeftWindow";

  LeftPane(const BrowseServices& services, const std::array<int32_t, 7>& fields);
  ~LeftPane() override;

  bool Create(HWND parent, const RECT& rect);

  ListKind kind() const;
  platform::CalendarTime day() const;
  // The calendar tab with the given day and kind (no notification is sent).
  void SetDayAndKind(const platform::CalendarTime& day, ListKind kind);
  void SelectTab(int index);
  SearchQuery Query() const;
  std::array<int32_t, 7> FieldStates() const;

  OutlineTreeView* channel_tree() const { return channels_.get(); }
  OutlineTreeView* favourites_tree() const { return favourites_.get(); }

 protected:
  LRESULT Handle(UINT message, WPARAM w, LPARAM l) override;

 private:
  HWND AddControl(const wchar_t* class_name, const wchar_t* text, DWORD style, int id, HFONT font,
                  int page);
  void LayOut();
  void ShowPage();
  void KindOrDayChanged();
  // Applies or discards the channel tree's changes (asking when it changed).
  void ApplyChannelChanges();

  const BrowseServices& services_;
  std::array<int32_t, 7> fields_;
  HWND tabs_ = nullptr;
  std::array<std::vector<HWND>, 3> pages_;  // the controls of each tab
  std::unique_ptr<OutlineTreeView> channels_;
  std::unique_ptr<OutlineTreeView> favourites_;
  OwnedFont font_, bold_font_, words_font_;
};

}  // namespace korvo

#endif  // KORVO_BROWSE_WIN_LEFT_PANE_H_
