#include "channels/channel.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace korvo {
namespace {

AttributeLookup From(const std::map<std::string, std::string>& attributes) {
  return [&attributes](std::string_view name) -> const std::string* {
    auto it = attributes.find(std::string(name));
    return it == attributes.end() ? nullptr : &it->second;
  };
}

TEST(FolderOptionsTest, FlagAttributesCountByPresence) {
  const std::map<std::string, std::string> folder = {
      {"Drop", ""},        {"OnlyNew", "false"}, {"NoInherit", "true"}, {"NoAddToDb", "0"},
      {"skipall", "true"}, {"FilterOn", "no"},   {"keyword", "a OR b"}, {"HitDb", "noadd"},
      {"Hit", "addition"}, {"ttl", "5"},         {"itemttl", "24"}};
  const FolderOptions options = FolderOptionsFromAttributes(From(folder));
  EXPECT_TRUE(options.drop);
  EXPECT_TRUE(options.onlyNew);
  EXPECT_TRUE(options.noInherit);
  EXPECT_TRUE(options.noAddToDb);
  EXPECT_TRUE(options.skipAll);
  EXPECT_EQ(options.keyword, "a OR b");
  EXPECT_EQ(options.filterFlags, kFilterOn | kFilterStoreOthers | kFilterShowMatches);
  EXPECT_EQ(options.refreshMs, 300000u);
  EXPECT_EQ(options.itemTtl, 24u);

  const std::map<std::string, std::string> none;
  FolderOptions empty = FolderOptionsFromAttributes(From(none));
  EXPECT_TRUE(empty == FolderOptions());
  EXPECT_TRUE(FolderOptions::Root().noInherit);

  // Attribute names are exact: "drop" or "HITDB" are not options; "add" matching is exact.
  const std::map<std::string, std::string> wrong_case = {
      {"drop", "true"}, {"HITDB", "add"}, {"Hit", "ADD"}, {"HitDb", "no"}};
  EXPECT_TRUE(FolderOptionsFromAttributes(From(wrong_case)) == FolderOptions());
}

TEST(FolderOptionsTest, NumbersAreBounded) {
  EXPECT_EQ(ParseDecimalAttribute("5", 100), 5u);
  EXPECT_EQ(ParseDecimalAttribute("  +7min", 100), 7u);
  EXPECT_EQ(ParseDecimalAttribute("-3", 100), 0u);
  EXPECT_EQ(ParseDecimalAttribute("abc", 100), 0u);
  EXPECT_EQ(ParseDecimalAttribute("", 100), 0u);
  EXPECT_EQ(ParseDecimalAttribute(std::string(5000, '9'), 100), 100u);

  const std::map<std::string, std::string> huge = {{"ttl", "99999999999999999999"},
                                                   {"itemttl", "4294967296"}};
  const FolderOptions options = FolderOptionsFromAttributes(From(huge));
  EXPECT_EQ(options.refreshMs, kMaxTtlMinutes * 60000u);
  EXPECT_LE(options.refreshMs, 0x7FFFFFFFu);
  EXPECT_EQ(options.itemTtl, 0x7FFFFFFFu);
}

TEST(ChannelTest, RequestModeAndOverwriteBits) {
  const std::string post = "POST name=value";
  const std::string basic = "Basic user:pass";
  const std::string get = "get";
  const std::string other = "Digest";
  const std::string short_word = "bas";
  EXPECT_EQ(AuthModeFromAttribute(&post), kAuthPost);
  EXPECT_EQ(AuthModeFromAttribute(&basic), kAuthBasic);
  EXPECT_EQ(AuthModeFromAttribute(&get), kAuthGet);
  EXPECT_EQ(AuthModeFromAttribute(&other), kAuthNone);
  EXPECT_EQ(AuthModeFromAttribute(&short_word), kAuthNone);
  EXPECT_EQ(AuthModeFromAttribute(nullptr), kAuthNone);

  const std::map<std::string, std::string> both = {{"overwrite_siteurl", ""},
                                                   {"overwrite_sitename", "x"}};
  EXPECT_EQ(OverwriteFromAttributes(From(both)), kOverwriteSiteUrl | kOverwriteSiteName);
}

TEST(ChannelTest, PlaceholderAndFilterOptions) {
  const Channel placeholder = PlaceholderChannel();
  EXPECT_EQ(placeholder.url, kPlaceholderChannelUrl);
  EXPECT_TRUE(placeholder.noAddToDb);
  EXPECT_EQ(placeholder.refreshMs, 60u);
  EXPECT_FALSE(placeholder.drop || placeholder.onlyNew || placeholder.skipAll);

  Channel channel;
  FolderOptions options;
  options.drop = true;
  options.keyword = "k";
  options.filterFlags = kFilterOn | kFilterShowOthers;
  options.itemTtl = 3;
  channel.ApplyOptions(options);
  const ItemFilterOptions filter = channel.FilterOptions();
  EXPECT_TRUE(filter.drop);
  EXPECT_EQ(filter.keyword, "k");
  EXPECT_EQ(filter.filterFlags, kFilterOn | kFilterShowOthers);
  EXPECT_EQ(filter.itemTtl, 3u);
}

}  // namespace
}  // namespace korvo
