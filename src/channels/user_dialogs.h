// What the channel-list operations ask of the user, and the progress they show. The windows
// implement these with message boxes, file choosers and a progress window; tests answer from a
// script. Every call is made on the thread that runs the operation (the window thread in the
// program), and texts are CP932.
#ifndef KORVO_CHANNELS_USER_DIALOGS_H_
#define KORVO_CHANNELS_USER_DIALOGS_H_

#include <string>

namespace korvo {

class UserDialogs {
 public:
  virtual ~UserDialogs() = default;

  // An OK/Cancel question with the question icon and Cancel as the default; true for OK.
  virtual bool AskOkCancel(const std::string& text, const std::string& caption) = 0;

  // A warning with an OK button.
  virtual void ShowWarning(const std::string& text, const std::string& caption) = 0;

  // Asks for the source of an OPML import: a file path or a web address of at most 1,023 bytes
  // (text field, and a file chooser with the filter "OPML(*.opml,*.xml)"). False on Cancel.
  // The implementation restores the working folder if the chooser changed it.
  virtual bool AskImportSource(std::string* source) = 0;

  // Asks for the file an export is written to (save chooser, filter "OPML(*.opml,*.xml)",
  // default extension "opml", overwrite prompt); false on Cancel. The working folder is restored.
  virtual bool AskExportPath(std::string* path) = 0;
};

// A progress window with a range and a step. Every method may be a no-op.
class ProgressDisplay {
 public:
  virtual ~ProgressDisplay() = default;
  virtual void Open(const std::string& title) { (void)title; }
  virtual void SetRange(int maximum) { (void)maximum; }
  virtual void Step() {}
  virtual void Close() {}
};

}  // namespace korvo

#endif  // KORVO_CHANNELS_USER_DIALOGS_H_
