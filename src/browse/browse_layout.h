// The browse window's frame layout: where the left pane, the two right panes, the two splitters
// and the two collapse buttons go in the frame's client area, how the splitters and the collapse
// buttons change the pane sizes, and how all of it maps to the layout record (section
// "search_window" of setup.ini, shell/browse_geometry.h).
//
// The frame is, from left to right: the left pane, the vertical splitter, and the right column,
// which holds the list pane, the horizontal splitter and the bottom-right pane from top to bottom;
// the status bar spans the bottom. Both collapse buttons (50 x 7) sit in the horizontal splitter:
// the left pane's (152) at its left end, the bottom-right pane's (151) in its middle, so both stay
// reachable whatever is collapsed.
//
// Layout record keys: x_left .. x_bottom the vertical splitter's rectangle (x_left is the left
// pane's width), y_left .. y_bottom the horizontal splitter's, rd_height the bottom-right pane's
// height, x_width / y_height the sizes a collapsed pane gets back, x_min / y_min the collapse
// states, x_pos .. height the frame's screen rectangle.
//
// Pure functions; used on the window thread.
#ifndef KORVO_BROWSE_BROWSE_LAYOUT_H_
#define KORVO_BROWSE_BROWSE_LAYOUT_H_

#include "shell/browse_geometry.h"

namespace korvo {

constexpr int kSplitterSize = 7;
constexpr int kCollapseButtonWidth = 50;
constexpr int kCollapseButtonHeight = 7;
constexpr int kDefaultLeftWidth = 230;
constexpr int kDefaultDownHeight = 280;
constexpr int kMinLeftWidth = 60;
constexpr int kMinRightWidth = 120;
constexpr int kMinPaneHeight = 40;
constexpr int kDefaultFrameWidth = 960;
constexpr int kDefaultFrameHeight = 680;

struct PaneRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  bool operator==(const PaneRect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};

// The pane sizes the user chose.
struct PaneSizes {
  int left_width = kDefaultLeftWidth;  // the open left pane's width
  int down_height = kDefaultDownHeight;
  bool left_collapsed = false;
  bool down_collapsed = false;
};

struct FrameLayout {
  PaneRect left, right_up, right_down;
  PaneRect x_splitter, y_splitter;
  PaneRect left_button, down_button;  // 152 and 151
  PaneRect status;
  int status_first_part = 0;  // the left pane's width plus 5
};

// The layout of a client area of `width` x `height` with a status bar `status_height` high. Pane
// sizes that do not fit are narrowed (the stored sizes stay as they are).
FrameLayout LayOutFrame(int width, int height, int status_height, const PaneSizes& sizes);

// Which splitter (if any) lies under the client point.
enum class SplitterHit { kNone, kVertical, kHorizontal };
SplitterHit HitSplitter(const FrameLayout& layout, int x, int y);

// The left pane's width for the vertical splitter dragged to `x` in a client area `width` wide;
// dragging opens a collapsed pane.
void DragVerticalSplitter(int x, int width, PaneSizes* sizes);
// The bottom-right pane's height for the horizontal splitter dragged to `y`, with the content
// (client minus status bar) `content_height` high.
void DragHorizontalSplitter(int y, int content_height, PaneSizes* sizes);

// The collapse buttons: the pane goes to 0 or back to the size it had.
inline void ToggleLeftPane(PaneSizes* sizes) { sizes->left_collapsed = !sizes->left_collapsed; }
inline void ToggleDownPane(PaneSizes* sizes) { sizes->down_collapsed = !sizes->down_collapsed; }

// The pane sizes a layout record gives (defaults for keys that are 0).
PaneSizes PaneSizesFromGeometry(const BrowseGeometry& geometry);

// Writes the panes, the splitters and the frame rectangle into the record; the columns and the
// field check boxes are the panes' own.
void StoreLayout(const PaneSizes& sizes, const FrameLayout& layout, const PaneRect& frame,
                 BrowseGeometry* geometry);

// The frame's screen rectangle: the stored one when it has a size and overlaps the work area by
// at least 40 pixels each way, else the default size centred in the work area.
PaneRect FrameRectangle(const BrowseGeometry& geometry, const PaneRect& work_area);

}  // namespace korvo

#endif  // KORVO_BROWSE_BROWSE_LAYOUT_H_
