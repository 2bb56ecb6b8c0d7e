#include "ticker/win/hotkey_dialog.h"

#include "ticker/win/ticker_resource_ids.h"
#include "ticker/win/win_util.h"

namespace korvo {

bool WindowHotkeyRegistrar::Register(int id, int modifiers, int key) {
  return RegisterHotKey(window_, id, static_cast<UINT>(modifiers), static_cast<UINT>(key)) != 0;
}

void WindowHotkeyRegistrar::Unregister(int id) { UnregisterHotKey(window_, id); }

namespace {

struct DialogState {
  HotkeySettings current;
  HotkeySettings* chosen;
};

template <size_t N>
void Fill(HWND combo, const std::array<HotkeyChoice, N>& choices, int code) {
  for (const HotkeyChoice& c : choices) {
    const std::wstring name = WideText(c.name);
    const LRESULT at = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    if (at >= 0) SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(at), c.code);
  }
  // A stored combination no entry shows leaves the drop-down without a selection.
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(HotkeyChoiceIndex(choices, code)), 0);
}

template <size_t N>
int Chosen(HWND combo, const std::array<HotkeyChoice, N>& choices, int stored) {
  const LRESULT selected = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  if (selected == CB_ERR) return stored;
  const LRESULT code = SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(selected), 0);
  return HotkeyChosenCode(choices, HotkeyChoiceIndex(choices, static_cast<int>(code)), stored);
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrW(dialog, DWLP_USER, l);
      const auto* state = reinterpret_cast<const DialogState*>(l);
      for (int i = 0; i < kHotkeyCount; ++i) {
        const HotkeyBinding& b = state->current.bindings[static_cast<size_t>(i)];
        Fill(GetDlgItem(dialog, IDC_HOTKEY_MOD_FIRST + i), HotkeyModifierChoices(), b.modifiers);
        Fill(GetDlgItem(dialog, IDC_HOTKEY_KEY_FIRST + i), HotkeyKeyChoices(), b.key);
      }
      CheckDlgButton(dialog, IDC_HOTKEY_ENABLED,
                     state->current.enabled ? BST_CHECKED : BST_UNCHECKED);
      return TRUE;
    }
    case WM_COMMAND: {
      auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
      if (LOWORD(w) == IDOK && state != nullptr) {
        HotkeySettings s = state->current;
        for (int i = 0; i < kHotkeyCount; ++i) {
          HotkeyBinding& b = s.bindings[static_cast<size_t>(i)];
          b.modifiers = Chosen(GetDlgItem(dialog, IDC_HOTKEY_MOD_FIRST + i),
                               HotkeyModifierChoices(), b.modifiers);
          b.key = Chosen(GetDlgItem(dialog, IDC_HOTKEY_KEY_FIRST + i), HotkeyKeyChoices(), b.key);
        }
        s.enabled = IsDlgButtonChecked(dialog, IDC_HOTKEY_ENABLED) == BST_CHECKED;
        *state->chosen = s;
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(w) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    }
    default:
      return FALSE;
  }
}

}  // namespace

bool ShowHotkeyDialog(HINSTANCE instance, HWND owner, int resource, const HotkeySettings& current,
                      HotkeySettings* chosen) {
  DialogState state = {current, chosen};
  return DialogBoxParamW(instance, MAKEINTRESOURCEW(resource), owner, DialogProc,
                         reinterpret_cast<LPARAM>(&state)) == IDOK;
}

}  // namespace korvo
