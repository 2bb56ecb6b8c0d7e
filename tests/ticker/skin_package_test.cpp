// Skin packages and folder skins: the package rules, hostile archives (nothing is written outside
// skin\<name>\, and a refused or broken archive writes nothing at all), names in Shift_JIS and
// UTF-8, bounds, and installation with replacement.
#include "ticker/skin_package.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/temp_folder.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "ticker/skin_entry_name.h"
#include "ticker/zip_writer.h"

namespace korvo {
namespace {

using korvo::testing::TempFolder;
using korvo::testing::ZipWriter;

// Every path below `folder`, recursively, with file contents' sizes.
void ListTree(const std::string& folder, const std::string& prefix, std::vector<std::string>* out) {
  for (const platform::DirectoryEntry& e : platform::ListDirectory(folder)) {
    const std::string path = folder + "/" + e.name;
    if (e.is_directory) {
      out->push_back(prefix + e.name + "/");
      ListTree(path, prefix + e.name + "/", out);
    } else {
      out->push_back(prefix + e.name + " " + std::to_string(platform::FileSize(path)));
    }
  }
}

class SkinPackageTest : public ::testing::Test {
 protected:
  std::string Archive(const ZipWriter& zip) {
    const std::string path = dir_ / ("drop" + std::to_string(n_++) + ".zip");
    EXPECT_TRUE(platform::WriteWholeFile(path, zip.Finish()));
    return path;
  }
  std::string Root() const { return dir_ / "skin"; }
  std::vector<std::string> Tree() const {
    std::vector<std::string> out;
    ListTree(dir_.path(), "", &out);
    return out;
  }
  // A valid package of folder `folder` plus `extra` entries.
  static ZipWriter Package(const std::string& folder) {
    ZipWriter zip;
    zip.Add(folder + "/", "");
    zip.Add(folder + "/skin.ini", "[newsbox]\r\nx=4\r\n");
    zip.Add(folder + "/face.bmp", std::string(3000, 'b'), {true});
    zip.Add(folder + "/readme.txt", "hello");
    return zip;
  }

