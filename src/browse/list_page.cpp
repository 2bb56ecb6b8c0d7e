#include "browse/list_page.h"

#include <cstdio>

#include "browse/ascii_case.h"
#include "browse/markup_text.h"
#include "browse/record_walk.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "store/news_database.h"
#include "store/news_item.h"

namespace korvo {

namespace {

std::string Cp932(const char* utf8) { return platform::Utf8ToCp932(utf8); }

constexpr char kCheckedTitle[] = u8"チェックしたニュース（再チェックは除く）";

std::string Format(const char* pattern, int a, int b, int c) {
  char text[64];
  std::snprintf(text, sizeof text, pattern, a, b, c);
  return text;
}

std::string DayHeader(const platform::CalendarTime& day) {
  return "<div class=\"daytime\">" + Format("%d/%d/%d", day.year, day.month, day.day) +
         "</div>\n<table>\n\t<tr><th>" + Cp932(u8"時間") + "</th><th>" + Cp932(u8"タイトル") +
         "</th></tr>\n";
}

// `<a href = "link">title</a>`, or the title alone for a link the page must not open.
std::string TitleLink(std::string_view link, std::string_view title) {
  if (!IsPageLink(link)) return EscapeHtml(title);
  return "<a href = \"" + EscapeHtml(link) + "\">" + EscapeHtml(title) + "</a>";
}

// A comment for a paragraph: escaped; a line feed becomes "<br>", a carriage return is dropped.
std::string CommentParagraph(std::string_view comment) {
  std::string out;
  for (char c : EscapeHtml(comment)) {
    if (c == '\n') {
      out += "<br>";
    } else if (c != '\r') {
      out += c;
    }
  }
  return out;
}

}  // namespace

const char kPageEnd[] = "</table></body></html>\n";

std::string EscapeHtml(std::string_view text) { return EscapeMarkup(text, MarkupEncoding::kCp932); }

bool IsPageLink(std::string_view link) {
  return StartsWithIgnoringAsciiCase(link, "http://") ||
         StartsWithIgnoringAsciiCase(link, "https://") ||
         StartsWithIgnoringAsciiCase(link, "file:");
}

std::string PageHead(std::string_view program_folder, std::string_view title) {
  std::string folder(program_folder);
  for (char& c : folder) {
    if (c == '\\') c = '/';
  }
  return "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
         "charset=shift_jis\"><link rel=\"stylesheet\" href=\"file://localhost/" +
         EscapeHtml(folder) +
         "/knr.css\" type=\"text/css\"><title></title></head>\n<body>\n<div "
         "class=\"title\">KorvoNewsReader" +
         Cp932(u8"　") + std::string(title) + "</div>\n";
}

std::string ListPageTitle(const ListPageSubject& subject) {
  if (subject.search) return "&nbsp;";
  switch (subject.kind) {
    case ListKind::kAll:
      return Cp932(u8"取得したニュースすべて");
    case ListKind::kUnread:
      return Cp932(u8"未読の記事");
    case ListKind::kRead:
      return Cp932(kCheckedTitle);
    case ListKind::kCommented:
      return Cp932(u8"チェックした記事の中でコメントがある記事");
    case ListKind::kMarked:
      return Cp932(u8"チェックした記事の中でマークした記事");
    case ListKind::kInTicker:
      return Cp932(u8"現在流れている記事");
    case ListKind::kReadLater:
      return Cp932(u8"あとで読む");
  }
  return std::string();
}

std::string ListPageHeader(const ListPageSubject& subject) {
  if (!subject.search) return DayHeader(subject.day);
  return "<div class=\"daytime\">" + EscapeHtml(subject.words) + "&nbsp;" + Cp932(u8"を検索") +
         "</div>\n<table>\n\t<tr><th>" + Cp932(u8"時間") + "</th><th>" + Cp932(u8"タイトル") +
         "</th></tr>\n";
}

std::string BuildListPage(std::string_view program_folder, const ListPageSubject& subject,
                          const std::vector<ListRow>& rows,
                          const std::function<std::string(uint32_t number)>& comment_of) {
  std::string page = PageHead(program_folder, ListPageTitle(subject)) + ListPageHeader(subject);
  for (const ListRow& row : rows) {
    const std::string& check = row.cell(list_column::kCheckDay);
    const std::string date = check.substr(0, 10);
    const std::string time = check.size() > 11 ? check.substr(11) : std::string();
    const std::string& link = row.cell(list_column::kUrl);
    page += "\t<tr><td class=\"time\" nowrap>" + date + "<br>" + time +
            "</td><td class=\"title_url\">" + TitleLink(link, row.cell(list_column::kTitle));
    if (!check.empty()) {
      page += "<p>" + CommentParagraph(comment_of ? comment_of(row.number) : "") + "</p>";
    }
    page += "<div class=\"key\">" + EscapeHtml(link) + "&nbsp;-&nbsp;" +
            row.cell(list_column::kGetDay) + "&nbsp;-&nbsp;" + std::to_string(row.number) +
            "</div></td></tr>\n";
  }
  return page + kPageEnd;
}

std::string BuildCheckedPage(std::string_view program_folder, const platform::CalendarTime& day,
                             DatabaseGuard& guard) {
  std::string page = PageHead(program_folder, Cp932(kCheckedTitle)) + DayHeader(day);
  const uint32_t key = PackedDate::Pack(day);
  std::vector<uint32_t> numbers;
  for (const IndexEntry& entry : ReadIndexEntries(guard, NewsDatabase::kHistoryIndex)) {
    if (PackedDate::SameDay(entry.value, key)) numbers.push_back(entry.number);
  }
  ReadRecordsInGroups(guard, numbers, nullptr, [&](size_t, NewsItem* record) {
    if (record == nullptr || !PackedDate::SameDay(record->check_day.packed, key)) return;
    const platform::CalendarTime& check = record->check_day.calendar;
    const platform::CalendarTime& got = record->get_day.calendar;
    const std::string link = platform::Utf16ToCp932(record->link);
    char time[16];
    std::snprintf(time, sizeof time, "%02d:%02d", check.hour, check.minute);
    char got_text[64];
    std::snprintf(got_text, sizeof got_text, "%d/%d/%d&nbsp;%d:%d", got.year, got.month, got.day,
                  got.hour, got.minute);
    page += std::string("\t<tr><td class=\"time\">") + time + "</td><td class=\"title_url\">" +
            TitleLink(link, platform::Utf16ToCp932(record->title)) + "<p>" +
            CommentParagraph(platform::Utf16ToCp932(record->comment)) + "</p><div class=\"key\">" +
            EscapeHtml(link) + "&nbsp;-&nbsp;" + got_text + "&nbsp;-&nbsp;" +
            std::to_string(record->number) + "</div></td></tr>\n";
  });
  return page + kPageEnd;
}

std::string StoredComment(DatabaseGuard& guard, uint32_t number) {
  ScopedDatabase db(guard);
  if (!db || number == 0) return std::string();
  NewsItem record;
  record.number = number;
  if (db->ReadItem(&record) == 0) return std::string();
  return platform::Utf16ToCp932(record.comment);
}

bool WritePageFile(const std::string& path, std::string_view page) {
  std::string bytes;
  bytes.reserve(page.size() + page.size() / 16);
  for (char c : page) {
    if (c == '\n') bytes += '\r';
    bytes += c;
  }
  return platform::WriteWholeFile(path, bytes);
}

}  // namespace korvo
