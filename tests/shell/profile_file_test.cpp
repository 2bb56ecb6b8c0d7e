#include "shell/profile_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "common/temp_folder.h"
#include "platform/files.h"

namespace korvo {
namespace {

using korvo::testing::TempFolder;

std::string ReadAll(const std::string& path) {
  std::string bytes;
  EXPECT_TRUE(platform::ReadWholeFile(path, &bytes));
  return bytes;
}

void WriteAll(const std::string& path, std::string_view bytes) {
  ASSERT_TRUE(platform::WriteWholeFile(path, bytes));
}

std::string Utf16File(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return bytes;
}

// "ニュース取得中" in CP932.
const char kNewsFetching[] = "\x83\x6A\x83\x85\x81\x5B\x83\x58\x8E\xE6\x93\xBE\x92\x86";

TEST(ProfileFileTest, MissingFileGivesDefaultsAndAWriteCreatesIt) {
  TempFolder dir;
  const std::string path = dir / "setup.ini";
  EXPECT_EQ(ReadProfileString(path, "app_data", "skin", "none  "), "none");
  EXPECT_EQ(ReadProfileInt(path, "app_data", "iFlag", 135996), 135996);
  EXPECT_FALSE(platform::FileExists(path));  // reading creates nothing

  EXPECT_TRUE(WriteProfileValue(path, "app_data", "skin", "plain"));
  EXPECT_TRUE(WriteProfileValue(path, "connect", "port", "8080"));
  EXPECT_EQ(ReadAll(path), "[app_data]\r\nskin=plain\r\n[connect]\r\nport=8080\r\n");
  EXPECT_EQ(ReadProfileString(path, "APP_DATA", "SKIN", ""), "plain");
  // Nothing but the file itself is left in the folder.
  EXPECT_EQ(platform::ListDirectory(dir.path()).size(), 1u);
}

TEST(ProfileFileTest, IntegersAreParsedLikeGetPrivateProfileInt) {
  TempFolder dir;
  const std::string path = dir / "n.ini";
  WriteAll(path,
           "[n]\nplain=42\ntrailing=12abc\nneg=-5\nplus=+7\nletters=abc\nempty=\n"
           "max=4294967295\nwrap=4294967296\nquoted=\"99\"\nspaced=  17  \nsign=-\n"
           "double=--3\nhex=0x10\n");
  ProfileFile file;
  ASSERT_TRUE(file.Load(path));
  EXPECT_EQ(file.GetInt("n", "plain", -1), 42);
  EXPECT_EQ(file.GetInt("n", "trailing", -1), 12);
  EXPECT_EQ(file.GetInt("n", "neg", -1), -5);
  EXPECT_EQ(file.GetUnsigned("n", "neg", 0), 4294967291u);
  EXPECT_EQ(file.GetInt("n", "plus", -1), 7);
  EXPECT_EQ(file.GetInt("n", "letters", -1), 0);
  EXPECT_EQ(file.GetInt("n", "empty", -1), -1);
  EXPECT_EQ(file.GetInt("n", "missing", -1), -1);
  EXPECT_EQ(file.GetInt("n", "max", 0), -1);
  EXPECT_EQ(file.GetUnsigned("n", "max", 0), 4294967295u);
  EXPECT_EQ(file.GetInt("n", "wrap", -1), 0);
  EXPECT_EQ(file.GetInt("n", "quoted", -1), 99);
  EXPECT_EQ(file.GetInt("n", "spaced", -1), 17);
  EXPECT_EQ(file.GetInt("n", "sign", -1), 0);
  EXPECT_EQ(file.GetInt("n", "double", -1), 0);
  EXPECT_EQ(file.GetInt("n", "hex", -1), 0);
}

TEST(ProfileFileTest, TextsAreUnquotedAndCutToTheBuffer) {
  TempFolder dir;
  const std::string path = dir / "t.ini";
  WriteAll(path, std::string("[t]\ndq=\"C:\\Program Files\\x.exe\"\nsq='a'\nhalf=\"a\nlone=\"\n"
                             "both=\"a'\njp=") +
                     kNewsFetching + "\n");
  ProfileFile file;
  ASSERT_TRUE(file.Load(path));
  EXPECT_EQ(file.GetString("t", "dq", ""), "C:\\Program Files\\x.exe");
  EXPECT_EQ(file.GetString("t", "sq", ""), "a");
  EXPECT_EQ(file.GetString("t", "half", ""), "\"a");
  EXPECT_EQ(file.GetString("t", "lone", ""), "\"");
  EXPECT_EQ(file.GetString("t", "both", ""), "\"a'");
  EXPECT_EQ(file.GetString("t", "jp", ""), kNewsFetching);
  // 14 bytes of two-byte characters: a 6-byte buffer holds 5 bytes, so two characters.
  EXPECT_EQ(file.GetString("t", "jp", "", 6), std::string(kNewsFetching, 4));
  EXPECT_EQ(file.GetString("t", "jp", "", 7), std::string(kNewsFetching, 6));
  EXPECT_EQ(file.GetString("t", "dq", "", 1), "");
  EXPECT_EQ(file.GetString("t", "dq", "", 0), "");
  EXPECT_EQ(file.GetString("t", "missing", "default\t ", 4), "def");
}

TEST(ProfileFileTest, JapaneseNamesAndValuesRoundTripAsCp932Bytes) {
  TempFolder dir;
  const std::string path = dir / "setup.ini";
  const std::string section = "\x83\x58\x83\x4C\x83\x93";  // "スキン"
  EXPECT_TRUE(WriteProfileValue(path, section, "name", kNewsFetching));
  EXPECT_EQ(ReadAll(path), "[" + section + "]\r\nname=" + kNewsFetching + "\r\n");
  EXPECT_EQ(ReadProfileString(path, section, "NAME", ""), kNewsFetching);

  ProfileFile file;
  ASSERT_TRUE(file.Load(path));
  EXPECT_EQ(file.GetString(u"スキン", u"name", u""), u"ニュース取得中");
}

TEST(ProfileFileTest, Utf16FileKeepsItsEncoding) {
  TempFolder dir;
  const std::string path = dir / "user.ini";
  {
    ProfileFile file;
    ASSERT_TRUE(file.Load(path, ProfileEncoding::kUtf16Le));
    EXPECT_TRUE(file.PutInt(u"ニュース", u"width", 400));
    EXPECT_TRUE(file.PutInt(u"ニュース", u"scroll", -1));
    ASSERT_TRUE(file.Save());
  }
  EXPECT_EQ(ReadAll(path), Utf16File(u"[ニュース]\r\nwidth=400\r\nscroll=-1\r\n"));

  ProfileFile file;
  ASSERT_TRUE(file.Load(path));  // the mark decides, not the caller
  EXPECT_EQ(file.encoding(), ProfileEncoding::kUtf16Le);
  EXPECT_EQ(file.GetInt(u"ニュース", u"WIDTH", 0), 400);
  EXPECT_EQ(file.GetInt(u"ニュース", u"scroll", 0), -1);
  // The CP932 interface converts on the way in and out.
  const std::string news = "\x83\x6A\x83\x85\x81\x5B\x83\x58";
  EXPECT_EQ(file.GetInt(news, "width", 0), 400);
  EXPECT_TRUE(file.PutString(news, "hold_time", "3000"));
  EXPECT_EQ(file.SectionNamesW(), std::vector<std::u16string>{u"ニュース"});
  EXPECT_TRUE(file.RemoveSection(u"ニュース"));
  ASSERT_TRUE(file.Save());
  EXPECT_EQ(ReadAll(path), Utf16File(u""));

  // A UTF-16 file with an odd trailing byte is still read.
  WriteAll(path, Utf16File(u"[a]\r\nk=1\r\n") + "\x41");
  ASSERT_TRUE(file.Load(path));
  EXPECT_EQ(file.GetInt(u"a", u"k", 0), 1);
}

TEST(ProfileFileTest, WritesCannotPlantOtherKeys) {
  TempFolder dir;
  const std::string path = dir / "setup.ini";
  EXPECT_TRUE(WriteProfileValue(path, "connect", "proxy", "host:80\r\n[app_data]\r\niFlag=0"));
  EXPECT_EQ(ReadProfileString(path, "connect", "proxy", ""), "host:80");
  EXPECT_EQ(ReadProfileString(path, "app_data", "iFlag", "none"), "none");
  EXPECT_FALSE(WriteProfileValue(path, "connect", "a=b", "1"));
  EXPECT_FALSE(WriteProfileValue(path, "connect", "[x]", "1"));
  EXPECT_FALSE(WriteProfileValue(path, "con\nnect", "a", "1"));
  EXPECT_EQ(ReadAll(path), "[connect]\r\nproxy=host:80\r\n");
}

TEST(ProfileFileTest, RemovingKeysAndSections) {
  TempFolder dir;
  const std::string path = dir / "user.ini";
  WriteAll(path, "[a]\r\nx=1\r\ny=2\r\n[b]\r\nz=3\r\n");
  EXPECT_TRUE(DeleteProfileKey(path, "a", "x"));
  EXPECT_TRUE(DeleteProfileSection(path, "B"));
  EXPECT_EQ(ReadAll(path), "[a]\r\ny=2\r\n");
  EXPECT_TRUE(DeleteProfileSection(dir / "missing.ini", "a"));
  EXPECT_FALSE(platform::FileExists(dir / "missing.ini"));
}

TEST(ProfileFileTest, ReadOnlyFileIsLeftAlone) {
  TempFolder dir;
  const std::string path = dir / "setup.ini";
  WriteAll(path, "[app_data]\r\nskin=old\r\n");
  std::filesystem::permissions(std::filesystem::u8path(path),
                               std::filesystem::perms::owner_read |
                                   std::filesystem::perms::group_read |
                                   std::filesystem::perms::others_read);
  EXPECT_FALSE(WriteProfileValue(path, "app_data", "skin", "new"));
  EXPECT_EQ(ReadProfileString(path, "app_data", "skin", ""), "old");
  // An unchanged value needs no write and succeeds.
  EXPECT_TRUE(WriteProfileValue(path, "app_data", "skin", "old"));
  std::filesystem::permissions(std::filesystem::u8path(path), std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
}

TEST(ProfileFileTest, OversizedOrUnreadableFilesAreNeverReplaced) {
  TempFolder dir;
  const std::string big = dir / "big.ini";
  std::string content = "[app_data]\r\nskin=kept\r\n";
  content.resize(static_cast<size_t>(kMaxProfileFileSize) + 1, ';');
  WriteAll(big, content);
  EXPECT_EQ(ReadProfileString(big, "app_data", "skin", "default"), "default");
  EXPECT_FALSE(WriteProfileValue(big, "app_data", "skin", "new"));
  EXPECT_EQ(platform::FileSize(big), static_cast<int64_t>(content.size()));

  const std::string folder = dir / "folder.ini";
  ASSERT_TRUE(platform::MakeDirectory(folder));
  EXPECT_FALSE(WriteProfileValue(folder, "a", "b", "c"));
  EXPECT_TRUE(platform::DirectoryExists(folder));
}

TEST(ProfileFileTest, GarbageFileIsReadAndItsBytesSurviveAWrite) {
  TempFolder dir;
  const std::string path = dir / "setup.ini";
  std::string garbage;
  for (int i = 0; i < 4096; ++i) {
    const char c = static_cast<char>((i * 7919) >> 3);  // every byte value, NUL included
    garbage.push_back(c == '\n' || c == '\r' ? 'x' : c);
  }
  garbage += "\n[app_data]\niFlag=5";  // no line break at the end
  WriteAll(path, garbage);
  EXPECT_EQ(ReadProfileInt(path, "app_data", "iFlag", 0), 5);
  EXPECT_TRUE(WriteProfileValue(path, "app_data", "skin", "x"));
  // New lines follow the file's own line breaks.
  EXPECT_EQ(ReadAll(path), garbage + "\nskin=x\n");
}

TEST(ProfileFileTest, ConcurrentWritersLoseNothing) {
  TempFolder dir;
  const std::string path = dir / "extension.ini";
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&path, t] {
      for (int i = 0; i < 25; ++i) {
        WriteProfileValue(path, "s" + std::to_string(t), "k" + std::to_string(i),
                          std::to_string(i));
      }
    });
  }
  for (auto& thread : threads) thread.join();
  ProfileFile file;
  ASSERT_TRUE(file.Load(path));
  for (int t = 0; t < 4; ++t) {
    for (int i = 0; i < 25; ++i) {
      EXPECT_EQ(file.GetInt("s" + std::to_string(t), "k" + std::to_string(i), -1), i);
    }
  }
}

}  // namespace
}  // namespace korvo
