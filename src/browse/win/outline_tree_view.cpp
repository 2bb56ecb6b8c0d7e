#include "browse/win/outline_tree_view.h"

#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "browse/browse_fonts.h"
#include "browse/browse_ids.h"
#include "browse/outline_tree.h"
#include "browse/win/browse_resource.h"
#include "browse/win/properties_dialog.h"
#include "browse/win/win_user_dialogs.h"
#include "channels/channel_list_component.h"
#include "channels/opml_transfer.h"
#include "channels/source_download.h"
#include "platform/code_page.h"

namespace korvo {

namespace {

constexpr int kMaxTreeDepth = 64;

std::vector<OutlineTreeView*>& LiveViews() {
  static std::vector<OutlineTreeView*> views;
  return views;
}

XmlNode* NodeOf(HWND tree, HTREEITEM item) {
  if (item == nullptr) return nullptr;
  TVITEMW data = {};
  data.mask = TVIF_PARAM;
  data.hItem = item;
  if (!TreeView_GetItem(tree, &data)) return nullptr;
  return reinterpret_cast<XmlNode*>(data.lParam);
}

HTREEITEM InsertItem(HWND tree, HTREEITEM parent, const std::string& label, XmlNode* node,
                     bool bold) {
  std::wstring text = platform::WideFromCp932(label);
  TVINSERTSTRUCTW insert = {};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE;
  insert.item.pszText = text.data();
  insert.item.lParam = reinterpret_cast<LPARAM>(node);
  insert.item.stateMask = TVIS_BOLD;
  insert.item.state = bold ? TVIS_BOLD : 0;
  return TreeView_InsertItem(tree, &insert);
}

}  // namespace

OutlineTreeView::OutlineTreeView(const BrowseServices& services, Kind kind)
    : services_(services), kind_(kind) {
  LiveViews().push_back(this);
}

OutlineTreeView::~OutlineTreeView() {
  auto& views = LiveViews();
  views.erase(std::remove(views.begin(), views.end(), this), views.end());
}

bool OutlineTreeView::Create(HWND parent, int id, const RECT& r) {
  const wchar_t* name = kind_ == Kind::kChannels ? kChannelClass : kFavouritesClass;
  if (!CreateChild(name, GetSysColorBrush(COLOR_WINDOW), parent, id, r, services_.instance,
                   WS_CHILD | WS_VISIBLE | WS_TABSTOP)) {
    return false;
  }
  tree_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"",
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS |
                              TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                          0, 0, r.right - r.left, r.bottom - r.top, hwnd(),
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), services_.instance,
                          nullptr);
  LoadFont();
  Rebuild();
  return tree_ != nullptr;
}

