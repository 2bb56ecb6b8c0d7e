#include "browse/browse_layout.h"

#include <algorithm>

namespace korvo {

namespace {

int Clamp(int value, int low, int high) { return std::max(low, std::min(value, high)); }

}  // namespace

FrameLayout LayOutFrame(int width, int height, int status_height, const PaneSizes& sizes) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  const int content = std::max(height - status_height, 0);
  FrameLayout l;
  l.status = {0, content, width, height};

  const int max_left = std::max(width - kSplitterSize - kMinRightWidth, 0);
  const int left = sizes.left_collapsed ? 0 : Clamp(sizes.left_width, 0, max_left);
  l.left = {0, 0, left, content};
  l.x_splitter = {left, 0, std::min(left + kSplitterSize, width), content};
  const int right = l.x_splitter.right;

  const int max_down = std::max(content - kSplitterSize - kMinPaneHeight, 0);
  const int down = sizes.down_collapsed ? 0 : Clamp(sizes.down_height, 0, max_down);
  const int down_top = content - down;
  l.right_down = {right, down_top, width, content};
  l.y_splitter = {right, std::max(down_top - kSplitterSize, 0), width, down_top};
  l.right_up = {right, 0, width, l.y_splitter.top};

  const int button_top = l.y_splitter.top;
  l.left_button = {right + 2, button_top, right + 2 + kCollapseButtonWidth,
                   button_top + kCollapseButtonHeight};
  const int middle = right + (width - right - kCollapseButtonWidth) / 2;
  const int down_left = std::max(middle, l.left_button.right + 4);
  l.down_button = {down_left, button_top, down_left + kCollapseButtonWidth,
                   button_top + kCollapseButtonHeight};
  l.status_first_part = left + 5;
  return l;
}

SplitterHit HitSplitter(const FrameLayout& layout, int x, int y) {
  if (layout.left_button.Contains(x, y) || layout.down_button.Contains(x, y)) {
    return SplitterHit::kNone;
  }
  if (layout.x_splitter.Contains(x, y)) return SplitterHit::kVertical;
  if (layout.y_splitter.Contains(x, y)) return SplitterHit::kHorizontal;
  return SplitterHit::kNone;
}

void DragVerticalSplitter(int x, int width, PaneSizes* sizes) {
  const int max_left = std::max(width - kSplitterSize - kMinRightWidth, kMinLeftWidth);
  sizes->left_width = Clamp(x, kMinLeftWidth, max_left);
  sizes->left_collapsed = false;
}

void DragHorizontalSplitter(int y, int content_height, PaneSizes* sizes) {
  const int max_down = std::max(content_height - kSplitterSize - kMinPaneHeight, kMinPaneHeight);
  sizes->down_height = Clamp(content_height - y - kSplitterSize / 2, kMinPaneHeight, max_down);
  sizes->down_collapsed = false;
}

PaneSizes PaneSizesFromGeometry(const BrowseGeometry& g) {
  PaneSizes sizes;
  sizes.left_collapsed = g.x_min != 0;
  sizes.down_collapsed = g.y_min != 0;
  // A collapsed pane stored 0 in its splitter position; its size to restore is x_width/y_height.
  const int left = sizes.left_collapsed ? g.x_width : (g.x_left > 0 ? g.x_left : g.x_width);
  const int down = sizes.down_collapsed ? g.y_height : (g.rd_height > 0 ? g.rd_height : g.y_height);
  sizes.left_width = left > 0 ? left : kDefaultLeftWidth;
  sizes.down_height = down > 0 ? down : kDefaultDownHeight;
  return sizes;
}

void StoreLayout(const PaneSizes& sizes, const FrameLayout& l, const PaneRect& frame,
                 BrowseGeometry* g) {
  g->x_pos = frame.left;
  g->y_pos = frame.top;
  g->width = frame.width();
  g->height = frame.height();
  g->rd_height = l.right_down.height();
  g->x_left = l.x_splitter.left;
  g->x_top = l.x_splitter.top;
  g->x_right = l.x_splitter.right;
  g->x_bottom = l.x_splitter.bottom;
  g->y_left = l.y_splitter.left;
  g->y_top = l.y_splitter.top;
  g->y_right = l.y_splitter.right;
  g->y_bottom = l.y_splitter.bottom;
  g->x_width = sizes.left_width;
  g->y_height = sizes.down_height;
  g->x_min = sizes.left_collapsed ? 1 : 0;
  g->y_min = sizes.down_collapsed ? 1 : 0;
}

PaneRect FrameRectangle(const BrowseGeometry& g, const PaneRect& work) {
  constexpr int kVisible = 40;
  if (g.width > 0 && g.height > 0) {
    const PaneRect stored = {g.x_pos, g.y_pos, g.x_pos + g.width, g.y_pos + g.height};
    const int overlap_x = std::min(stored.right, work.right) - std::max(stored.left, work.left);
    const int overlap_y = std::min(stored.bottom, work.bottom) - std::max(stored.top, work.top);
    if (overlap_x >= kVisible && overlap_y >= kVisible) return stored;
  }
  const int w = std::min(kDefaultFrameWidth, std::max(work.width(), 200));
  const int h = std::min(kDefaultFrameHeight, std::max(work.height(), 150));
  const int x = work.left + (work.width() - w) / 2;
  const int y = work.top + (work.height() - h) / 2;
  return {x, y, x + w, y + h};
}

}  // namespace korvo
