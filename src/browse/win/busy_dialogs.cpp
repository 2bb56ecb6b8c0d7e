#include "browse/win/busy_dialogs.h"

#include <commctrl.h>

#include <string>

#include "browse/browse_ids.h"
#include "browse/update_wait.h"
#include "browse/win/browse_resource.h"
#include "browse/win/browse_win_util.h"
#include "browse/win/list_pane.h"
#include "platform/code_page.h"

namespace korvo {

namespace {

constexpr UINT_PTR kPollTimer = 1;

struct BusyState {
  const BrowseServices* services = nullptr;
  HWND owner = nullptr;
  int animation = 0;
  const wchar_t* fallback_text = L"";
  // The search.
  ListPane* list = nullptr;
  const SearchQuery* query = nullptr;
  bool stopping = false;
  // The update.
  UpdateWait* wait = nullptr;
  HMODULE shell = nullptr;
};

// Plays `animation` of Shell32.dll in the dialog's animation control; false (with the reason in
// the dialog's text) when it cannot.
void StartAnimation(HWND dialog, BusyState* state, bool explain) {
  HWND animate = GetDlgItem(dialog, IDC_BUSY_ANIMATION);
  state->shell = LoadLibraryExW(L"Shell32.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  const wchar_t* problem = nullptr;
  if (state->shell == nullptr) {
    problem = L"Unable to load library.";
  } else if (!Animate_OpenEx(animate, state->shell, MAKEINTRESOURCEW(state->animation))) {
    problem = L"Cannot Load the avi resource";
  } else {
    Animate_Play(animate, 0, -1, -1);
    return;
  }
  ShowWindow(animate, SW_HIDE);
  SetDlgItemTextW(dialog, IDC_BUSY_TEXT, explain ? problem : state->fallback_text);
}

void StopAnimation(HWND dialog, BusyState* state) {
  Animate_Close(GetDlgItem(dialog, IDC_BUSY_ANIMATION));
  if (state->shell != nullptr) FreeLibrary(state->shell);
  state->shell = nullptr;
}

INT_PTR CALLBACK SearchProc(HWND dialog, UINT message, WPARAM w, LPARAM l) {
  auto* state = reinterpret_cast<BusyState*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      state = reinterpret_cast<BusyState*>(l);
      SetWindowLongPtrW(dialog, DWLP_USER, l);
      CentreOver(dialog, state->owner);
      StartAnimation(dialog, state, true);
      state->list->StartSearch(*state->query, dialog);
      return TRUE;
    case browse_message::kSearchProgress: {
      const std::wstring text =
          platform::WideFromUtf8(std::to_string(w) + u8"件 (" + std::to_string(l) + "%)");
      SetDlgItemTextW(dialog, IDC_BUSY_TEXT, text.c_str());
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(w) == IDOK) {  // the list's worker ended the search
        StopAnimation(dialog, state);
        EndDialog(dialog, state->stopping ? IDCANCEL : IDOK);
        return TRUE;
      }
      if (LOWORD(w) == IDCANCEL && state != nullptr && !state->stopping) {
        // "停止": the worker stops at its next group and the list posts IDOK.
        state->stopping = true;
        EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
        state->list->CancelSearch();
        return TRUE;
      }
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK UpdateProc(HWND dialog, UINT message, WPARAM w, LPARAM l) {
  auto* state = reinterpret_cast<BusyState*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      state = reinterpret_cast<BusyState*>(l);
      SetWindowLongPtrW(dialog, DWLP_USER, l);
      CentreOver(dialog, state->owner);
      StartAnimation(dialog, state, false);
      SetTimer(dialog, kPollTimer, UpdateWait::kPollMs, nullptr);
      return TRUE;
    case WM_TIMER: {
      if (w != kPollTimer) return FALSE;
      const uint64_t finished =
          state->services->runs_finished ? state->services->runs_finished() : 0;
      const UpdateWait::State now = state->wait->Poll(finished, GetTickCount64());
      if (now != UpdateWait::State::kWaiting) {
        KillTimer(dialog, kPollTimer);
        StopAnimation(dialog, state);
        EndDialog(dialog, now == UpdateWait::State::kFinished ? IDOK : IDCANCEL);
      }
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(w) == IDCANCEL) {  // "停止": the run itself goes on
        KillTimer(dialog, kPollTimer);
        StopAnimation(dialog, state);
        EndDialog(dialog, IDCANCEL);
      }
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

INT_PTR RunSearchDialog(const BrowseServices& services, HWND owner, ListPane* list,
                        const SearchQuery& query) {
  BusyState state;
  state.services = &services;
  state.owner = owner;
  state.animation = browse_resource::kSearchAnimation;
  state.list = list;
  state.query = &query;
  return DialogBoxParamW(services.instance, MAKEINTRESOURCEW(IDD_SEARCHING), owner, SearchProc,
                         reinterpret_cast<LPARAM>(&state));
}

INT_PTR RunUpdateDialog(const BrowseServices& services, HWND owner, uint64_t runs_started) {
  UpdateWait wait(runs_started, GetTickCount64());
  BusyState state;
  state.services = &services;
  state.owner = owner;
  state.animation = browse_resource::kUpdateAnimation;
  state.fallback_text = L"\u66F4\u65B0\u4E2D";  // "更新中"
  state.wait = &wait;
  return DialogBoxParamW(services.instance, MAKEINTRESOURCEW(IDD_UPDATING), owner, UpdateProc,
                         reinterpret_cast<LPARAM>(&state));
}

}  // namespace korvo
