// Drops on the ticker: skin packages and folders with their questions and messages, Internet
// shortcuts and dragged links downloaded to "temp_from_link", feed files subscribed.
#include "ticker/ticker_drop.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "channels/feed_summary.h"
#include "common/temp_folder.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "shell/message_catalog.h"
#include "ticker/zip_writer.h"

namespace korvo {
namespace {

using korvo::testing::TempFolder;
using korvo::testing::ZipWriter;

class ScriptedHost : public TickerDropHost {
 public:
  bool Ask(const std::string& text) override {
    log.push_back("ask:" + platform::Cp932ToUtf8(text));
    return answers.empty() ? false : Pop();
  }
  void Inform(const std::string& text) override {
    log.push_back("info:" + platform::Cp932ToUtf8(text));
  }
  void Fail(const std::string& text) override {
    log.push_back("fail:" + platform::Cp932ToUtf8(text));
  }
  void Report(const std::string& text, const std::string& caption) override {
    log.push_back("report:" + platform::Cp932ToUtf8(caption) + ":" + platform::Cp932ToUtf8(text));
  }
  bool Download(const std::string& address, std::string* body) override {
    log.push_back("download:" + address);
    if (downloads.empty()) return false;
    *body = downloads.front();
    downloads.erase(downloads.begin());
    return true;
  }
  void SkinAdded(const std::string& name) override { log.push_back("skin:" + name); }
  bool Subscribe(const FeedSummary& summary, const std::string& feed_address) override {
    log.push_back("subscribe:" + platform::Cp932ToUtf8(summary.title) + ":" + feed_address);
    return true;
  }

  bool Pop() {
    const bool a = answers.front();
    answers.erase(answers.begin());
    return a;
  }

