// The channel list's start-up stage and the update list it offers to other threads.
#include "channels/channel_list_component.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "channels/channel_list_loader.h"
#include "channels/channel_tree_ops.h"
#include "channels/scripted_dialogs.h"
#include "common/temp_folder.h"
#include "platform/files.h"
#include "shell/app_shell.h"

namespace korvo {
namespace {

using korvo::testing::ScopedCurrentDirectory;
using korvo::testing::ScriptedDialogs;
using korvo::testing::TempFolder;

class ChannelListComponentTest : public ::testing::Test {
 protected:
  ProcessEnvironment Environment() {
    ProcessEnvironment environment;
    environment.system = {6, 1};
    environment.language_id = 1041;
    environment.start_folder = program_.path();
    environment.app_data = app_data_.path();
    return environment;
  }

  TempFolder program_;
  TempFolder app_data_;
  ScopedCurrentDirectory restore_{program_.path()};
};

TEST_F(ChannelListComponentTest, LoadsAtItsStageAndKeepsTheUpdateListInStep) {
  ChannelListComponent::Options options;
  int downloads = 0;
  options.download = [&downloads](const std::string& address, std::string* body) {
    ++downloads;
    *body = "<rss><channel><title>T " + address + "</title></channel></rss>";
    return true;
  };
  int changes = 0;
  options.on_changed = [&changes] { ++changes; };
  auto owned = std::make_unique<ChannelListComponent>(options);
  ChannelListComponent* component = owned.get();
  auto source = component->UpdateListSource();
  EXPECT_EQ(source()[0].url, kPlaceholderChannelUrl);  // before the stage

  AppShell shell;
  ASSERT_TRUE(shell.Attach(AppStage::kChannelList, std::move(owned)));
  ASSERT_EQ(shell.StartProcess(Environment()), AppShell::StartResult::kStarted);
  shell.OpenMainWindowParts();
  ASSERT_TRUE(shell.running(AppStage::kChannelList));
  EXPECT_EQ(component->load_result(), 0);
  EXPECT_EQ(downloads, 6);  // the first start's defaults
  EXPECT_EQ(component->path(), shell.folders().working_folder + "/" + kChannelListFile);
  EXPECT_EQ(component->BuildUpdateList().size(), 6u);

  // Reading the list on another thread while the window thread edits and applies.
  std::atomic<bool> stop{false};
  std::atomic<size_t> smallest{100};
  std::thread reader([&] {
    while (!stop) {
      const size_t size = source().size();
      if (size < smallest) smallest = size;
    }
  });
  ScriptedDialogs dialogs;
  ChannelList& list = component->list();
  ASSERT_NE(AddChannel(list, nullptr, {"Extra", "", "http://extra/", ""}, dialogs), nullptr);
  EXPECT_EQ(component->BuildUpdateList().size(), 6u);  // not applied yet
  dialogs.answers = {true};
  EXPECT_EQ(component->Apply(dialogs), ApplyResult::kSaved);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(component->BuildUpdateList().size(), 7u);

  ASSERT_NE(AddChannel(list, nullptr, {"Dropped", "", "http://dropped/", ""}, dialogs), nullptr);
  EXPECT_EQ(component->Apply(dialogs), ApplyResult::kDiscarded);  // Cancel
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(component->BuildUpdateList().size(), 7u);
  EXPECT_EQ(component->Apply(dialogs), ApplyResult::kUnchanged);
  EXPECT_EQ(changes, 2);

  ASSERT_NE(AddChannel(list, nullptr, {"Saved", "", "http://saved/", ""}, dialogs), nullptr);
  EXPECT_TRUE(component->Save());
  EXPECT_EQ(component->BuildUpdateList().size(), 8u);
  stop = true;
  reader.join();
  EXPECT_GE(smallest.load(), 6u);

  shell.ShutDown();
  EXPECT_FALSE(shell.running(AppStage::kChannelList));
  // The source outlives the component's document.
  EXPECT_EQ(source().size(), 8u);

  ChannelList reloaded;
  ASSERT_TRUE(reloaded.LoadFile(shell.folders().working_folder + "/" + kChannelListFile));
  EXPECT_EQ(BuildUpdateList(reloaded).size(), 8u);
}

// channel.opml in a form the reader makes nothing of: the update list is the placeholder, and a
// save asked for later does not replace the user's file.
TEST_F(ChannelListComponentTest, UnreadableListIsKeptOnDisk) {
  const std::string unreadable = "not a channel list\n";
  ASSERT_TRUE(platform::WriteWholeFile(program_ / kChannelListFile, unreadable));
  ChannelListComponent::Options options;
  options.download = [](const std::string&, std::string*) { return false; };
  auto owned = std::make_unique<ChannelListComponent>(options);
  ChannelListComponent* component = owned.get();
  AppShell shell;
  ASSERT_TRUE(shell.Attach(AppStage::kChannelList, std::move(owned)));
  ASSERT_EQ(shell.StartProcess(Environment()), AppShell::StartResult::kStarted);
  shell.OpenMainWindowParts();
  ASSERT_EQ(component->path(), program_ / kChannelListFile);
  EXPECT_EQ(component->load_result(), -1);
  EXPECT_EQ(component->BuildUpdateList()[0].url, kPlaceholderChannelUrl);
  EXPECT_FALSE(component->Save());
  shell.ShutDown();
  std::string kept;
  ASSERT_TRUE(platform::ReadWholeFile(program_ / kChannelListFile, &kept));
  EXPECT_EQ(kept, unreadable);
}

}  // namespace
}  // namespace korvo
