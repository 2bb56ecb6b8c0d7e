// korvo-headless's own controls: its options, the command file and the store listing that the
// end-to-end tests read.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/headless/command_file.h"
#include "app/headless/headless_options.h"
#include "app/headless/headless_ticker_host.h"
#include "common/temp_folder.h"
#include "platform/files.h"
#include "store/store_dump.h"

namespace korvo {
namespace {

TEST(HeadlessOptions, OwnOptionsAreTakenOutAndTheRestIsLeftForTheShell) {
  const HeadlessOptions options =
      ParseHeadlessOptions({"-user", "--commands", "ctl/cmd", "-mfoo", "--dump-store"}, "/start");
  EXPECT_TRUE(options.error.empty());
  EXPECT_EQ(options.shell_arguments, (std::vector<std::string>{"-user", "-mfoo"}));
  // Relative to the start folder: the program changes its current folder during start-up.
  EXPECT_EQ(options.command_file, "/start/ctl/cmd");
  EXPECT_TRUE(options.dump_store);

  EXPECT_EQ(ParseHeadlessOptions({"--commands", "/abs/cmd"}, "/start").command_file, "/abs/cmd");
  EXPECT_EQ(ParseHeadlessOptions({"--commands", "C:\\x\\cmd"}, "/start").command_file,
            "C:\\x\\cmd");
  EXPECT_FALSE(ParseHeadlessOptions({"--commands"}, "/start").error.empty());
  EXPECT_FALSE(ParseHeadlessOptions({"--commands", ""}, "/start").error.empty());
  EXPECT_EQ(ParseHeadlessOptions({"--echo-plugin", "log.txt"}, "/start").echo_plugin_log,
            "/start/log.txt");
  EXPECT_FALSE(ParseHeadlessOptions({"--echo-plugin"}, "/start").error.empty());
}

TEST(HeadlessCommands, LinesBecomeCommandsAndUnknownOnesAreKeptForTheReport) {
  const std::vector<HeadlessCommand> commands =
      ParseCommands("run\r\n\n  \nrun-cached\ndump /tmp/a b.txt\nRUN\ndump \nquit");
  ASSERT_EQ(commands.size(), 6u);
  EXPECT_EQ(commands[0].kind, HeadlessCommand::kRun);
  EXPECT_EQ(commands[1].kind, HeadlessCommand::kRunCached);
  EXPECT_EQ(commands[2].kind, HeadlessCommand::kDump);
  EXPECT_EQ(commands[2].argument, "/tmp/a b.txt");
  EXPECT_EQ(commands[3].kind, HeadlessCommand::kUnknown);  // commands are case-sensitive
  EXPECT_EQ(commands[3].argument, "RUN");
  EXPECT_EQ(commands[4].kind, HeadlessCommand::kUnknown);  // a dump needs a path
  EXPECT_EQ(commands[5].kind, HeadlessCommand::kQuit);
}

TEST(HeadlessCommands, TakingTheFileDeletesItSoEachCommandRunsOnce) {
  testing::TempFolder folder;
  const std::string path = folder / "commands";
  EXPECT_TRUE(TakeCommands(path).empty());
  EXPECT_TRUE(TakeCommands("").empty());
  ASSERT_TRUE(platform::WriteWholeFile(path, "run\nquit\n"));
  EXPECT_EQ(TakeCommands(path).size(), 2u);
  EXPECT_FALSE(platform::FileExists(path));
  EXPECT_FALSE(platform::FileExists(path + ".taken"));
  EXPECT_TRUE(TakeCommands(path).empty());
}

TEST(StoreDump, EveryRecordIsOneTabSeparatedUtf8Line) {
  NewsItem item;
  item.number = 42;
  item.get_day = PackedDate::FromCalendar({2026, 12, 0, 8, 9, 5, 0, 0});
  item.last_seen = item.get_day;
  item.site = u"サイト\tA";
  item.title = u"見出し\r\n二行目";
  item.link = u"http://example.invalid/1";
  EXPECT_EQ(StoreDumpLine(item),
            "42\t2026-12-08 09:05\t2026-12-08 09:05\t\t"
            "\xE3\x82\xB5\xE3\x82\xA4\xE3\x83\x88 A\t"
            "\xE8\xA6\x8B\xE5\x87\xBA\xE3\x81\x97  \xE4\xBA\x8C\xE8\xA1\x8C\xE7\x9B\xAE\t"
            "http://example.invalid/1");
}

TEST(HeadlessTickerHost, ItemLinesAreOneLineWithoutControlCharacters) {
  TickerItem item;
  // A feed's "&#27;" reaches the title as an escape a terminal would obey.
  item.title = "\x8C\xA9\x8F\x6F\x82\xB5\x1B]0;owned\x07\x1B[2J\r\nnext\x7F";  // 見出し...
  item.site_name = "S\tA";
  EXPECT_EQ(HeadlessTickerHost::ItemLine(item, 2, 12),
            "ticker: 3/12 \xE8\xA6\x8B\xE5\x87\xBA\xE3\x81\x97 ]0;owned  [2J  next  [S A]");
}

}  // namespace
}  // namespace korvo
