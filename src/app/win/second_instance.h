// What a second copy of the program does: it asks the user (catalog entry 0, caption "KNR", OK
// and Cancel, exclamation icon) and on OK sends message 1157 to the running copy's main window,
// which then moves the ticker back to the top-left corner of the screen. Nothing else is created;
// the caller then ends the process with exit code 0.
#ifndef KORVO_APP_WIN_SECOND_INSTANCE_H_
#define KORVO_APP_WIN_SECOND_INSTANCE_H_

#include <windows.h>

#include <functional>
#include <string>

#include "shell/message_catalog.h"

namespace korvo {

// Asks the question; returns IDOK or IDCANCEL (or 0 when no box could be shown).
using AskUser = std::function<int(const std::wstring& text, const std::wstring& caption)>;

// The message box of the real program.
int AskWithMessageBox(const std::wstring& text, const std::wstring& caption);

enum class SecondStartResult {
  kCancelled,      // the user chose Cancel (or no box appeared): nothing was sent
  kSent,           // OK: the running copy's window received 1157
  kWindowMissing,  // OK, but no window of class "DIGITAL" titled "KorvoNewsReader" exists
  kNoAnswer,       // OK, but the window did not answer within `timeout_ms`
};

// The class and title are the string resources 109 and 103 of `instance`. The message is sent
// and waited for at most `timeout_ms`, so a hung copy never hangs this one.
SecondStartResult AnswerSecondStart(HINSTANCE instance, const MessageCatalog& catalog,
                                    const AskUser& ask, unsigned timeout_ms = 10000);

}  // namespace korvo

#endif  // KORVO_APP_WIN_SECOND_INSTANCE_H_