void OutlineTreeView::LoadFont() {
  font_.Reset(MakeFont(LoadBrowseFont(services_.working_folder, kind_ == Kind::kChannels
                                                                    ? kChannelsFontSection
                                                                    : kFavouritesFontSection)));
  if (tree_ != nullptr) {
    SendMessageW(tree_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
  }
}

ChannelList* OutlineTreeView::List() const {
  if (kind_ == Kind::kFavourites) return services_.favourites;
  return services_.channels != nullptr ? &services_.channels->list() : nullptr;
}

XmlNode* OutlineTreeView::Selected() const {
  return tree_ != nullptr ? NodeOf(tree_, TreeView_GetSelection(tree_)) : nullptr;
}

void OutlineTreeView::AddItems(HTREEITEM parent, XmlNode* folder, int depth, size_t* count) {
  if (depth > kMaxTreeDepth) return;
  for (const OutlineEntry& entry : OutlineChildren(*List(), folder)) {
    if (++*count > kMaxTreeItems) return;
    HTREEITEM item = InsertItem(tree_, parent, entry.label, entry.node, entry.folder);
    if (entry.folder) AddItems(item, entry.node, depth + 1, count);
  }
}

void OutlineTreeView::Rebuild() {
  if (tree_ == nullptr) return;
  XmlNode* selected = Selected();
  SendMessageW(tree_, WM_SETREDRAW, FALSE, 0);
  TreeView_DeleteAllItems(tree_);
  ChannelList* list = List();
  if (list != nullptr) {
    HTREEITEM root = InsertItem(tree_, TVI_ROOT, TreeRootLabel(*list), list->body(), true);
    size_t count = 0;
    if (list->body() != nullptr) AddItems(root, list->body(), 0, &count);
    TreeView_Expand(tree_, root, TVE_EXPAND);
    HTREEITEM again = FindItem(root, selected);
    TreeView_SelectItem(tree_, again != nullptr ? again : root);
  }
  SendMessageW(tree_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(tree_, nullptr, TRUE);
}

void OutlineTreeView::RebuildAll(Kind kind) {
  for (OutlineTreeView* view : LiveViews()) {
    if (view->kind_ == kind) view->Rebuild();
  }
}

HTREEITEM OutlineTreeView::FindItem(HTREEITEM from, const XmlNode* node) const {
  if (node == nullptr) return nullptr;
  for (HTREEITEM item = from; item != nullptr; item = TreeView_GetNextSibling(tree_, item)) {
    if (NodeOf(tree_, item) == node) return item;
    if (HTREEITEM child = TreeView_GetChild(tree_, item)) {
      if (HTREEITEM found = FindItem(child, node)) return found;
    }
  }
  return nullptr;
}

void OutlineTreeView::Changed(XmlNode* select) {
  if (kind_ == Kind::kFavourites && services_.save_favourites) services_.save_favourites();
  RebuildAll(kind_);
  if (select != nullptr) {
    if (HTREEITEM item = FindItem(TreeView_GetRoot(tree_), select)) {
      TreeView_EnsureVisible(tree_, item);
      TreeView_SelectItem(tree_, item);
    }
  }
}

bool OutlineTreeView::AddChannelWithProperties() {
  ChannelList* list = List();
  if (list == nullptr) return false;
  if (kind_ == Kind::kFavourites) return AddFavouriteWithDialog();
  OutlineProperties properties;
  if (!EditOutlineProperties(services_, hwnd(), false, &properties)) return false;
  if (properties.xmlUrl.empty()) return false;  // a channel needs its address
  XmlNode* added = AddWithProperties(*list, Selected(), properties);
  if (added != nullptr) Changed(added);
  return added != nullptr;
}

bool OutlineTreeView::AddFolderWithProperties() {
  ChannelList* list = List();
  if (list == nullptr) return false;
  XmlNode* added = nullptr;
  if (kind_ == Kind::kFavourites) {
    std::string name;
    std::string address;
    if (!EditFavourite(services_.instance, hwnd(), &name, &address)) return false;
    OutlineProperties folder;
    folder.text = name;
    added = AddWithProperties(*list, Selected(), folder);
  } else {
    OutlineProperties properties;
    if (!EditOutlineProperties(services_, hwnd(), true, &properties)) return false;
    properties.xmlUrl.clear();
    added = AddWithProperties(*list, Selected(), properties);
  }
  if (added != nullptr) Changed(added);
  return added != nullptr;
}

bool OutlineTreeView::AddFavouriteWithDialog() {
  std::string name;
  std::string address = "http://";
  if (!EditFavourite(services_.instance, hwnd(), &name, &address)) return false;
  return AddSite(name, address);
}

bool OutlineTreeView::AddSite(const std::string& name, const std::string& address) {
  ChannelList* list = List();
  if (list == nullptr || kind_ != Kind::kFavourites) return false;
  WinUserDialogs dialogs(services_.instance, hwnd());
  XmlNode* added = AddFavourite(*list, Selected(), name, address, dialogs);
  if (added != nullptr) Changed(added);
  return added != nullptr;
}

bool OutlineTreeView::AddFeed(const FeedInformation& feed) {
  ChannelList* list = List();
  if (list == nullptr || kind_ != Kind::kChannels) return false;
  XmlNode* added = nullptr;
  if (feed.title.empty()) {
    OutlineProperties properties;
    properties.xmlUrl = feed.feedUrl;
    properties.htmlUrl = feed.siteUrl;
    if (!EditOutlineProperties(services_, hwnd(), false, &properties) ||
        properties.xmlUrl.empty()) {
      return false;
    }
    added = AddWithProperties(*list, Selected(), properties);
  } else {
    WinUserDialogs dialogs(services_.instance, hwnd());
    added = AddChannel(*list, Selected(), feed, dialogs);
  }
  if (added != nullptr) Changed(added);
  return added != nullptr;
}

bool OutlineTreeView::EditSelected() {
  ChannelList* list = List();
  XmlNode* node = Selected();
  if (list == nullptr || !IsOutline(node)) return false;
  if (kind_ == Kind::kFavourites) {
    const std::string* text = node->Attribute("text");
    std::string name = text != nullptr ? *text : std::string();
    std::string address = FavouriteAddress(*node);
    if (!EditFavourite(services_.instance, hwnd(), &name, &address)) return false;
    EditFavouriteProperties(*list, node, name, address);
  } else {
    OutlineProperties properties = PropertiesFromAttributes(AttributesOf(*node));
    if (!EditOutlineProperties(services_, hwnd(), list->IsFolder(node), &properties)) return false;
    EditProperties(*list, node, properties);
  }
  Changed(node);
  return true;
}

bool OutlineTreeView::DeleteSelected() {
  ChannelList* list = List();
  if (list == nullptr) return false;
  WinUserDialogs dialogs(services_.instance, hwnd());
  XmlNode* parent = DeleteOutline(*list, Selected(), dialogs);
  if (parent == nullptr) return false;
  Changed(parent);
  return true;
}

bool OutlineTreeView::Import() {
  ChannelList* list = List();
  if (list == nullptr) return false;
  WinUserDialogs dialogs(services_.instance, hwnd());
  ImportRequest request;
  request.selected = Selected();
  request.download = WebSourceDownload(services_.fetch_context);
  request.working_folder = services_.working_folder;
  HCURSOR old = SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
  const int result = ImportOpml(*list, request, dialogs);
  SetCursor(old);
  if (result != 0) return false;
  Changed(nullptr);
  return true;
}

bool OutlineTreeView::Export() {
  ChannelList* list = List();
  if (list == nullptr) return false;
  WinUserDialogs dialogs(services_.instance, hwnd());
  return ExportOpml(*list, dialogs) == 0;
}

void OutlineTreeView::OpenSelected() {
  XmlNode* node = Selected();
  if (!IsOutline(node) || List() == nullptr || List()->IsFolder(node)) return;
  if (kind_ == Kind::kFavourites) {
    const std::string address = FavouriteAddress(*node);
    if (!address.empty() && on_open) on_open(address);
  } else {
    EditSelected();
  }
}

void OutlineTreeView::ShowMenu(POINT screen) {
  HMENU menu = LoadMenuW(services_.instance, MAKEINTRESOURCEW(IDM_TREE_POPUP));
  if (menu == nullptr) return;
  HMENU popup = GetSubMenu(menu, 0);
  const bool favourites = kind_ == Kind::kFavourites;
  DeleteMenu(popup, favourites ? IDM_TREE_ADD_CHANNEL : IDM_TREE_ADD_FAVOURITE, MF_BYCOMMAND);
  if (favourites) {
    DeleteMenu(popup, IDM_TREE_IMPORT, MF_BYCOMMAND);
    DeleteMenu(popup, IDM_TREE_EXPORT, MF_BYCOMMAND);
  } else {
    DeleteMenu(popup, IDM_TREE_OPEN, MF_BYCOMMAND);
    DeleteMenu(popup, 0, MF_BYPOSITION);  // the separator after it
  }
  if (!IsOutline(Selected())) {
    EnableMenuItem(popup, IDM_TREE_PROPERTIES, MF_BYCOMMAND | MF_GRAYED);
    EnableMenuItem(popup, IDM_TREE_DELETE, MF_BYCOMMAND | MF_GRAYED);
    EnableMenuItem(popup, IDM_TREE_OPEN, MF_BYCOMMAND | MF_GRAYED);
  }
  const int command = TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0,
                                     hwnd(), nullptr);
  DestroyMenu(menu);
  if (command != 0) OnCommand(command);
}

void OutlineTreeView::OnCommand(int command) {
  switch (command) {
    case IDM_TREE_OPEN:
      OpenSelected();
      break;
    case IDM_TREE_ADD_CHANNEL:
    case IDM_TREE_ADD_FAVOURITE:
      AddChannelWithProperties();
      break;
    case IDM_TREE_ADD_FOLDER:
      AddFolderWithProperties();
      break;
    case IDM_TREE_PROPERTIES:
      EditSelected();
      break;
    case IDM_TREE_DELETE:
      DeleteSelected();
      break;
    case IDM_TREE_IMPORT:
      Import();
      break;
    case IDM_TREE_EXPORT:
      Export();
      break;
    default:
      break;
  }
}

void OutlineTreeView::EndDrag(bool drop) {
  HTREEITEM dragged = dragged_;
  HTREEITEM target = drop_target_;
  dragged_ = nullptr;
  drop_target_ = nullptr;
  TreeView_SelectDropTarget(tree_, nullptr);
  if (GetCapture() == hwnd()) ReleaseCapture();
  if (!drop || dragged == nullptr || target == nullptr) return;
  ChannelList* list = List();
  XmlNode* item = NodeOf(tree_, dragged);
  if (list != nullptr && MoveOutline(*list, item, NodeOf(tree_, target))) Changed(item);
}

LRESULT OutlineTreeView::OnNotify(NMHDR* header) {
  if (header->hwndFrom != tree_) return 0;
  switch (header->code) {
    case TVN_BEGINDRAGW: {
      const auto* view = reinterpret_cast<NMTREEVIEWW*>(header);
      if (IsOutline(NodeOf(tree_, view->itemNew.hItem))) {
        dragged_ = view->itemNew.hItem;
        TreeView_SelectItem(tree_, dragged_);
        SetCapture(hwnd());
      }
      return 0;
    }
    case NM_DBLCLK:
      OpenSelected();
      return 1;
    case NM_RCLICK: {
      POINT point;
      GetCursorPos(&point);
      TVHITTESTINFO hit = {};
      hit.pt = point;
      ScreenToClient(tree_, &hit.pt);
      if (HTREEITEM item = TreeView_HitTest(tree_, &hit)) TreeView_SelectItem(tree_, item);
      ShowMenu(point);
      return 1;
    }
    case TVN_KEYDOWN: {
      const auto* key = reinterpret_cast<NMTVKEYDOWN*>(header);
      if (key->wVKey == VK_DELETE) DeleteSelected();
      if (key->wVKey == VK_RETURN) OpenSelected();
      return 0;
    }
    default:
      return 0;
  }
}

LRESULT OutlineTreeView::Handle(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_SIZE:
      if (tree_ != nullptr) MoveWindow(tree_, 0, 0, LOWORD(l), HIWORD(l), TRUE);
      return 0;
    case WM_NOTIFY:
      return OnNotify(reinterpret_cast<NMHDR*>(l));
    case WM_MOUSEMOVE:
      if (dragged_ != nullptr) {
        TVHITTESTINFO hit = {};
        hit.pt = {GET_X_LPARAM(l), GET_Y_LPARAM(l)};
        MapWindowPoints(hwnd(), tree_, &hit.pt, 1);
        HTREEITEM target = TreeView_HitTest(tree_, &hit);
        ChannelList* list = List();
        const bool allowed = target != nullptr && list != nullptr &&
                             MayMoveOutline(*list, NodeOf(tree_, dragged_), NodeOf(tree_, target));
        drop_target_ = allowed ? target : nullptr;
        TreeView_SelectDropTarget(tree_, drop_target_);
        SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(allowed ? IDC_ARROW : IDC_NO)));
      }
      return 0;
    case WM_LBUTTONUP:
      if (dragged_ != nullptr) EndDrag(true);
      return 0;
    case WM_CAPTURECHANGED:
      if (dragged_ != nullptr && reinterpret_cast<HWND>(l) != hwnd()) EndDrag(false);
      return 0;
    case WM_KEYDOWN:
      if (w == VK_ESCAPE && dragged_ != nullptr) EndDrag(false);
      return 0;
    case WM_SETFOCUS:
      if (tree_ != nullptr) SetFocus(tree_);
      return 0;
    case browse_message::kFontChanged: {
      const char* section = reinterpret_cast<const char*>(l);
      const char* own = kind_ == Kind::kChannels ? kChannelsFontSection : kFavouritesFontSection;
      if (section != nullptr && std::string(section) == own) LoadFont();
      return 0;
    }
    default:
      return Default(message, w, l);
  }
}

}  // namespace korvo
