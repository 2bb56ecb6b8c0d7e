// The window classes korvo.exe registers at start, in this order: "DIGITAL" (the main window;
// its name is string resource 109), "MyMessageWindow" (the progress window) and "FontViewWindow"
// (the options dialog's font sample), all redrawn on size changes with icon 107 and no menu; then
// the browse window's classes ("NewsBrowseWindow", its panes, "EditOpmlView", "EditFavView").
#ifndef KORVO_APP_WIN_WINDOW_CLASSES_H_
#define KORVO_APP_WIN_WINDOW_CLASSES_H_

#include <windows.h>

#include <string>

namespace korvo {

// True when all the classes exist afterwards.
bool RegisterWindowClasses(HINSTANCE instance, const std::wstring& main_class_name);

}  // namespace korvo

#endif  // KORVO_APP_WIN_WINDOW_CLASSES_H_
