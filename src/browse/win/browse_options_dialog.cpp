#include "browse/win/browse_options_dialog.h"

#include <commdlg.h>

#include <array>

#include "browse/browse_fonts.h"
#include "browse/browse_ids.h"
#include "browse/win/browse_resource.h"
#include "browse/win/browse_win_util.h"

namespace korvo {

namespace {

struct FontRow {
  int choose;
  int reset;
  int sample;
  const char* section;
};

constexpr FontRow kRows[] = {
    {IDC_FONT_DESC, IDC_FONT_DESC_RESET, IDC_FONT_DESC_SAMPLE, kDescFontSection},
    {IDC_FONT_LIST, IDC_FONT_LIST_RESET, IDC_FONT_LIST_SAMPLE, kListFontSection},
    {IDC_FONT_FAVOURITES, IDC_FONT_FAVOURITES_RESET, IDC_FONT_FAVOURITES_SAMPLE,
     kFavouritesFontSection},
    {IDC_FONT_CHANNELS, IDC_FONT_CHANNELS_RESET, IDC_FONT_CHANNELS_SAMPLE, kChannelsFontSection},
};

struct OptionsState {
  const BrowseServices* services = nullptr;
  HWND browse_window = nullptr;
  std::array<HFONT, 4> samples{};  // the fonts the samples draw with
};

void ShowSample(HWND dialog, OptionsState* state, size_t row) {
  HFONT font = MakeFont(LoadBrowseFont(state->services->working_folder, kRows[row].section));
  SendDlgItemMessageW(dialog, kRows[row].sample, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  if (state->samples[row] != nullptr) DeleteObject(state->samples[row]);
  state->samples[row] = font;
}

void Store(HWND dialog, OptionsState* state, size_t row, const TitleFont& font) {
  if (!SaveBrowseFont(state->services->working_folder, kRows[row].section, font)) {
    MessageBoxUtf8(dialog, u8"setup.ini を書き込めませんでした。", u8"エラー",
                   MB_OK | MB_ICONWARNING);
    return;
  }
  ShowSample(dialog, state, row);
  if (state->browse_window != nullptr) {
    SendMessageW(state->browse_window, browse_message::kFontChanged, 0,
                 reinterpret_cast<LPARAM>(kRows[row].section));
  }
}

void Choose(HWND dialog, OptionsState* state, size_t row) {
  LOGFONTW font = ToLogFont(LoadBrowseFont(state->services->working_folder, kRows[row].section));
  CHOOSEFONTW choose = {};
  choose.lStructSize = sizeof choose;
  choose.hwndOwner = dialog;
  choose.lpLogFont = &font;
  choose.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
  if (ChooseFontW(&choose)) Store(dialog, state, row, FromLogFont(font));
}

}  // namespace

void RunBrowseOptionsDialog(const BrowseServices& services, HWND browse_window) {
  OptionsState state;
  state.services = &services;
  state.browse_window = browse_window;
  RunFormDialog(
      services.instance, IDD_BROWSE_OPTIONS, browse_window,
      [&state](HWND dialog) {
        for (size_t i = 0; i < std::size(kRows); ++i) ShowSample(dialog, &state, i);
      },
      nullptr,
      [&state](HWND dialog, int id, int) {
        for (size_t i = 0; i < std::size(kRows); ++i) {
          if (id == kRows[i].choose) Choose(dialog, &state, i);
          if (id == kRows[i].reset) Store(dialog, &state, i, DefaultBrowseFont(kRows[i].section));
        }
      });
  for (HFONT font : state.samples) {
    if (font != nullptr) DeleteObject(font);
  }
}

}  // namespace korvo
