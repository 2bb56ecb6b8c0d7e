// BrowseWindow: the three-pane reader ("NewsBrowseWindow"), opened from the ticker menu
// ("一覧(&I)...", command 32805). On the left the calendar with the channel tree, the search form
// and the favourites (LeftPane); at the top right the item list (ListPane); at the bottom right
// the summary, the memo and the browser tabs (DownPane); a status bar (id 105, two parts, the
// first as wide as the left pane plus 5); splitters between the panes and the two collapse
// buttons (151 the bottom-right pane, 152 the left pane). Menu 141 is its menu; its "編集"
// pop-up is also the list's context menu.
//
// Opening pauses the ticker (services.pause_ticker), lays the frame out from the layout record
// ("search_window" of setup.ini), selects the calendar with today and "すべて" and fills the list.
// Closing (close box or command 105) stores the frame rectangle, the pane sizes and collapse
// states, the column widths and the field check boxes, lets the left pane apply or discard the
// channel tree's changes, destroys the panes and the frame, and resumes the ticker. While it is
// minimised the close entry of the system menu is greyed.
//
// One browse window at a time (the program keeps it); window thread only.
#ifndef KORVO_BROWSE_WIN_BROWSE_WINDOW_H_
#define KORVO_BROWSE_WIN_BROWSE_WINDOW_H_

#include <windows.h>

#include <memory>

#include "browse/browse_layout.h"
#include "browse/win/browse_services.h"
#include "browse/win/down_pane.h"
#include "browse/win/left_pane.h"
#include "browse/win/list_pane.h"
#include "browse/win/pane_window.h"

namespace korvo {

class BrowseWindow : public PaneWindow {
 public:
  static constexpr wchar_t kClassName[] = L"NewsBrowseWindow";

  explicit BrowseWindow(const BrowseServices& services);
  ~BrowseWindow() override;

  // Registers the frame's class and the classes of its panes and trees (the program does this at
  // start-up, so the classes exist before any window is made). True when all exist afterwards.
  static bool RegisterClasses(HINSTANCE instance);

  // Creates and shows the window; false when it could not be made.
  bool Open();
  // True while the window exists.
  bool is_open() const { return hwnd() != nullptr; }

  ListPane* list() const { return list_.get(); }
  LeftPane* left() const { return left_.get(); }
  DownPane* down() const { return down_.get(); }
  const PaneSizes& sizes() const { return sizes_; }

 protected:
  LRESULT Handle(UINT message, WPARAM w, LPARAM l) override;
  void OnDestroyed() override;

 private:
  void OnCreate();
  void LayOut();
  void OnCommand(int command);
  void OnItemCommand(int command);
  void OnEditCommand(int command);
  void Search();
  void Update();
  void Refill();
  void SaveLayout();
  void DrawCollapseButton(const DRAWITEMSTRUCT& item);
  void ShowItemProperties();
  void ImportReadLater();
  void ExportReadLater();
  void SetStatus(int part, const std::wstring& text);

  const BrowseServices& services_;
  BrowseGeometry geometry_;
  PaneSizes sizes_;
  FrameLayout layout_;
  std::unique_ptr<LeftPane> left_;
  std::unique_ptr<ListPane> list_;
  std::unique_ptr<DownPane> down_;
  HWND status_ = nullptr;
  HMENU menu_ = nullptr;
  HBITMAP left_bitmap_ = nullptr;
  HBITMAP down_bitmap_ = nullptr;
  SplitterHit dragging_ = SplitterHit::kNone;
  bool paused_ = false;
};

}  // namespace korvo

#endif  // KORVO_BROWSE_WIN_BROWSE_WINDOW_H_
