#include "app/win/window_classes.h"

#include "app/win/font_view_window.h"
#include "app/win/main_window.h"
#include "browse/win/browse_window.h"
#include "store/win/progress_window.h"

namespace korvo {

bool RegisterWindowClasses(HINSTANCE instance, const std::wstring& main_class_name) {
  const bool main = MainWindow::RegisterWindowClass(instance, main_class_name);
  const bool message = RegisterMessageWindowClass(instance);
  const bool font_view = RegisterFontViewWindowClass(instance);
  const bool browse = BrowseWindow::RegisterClasses(instance);
  return main && message && font_view && browse;
}

}  // namespace korvo
