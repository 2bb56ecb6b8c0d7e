#include "browse/win/properties_dialog.h"

#include <cstdlib>

#include "browse/win/browse_resource.h"
#include "browse/win/browse_win_util.h"
#include "channels/feed_lookup.h"
#include "fetch/credentials.h"
#include "platform/code_page.h"

namespace korvo {

namespace {

constexpr size_t kMaxAddressField = 2047;

struct PropertiesState {
  const BrowseServices* services = nullptr;
  bool folder = false;
  OutlineProperties* properties = nullptr;
  // The credentials typed in the authentication dialog, written on OK.
  bool credentials_changed = false;
  std::string user;
  std::string password;
};

std::string Text(HWND dialog, int id) { return WindowTextCp932(GetDlgItem(dialog, id)); }
void SetText(HWND dialog, int id, const std::string& text) {
  SetWindowTextCp932(GetDlgItem(dialog, id), text);
}
bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
void Check(HWND dialog, int id, bool on) {
  CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
}

void FillCombo(HWND dialog, int id, std::initializer_list<const char*> items, int selected) {
  HWND combo = GetDlgItem(dialog, id);
  for (const char* item : items) {
    SendMessageW(combo, CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(platform::WideFromUtf8(item).c_str()));
  }
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

int Selection(HWND dialog, int id) {
  const LRESULT at = SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
  return at == CB_ERR ? 0 : static_cast<int>(at);
}

int HitChoice(const std::string& value) {
  if (value.compare(0, 5, "noadd") == 0) return 2;
  if (value.compare(0, 3, "add") == 0) return 1;
  return 0;
}

const char* HitValue(int choice) { return choice == 1 ? "add" : (choice == 2 ? "noadd" : ""); }

std::string CredentialsPath(const BrowseServices& services) {
  return services.working_folder + "/password";
}

// The address field as the look-up sees it.
class DialogLookUp : public FeedLookUpDialog {
 public:
  explicit DialogLookUp(HWND dialog) : dialog_(dialog) {}
  std::string Address() override { return Text(dialog_, IDC_PROP_ADDRESS); }
  void SetAddress(const std::string& address) override {
    SetText(dialog_, IDC_PROP_ADDRESS, address);
  }
  void SetFeedFields(const FeedSummary& summary) override {
    SetText(dialog_, IDC_PROP_TITLE, summary.title);
    SetText(dialog_, IDC_PROP_DESCRIPTION, summary.description);
    SetText(dialog_, IDC_PROP_SITE, summary.site_address);
  }
  void ShowWarning(const std::string& text, const std::string& caption) override {
    MessageBoxCp932(dialog_, text, caption, MB_OK | MB_ICONWARNING);
  }

 private:
  HWND dialog_;
};

void ShowFolderForm(HWND dialog, bool folder) {
  for (int id : {IDC_PROP_NO_INHERIT, IDC_PROP_ONLY_NEW, IDC_PROP_DROP, IDC_PROP_FILTER_ON,
                 IDC_PROP_FOLDER_GROUP}) {
    ShowWindow(GetDlgItem(dialog, id), folder ? SW_SHOW : SW_HIDE);
  }
  for (int id : {IDC_PROP_ADDRESS, IDC_PROP_LOOK_UP, IDC_PROP_SITE, IDC_PROP_DISABLE,
                 IDC_PROP_FILTER_BY_NAME, IDC_PROP_REQUEST, IDC_PROP_AUTHENTICATION}) {
    EnableWindow(GetDlgItem(dialog, id), folder ? FALSE : TRUE);
  }
}

void UpdateAuthenticationButton(HWND dialog) {
  EnableWindow(GetDlgItem(dialog, IDC_PROP_AUTHENTICATION),
               Selection(dialog, IDC_PROP_REQUEST) == 1 ? TRUE : FALSE);
}

void Load(HWND dialog, const PropertiesState& state) {
  const OutlineProperties& p = *state.properties;
  SendDlgItemMessageW(dialog, IDC_PROP_ADDRESS, EM_LIMITTEXT, kMaxAddressField, 0);
  SetText(dialog, IDC_PROP_TITLE, p.text);
  SetText(dialog, IDC_PROP_ADDRESS, std::string(DisplayedFeedAddress(p.xmlUrl)));
  SetText(dialog, IDC_PROP_SITE, p.htmlUrl);
  SetText(dialog, IDC_PROP_DESCRIPTION, p.description);
  SetText(dialog, IDC_PROP_KEYWORD, p.keyword);
  if (p.ttl != 0) SetText(dialog, IDC_PROP_TTL, std::to_string(p.ttl));
  Check(dialog, IDC_PROP_DISABLE, p.disable);
  Check(dialog, IDC_PROP_FILTER_BY_NAME, p.filterByName);
  Check(dialog, IDC_PROP_SKIP_ALL, p.skipAll);
  Check(dialog, IDC_PROP_NO_INHERIT, p.noInherit);
  Check(dialog, IDC_PROP_ONLY_NEW, p.onlyNew);
  Check(dialog, IDC_PROP_DROP, p.drop);
  Check(dialog, IDC_PROP_FILTER_ON, p.filterOn);
  FillCombo(dialog, IDC_PROP_HIT_DB, {u8"指定なし", "add", "noadd"}, HitChoice(p.hitDb));
  FillCombo(dialog, IDC_PROP_HIT, {u8"指定なし", "add", "noadd"}, HitChoice(p.hit));
  FillCombo(dialog, IDC_PROP_REQUEST, {u8"なし", "basic", "GET", "POST"},
            RequestChoiceOf(p.authorization));
  ShowFolderForm(dialog, state.folder);
  if (!state.folder) UpdateAuthenticationButton(dialog);
}

void Store(HWND dialog, PropertiesState* state) {
  OutlineProperties& p = *state->properties;
  p.text = Text(dialog, IDC_PROP_TITLE);
  p.description = Text(dialog, IDC_PROP_DESCRIPTION);
  p.keyword = Text(dialog, IDC_PROP_KEYWORD);
  p.ttl = static_cast<uint32_t>(std::strtoul(Text(dialog, IDC_PROP_TTL).c_str(), nullptr, 10));
  p.skipAll = Checked(dialog, IDC_PROP_SKIP_ALL);
  p.hitDb = HitValue(Selection(dialog, IDC_PROP_HIT_DB));
  p.hit = HitValue(Selection(dialog, IDC_PROP_HIT));
  if (state->folder) {
    p.noInherit = Checked(dialog, IDC_PROP_NO_INHERIT);
    p.onlyNew = Checked(dialog, IDC_PROP_ONLY_NEW);
    p.drop = Checked(dialog, IDC_PROP_DROP);
    p.filterOn = Checked(dialog, IDC_PROP_FILTER_ON);
    return;
  }
  p.xmlUrl = MergeEditedFeedAddress(p.xmlUrl, Text(dialog, IDC_PROP_ADDRESS));
  p.htmlUrl = Text(dialog, IDC_PROP_SITE);
  p.disable = Checked(dialog, IDC_PROP_DISABLE);
  p.filterByName = Checked(dialog, IDC_PROP_FILTER_BY_NAME);
  p.authorization = AuthorizationForChoice(p.authorization, Selection(dialog, IDC_PROP_REQUEST));
}

// Writes the credentials typed for the channel's address; a warning when the file could not be
// written (the channel is saved anyway).
void SaveCredentials(HWND dialog, const PropertiesState& state) {
  if (!state.credentials_changed || state.properties->xmlUrl.empty()) return;
  const std::string path = CredentialsPath(*state.services);
  CredentialStore store;
  store.Load(path);
  if (!store.Set(state.properties->xmlUrl, state.user, state.password) || !store.Save(path)) {
    MessageBoxUtf8(dialog, u8"認証情報を保存できませんでした。", u8"エラー",
                   MB_OK | MB_ICONWARNING);
  }
}

// The authentication dialog (178): the user name and password typed for the channel.
bool AskCredentials(HINSTANCE instance, HWND owner, std::string* user, std::string* password) {
  return RunFormDialog(
      instance, IDD_AUTHENTICATION, owner,
      [&](HWND dialog) {
        SetText(dialog, IDC_AUTH_USER, *user);
        SetText(dialog, IDC_AUTH_PASSWORD, *password);
      },
      [&](HWND dialog) {
        *user = Text(dialog, IDC_AUTH_USER);
        *password = Text(dialog, IDC_AUTH_PASSWORD);
        return true;
      });
}

void OnPropertiesCommand(HWND dialog, PropertiesState* state, int id, int code) {
  switch (id) {
    case IDC_PROP_REQUEST:
      if (code == CBN_SELCHANGE) UpdateAuthenticationButton(dialog);
      return;
    case IDC_PROP_LOOK_UP: {
      DialogLookUp fields(dialog);
      LookUpContext context;
      context.working_folder = state->services->working_folder;
      context.download = state->services->download;
      HCURSOR old = SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
      LookUpFeed(&fields, context);
      SetCursor(old);
      return;
    }
    case IDC_PROP_AUTHENTICATION: {
      std::string user = state->user;
      std::string password = state->password;
      if (!state->credentials_changed) {
        const std::string address =
            MergeEditedFeedAddress(state->properties->xmlUrl, Text(dialog, IDC_PROP_ADDRESS));
        LookUpCredentials(CredentialsPath(*state->services), address, &user, &password);
      }
      if (AskCredentials(state->services->instance, dialog, &user, &password)) {
        state->credentials_changed = true;
        state->user = user;
        state->password = password;
      }
      return;
    }
    default:
      return;
  }
}

}  // namespace

bool EditOutlineProperties(const BrowseServices& services, HWND owner, bool folder,
                           OutlineProperties* properties) {
  PropertiesState state;
  state.services = &services;
  state.folder = folder;
  state.properties = properties;
  const OutlineProperties before = *properties;
  const bool ok = RunFormDialog(
      services.instance, IDD_OUTLINE_PROPERTIES, owner,
      [&state](HWND dialog) { Load(dialog, state); },
      [&state](HWND dialog) {
        Store(dialog, &state);
        if (state.properties->text.empty()) {
          MessageBoxUtf8(dialog, u8"タイトルを入力してください。", u8"エラー",
                         MB_OK | MB_ICONWARNING);
          return false;
        }
        SaveCredentials(dialog, state);
        return true;
      },
      [&state](HWND dialog, int id, int code) { OnPropertiesCommand(dialog, &state, id, code); });
  if (!ok) *properties = before;
  return ok;
}

bool EditFavourite(HINSTANCE instance, HWND owner, std::string* name, std::string* address) {
  return RunFormDialog(
      instance, IDD_FAVOURITE_PROPERTIES, owner,
      [&](HWND dialog) {
        SetText(dialog, IDC_FAV_NAME, *name);
        SetText(dialog, IDC_FAV_ADDRESS, *address);
      },
      [&](HWND dialog) {
        const std::string typed = Text(dialog, IDC_FAV_NAME);
        if (typed.empty()) return false;  // a favourite needs a name
        *name = typed;
        *address = Text(dialog, IDC_FAV_ADDRESS);
        return true;
      });
}

}  // namespace korvo
