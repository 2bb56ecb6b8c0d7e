#include "browse/win/channel_dialog.h"

#include <memory>

#include "browse/win/browse_resource.h"
#include "browse/win/browse_win_util.h"
#include "browse/win/outline_tree_view.h"
#include "browse/win/win_user_dialogs.h"
#include "channels/channel_list_component.h"

namespace korvo {

namespace {

struct ChannelDialogState {
  const BrowseServices* services = nullptr;
  std::unique_ptr<OutlineTreeView> tree;
  RECT margins = {};  // of the tree from the dialog's edges, kept when the dialog is resized
};

// Ends the dialog after the user's answer about unsaved changes; `ok`: the OK button.
void Finish(HWND dialog, ChannelDialogState* state, bool ok) {
  ChannelListComponent* channels = state->services->channels;
  bool updated = ok;
  if (channels != nullptr && channels->list().modified()) {
    if (ok) {
      if (!channels->Save()) {
        MessageBoxUtf8(dialog, u8"channel.opml を書き込めませんでした。", u8"エラー",
                       MB_OK | MB_ICONWARNING);
        return;  // the dialog stays open with the changes
      }
    } else {
      WinUserDialogs dialogs(state->services->instance, dialog);
      const ApplyResult result = channels->Apply(dialogs);
      if (result == ApplyResult::kSaveFailed) {
        MessageBoxUtf8(dialog, u8"channel.opml を書き込めませんでした。", u8"エラー",
                       MB_OK | MB_ICONWARNING);
        return;
      }
      updated = result == ApplyResult::kSaved;
      if (result == ApplyResult::kDiscarded) {
        OutlineTreeView::RebuildAll(OutlineTreeView::Kind::kChannels);
      }
    }
  }
  state->tree.reset();
  EndDialog(dialog, updated ? IDOK : IDCANCEL);
}

void LayOut(HWND dialog, ChannelDialogState* state) {
  if (!state->tree) return;
  RECT client = {};
  GetClientRect(dialog, &client);
  MoveWindow(state->tree->hwnd(), state->margins.left, state->margins.top,
             client.right - state->margins.left - state->margins.right,
             client.bottom - state->margins.top - state->margins.bottom, TRUE);
  // The buttons stay at the right edge.
  RECT tree = {};
  GetWindowRect(state->tree->hwnd(), &tree);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&tree), 2);
  for (int id : {IDC_ADD_CHANNEL, IDC_ADD_FOLDER, IDC_OUTLINE_PROPERTIES, IDC_DELETE_OUTLINE,
                 IDC_IMPORT_OPML, IDC_EXPORT_OPML, IDOK, IDCANCEL}) {
    HWND button = GetDlgItem(dialog, id);
    RECT r = {};
    GetWindowRect(button, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    int top = r.top;
    if (id == IDOK || id == IDCANCEL) {
      top = client.bottom - state->margins.bottom - (id == IDOK ? 2 : 1) * (r.bottom - r.top) -
            (id == IDOK ? 4 : 0);
    }
    SetWindowPos(button, nullptr, tree.right + 7, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  }
}

INT_PTR CALLBACK ChannelProc(HWND dialog, UINT message, WPARAM w, LPARAM l) {
  auto* state = reinterpret_cast<ChannelDialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      state = reinterpret_cast<ChannelDialogState*>(l);
      SetWindowLongPtrW(dialog, DWLP_USER, l);
      RECT place = {};
      GetWindowRect(GetDlgItem(dialog, IDC_CHANNEL_TREE_PLACE), &place);
      MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
      RECT client = {};
      GetClientRect(dialog, &client);
      RECT button = {};
      GetWindowRect(GetDlgItem(dialog, IDC_ADD_CHANNEL), &button);
      state->margins = {place.left, place.top, client.right - place.right,
                        client.bottom - place.bottom};
      state->tree =
          std::make_unique<OutlineTreeView>(*state->services, OutlineTreeView::Kind::kChannels);
      state->tree->Create(dialog, IDC_CHANNEL_TREE, place);
      SetFocus(state->tree->tree());
      return FALSE;
    }
    case WM_SIZE:
      LayOut(dialog, state);
      return TRUE;
    case WM_COMMAND:
      if (state == nullptr || !state->tree) return FALSE;
      switch (LOWORD(w)) {
        case IDC_ADD_CHANNEL:
          state->tree->AddChannelWithProperties();
          return TRUE;
        case IDC_ADD_FOLDER:
          state->tree->AddFolderWithProperties();
          return TRUE;
        case IDC_OUTLINE_PROPERTIES:
          state->tree->EditSelected();
          return TRUE;
        case IDC_DELETE_OUTLINE:
          state->tree->DeleteSelected();
          return TRUE;
        case IDC_IMPORT_OPML:
          state->tree->Import();
          return TRUE;
        case IDC_EXPORT_OPML:
          state->tree->Export();
          return TRUE;
        case IDOK:
          Finish(dialog, state, true);
          return TRUE;
        case IDCANCEL:
          Finish(dialog, state, false);
          return TRUE;
        default:
          return FALSE;
      }
    default:
      return FALSE;
  }
}

}  // namespace

bool RunChannelDialog(const BrowseServices& services, HWND owner) {
  ChannelDialogState state;
  state.services = &services;
  return DialogBoxParamW(services.instance, MAKEINTRESOURCEW(IDD_CHANNELS), owner, ChannelProc,
                         reinterpret_cast<LPARAM>(&state)) == IDOK;
}

}  // namespace korvo
