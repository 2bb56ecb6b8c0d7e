#include "channels/opml_templates.h"

namespace korvo {

namespace {

struct Favourite {
  const char* name;  // UTF-8
  const char* address;
};

constexpr Favourite kInitialFavourites[] = {
    {u8"Yahoo! JAPAN 検索", "https://search.yahoo.co.jp/"},
    {"Feedly", "https://feedly.com/"},
    {u8"はてなアンテナ", "https://a.hatena.ne.jp/"},
    {"Inoreader", "https://www.inoreader.com/"},
};

void AppendAttribute(const char* name, const char* value, std::string* out) {
  *out += ' ';
  *out += name;
  *out += " = \"";
  *out += value;
  *out += '"';
}

}  // namespace

const std::string& EmptyChannelListText() {
  static const std::string text =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<opml version=\"1.0\">\n"
      "\t<head>\n"
      "\t\t<title>KorvoNewsReader ChannelList</title>\n"
      "\t</head>\n"
      "\t<body>\n"
      "\t</body>\n"
      "</opml>\n";
  return text;
}

const std::string& InitialFavouritesText() {
  static const std::string text = [] {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<opml version=\"1.0\">\n"
        "\t<head>\n"
        "\t\t<title>KorvoNewsReader-Favorite</title>\n"
        "\t</head>\n"
        "\t<body>\n";
    for (const Favourite& favourite : kInitialFavourites) {
      out += "\t<outline";
      AppendAttribute("text", favourite.name, &out);
      AppendAttribute("htmlUrl", favourite.address, &out);
      AppendAttribute("title", favourite.name, &out);
      out += "/>";
    }
    out += "\n\t</body>\n</opml>\n";
    return out;
  }();
  return text;
}

}  // namespace korvo
