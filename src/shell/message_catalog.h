// The 25 user messages of the program, in Japanese or English, and the choice of the language
// dependent resources. Chosen once at start from the system's default language: 1041 (Japanese)
// selects the Japanese texts, every other language the English ones.
//
// Immutable after construction; safe to read from any thread.
#ifndef KORVO_SHELL_MESSAGE_CATALOG_H_
#define KORVO_SHELL_MESSAGE_CATALOG_H_

#include <array>
#include <string>

namespace korvo {

class MessageCatalog {
 public:
  static constexpr int kEntryCount = 25;
  static constexpr int kJapaneseLanguage = 1041;

  // Well-known entries.
  static constexpr int kAlreadyRunning = 0;  // the second-instance message

  explicit MessageCatalog(int language_id);
  // The catalog for platform::SystemDefaultLanguage().
  static MessageCatalog ForSystem();

  int language_id() const { return language_id_; }
  bool japanese() const { return language_id_ == kJapaneseLanguage; }

  // Entry `index` in CP932; an index outside 0..24 gives entry 0.
  const std::string& Text(int index) const;

  // The dialog resource to load for `id`: 191 becomes 192 for English; other ids stay.
  int DialogResource(int id) const;
  // The main menu resource: 109 Japanese, 156 English.
  int MainMenuResource() const;

 private:
  int language_id_;
  std::array<std::string, kEntryCount> texts_;
};

}  // namespace korvo

#endif  // KORVO_SHELL_MESSAGE_CATALOG_H_
