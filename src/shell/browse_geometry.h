// The browse window's geometry: section `search_window` of setup.ini. The values mean what the
// browse window makes of them; here they are only stored.
#ifndef KORVO_SHELL_BROWSE_GEOMETRY_H_
#define KORVO_SHELL_BROWSE_GEOMETRY_H_

#include <array>
#include <cstdint>
#include <string>

namespace korvo {

struct BrowseGeometry {  // every key defaults to 0
  int32_t x_pos = 0, y_pos = 0, width = 0, height = 0, rd_height = 0;
  int32_t x_min = 0, y_min = 0;  // 0 or 1
  int32_t x_width = 0, y_height = 0;
  int32_t x_left = 0, x_top = 0, x_right = 0, x_bottom = 0;
  int32_t y_left = 0, y_top = 0, y_right = 0, y_bottom = 0;
  std::array<int32_t, 12> columns{};  // "col0" ... "col11": list column widths
  std::array<int32_t, 7> fields{};    // "field0" ... "field6": field slots
};

// Reads section `search_window` of setup.ini in `folder`; "x_min" and "y_min" become 1 when the
// value read is greater than 0, else 0.
BrowseGeometry LoadBrowseGeometry(const std::string& folder);

// Writes every key with "%d"; false when setup.ini could not be written.
bool SaveBrowseGeometry(const std::string& folder, const BrowseGeometry& geometry);

}  // namespace korvo

#endif  // KORVO_SHELL_BROWSE_GEOMETRY_H_
