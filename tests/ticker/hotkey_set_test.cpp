// Hot keys: the "hotkey" section, registration and release order, handling, the dialog's lists.
#include "ticker/hotkey_set.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "common/temp_folder.h"
#include "platform/files.h"

namespace korvo {
namespace {

using korvo::testing::TempFolder;

// Records the calls; combinations already taken (by "another program") fail.
class FakeRegistrar : public HotkeyRegistrar {
 public:
  bool Register(int id, int modifiers, int key) override {
    log.push_back("+" + std::to_string(id));
    const int combination = modifiers << 16 | key;
    if (taken.count(combination) != 0) return false;
    taken.insert(combination);
    by_id[id] = combination;
    return true;
  }
  void Unregister(int id) override {
    log.push_back("-" + std::to_string(id));
    auto it = by_id.find(id);
    if (it != by_id.end()) {
      taken.erase(it->second);
      by_id.erase(it);
    }
  }
  std::vector<std::string> log;
  std::set<int> taken;
  std::map<int, int> by_id;
};

TEST(HotkeySettingsTest, DefaultsAndRoundTrip) {
  TempFolder dir;
  const std::string path = dir / "setup.ini";
  const HotkeySettings defaults = LoadHotkeySettings(path);
  EXPECT_EQ(defaults, HotkeySettings());
  EXPECT_EQ(defaults.bindings[0], (HotkeyBinding{0, 1, 57}));   // Alt+9
  EXPECT_EQ(defaults.bindings[4], (HotkeyBinding{4, 2, 121}));  // Ctrl+F10
  EXPECT_FALSE(defaults.enabled);

  HotkeySettings s;
  s.enabled = true;
  s.bindings[3] = {13, 6, 76};  // Ctrl+Shift+L, as written by hand
  ASSERT_TRUE(SaveHotkeySettings(path, s));
  EXPECT_EQ(LoadHotkeySettings(path), s);
  std::string text;
  ASSERT_TRUE(platform::ReadWholeFile(path, &text));
  int keys = 0;
  for (size_t at = text.find('='); at != std::string::npos; at = text.find('=', at + 1)) ++keys;
  EXPECT_EQ(keys, 19);
  EXPECT_NE(text.find("urlcpy_mod=6"), std::string::npos);
}

TEST(HotkeySetTest, HandlesOnlyWhenEnabledAndKnown) {
  FakeRegistrar registrar;
  HotkeySet set(&registrar);
  HotkeySettings s;
  set.Create(s);
  EXPECT_EQ(registrar.by_id.size(), 6u);  // registered even while disabled
  EXPECT_EQ(set.Handle(0), -1);
  s.enabled = true;
  set.Replace(s);
  const int want[] = {32785, 32783, 32860, 32814, 32789, 32870};
  for (int i = 0; i < kHotkeyCount; ++i) EXPECT_EQ(set.Handle(i), want[i]) << i;
  EXPECT_EQ(set.Handle(6), -1);
  EXPECT_EQ(set.Handle(-1), -1);
}

TEST(HotkeySetTest, ReplaceReleasesTheOldCombinationsFirst) {
  FakeRegistrar registrar;
  HotkeySet set(&registrar);
  HotkeySettings s;
  s.bindings[1] = {1, 1, 57};  // the same combination as "previous": only the first one fires
  set.Create(s);
  EXPECT_TRUE(set.registered(0));
  EXPECT_FALSE(set.registered(1));

  // Swapping two combinations only works when the old ones are released before.
  s.bindings[1] = HotkeySettings().bindings[1];
  std::swap(s.bindings[0].key, s.bindings[2].key);
  registrar.log.clear();
  set.Replace(s);
  ASSERT_EQ(registrar.log.size(), 12u);
  for (size_t i = 0; i < 6; ++i) EXPECT_EQ(registrar.log[i][0], '-');
  EXPECT_TRUE(set.registered(0));
  EXPECT_TRUE(set.registered(2));
  set.Destroy();
  set.Destroy();
  EXPECT_TRUE(registrar.by_id.empty());
}

TEST(HotkeyDialogListsTest, KeyNamesAndChoices) {
  const auto& keys = HotkeyKeyChoices();
  std::set<int> codes;
  for (const HotkeyChoice& c : keys) codes.insert(c.code);
  EXPECT_EQ(codes.size(), 92u);
  for (size_t i = 1; i + 1 < keys.size(); ++i) EXPECT_LT(keys[i - 1].code, keys[i].code) << i;
  EXPECT_STREQ(keys[0].name, "BACKSPACE");
  EXPECT_STREQ(keys[91].name, "Undefined");
  EXPECT_STREQ(keys[static_cast<size_t>(HotkeyChoiceIndex(keys, 57))].name, "9");
  EXPECT_STREQ(keys[static_cast<size_t>(HotkeyChoiceIndex(keys, 122))].name, "F11");
  EXPECT_STREQ(keys[static_cast<size_t>(HotkeyChoiceIndex(keys, 99))].name, "keypad 3");

  const auto& mods = HotkeyModifierChoices();
  EXPECT_EQ(HotkeyChoiceIndex(mods, 2), 1);
  EXPECT_EQ(HotkeyChoiceIndex(mods, 6), -1);  // Ctrl+Shift: no entry shows it
  // OK keeps such a stored value instead of storing -1; a selection replaces it.
  EXPECT_EQ(HotkeyChosenCode(mods, -1, 6), 6);
  EXPECT_EQ(HotkeyChosenCode(mods, 3, 6), 8);
  EXPECT_EQ(HotkeyChosenCode(keys, -1, 200), 200);
}

}  // namespace
}  // namespace korvo
