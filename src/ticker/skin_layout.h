// SkinLayout: the geometry of a loaded skin: the face's base and current size, the news box
// margins, the stretch columns and rows, the minimum size, resizing with the skin's rules,
// folding and restoring, positions counted from the right or bottom edge, the plug-in area and
// the tiles of the bitmap that hold the face and its animation frames.
//
// Sizes are pixels. "Base" is the face size the skin gives (skininfo width x height, or the
// bitmap's size); the bitmap holds base-size tiles. The current size is what the window has.
//
// A plain value; the skin window owns one on the window thread.
#ifndef KORVO_TICKER_SKIN_LAYOUT_H_
#define KORVO_TICKER_SKIN_LAYOUT_H_

#include <cstdint>

#include "ticker/skin_definition.h"

namespace korvo {

struct SkinRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  int right() const { return x + width; }
  int bottom() const { return y + height; }
  bool Contains(int px, int py) const {
    return px >= x && px < right() && py >= y && py < bottom();
  }
  bool operator==(const SkinRect& o) const {
    return x == o.x && y == o.y && width == o.width && height == o.height;
  }
};

struct SkinMargins {
  int left = 0;
  int right = 0;
  int top = 0;
  int bottom = 0;
  // The engine's packed forms: left | right << 16, top | bottom << 16 (also saved as xSp, ySp).
  uint32_t packed_x() const;
  uint32_t packed_y() const;
  bool operator==(const SkinMargins& o) const {
    return left == o.left && right == o.right && top == o.top && bottom == o.bottom;
  }
};

struct SkinSize {
  int width = 0;
  int height = 0;
  bool operator==(const SkinSize& o) const { return width == o.width && height == o.height; }
};

class SkinLayout {
 public:
  // Folding smaller than this many pixels above the minimum remembers the base size instead.
  static constexpr int kFoldMinimumGap = 10;

  SkinLayout() = default;
  // Loading steps 2-4: the face size (skininfo width x height, or the bitmap's whole size when
  // either is 0), the margins (right and bottom never negative; left and top kept inside the
  // face) and the stretch defaults (stretch_x_end 0: from the news box's left to the face width
  // minus the right margin; likewise for y). Stretch values outside the face are clamped to it.
  SkinLayout(const SkinDefinition& def, int bitmap_width, int bitmap_height);

  SkinSize base_size() const { return {base_width_, base_height_}; }
  SkinSize size() const { return {width_, height_}; }
  int bitmap_width() const { return bitmap_width_; }
  int bitmap_height() const { return bitmap_height_; }
  // The margins at the current size: the base ones, except that with no_change_width (height)
  // the news box keeps its base width (height) and the right (bottom) margin takes the rest.
  SkinMargins margins() const;
  SkinMargins base_margins() const { return base_margins_; }
  SkinSize news_box_base_size() const { return {box_base_width_, box_base_height_}; }
  // Message 0x47E: the news box's base size as the skin window was told it.
  void SetNewsBoxBaseSize(int width, int height) {
    box_base_width_ = width < 0 ? 0 : width;
    box_base_height_ = height < 0 ? 0 : height;
  }
  // The news box at the current size, in face coordinates.
  SkinRect news_box() const;
  int stretch_x_start() const { return stretch_x_st_; }
  int stretch_x_end() const { return stretch_x_end_; }
  int stretch_y_start() const { return stretch_y_st_; }
  int stretch_y_end() const { return stretch_y_end_; }

  // stretch_x_st + (base width - stretch_x_end), and the same for the height.
  SkinSize minimum_size() const;

  // user.ini's stored size (loading step 5): taken when both are non-zero and neither is below
  // the minimum; true when taken.
  bool ApplyStoredSize(int width, int height);

  // A new size asked for (a resize grip, a plug-in): raised to the minimum; variable_size 1 keeps
  // the base height, 2 the base width, any value but 0, 1 and 2 keeps the current size. Ends a
  // fold. Returns the size taken.
  SkinSize Resize(int width, int height);
  // Resizes so that the news box becomes `box_width` x `box_height` (0 keeps that dimension).
  SkinSize ResizeNewsBox(int box_width, int box_height);
  // Fold or unfold the height (or, with `width_axis`, the width): the first call remembers the
  // current size (the base size when the current one is less than kFoldMinimumGap above the
  // minimum) and shrinks to the minimum; the next returns to the remembered size.
  SkinSize ToggleFold(bool width_axis = false);
  bool folded() const { return folded_height_ || folded_width_; }
  // Back to the base size.
  SkinSize Restore();
  // Whether the current size differs from the base size (what user.ini keeps at exit).
  bool resized() const { return width_ != base_width_ || height_ != base_height_; }

  // A rectangle of the skin file at the current size: a negative x (y) counts from the face's
  // right (bottom) edge.
  SkinRect Place(int x, int y, int width, int height) const;
  // The plug-in area: placed like the others, and grown by as much as the face has grown.
  SkinRect PluginArea(const SkinDefinition& def) const;

  // Bitmap tiles. Tile (column, row) of the face: (column x base width, row x base height), base
  // size. Animation frame `frame` of row `row` in the animated area: (base width + frame x
  // anime_width, row x base height), anime_width x anime_height.
  SkinRect FaceTile(int column, int row) const;
  SkinRect AreaFrame(int frame, int row) const;
  // Where an animated area's frames are drawn on the face (placed like the other rectangles);
  // width 0 when the skin animates whole faces.
  SkinRect AnimatedArea() const;
  bool has_animated_area() const { return anime_width_ > 0 && anime_height_ > 0; }
  // Frames of an animation row: with an animated area (bitmap width - base width) / anime_width,
  // else bitmap width / base width; 0 when the base width is 0.
  int FrameCount() const;
  // Rows the bitmap holds (bitmap height / base height), at least 1.
  int RowCount() const;

  // Where the headline's background (and colour key) is read on the face: (news box x + 5,
  // news box y + 5), inside the face.
  void BackgroundSamplePoint(int* x, int* y) const;

 private:
  SkinSize ApplySize(int width, int height);

  int bitmap_width_ = 0;
  int bitmap_height_ = 0;
  int base_width_ = 0;
  int base_height_ = 0;
  int width_ = 0;
  int height_ = 0;
  SkinMargins base_margins_;
  int box_base_width_ = 0;
  int box_base_height_ = 0;
  int stretch_x_st_ = 0;
  int stretch_x_end_ = 0;
  int stretch_y_st_ = 0;
  int stretch_y_end_ = 0;
  int anime_x_ = 0;
  int anime_y_ = 0;
  int anime_width_ = 0;
  int anime_height_ = 0;
  int variable_size_ = 0;
  bool no_change_width_ = false;
  bool no_change_height_ = false;
  bool folded_height_ = false;
  bool folded_width_ = false;
  SkinSize before_fold_;
};

}  // namespace korvo

#endif  // KORVO_TICKER_SKIN_LAYOUT_H_
