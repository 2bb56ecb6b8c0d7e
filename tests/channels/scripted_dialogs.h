// UserDialogs for tests: answers from a script and records every question asked.
#ifndef KORVO_TESTS_CHANNELS_SCRIPTED_DIALOGS_H_
#define KORVO_TESTS_CHANNELS_SCRIPTED_DIALOGS_H_

#include <deque>
#include <string>
#include <vector>

#include "channels/user_dialogs.h"

namespace korvo::testing {

class ScriptedDialogs : public UserDialogs {
 public:
  // Answers of AskOkCancel in order; when they run out, Cancel.
  std::deque<bool> answers;
  std::string import_source;  // empty: the import question is cancelled
  std::string export_path;    // empty: the export question is cancelled

  struct Question {
    std::string text;
    std::string caption;
  };
  std::vector<Question> asked;
  std::vector<Question> warnings;

  bool AskOkCancel(const std::string& text, const std::string& caption) override {
    asked.push_back({text, caption});
    if (answers.empty()) return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void ShowWarning(const std::string& text, const std::string& caption) override {
    warnings.push_back({text, caption});
  }
  bool AskImportSource(std::string* source) override {
    *source = import_source;
    return !import_source.empty();
  }
  bool AskExportPath(std::string* path) override {
    *path = export_path;
    return !export_path.empty();
  }
};

}  // namespace korvo::testing

#endif  // KORVO_TESTS_CHANNELS_SCRIPTED_DIALOGS_H_
