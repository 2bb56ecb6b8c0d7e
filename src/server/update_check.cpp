#include "server/update_check.h"

#include <array>
#include <cstdint>

namespace korvo {

namespace {

// The leading digits of `text`'s characters [first, first + count) (1-based positions).
int64_t FieldAt(std::string_view text, size_t first, size_t count) {
  int64_t value = 0;
  for (size_t i = first - 1; i < first - 1 + count && i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') break;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

std::array<int64_t, 6> Fields(const platform::CalendarTime& t) {
  return {t.year, t.month, t.day, t.hour, t.minute, t.second};
}

constexpr const char* kNames[6] = {"year", "month", "day", "hour", "minute", "second"};

constexpr char kPageHead[] =
    "<html><head><meta http-equiv=\"Pragma\" content=\"no-cache\"><meta "
    "http-equiv=\"Cache-Control\" content=\"no-cache\"></head><body><div id = \"return\">";

}  // namespace

bool IsNewerThan(const platform::CalendarTime& latest, const std::string* date) {
  if (date == nullptr || latest.year == 0) return false;
  const std::string_view text = std::string_view(*date).substr(0, 31);
  const std::array<int64_t, 6> known = {FieldAt(text, 1, 4),  FieldAt(text, 6, 2),
                                        FieldAt(text, 9, 2),  FieldAt(text, 12, 2),
                                        FieldAt(text, 15, 2), FieldAt(text, 18, 2)};
  return Fields(latest) > known;
}

std::string UpdateCheckPage(bool newer, const platform::CalendarTime& latest) {
  std::string page = kPageHead;
  if (!newer) return page + "false</div></body></html>";
  page += "true</div>";
  const std::array<int64_t, 6> fields = Fields(latest);
  for (int i = 0; i < 6; ++i) {
    page.append("<div id = \"").append(kNames[i]).append("\">");
    page.append(std::to_string(fields[i])).append("</div>");
  }
  return page + "</body></html>";
}

std::string UpdateCheckDocument(bool newer, const platform::CalendarTime& latest) {
  std::string doc =
      "<?xml version=\"1.0\" encoding=\"Shift_JIS\" ?>\n"
      "<isupdate version=\"1.0\" xmlns=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" "
      "xml:lang=\"ja\">";
  const std::array<int64_t, 6> fields = Fields(latest);
  for (int i = 0; i < 6; ++i) {
    doc.append("<").append(kNames[i]).append(">");
    doc.append(std::to_string(newer ? fields[i] : 0));
    doc.append("</").append(kNames[i]).append(">\n");
  }
  return doc + "</isupdate>";
}

}  // namespace korvo
