// The list pages byte for byte, with the escaping of feed texts.
#include "browse/list_page.h"

#include <gtest/gtest.h>

#include "browse_test_util.h"

namespace korvo::testing {
namespace {

const std::string kHeadStart =
    "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=shift_jis\">"
    "<link rel=\"stylesheet\" href=\"file://localhost/C:/Program Files/korvo/knr.css\" "
    "type=\"text/css\"><title></title></head>\n<body>\n<div class=\"title\">KorvoNewsReader" +
    Sjis(u8"　");
const std::string kTableHead =
    "<table>\n\t<tr><th>" + Sjis(u8"時間") + "</th><th>" + Sjis(u8"タイトル") + "</th></tr>\n";

ListRow Row(uint32_t number, const std::string& title, const std::string& link,
            const std::string& got, const std::string& checked) {
  ListRow row;
  row.number = number;
  row.cells[list_column::kTitle] = title;
  row.cells[list_column::kUrl] = link;
  row.cells[list_column::kGetDay] = got;
  row.cells[list_column::kCheckDay] = checked;
  return row;
}

TEST(ListPageTest, DayPageByteForByte) {
  ListPageSubject subject;
  subject.kind = ListKind::kRead;
  subject.day = Cal(2006, 1, 2);
  const std::vector<ListRow> rows = {
      Row(7, "Checked", "http://a.example/1", "2006/01/01 09:05", "2006/01/02 03:04"),
      Row(12, "Unread", "https://b.example/2", "2006/01/02 10:00", ""),
  };
  const std::string page = BuildListPage("C:\\Program Files\\korvo", subject, rows, [](uint32_t n) {
    return n == 7 ? std::string("line one\r\nline two") : std::string();
  });
  const std::string expected =
      kHeadStart + Sjis(u8"チェックしたニュース（再チェックは除く）") + "</div>\n" +
      "<div class=\"daytime\">2006/1/2</div>\n" + kTableHead +
      "\t<tr><td class=\"time\" nowrap>2006/01/02<br>03:04</td><td class=\"title_url\"><a href = "
      "\"http://a.example/1\">Checked</a><p>line one<br>line two</p><div "
      "class=\"key\">http://a.example/1&nbsp;-&nbsp;2006/01/01 09:05&nbsp;-&nbsp;7</div></td>"
      "</tr>\n"
      "\t<tr><td class=\"time\" nowrap><br></td><td class=\"title_url\"><a href = "
      "\"https://b.example/2\">Unread</a><div class=\"key\">https://b.example/2&nbsp;-&nbsp;"
      "2006/01/02 10:00&nbsp;-&nbsp;12</div></td></tr>\n"
      "</table></body></html>\n";
  EXPECT_EQ(page, expected);
}

TEST(ListPageTest, TitlesPerKindAndTheSearchHeader) {
  const struct {
    ListKind kind;
    const char* title;
  } kinds[] = {
      {ListKind::kAll, u8"取得したニュースすべて"},
      {ListKind::kUnread, u8"未読の記事"},
      {ListKind::kRead, u8"チェックしたニュース（再チェックは除く）"},
      {ListKind::kCommented, u8"チェックした記事の中でコメントがある記事"},
      {ListKind::kMarked, u8"チェックした記事の中でマークした記事"},
      {ListKind::kInTicker, u8"現在流れている記事"},
      {ListKind::kReadLater, u8"あとで読む"},
  };
  for (const auto& k : kinds) {
    ListPageSubject subject;
    subject.kind = k.kind;
    EXPECT_EQ(ListPageTitle(subject), Sjis(k.title));
  }
  ListPageSubject search;
  search.search = true;
  search.words = "rss";
  EXPECT_EQ(ListPageTitle(search), "&nbsp;");
  EXPECT_EQ(ListPageHeader(search),
            "<div class=\"daytime\">rss&nbsp;" + Sjis(u8"を検索") + "</div>\n" + kTableHead);
}

TEST(ListPageTest, FeedTextsAreEscapedAndOnlyWebOrFileLinksAreClickable) {
  ListPageSubject subject;
  subject.search = true;
  subject.words = "<b>";
  const std::vector<ListRow> rows = {
      Row(1, "<script>x</script> & \"q\"", "http://a.example/?a=1&b=\"2\"", "", ""),
      Row(2, "js", "javascript:alert(1)", "", ""),
      Row(3, Sjis(u8"ソ"), "FILE:///c:/x.html", "", "2006/01/02 03:04"),
  };
  const std::string page = BuildListPage(
      "C:/k", subject, rows, [](uint32_t) { return std::string("<img src=x onerror=y>\r\n"); });
  EXPECT_NE(page.find("&lt;b&gt;&nbsp;"), std::string::npos);
  EXPECT_NE(page.find("<a href = \"http://a.example/?a=1&amp;b=&quot;2&quot;\">&lt;script&gt;x&lt;"
                      "/script&gt; &amp; &quot;q&quot;</a>"),
            std::string::npos);
  EXPECT_EQ(page.find("<script>"), std::string::npos);
  EXPECT_EQ(page.find("href = \"javascript"), std::string::npos);
  EXPECT_NE(page.find("<td class=\"title_url\">js<div class=\"key\">javascript:alert(1)&nbsp;"),
            std::string::npos);
  // "ソ" is 0x83 0x5C: its trail byte is "\" and stays as it is.
  EXPECT_NE(page.find("<a href = \"FILE:///c:/x.html\">" + Sjis(u8"ソ") +
                      "</a><p>&lt;img src=x "
                      "onerror=y&gt;<br></p>"),
            std::string::npos);
}

class CheckedPageTest : public StoreFixture {};

TEST_F(CheckedPageTest, ListsTheRecordsCheckedThatDayWithTheirComments) {
  NewsItem item = SampleItem(1, Cal(2006, 1, 1, 9, 5));
  item.title = u"T<1>";
  item.check_day.calendar = Cal(2006, 1, 2, 3, 4);
  item.comment = u"one\r\ntwo";
  const uint32_t first = Add(item);
  AddTitled(2, "other day", Cal(2006, 1, 1, 9, 0), Cal(2006, 1, 3, 3, 4));
  AddTitled(3, "unread", Cal(2006, 1, 2, 9, 0));
  const std::string page = BuildCheckedPage("C:/Program Files/korvo", Cal(2006, 1, 2), *guard_);
  const std::string expected =
      kHeadStart + Sjis(u8"チェックしたニュース（再チェックは除く）") + "</div>\n" +
      "<div class=\"daytime\">2006/1/2</div>\n" + kTableHead +
      "\t<tr><td class=\"time\">03:04</td><td class=\"title_url\"><a href = "
      "\"http://news.example.jp/articles/1.html\">T&lt;1&gt;</a><p>one<br>two</p><div "
      "class=\"key\">http://news.example.jp/articles/1.html&nbsp;-&nbsp;2006/1/1&nbsp;9:5&nbsp;"
      "-&nbsp;" +
      std::to_string(first) + "</div></td></tr>\n</table></body></html>\n";
  EXPECT_EQ(page, expected);
  EXPECT_EQ(StoredComment(*guard_, first), "one\r\ntwo");
  EXPECT_EQ(StoredComment(*guard_, 99999), "");
}

TEST_F(CheckedPageTest, TheFileGetsCrLfLineEndsAndAFailedWriteIsReported) {
  ASSERT_TRUE(WritePageFile(folder_ / kListPageFile, "<a>\n<b>\n"));
  EXPECT_EQ(FileBytes(folder_ / kListPageFile), "<a>\r\n<b>\r\n");
  EXPECT_FALSE(WritePageFile(folder_ / "missing/folder/checkedurl.html", "x\n"));
}

}  // namespace
}  // namespace korvo::testing
