#include "channels/outline_properties.h"

#include <gtest/gtest.h>

#include "channels/opml_templates.h"

namespace korvo {
namespace {

TEST(OutlinePropertiesTest, EditingKeepsWhatTheDialogDoesNotShow) {
  const AttributeList old = {{"text", "Old"},
                             {"title", "Old"},
                             {"type", "rss"},
                             {"xmlUrl", "http://example.jp/rss[user]"},
                             {"htmlUrl", "http://example.jp/"},
                             {"NoAddToDb", "true"},
                             {"itemttl", "24"},
                             {"overwrite_siteurl", ""},
                             {"language", "ja"},
                             {"Drop", "true"},
                             {"keyword", "old words"},
                             {"ttl", "15"}};
  OutlineProperties properties = PropertiesFromAttributes(old);
  EXPECT_EQ(properties.xmlUrl, "http://example.jp/rss[user]");
  EXPECT_TRUE(properties.drop);
  EXPECT_EQ(properties.ttl, 15u);
  EXPECT_FALSE(properties.IsFolder());

  properties.text = "New";
  properties.drop = false;
  properties.keyword.clear();
  properties.onlyNew = true;
  properties.ttl = 0;
  properties.hit = "noadd";
  const AttributeList edited = ApplyProperties(old, properties);
  const AttributeList expected = {{"text", "New"},
                                  {"title", "New"},
                                  {"xmlUrl", "http://example.jp/rss[user]"},
                                  {"htmlUrl", "http://example.jp/"},
                                  {"Hit", "noadd"},
                                  {"OnlyNew", "true"},
                                  {"type", "rss"},
                                  {"NoAddToDb", "true"},
                                  {"itemttl", "24"},
                                  {"overwrite_siteurl", ""},
                                  {"language", "ja"}};
  EXPECT_EQ(edited, expected);
  // Reading back gives the edited properties.
  const OutlineProperties again = PropertiesFromAttributes(edited);
  EXPECT_EQ(again.text, "New");
  EXPECT_TRUE(again.onlyNew);
  EXPECT_FALSE(again.drop);
  EXPECT_EQ(again.ttl, 0u);
}

TEST(OutlinePropertiesTest, EveryEditedAttributeIsWritten) {
  OutlineProperties p;
  p.text = "F";
  p.authorization = "basic";
  p.keyword = "k";
  p.hitDb = "add";
  p.filterByName = p.filterOn = p.skipAll = p.disable = p.drop = p.noInherit = p.onlyNew = true;
  p.ttl = 5;
  const AttributeList written = ApplyProperties({}, p);
  for (const char* flag :
       {"FilterByName", "FilterOn", "skipall", "disable", "Drop", "NoInherit", "OnlyNew"}) {
    const std::string* value = FindAttribute(written, flag);
    ASSERT_NE(value, nullptr) << flag;
    EXPECT_EQ(*value, "true");
  }
  EXPECT_EQ(*FindAttribute(written, "ttl"), "5");
  EXPECT_EQ(*FindAttribute(written, "authorization"), "basic");
  EXPECT_EQ(FindAttribute(written, "xmlUrl"), nullptr);  // a folder
}

TEST(OutlinePropertiesTest, FeedAddressSuffixSurvivesTheDialog) {
  EXPECT_EQ(DisplayedFeedAddress("http://a/rss[opts[x]"), "http://a/rss");
  EXPECT_EQ(DisplayedFeedAddress("http://a/rss"), "http://a/rss");
  EXPECT_EQ(MergeEditedFeedAddress("http://a/rss[opts]", "http://b/rss"), "http://b/rss[opts]");
  EXPECT_EQ(MergeEditedFeedAddress("http://a/rss[opts]", "http://b/rss[new]"), "http://b/rss[new]");
  EXPECT_EQ(MergeEditedFeedAddress("http://a/rss", "http://b/rss"), "http://b/rss");
  EXPECT_EQ(MergeEditedFeedAddress("http://a/rss[opts]", ""), "");
}

TEST(OutlinePropertiesTest, FavouriteAddress) {
  const AttributeList old = {{"text", "Site"}, {"htmlUrl", "http://a/"}, {"title", "Site"}};
  AttributeList edited = ApplyFavouriteProperties(old, "Site 2", "http://b/");
  EXPECT_EQ(edited,
            (AttributeList{{"text", "Site 2"}, {"htmlUrl", "http://b/"}, {"title", "Site 2"}}));
  edited = ApplyFavouriteProperties(old, "Site", "");
  EXPECT_EQ(edited, (AttributeList{{"text", "Site"}, {"title", "Site"}}));
}

TEST(OutlinePropertiesTest, RequestChoiceKeepsWhatFollowsTheWord) {
  const struct {
    const char* old_value;
    int choice;
    const char* expected;
  } cases[] = {
      {"", 1, "basic"},
      {"Basic realm", 1, "Basic realm"},  // the same word: kept with
                                          // what follows
      {"Basic realm", 2, "GET"},
      {"POST a=1", 3, "POST a=1"},
      {"POST a=1", 0, ""},
      {"getaway", 2, "getaway"},  // "GET" compares its first three letters only
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AuthorizationForChoice(c.old_value, c.choice), c.expected) << c.old_value;
  }
  EXPECT_EQ(RequestChoiceOf("basic"), 1);
  EXPECT_EQ(RequestChoiceOf("post"), 3);
  EXPECT_EQ(RequestChoiceOf("other"), 0);
}

TEST(OpmlTemplatesTest, ExactBytes) {
  EXPECT_EQ(EmptyChannelListText(),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<opml version=\"1.0\">\n\t<head>\n"
            "\t\t<title>KorvoNewsReader ChannelList</title>\n\t</head>\n\t<body>\n\t</body>\n"
            "</opml>\n");
  const std::string& fav = InitialFavouritesText();
  EXPECT_EQ(fav.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<opml version=\"1.0\">\n"
                      "\t<head>\n\t\t<title>KorvoNewsReader-Favorite</title>\n\t</head>\n"
                      "\t<body>\n\t<outline text = \"",
                      0),
            0u);
  size_t outlines = 0;
  for (size_t at = fav.find("\t<outline "); at != std::string::npos;
       at = fav.find("\t<outline ", at + 1)) {
    ++outlines;
  }
  EXPECT_EQ(outlines, 4u);
  EXPECT_NE(fav.find("\" htmlUrl = \"https://"), std::string::npos);
  EXPECT_EQ(fav.substr(fav.size() - 20), "/>\n\t</body>\n</opml>\n");
}

}  // namespace
}  // namespace korvo