  TempFolder dir_;
  int n_ = 0;
};

TEST_F(SkinPackageTest, InstallsAValidPackage) {
  const std::string archive = Archive(Package("blue"));
  SkinPackageInfo info;
  ASSERT_EQ(CheckSkinPackage(archive, Root(), &info), SkinCheck::kSkin);
  EXPECT_EQ(info.name, "blue");
  EXPECT_EQ(info.ini_entry, "skin.ini");
  EXPECT_EQ(info.bitmap_entry, "face.bmp");
  EXPECT_TRUE(info.button_entry.empty());
  EXPECT_EQ(info.files.size(), 3u);
  EXPECT_FALSE(info.installed);
  EXPECT_FALSE(info.has_program_files);

  ASSERT_TRUE(InstallSkinPackage(archive, Root(), &info));
  std::string text;
  ASSERT_TRUE(platform::ReadWholeFile(Root() + "/blue/face.bmp", &text));
  EXPECT_EQ(text, std::string(3000, 'b'));  // deflated entry unpacked
  ASSERT_TRUE(platform::ReadWholeFile(Root() + "/blue/readme.txt", &text));
  EXPECT_EQ(text, "hello");
  std::vector<std::string> tree;
  ListTree(Root(), "", &tree);
  EXPECT_EQ(tree, (std::vector<std::string>{"blue/", "blue/face.bmp 3000", "blue/readme.txt 5",
                                            "blue/skin.ini 16"}));

  // Installed now; a second package replaces the files.
  ZipWriter again;
  again.Add("blue\\skin.ini", "new");
  again.Add("blue\\face.bmp", "bmp");
  again.Add("blue\\btn_bitmap.btn", "btn");
  again.Add("blue\\clock.DLL", "MZ");
  const std::string second = Archive(again);
  ASSERT_EQ(CheckSkinPackage(second, Root(), &info), SkinCheck::kSkin);
  EXPECT_TRUE(info.installed);
  EXPECT_TRUE(info.has_program_files);
  EXPECT_EQ(info.button_entry, "btn_bitmap.btn");
  ASSERT_TRUE(InstallSkinPackage(second, Root(), &info));
  ASSERT_TRUE(platform::ReadWholeFile(Root() + "/blue/skin.ini", &text));
  EXPECT_EQ(text, "new");
  EXPECT_TRUE(platform::FileExists(Root() + "/blue/readme.txt"));  // other files stay
}

TEST_F(SkinPackageTest, PackageRules) {
  const struct {
    std::vector<std::string> names;
    const char* why;
  } cases[] = {
      {{"blue/a.bmp", "blue/b.bmp", "blue/s.ini"}, "two bitmaps"},
      {{"blue/a.bmp", "blue/s.ini", "blue/t.INI"}, "two skin files"},
      {{"blue/a.bmp", "blue/s.ini", "blue/btn_bitmap.btn", "blue/BTN_BITMAP.BTN"}, "two buttons"},
      {{"blue/a.bmp", "blue/s.ini", "top.txt"}, "a file at the top level"},
      {{"blue/a.bmp", "blue/s.ini", "blue/sub/x.txt"}, "a second level"},
      {{"blue/a.bmp", "blue/s.ini", "blue/sub/"}, "a sub-folder entry"},
      {{"blue/a.bmp", "red/s.ini"}, "two folders"},
      {{"blue/a.bmp"}, "no skin file"},
      {{"blue/s.ini", "blue/readme.txt"}, "no bitmap"},
      {{"blue/a.bmp", "blue/s.ini", "blue/A.BMP"}, "the same name twice"},
  };
  for (const auto& c : cases) {
    ZipWriter zip;
    for (const std::string& name : c.names) zip.Add(name, "x");
    SkinPackageInfo info;
    EXPECT_EQ(CheckSkinPackage(Archive(zip), Root(), &info), SkinCheck::kNotSkin) << c.why;
  }
  SkinPackageInfo info;
  EXPECT_NE(CheckSkinPackage(Archive(ZipWriter()), Root(), &info), SkinCheck::kSkin);
  ASSERT_TRUE(platform::WriteWholeFile(dir_ / "feed.xml", "<?xml version=\"1.0\"?><rss/>"));
  EXPECT_EQ(CheckSkinPackage(dir_ / "feed.xml", Root(), &info), SkinCheck::kNotArchive);
  EXPECT_EQ(CheckSkinPackage(dir_ / "missing.zip", Root(), &info), SkinCheck::kNotArchive);
}

TEST_F(SkinPackageTest, HostileArchivesWriteNothing) {
  const char* const hostile[] = {
      "../evil.txt",  "blue/../../evil.txt", "..\\blue\\x.txt", "/abs/x.txt",
      "\\abs\\x.txt", "C:/Windows/x.txt",    "blue/C:x.txt",    "blue//x.txt",
      "con/x.txt",    "blue/nul.txt",        "blue/LPT1",       "blue/a|b.txt",
      "blue/x.txt ",  "blue/x.txt.",         "noskin260/x.txt", "blue/\x01x.txt",
      "blue/x\x82",  // ends inside a two-byte character
  };
  const std::vector<std::string> before = Tree();
  for (const char* name : hostile) {
    ZipWriter zip = Package(name[0] == 'n' && name[1] == 'o' ? "noskin260" : "blue");
    zip.Add(name, "evil");
    const std::string archive = Archive(zip);
    SkinPackageInfo info;
    EXPECT_EQ(CheckSkinPackage(archive, Root(), &info), SkinCheck::kNotSkin) << name;
    EXPECT_FALSE(InstallSkinPackage(archive, Root(), &info)) << name;
    platform::RemoveFile(archive);
    EXPECT_EQ(Tree(), before) << name;
  }
  // Unpacked sizes beyond the bound (declared), and too many entries.
  ZipWriter big = Package("blue");
  ZipWriter::Options lying;
  lying.declared_size = static_cast<int64_t>(kMaxPackageBytes);
  big.Add("blue/huge.bin", "x", lying);
  SkinPackageInfo info;
  EXPECT_EQ(CheckSkinPackage(Archive(big), Root(), &info), SkinCheck::kNotSkin);
  ZipWriter many = Package("blue");
  for (int i = 0; i < kMaxPackageEntries; ++i) many.Add("blue/f" + std::to_string(i), "");
  EXPECT_EQ(CheckSkinPackage(Archive(many), Root(), &info), SkinCheck::kNotSkin);
  EXPECT_FALSE(platform::DirectoryExists(Root()));
}

TEST_F(SkinPackageTest, BrokenEntryLeavesTheSkinAsItWas) {
  SkinPackageInfo info;
  ASSERT_TRUE(InstallSkinPackage(Archive(Package("blue")), Root(), &info));
  const std::vector<std::string> before = Tree();
  ZipWriter broken = Package("blue");
  ZipWriter::Options bad;
  bad.bad_crc = true;
  broken.Add("blue/skin2.txt", "payload", bad);
  const std::string archive = Archive(broken);
  const std::vector<std::string> with_archive = Tree();
  EXPECT_EQ(CheckSkinPackage(archive, Root(), &info), SkinCheck::kSkin);  // headers look fine
  EXPECT_FALSE(InstallSkinPackage(archive, Root(), &info));
  EXPECT_EQ(Tree(), with_archive);

  // A new skin whose entry is broken leaves no folder behind.
  ZipWriter fresh = Package("green");
  fresh.Add("green/x.txt", "payload", bad);
  const std::string second = Archive(fresh);
  const std::vector<std::string> with_second = Tree();
  EXPECT_FALSE(InstallSkinPackage(second, Root(), &info));
  EXPECT_EQ(Tree(), with_second);
  EXPECT_NE(before, with_second);
}

TEST_F(SkinPackageTest, ShiftJisAndUtf8Names) {
  // 表示: 0x95 0x5C 0x8E 0xA6; its first character ends in the byte of '\'.
  const std::string folder = "\x95\x5C\x8E\xA6";
  ZipWriter zip;
  zip.Add(folder + "\\", "");
  zip.Add(folder + "\\face.bmp", "b");
  zip.Add(folder + "\\skin.ini", "i");
  SkinPackageInfo info;
  const std::string archive = Archive(zip);
  ASSERT_EQ(CheckSkinPackage(archive, Root(), &info), SkinCheck::kSkin);
  EXPECT_EQ(info.name, folder);
  ASSERT_TRUE(InstallSkinPackage(archive, Root(), &info));
  EXPECT_TRUE(platform::FileExists(Root() + "/表示/face.bmp"));

  ZipWriter utf8;
  ZipWriter::Options flagged;
  flagged.utf8_name = true;
  utf8.Add("青/face.bmp", "b", flagged);
  utf8.Add("青/skin.ini", "i", flagged);
  ASSERT_EQ(CheckSkinPackage(Archive(utf8), Root(), &info), SkinCheck::kSkin);
  EXPECT_EQ(info.name, platform::Utf8ToCp932("青"));
}

TEST_F(SkinPackageTest, FolderSkins) {
  const std::string source = dir_ / "drop/orange";
  ASSERT_TRUE(platform::MakeDirectory(dir_ / "drop"));
  ASSERT_TRUE(platform::MakeDirectory(source));
  ASSERT_TRUE(platform::MakeDirectory(source + "/sub"));
  ASSERT_TRUE(platform::WriteWholeFile(source + "/o.ini", "ini"));
  ASSERT_TRUE(platform::WriteWholeFile(source + "/sub/x.txt", "not copied"));
  SkinPackageInfo info;
  EXPECT_EQ(CheckFolderSkin(source, Root(), &info), SkinCheck::kNotSkin);  // no bitmap
  ASSERT_TRUE(platform::WriteWholeFile(source + "/o.bmp", std::string(20000, 'o')));
  ASSERT_EQ(CheckFolderSkin(source + "/", Root(), &info), SkinCheck::kSkin);
  EXPECT_EQ(info.name, "orange");
  ASSERT_TRUE(InstallFolderSkin(source, Root(), &info));
  std::vector<std::string> tree;
  ListTree(Root(), "", &tree);
  EXPECT_EQ(tree, (std::vector<std::string>{"orange/", "orange/o.bmp 20000", "orange/o.ini 3"}));
  // Dropping the installed folder itself keeps its files whole.
  ASSERT_TRUE(InstallFolderSkin(Root() + "/orange", Root(), &info));
  EXPECT_EQ(platform::FileSize(Root() + "/orange/o.bmp"), 20000);

  ASSERT_TRUE(platform::WriteWholeFile(source + "/p.ini", "ini"));
  EXPECT_EQ(CheckFolderSkin(source, Root(), &info), SkinCheck::kNotSkin);  // two .ini files
  EXPECT_EQ(CheckFolderSkin(dir_ / "drop.txt", Root(), &info), SkinCheck::kNotSkin);
}

TEST(SkinEntryNameTest, SplittingAndSafeNames) {
  std::vector<std::string> parts;
  bool trailing = false;
  ASSERT_TRUE(SplitCp932Path("a/b\\c", &parts, &trailing));
  EXPECT_EQ(parts, (std::vector<std::string>{"a", "b", "c"}));
  ASSERT_TRUE(SplitCp932Path("\x83\x5C/", &parts, &trailing));  // ソ/
  EXPECT_EQ(parts, (std::vector<std::string>{"\x83\x5C"}));
  EXPECT_TRUE(trailing);
  EXPECT_FALSE(SplitCp932Path("a\x83", &parts, &trailing));
  for (const char* ok : {"face.bmp", "\x83\x5C", "a b.txt", "com10", "console.txt"}) {
    EXPECT_TRUE(IsSafeFileName(ok)) << ok;
  }
  for (const char* bad : {"", ".", "..", "a?", "CON", "aux.txt", "Com1.bmp", "x.", "x ", "a:b"}) {
    EXPECT_FALSE(IsSafeFileName(bad)) << bad;
  }
  EXPECT_FALSE(IsSafeSkinName("NoSkin260"));
  EXPECT_TRUE(IsProgramFileName("plugin.Dll"));
  EXPECT_FALSE(IsProgramFileName("dll.txt"));
}

}  // namespace
}  // namespace korvo
