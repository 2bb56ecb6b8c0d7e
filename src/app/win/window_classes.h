// The window classes korvo.exe registers at start, in this order: "DIGITAL" (the main window;
// its name is string resource 109), "MyMessageWindow" (the progress window) and "FontViewWindow"
// (the options dialog's font sample). All redraw on size changes, carry icon 107 and no menu.
#ifndef KORVO_APP_WIN_WINDOW_CLASSES_H_
#define KORVO_APP_WIN_WINDOW_CLASSES_H_

#include <windows.h>

#include <string>

namespace korvo {

// True when all three classes exist afterwards.
bool RegisterWindowClasses(HINSTANCE instance, const std::wstring& main_class_name);

}  // namespace korvo

#endif  // KORVO_APP_WIN_WINDOW_CLASSES_H_
