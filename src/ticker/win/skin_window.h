// SkinWindow: the skin window (class "DrawString"), the layered popup that lies directly beneath
// the headline window and paints the skin: the face with its animation, the site name, the
// description, the site icon and the skin's buttons (owner-drawn child windows, ids 300-330).
//
//   messages      0x464-0x48B (ticker/skin_window_messages.h); texts are copied.
//   pointer       hovering the news box pauses the engine; a click on the news box released
//                 within 500 ms opens the item; a press elsewhere drags both windows (snapping to
//                 the screen edges unless several monitors are used); the grips resize with an
//                 outline; a right click opens the ticker menu on the headline window.
//   drops         files dropped on it are passed to the headline window.
//   tooltips      one tooltip control: the item's parts over the skin window and (by the tip
//                 flags) over the headline window, the buttons' own texts.
//
// What it tells the headline window (absolute message numbers of main_window_ids.h): 1136 / 1137
// around a resize, 1158 to open the ticker menu; and the owner through Host.
//
// Everything runs on the window thread; the engine's display thread only sends messages. The
// object must outlive its window.
#ifndef KORVO_TICKER_WIN_SKIN_WINDOW_H_
#define KORVO_TICKER_WIN_SKIN_WINDOW_H_

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "shell/general_settings.h"
#include "shell/main_window_ids.h"
#include "ticker/skin.h"
#include "ticker/skin_animation.h"
#include "ticker/ticker_pointer.h"
#include "ticker/win/site_icon_list.h"
#include "ticker/win/skin_painter.h"
#include "ticker/win/win_util.h"

namespace korvo {

class SkinWindow {
 public:
  // What the skin window asks of the program around it; every member may be empty.
  struct Host {
    std::function<void(EngineCommand)> push_engine_command;
    // Raises a plug-in notification; -1 means a plug-in vetoed it.
    std::function<int(int notification)> notify_plugins;
    // Opens a link with the explicit browser (site links, button links).
    std::function<void(const std::string& link)> open_link_explicitly;
    // Message 0x481: opens a link of the shown list and marks it read; -1 when not listed.
    std::function<int(const std::string& link)> open_listed_link;
    // Message 0x484: the loopback server's port.
    std::function<uint16_t()> server_port;
    // Message 0x47F: the plug-in host places a plug-in window; false when it refuses.
    std::function<bool(void* record)> place_plugin;
    // The face changed size (a resize, a fold, a restore): the owner lays out both windows and
    // remembers the size.
    std::function<void()> size_changed;
    // The skin window moved (a drag): the owner keeps the headline window on the news box.
    std::function<void()> moved;
  };

  static constexpr char kClassName[] = "DrawString";
  // The default site icon (icon resource 180 of the program).
  static constexpr int kDefaultSiteIcon = 180;

  SkinWindow() = default;
  ~SkinWindow();
  SkinWindow(const SkinWindow&) = delete;
  SkinWindow& operator=(const SkinWindow&) = delete;

  static bool RegisterWindowClass(HINSTANCE instance);

  // Creates the window (tool window, layered with colour key magenta, popup, clipping its
  // children), shown, with `headline` as the window it lies beneath.
  bool Create(HINSTANCE instance, HWND headline, Host host, const std::string& cache_folder);
  HWND hwnd() const { return hwnd_; }

  // Applies `skin` (nothing: no skin) with the user's settings: loads the bitmaps, sets the
  // colour key, stops the animation, creates the fonts and the buttons, stores the news box's
  // base size and samples the headline background. False (and no skin) when the skin's bitmap
  // cannot be loaded.
  bool ApplySkin(std::optional<Skin> skin, const GeneralSettings& settings);
  const Skin* skin() const { return skin_ ? &*skin_ : nullptr; }
  // The margins of the news box at the current size; 0 without a skin.
  SkinMargins margins() const;
  // The headline's background (the face's colour at the sample point, or the user's back colour
  // without a skin).
  COLORREF background() const { return background_; }
  COLORREF colour_key() const;

