// "DescWindow" (id 301): the summary of the selected item in the bottom-right pane. Label and
// value pairs "サイト", "タイトル", "カテゴリー", "作成者", "取得日", "作成日", "チェック日", "URL"
// (labels 12-pixel bold, values 12 pixels in read-only edits, the link 16 pixels), the title in
// blue and underlined, opening the item's link in a new browser tab when clicked (hand cursor),
// and below the description in a read-only, multi-line, scrolling edit with 5-pixel margins in
// the `desc_font`. Dates are W3C-DTF with the local offset. Panel colour 0xDEEBEF, frame pen
// 0x9CAAAC (BGR).
//
// It sends its parent 0x460 (lParam: the CP932 link, valid during the call) for the title click.
// Window thread.
#ifndef KORVO_BROWSE_WIN_DESC_WINDOW_H_
#define KORVO_BROWSE_WIN_DESC_WINDOW_H_

#include <windows.h>

#include <array>
#include <string>

#include "browse/win/browse_services.h"
#include "browse/win/browse_win_util.h"
#include "browse/win/pane_window.h"
#include "store/news_item.h"

namespace korvo {

class DescWindow : public PaneWindow {
 public:
  static constexpr wchar_t kClassName[] = L"DescWindow";
  static constexpr int kFieldCount = 8;

  explicit DescWindow(const BrowseServices& services) : services_(services) {}
  ~DescWindow() override;
  bool Create(HWND parent, const RECT& rect);

  // Shows a record (or, for number 0, the texts the list had).
  void Show(const NewsItem& item);
  void Clear();
  const std::string& link() const { return link_; }

 protected:
  LRESULT Handle(UINT message, WPARAM w, LPARAM l) override;

 private:
  void LayOut();
  void LoadDescriptionFont();

  const BrowseServices& services_;
  std::array<HWND, kFieldCount> labels_{};
  std::array<HWND, kFieldCount> values_{};
  HWND description_ = nullptr;
  OwnedFont label_font_, value_font_, link_font_, title_font_, description_font_;
  HBRUSH panel_brush_ = nullptr;
  std::string link_;
  int label_width_ = 70;
};

// The summary's date text: W3C-DTF ("2006-01-02T03:04:00+09:00"), or "" for an empty date.
std::string SummaryDate(const PackedDate& date, int offset_minutes);

}  // namespace korvo

#endif  // KORVO_BROWSE_WIN_DESC_WINDOW_H_
