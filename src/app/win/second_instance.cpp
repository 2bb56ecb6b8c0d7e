#include "app/win/second_instance.h"

#include "app/win/win_text.h"
#include "shell/main_window_ids.h"

namespace korvo {

int AskWithMessageBox(const std::wstring& text, const std::wstring& caption) {
  return MessageBoxW(nullptr, text.c_str(), caption.c_str(),
                     MB_OKCANCEL | MB_ICONEXCLAMATION | MB_SETFOREGROUND);
}

SecondStartResult AnswerSecondStart(HINSTANCE instance, const MessageCatalog& catalog,
                                    const AskUser& ask, unsigned timeout_ms) {
  const std::wstring text = WideFromCp932(catalog.Text(MessageCatalog::kAlreadyRunning));
  const std::wstring caption = WideFromUtf8(kSecondInstanceCaption);
  if (ask(text, caption) != IDOK) return SecondStartResult::kCancelled;

  const std::wstring title =
      LoadResourceString(instance, resource_id::kTitleString, L"KorvoNewsReader");
  const std::wstring class_name =
      LoadResourceString(instance, resource_id::kClassString, L"DIGITAL");
  HWND running = FindWindowW(class_name.c_str(), title.c_str());
  if (running == nullptr) return SecondStartResult::kWindowMissing;
  DWORD_PTR result = 0;
  if (SendMessageTimeoutW(running, main_window_message::kMoveToCorner, 0, 0,
                          SMTO_NORMAL | SMTO_ABORTIFHUNG, timeout_ms, &result) == 0) {
    return SecondStartResult::kNoAnswer;
  }
  return SecondStartResult::kSent;
}

}  // namespace korvo
