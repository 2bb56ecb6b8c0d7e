// korvo.exe: the Windows program.
#include <windows.h>

#include "app/win/korvo_app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR command_line,
                    int show_command) {
  return korvo::KorvoApp(instance).Run(command_line != nullptr ? command_line : L"", show_command);
}