  std::vector<bool> answers;
  std::vector<std::string> downloads;
  std::vector<std::string> log;
};

std::string SkinZip(const std::string& folder, bool with_dll = false) {
  ZipWriter zip;
  zip.Add(folder + "/skin.ini", "[newsbox]\r\n");
  zip.Add(folder + "/face.bmp", "BM");
  if (with_dll) zip.Add(folder + "/clock.dll", "MZ");
  return zip.Finish();
}

constexpr char kFeed[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss version=\"2.0\"><channel>"
    "<title>技術ニュース</title><link>http://example.com/</link>"
    "<item><title>a</title></item></channel></rss>";

class TickerDropTest : public ::testing::Test {
 protected:
  TickerDropContext Context(int language = 1041) {
    catalog_ = std::make_unique<MessageCatalog>(language);
    TickerDropContext c;
    c.working_folder = dir_.path();
    c.skin_root = dir_ / "skin";
    c.catalog = catalog_.get();
    return c;
  }
  std::string File(const std::string& name, const std::string& bytes) {
    EXPECT_TRUE(platform::WriteWholeFile(dir_ / name, bytes));
    return dir_ / name;
  }

  TempFolder dir_;
  std::unique_ptr<MessageCatalog> catalog_;
  ScriptedHost host_;
};

TEST_F(TickerDropTest, SkinPackageAskedInstalledAndOverwritten) {
  const std::string zip = File("blue.zip", SkinZip("blue"));
  host_.answers = {false};
  EXPECT_EQ(DropPath(zip, Context(), host_), -1);
  EXPECT_EQ(host_.log, (std::vector<std::string>{"ask:スキンをインストールしますか？"}));
  EXPECT_FALSE(platform::DirectoryExists(dir_ / "skin"));

  host_.log.clear();
  host_.answers = {true};
  EXPECT_EQ(DropPath(zip, Context(), host_), 0);
  EXPECT_EQ(host_.log, (std::vector<std::string>{"ask:スキンをインストールしますか？", "skin:blue",
                                                 "info:新しいスキンがインストールされました。"}));
  EXPECT_TRUE(platform::FileExists(dir_ / "skin/blue/face.bmp"));

  // Again: the overwrite question; no new menu entry.
  host_.log.clear();
  host_.answers = {true, false};
  EXPECT_EQ(DropPath(zip, Context(1033), host_), -1);
  EXPECT_EQ(host_.log, (std::vector<std::string>{
                           "ask:install new skin?",
                           "ask:this skin name is alrady existing.overwrite this skin?"}));
  host_.log.clear();
  host_.answers = {true, true};
  EXPECT_EQ(DropPath(zip, Context(1033), host_), 0);
  EXPECT_EQ(host_.log.back(), "info:added new skin.");
}

TEST_F(TickerDropTest, ProgramFilesAreNamedInTheQuestion) {
  host_.answers = {false};
  DropPath(File("clock.zip", SkinZip("clock", true)), Context(), host_);
  ASSERT_EQ(host_.log.size(), 1u);
  EXPECT_NE(host_.log[0].find("スキンをインストールしますか？\r\n\r\n"), std::string::npos);
  EXPECT_NE(host_.log[0].find(".dll"), std::string::npos);
}

TEST_F(TickerDropTest, FolderSkinsAndFailures) {
  ASSERT_TRUE(platform::MakeDirectory(dir_ / "green"));
  File("green/g.ini", "");
  File("green/g.bmp", "BM");
  host_.answers = {true};
  EXPECT_EQ(DropPath(dir_ / "green", Context(), host_), 0);
  EXPECT_TRUE(platform::FileExists(dir_ / "skin/green/g.bmp"));
  // A folder that is no skin, and a hostile archive, are passed over without a word.
  ASSERT_TRUE(platform::MakeDirectory(dir_ / "empty"));
  host_.log.clear();
  EXPECT_EQ(DropPath(dir_ / "empty", Context(), host_), -1);
  ZipWriter evil;
  evil.Add("../evil/skin.ini", "");
  evil.Add("../evil/face.bmp", "");
  EXPECT_EQ(DropPath(File("evil.zip", evil.Finish()), Context(), host_), -1);
  EXPECT_TRUE(host_.log.empty());
  EXPECT_FALSE(platform::DirectoryExists(dir_.path() + "/../evil"));
}

TEST_F(TickerDropTest, FeedFilesAreSubscribed) {
  const std::string feed = File("news.xml", kFeed);
  EXPECT_EQ(DropPath(feed, Context(), host_), 0);
  ASSERT_EQ(host_.log.size(), 2u);
  EXPECT_EQ(host_.log[0], "subscribe:技術ニュース:" + feed);
  EXPECT_EQ(host_.log[1], "report:追加:技術ニュース を追加しました。");
  host_.log.clear();
  EXPECT_EQ(DropPath(File("notes.txt", "just text"), Context(), host_), -1);
  EXPECT_TRUE(host_.log.empty());
}

TEST_F(TickerDropTest, ShortcutsAndLinksAreDownloaded) {
  const std::string shortcut = File(
      "news.url", "[DEFAULT]\r\nBASEURL=x\r\n[InternetShortcut]\r\nURL=http://127.0.0.1/f.xml\r\n");
  host_.downloads = {kFeed};
  EXPECT_EQ(DropPath(shortcut, Context(), host_), 0);
  EXPECT_EQ(host_.log[0], "download:http://127.0.0.1/f.xml");
  EXPECT_EQ(host_.log[1], "subscribe:技術ニュース:http://127.0.0.1/f.xml");
  EXPECT_FALSE(platform::FileExists(dir_ / kDropDownloadName));

  // A failed download ends the drop.
  host_.log.clear();
  EXPECT_EQ(DropPath(shortcut, Context(), host_), -1);
  EXPECT_EQ(host_.log.size(), 1u);

  // A dragged link to a skin package.
  host_.log.clear();
  host_.downloads = {SkinZip("red")};
  host_.answers = {true};
  EXPECT_EQ(DropLink("https://127.0.0.1/red.zip\r\n", Context(), host_), 0);
  EXPECT_TRUE(platform::FileExists(dir_ / "skin/red/skin.ini"));
  EXPECT_FALSE(platform::FileExists(dir_ / kDropDownloadName));

  // Only web addresses are fetched.
  host_.log.clear();
  EXPECT_EQ(DropLink("file:///etc/passwd", Context(), host_), -1);
  EXPECT_EQ(
      DropPath(File("local.url", "[InternetShortcut]\nURL=file:///C:/x.xml\n"), Context(), host_),
      -1);
  EXPECT_TRUE(host_.log.empty());
}

TEST(InternetShortcutTest, TheLineAfterTheSection) {
  EXPECT_EQ(ParseInternetShortcut("[InternetShortcut]\r\nURL=http://a/b?c=d\r\n"),
            "http://a/b?c=d");
  EXPECT_EQ(ParseInternetShortcut("x\n[InternetShortcut]\nIconIndex=0\n"), "0");
  EXPECT_EQ(ParseInternetShortcut("[InternetShortcut]"), "");
  EXPECT_EQ(ParseInternetShortcut("[InternetShortcut]\nno equals\n"), "");
  EXPECT_EQ(ParseInternetShortcut("URL=http://x/\n"), "");
  EXPECT_TRUE(IsDownloadableLink("HTTP://x"));
  EXPECT_FALSE(IsDownloadableLink("http://"));
  EXPECT_FALSE(IsDownloadableLink("javascript:alert(1)"));
}

}  // namespace
}  // namespace korvo
