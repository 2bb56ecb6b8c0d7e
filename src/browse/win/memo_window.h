// "EditNewsWindow" (id 403): the memo editor of the selected item, made anew for each selected
// item. A check box "この記事をマーク" (mark this item), the comment in a multi-line edit, and the
// buttons "書込" (write, id 101), which stores comment and mark and says "書き込みました。" titled
// "memo", and "ブラウザ" (id 103), which opens the item's link in the external browser. The
// texts come from the message catalog (entries 7-10).
//
// Window thread.
#ifndef KORVO_BROWSE_WIN_MEMO_WINDOW_H_
#define KORVO_BROWSE_WIN_MEMO_WINDOW_H_

#include <windows.h>

#include <functional>
#include <string>

#include "browse/list_row.h"
#include "browse/win/browse_services.h"
#include "browse/win/browse_win_util.h"
#include "browse/win/pane_window.h"

namespace korvo {

class MemoWindow : public PaneWindow {
 public:
  static constexpr wchar_t kClassName[] = L"EditNewsWindow";

  MemoWindow(const BrowseServices& services, uint32_t number, std::string link);
  bool Create(HWND parent, const RECT& rect);

  // Called after a write with the record's new row.
  std::function<void(const ListRow& row)> on_written;

  uint32_t number() const { return number_; }

 protected:
  LRESULT Handle(UINT message, WPARAM w, LPARAM l) override;

 private:
  void LayOut();
  void Write();

  const BrowseServices& services_;
  const uint32_t number_;
  const std::string link_;
  HWND mark_ = nullptr;
  HWND text_ = nullptr;
  OwnedFont font_;
};

}  // namespace korvo

#endif  // KORVO_BROWSE_WIN_MEMO_WINDOW_H_
