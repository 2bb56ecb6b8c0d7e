#include "ticker/skin_layout.h"

#include <algorithm>

namespace korvo {

namespace {

int Clamp(int v, int lo, int hi) { return std::max(lo, std::min(v, hi)); }

uint32_t Pack(int low, int high) {
  return (static_cast<uint32_t>(low) & 0xFFFF) | (static_cast<uint32_t>(high) & 0xFFFF) << 16;
}

}  // namespace

uint32_t SkinMargins::packed_x() const { return Pack(left, right); }
uint32_t SkinMargins::packed_y() const { return Pack(top, bottom); }

SkinLayout::SkinLayout(const SkinDefinition& def, int bitmap_width, int bitmap_height)
    : bitmap_width_(std::max(0, bitmap_width)), bitmap_height_(std::max(0, bitmap_height)) {
  if (def.face_width != 0 && def.face_height != 0) {
    base_width_ = std::max(0, def.face_width);
    base_height_ = std::max(0, def.face_height);
  } else {
    base_width_ = bitmap_width_;
    base_height_ = bitmap_height_;
  }
  width_ = base_width_;
  height_ = base_height_;

  base_margins_.left = Clamp(def.box_x, 0, base_width_);
  base_margins_.top = Clamp(def.box_y, 0, base_height_);
  base_margins_.right = std::max(0, base_width_ - def.box_width - def.box_x);
  base_margins_.bottom = std::max(0, base_height_ - def.box_height - def.box_y);
  box_base_width_ = std::max(0, base_width_ - base_margins_.left - base_margins_.right);
  box_base_height_ = std::max(0, base_height_ - base_margins_.top - base_margins_.bottom);

  stretch_x_st_ = def.stretch_x_st;
  stretch_x_end_ = def.stretch_x_end;
  if (stretch_x_end_ == 0) {
    stretch_x_st_ = base_margins_.left;
    stretch_x_end_ = base_width_ - base_margins_.right;
  }
  stretch_y_st_ = def.stretch_y_st;
  stretch_y_end_ = def.stretch_y_end;
  if (stretch_y_end_ == 0) {
    stretch_y_st_ = base_margins_.top;
    stretch_y_end_ = base_height_ - base_margins_.bottom;
  }
  // A file's columns outside the face, or in the wrong order, would make negative slices.
  stretch_x_end_ = Clamp(stretch_x_end_, 0, base_width_);
  stretch_x_st_ = Clamp(stretch_x_st_, 0, stretch_x_end_);
  stretch_y_end_ = Clamp(stretch_y_end_, 0, base_height_);
  stretch_y_st_ = Clamp(stretch_y_st_, 0, stretch_y_end_);

  if (def.has_animated_area() && def.anime_width > 0 && def.anime_height > 0) {
    anime_x_ = def.anime_x;
    anime_y_ = def.anime_y;
    anime_width_ = def.anime_width;
    anime_height_ = def.anime_height;
  }
  variable_size_ = def.variable_size;
  no_change_width_ = def.no_change_width;
  no_change_height_ = def.no_change_height;
}

SkinMargins SkinLayout::margins() const {
  SkinMargins m = base_margins_;
  if (no_change_width_) m.right = std::max(0, width_ - m.left - box_base_width_);
  if (no_change_height_) m.bottom = std::max(0, height_ - m.top - box_base_height_);
  return m;
}

SkinRect SkinLayout::news_box() const {
  const SkinMargins m = margins();
  return {m.left, m.top, std::max(0, width_ - m.left - m.right),
          std::max(0, height_ - m.top - m.bottom)};
}

SkinSize SkinLayout::minimum_size() const {
  return {std::max(1, stretch_x_st_ + (base_width_ - stretch_x_end_)),
          std::max(1, stretch_y_st_ + (base_height_ - stretch_y_end_))};
}

SkinSize SkinLayout::ApplySize(int width, int height) {
  const SkinSize minimum = minimum_size();
  width_ = std::max(width, minimum.width);
  height_ = std::max(height, minimum.height);
  return size();
}

bool SkinLayout::ApplyStoredSize(int width, int height) {
  if (width == 0 || height == 0) return false;
  const SkinSize minimum = minimum_size();
  if (width < minimum.width || height < minimum.height) return false;
  width_ = width;
  height_ = height;
  return true;
}

SkinSize SkinLayout::Resize(int width, int height) {
  switch (variable_size_) {
    case 0:
      break;
    case 1:
      height = base_height_;
      break;
    case 2:
      width = base_width_;
      break;
    default:
      return size();
  }
  folded_height_ = folded_width_ = false;
  return ApplySize(width, height);
}

SkinSize SkinLayout::ResizeNewsBox(int box_width, int box_height) {
  const SkinMargins m = base_margins_;
  const int width = box_width > 0 ? box_width + m.left + m.right : width_;
  const int height = box_height > 0 ? box_height + m.top + m.bottom : height_;
  return Resize(width, height);
}

SkinSize SkinLayout::ToggleFold(bool width_axis) {
  // The axis has to be resizable at all.
  const bool allowed =
      variable_size_ == 0 || (width_axis ? variable_size_ == 1 : variable_size_ == 2);
  if (!allowed) return size();
  const SkinSize minimum = minimum_size();
  bool& folded = width_axis ? folded_width_ : folded_height_;
  if (!folded) {
    if (width_axis) {
      before_fold_.width = width_ - minimum.width < kFoldMinimumGap ? base_width_ : width_;
      width_ = minimum.width;
    } else {
      before_fold_.height = height_ - minimum.height < kFoldMinimumGap ? base_height_ : height_;
      height_ = minimum.height;
    }
    folded = true;
  } else {
    if (width_axis) {
      width_ = std::max(before_fold_.width, minimum.width);
    } else {
      height_ = std::max(before_fold_.height, minimum.height);
    }
    folded = false;
  }
  return size();
}

SkinSize SkinLayout::Restore() {
  folded_height_ = folded_width_ = false;
  width_ = base_width_;
  height_ = base_height_;
  return size();
}

SkinRect SkinLayout::Place(int x, int y, int width, int height) const {
  return {x < 0 ? width_ + x : x, y < 0 ? height_ + y : y, width, height};
}

SkinRect SkinLayout::PluginArea(const SkinDefinition& def) const {
  SkinRect area = Place(def.plugin_x, def.plugin_y, def.plugin_width, def.plugin_height);
  if (area.width > 0) area.width = std::max(0, area.width + width_ - base_width_);
  if (area.height > 0) area.height = std::max(0, area.height + height_ - base_height_);
  return area;
}

SkinRect SkinLayout::FaceTile(int column, int row) const {
  return {column * base_width_, row * base_height_, base_width_, base_height_};
}

SkinRect SkinLayout::AreaFrame(int frame, int row) const {
  return {base_width_ + frame * anime_width_, row * base_height_, anime_width_, anime_height_};
}

SkinRect SkinLayout::AnimatedArea() const {
  if (!has_animated_area()) return {};
  return Place(anime_x_, anime_y_, anime_width_, anime_height_);
}

int SkinLayout::FrameCount() const {
  if (base_width_ <= 0) return 0;
  if (has_animated_area()) return std::max(0, (bitmap_width_ - base_width_) / anime_width_);
  return bitmap_width_ / base_width_;
}

int SkinLayout::RowCount() const {
  if (base_height_ <= 0) return 1;
  return std::max(1, bitmap_height_ / base_height_);
}

void SkinLayout::BackgroundSamplePoint(int* x, int* y) const {
  const SkinMargins m = margins();
  *x = Clamp(m.left + 5, 0, std::max(0, width_ - 1));
  *y = Clamp(m.top + 5, 0, std::max(0, height_ - 1));
}

}  // namespace korvo