  // Settings the window reads: the general flags (tooltip parts, topmost tooltips), several
  // monitors (no snapping), the tooltip room.
  void SetFlags(uint32_t flags, uint32_t tip_flags, bool multi_monitor);
  void SetTooltipRoom(int room, int top);
  // The ticker menu is open: the pointer pushes no pause.
  void SetMenuOpen(bool open) { menu_open_ = open; }
  // Message 0x478 and 0x47C for the dialogs' duration.
  void SetButtonsDisabled(bool disabled);
  bool frozen() const { return animation_.frozen(); }

  // Puts the window at `rect` (the skin's current size, or without a skin the headline
  // window's rectangle) and rebuilds what depends on the size: the face behind the buttons, the
  // buttons' places, the tooltip tools.
  void Place(const RECT& rect);

  const SkinAnimation& animation() const { return animation_; }
  // The texts it holds (for tests and the headline window's tooltip).
  const std::string& site_name() const { return site_name_; }
  const std::string& description() const { return description_; }
  const std::string& title() const { return title_; }
  std::string TooltipText(uint32_t flags) const;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w, LPARAM l);
  static LRESULT CALLBACK ButtonProc(HWND button, UINT message, WPARAM w, LPARAM l, UINT_PTR id,
                                     DWORD_PTR data);
  LRESULT Handle(UINT message, WPARAM w, LPARAM l);
  bool HandleSkinMessage(UINT message, WPARAM w, LPARAM l, LRESULT* result);
  void ApplyAnimationStep(const SkinAnimation::Step& step);

  void Paint(HDC dc);
  void PaintTexts(HDC dc);
  void DrawFrameNow();
  void DrawButton(const DRAWITEMSTRUCT& item);

  void OnMouseMove(POINT client);
  void OnLeftDown(POINT client);
  void OnLeftUp(POINT client);
  void SetHover(bool hover);
  void MoveTo(POINT skin_position);
  void DrawOutline();
  void EndResize(bool apply);
  bool InNewsBox(POINT client) const;

  HFONT CreateTextFont(int height, bool bold_off, const std::string& face) const;
  void CreateButtons();
  void DestroyButtons();
  void LayoutChildren();
  void SizeChanged();
  int system_major_ = 6;
  void CreateTooltip();
  void UpdateTooltipTools();
  LRESULT OnTooltipNotify(NMHDR* header);
  void OpenSiteLink();
  void RunButton(int index);

  HINSTANCE instance_ = nullptr;
  HWND hwnd_ = nullptr;
  HWND headline_ = nullptr;
  Host host_;
  std::optional<Skin> skin_;
  SkinPainter painter_;
  SkinAnimation animation_;
  COLORREF background_ = 0;
  uint32_t back_colour_ = 0;
  std::unique_ptr<SiteIconList> icons_;

  // The item's texts (copies).
  std::string site_name_;
  std::string site_link_;
  std::string description_;
  std::string created_;
  std::string category_;
  std::string author_;
  std::string title_;

  GdiHandle<HFONT> site_font_;
  GdiHandle<HFONT> desc_font_;

  struct Button {
    SkinButtonDefinition def;
    HWND window = nullptr;
    bool hot = false;
  };
  std::vector<Button> buttons_;
  bool buttons_disabled_ = false;
  bool button_images_ = false;
  GdiHandle<HBITMAP> face_copy_;  // the face at the current size, behind masked buttons

  HWND tooltip_ = nullptr;
  std::wstring tooltip_text_;
  uint32_t flags_ = 0;
  uint32_t tip_flags_ = 63;
  bool multi_monitor_ = false;
  int tooltip_room_ = 0;
  int tooltip_top_ = 0;

  // Pointer state.
  bool hover_ = false;
  bool tracking_leave_ = false;
  bool menu_open_ = false;
  enum class Press { kNone, kNewsBox, kDrag, kResize };
  Press press_ = Press::kNone;
  POINT press_point_ = {};  // client
  POINT grab_offset_ = {};
  ULONGLONG press_time_ = 0;
  bool moved_ = false;
  TickerGrip grip_ = TickerGrip::kNone;
  RECT outline_ = {};
  bool outline_drawn_ = false;
};

}  // namespace korvo

#endif  // KORVO_TICKER_WIN_SKIN_WINDOW_H_
