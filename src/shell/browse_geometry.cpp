#include "shell/browse_geometry.h"

#include <utility>

#include "shell/profile_file.h"

namespace korvo {

namespace {

constexpr char kSection[] = "search_window";

// The single integer keys in record order, with their fields.
template <typename Geometry>
auto SingleFields(Geometry& g) {
  using Field = decltype(&g.x_pos);
  return std::array<std::pair<const char*, Field>, 17>{{
      {"x_pos", &g.x_pos},
      {"y_pos", &g.y_pos},
      {"width", &g.width},
      {"height", &g.height},
      {"rd_height", &g.rd_height},
      {"x_min", &g.x_min},
      {"y_min", &g.y_min},
      {"x_width", &g.x_width},
      {"y_height", &g.y_height},
      {"x_left", &g.x_left},
      {"x_top", &g.x_top},
      {"x_right", &g.x_right},
      {"x_bottom", &g.x_bottom},
      {"y_left", &g.y_left},
      {"y_top", &g.y_top},
      {"y_right", &g.y_right},
      {"y_bottom", &g.y_bottom},
  }};
}

std::string Numbered(const char* stem, size_t i) { return stem + std::to_string(i); }

}  // namespace

BrowseGeometry LoadBrowseGeometry(const std::string& folder) {
  ProfileFile ini;
  ini.Load(folder + "/setup.ini");
  BrowseGeometry g;
  for (auto& [key, field] : SingleFields(g)) *field = ini.GetInt(kSection, key, 0);
  g.x_min = g.x_min > 0 ? 1 : 0;
  g.y_min = g.y_min > 0 ? 1 : 0;
  for (size_t i = 0; i < g.columns.size(); ++i) {
    g.columns[i] = ini.GetInt(kSection, Numbered("col", i), 0);
  }
  for (size_t i = 0; i < g.fields.size(); ++i) {
    g.fields[i] = ini.GetInt(kSection, Numbered("field", i), 0);
  }
  return g;
}

bool SaveBrowseGeometry(const std::string& folder, const BrowseGeometry& geometry) {
  ProfileFileLock lock;
  ProfileFile ini;
  if (!ini.Load(folder + "/setup.ini")) return false;
  for (const auto& [key, field] : SingleFields(geometry)) ini.PutInt(kSection, key, *field);
  for (size_t i = 0; i < geometry.columns.size(); ++i) {
    ini.PutInt(kSection, Numbered("col", i), geometry.columns[i]);
  }
  for (size_t i = 0; i < geometry.fields.size(); ++i) {
    ini.PutInt(kSection, Numbered("field", i), geometry.fields[i]);
  }
  return ini.Save();
}

}  // namespace korvo
