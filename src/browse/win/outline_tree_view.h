// The channel tree ("EditOpmlView") and the favourites tree ("EditFavView"): a tree view of the
// channel list or of fav.opml under one root item, with the editing operations of
// channels/channel_tree_ops.h: add (through the properties dialog), edit, delete, drag and drop
// moves, OPML import and export (channels). A context menu offers them; the channel dialog's
// buttons call them too.
//
// Tree items stand for `outline` elements (their lParam), the root for `body`. Every view of one
// list is rebuilt when any of them changes it, so no view keeps an element that was removed or
// read again. The channel list's changes are applied (or discarded) by the view's owner when it
// closes (ApplyChanges); the favourites are written to fav.opml after every change.
//
// Window thread only.
#ifndef KORVO_BROWSE_WIN_OUTLINE_TREE_VIEW_H_
#define KORVO_BROWSE_WIN_OUTLINE_TREE_VIEW_H_

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <functional>
#include <string>

#include "browse/win/browse_services.h"
#include "browse/win/browse_win_util.h"
#include "browse/win/pane_window.h"
#include "channels/channel_tree_ops.h"

namespace korvo {

class OutlineTreeView : public PaneWindow {
 public:
  enum class Kind { kChannels, kFavourites };
  static constexpr wchar_t kChannelClass[] = L"EditOpmlView";
  static constexpr wchar_t kFavouritesClass[] = L"EditFavView";

  OutlineTreeView(const BrowseServices& services, Kind kind);
  ~OutlineTreeView() override;

  bool Create(HWND parent, int id, const RECT& rect);
  HWND tree() const { return tree_; }
  Kind kind() const { return kind_; }

  // Activating a favourite (double click, Enter, "開く"): its address; set by the owner.
  std::function<void(const std::string& address)> on_open;

  // The operations (each asks what it needs; false when nothing changed).
  bool AddChannelWithProperties();
  bool AddFolderWithProperties();
  bool AddFavouriteWithDialog();
  bool EditSelected();
  bool DeleteSelected();
  bool Import();
  bool Export();
  void OpenSelected();
  // Adds a discovered feed (with the overwrite question) or, without a title, opens the properties
  // dialog with its address filled in; channels only.
  bool AddFeed(const FeedInformation& feed);
  // Adds a site to the favourites (with the overwrite question).
  bool AddSite(const std::string& name, const std::string& address);

  // Rebuilds the items from the list (after it was read again).
  void Rebuild();
  // Rebuilds every live view of `kind`.
  static void RebuildAll(Kind kind);

 protected:
  LRESULT Handle(UINT message, WPARAM w, LPARAM l) override;

 private:
  ChannelList* List() const;
  XmlNode* Selected() const;
  void AddItems(HTREEITEM parent, XmlNode* folder, int depth, size_t* count);
  HTREEITEM FindItem(HTREEITEM from, const XmlNode* node) const;
  void Changed(XmlNode* select);
  LRESULT OnNotify(NMHDR* header);
  void ShowMenu(POINT screen);
  void OnCommand(int command);
  void EndDrag(bool drop);
  void LoadFont();

  const BrowseServices& services_;
  const Kind kind_;
  HWND tree_ = nullptr;
  OwnedFont font_;
  HTREEITEM dragged_ = nullptr;
  HTREEITEM drop_target_ = nullptr;
};

}  // namespace korvo

#endif  // KORVO_BROWSE_WIN_OUTLINE_TREE_VIEW_H_
