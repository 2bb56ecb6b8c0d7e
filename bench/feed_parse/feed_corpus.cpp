#include "feed_corpus.h"

#include <random>

#include "platform/code_page.h"

namespace korvo::bench {

namespace {

// Headline and body phrases, UTF-8. Only JIS X 0208 characters, so that every encoding can
// hold them.
const char* const kPhrases[] = {
    u8"新しい携帯電話の発表会が東京で開かれました",
    u8"今日の天気は晴れのち曇り、夕方から雨の予報です",
    u8"株価が大きく値上がりし、市場は活気づいています",
    u8"プログラミング言語の最新版が公開されました",
    u8"地方の鉄道会社が新型車両の運行を始めます",
    u8"サッカー日本代表、予選で勝ち点三を獲得",
    u8"研究チームが新しい素材の開発に成功したと発表",
    u8"週末のおすすめ映画と話題の本を紹介します",
    u8"ブログを始めて一年、アクセス数が増えてきました",
    u8"オープンソースの開発者会議が来月開催されます",
    u8"台風の接近に伴い、交通機関に影響が出ています",
    u8"新しいカフェが駅前にオープン、行列ができる人気",
    u8"夏休みの旅行先ランキング、北海道が一位に",
    u8"政府が来年度の予算案を閣議決定しました",
    u8"ゲーム機の販売台数が前年を上回る見込み",
    u8"桜の開花予想が発表され、各地で準備が進む",
};

const char* const kAuthors[] = {u8"山田太郎", u8"佐藤花子", u8"編集部", "staff", u8"鈴木一郎"};
const char* const kCategories[] = {u8"経済", u8"技術", u8"スポーツ", u8"社会", u8"文化", "IT"};

class Writer {
 public:
  explicit Writer(uint32_t seed) : random_(seed) {}

  uint32_t Next(uint32_t bound) { return static_cast<uint32_t>(random_() % bound); }
  const char* Phrase() { return kPhrases[Next(sizeof kPhrases / sizeof kPhrases[0])]; }

  // An HTML body with markup, links, images, line breaks and entities (not yet escaped).
  std::string HtmlBody() {
    std::string html = "<p>";
    const uint32_t sentences = 3 + Next(6);
    for (uint32_t i = 0; i < sentences; ++i) {
      html += Phrase();
      html += u8"。";
      switch (Next(8)) {
        case 0:
          html += "<br />";
          break;
        case 1:
          html += "<a href=\"http://example.jp/news/" + std::to_string(Next(100000)) +
                  ".html?ref=rss&amp;from=feed\">" + u8"続きを読む" + "</a>";
          break;
        case 2:
          html += "<img src=\"http://img.example.jp/p/" + std::to_string(Next(9999)) +
                  ".jpg\" width=\"120\" height=\"90\" alt=\"photo\">";
          break;
        case 3:
          html += "</p><p>";
          break;
        case 4:
          html += "&quot;" + std::string(Phrase()) + "&quot; &copy; 2005 &amp; more&nbsp;";
          break;
        case 5:
          html += "<strong>&#12354;&#x3044;&#12358;</strong>";
          break;
        default:
          html += " Lorem ipsum dolor sit amet, consectetur adipiscing elit. ";
      }
    }
    html += "</p>";
    if (Next(4) == 0) html += "<ul><li>" + std::string(Phrase()) + "</li><li>AT&amp;T</li></ul>";
    return html;
  }

  std::string Date(bool w3c) {
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char buffer[64];
    const unsigned month = Next(12), day = 1 + Next(28), hour = Next(24), minute = Next(60);
    if (w3c) {
      std::snprintf(buffer, sizeof buffer, "2005-%02u-%02uT%02u:%02u:%02u+09:00", month + 1, day,
                    hour, minute, Next(60));
    } else {
      std::snprintf(buffer, sizeof buffer, "%s, %02u %s 2005 %02u:%02u:%02u %s", kDays[Next(7)],
                    day, kMonths[month], hour, minute, Next(60), Next(2) ? "+0900" : "GMT");
    }
    return buffer;
  }

 private:
  std::mt19937 random_;
};

// Escapes markup for an XML text node.
std::string Escape(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  for (char c : text) {
    switch (c) {
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '&':
        out += "&amp;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string Declaration(const std::string& encoding) {
  return "<?xml version=\"1.0\" encoding=\"" + encoding + "\"?>\n";
}

// The description as an RSS 2.0 feed writes it: escaped markup, or a CDATA section.
std::string Description(Writer& w, const std::string& element) {
  const std::string html = w.HtmlBody();
  if (w.Next(3) == 0) return "<" + element + "><![CDATA[" + html + "]]></" + element + ">";
  return "<" + element + ">" + Escape(html) + "</" + element + ">";
}

CorpusDocument Rss2(Writer& w, int site, int count) {
  CorpusDocument doc;
  const std::string base = "http://news" + std::to_string(site) + ".example.jp/";
  std::string& s = doc.bytes;
  s += "<rss version=\"2.0\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
       "xmlns:media=\"http://search.yahoo.com/mrss/\">\n<channel>\n";
  s += "  <title>" + std::string(w.Phrase()) + "</title>\n  <link>" + base + "</link>\n";
  s += "  <description>" + std::string(w.Phrase()) + "</description>\n  <language>ja</language>\n";
  for (int i = 0; i < count; ++i) {
    s += "  <item>\n    <title>" + std::string(w.Phrase()) + " &amp; " + w.Phrase() + "</title>\n";
    s += "    <link>" + base + "archives/" + std::to_string(1000 + i) + ".html</link>\n";
    s += "    " + Description(w, "description") + "\n";
    s += "    <pubDate>" + w.Date(false) + "</pubDate>\n";
    s += "    <category>" + std::string(kCategories[w.Next(6)]) + "</category>\n";
    s += "    <dc:creator>" + std::string(kAuthors[w.Next(5)]) + "</dc:creator>\n";
    if (w.Next(8) == 0) {
      s += "    <enclosure url=\"" + base + "audio/" + std::to_string(i) +
           ".mp3\" length=\"123456\" type=\"audio/mpeg\" />\n";
    }
    if (w.Next(10) == 0) {
      s += "    <media:content url=\"" + base + "v/" + std::to_string(i) +
           ".mp4\" type=\"video/mp4\" width=\"640\" height=\"360\">\n"
           "      <media:thumbnail url=\"" +
           base + "v/" + std::to_string(i) +
           ".jpg\" width=\"120\" height=\"90\" />\n"
           "    </media:content>\n";
    }
    s += "  </item>\n";
  }
  s += "</channel>\n</rss>\n";
  doc.kind = "rss2";
  doc.items = count;
  return doc;
}

CorpusDocument Rss1(Writer& w, int site, int count) {
  CorpusDocument doc;
  const std::string base = "http://blog" + std::to_string(site) + ".example.jp/";
  std::string& s = doc.bytes;
  s += "<rdf:RDF xmlns=\"http://purl.org/rss/1.0/\" "
       "xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" "
       "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
       "xmlns:content=\"http://purl.org/rss/1.0/modules/content/\">\n";
  s += "<channel rdf:about=\"" + base + "index.rdf\">\n  <title>" + w.Phrase() + "</title>\n";
  s += "  <link>" + base + "</link>\n  <description>" + w.Phrase() + "</description>\n";
  s += "  <items><rdf:Seq>\n";
  for (int i = 0; i < count; ++i) {
    s += "    <rdf:li rdf:resource=\"" + base + "archives/" + std::to_string(i) + ".html\" />\n";
  }
  s += "  </rdf:Seq></items>\n</channel>\n";
  for (int i = 0; i < count; ++i) {
    s += "<item rdf:about=\"" + base + "archives/" + std::to_string(i) + ".html\">\n";
    s += "  <title>" + std::string(w.Phrase()) + "</title>\n";
    s += "  <link>" + base + "archives/" + std::to_string(i) + ".html</link>\n";
    s += "  " + Description(w, "description") + "\n";
    s += "  <dc:subject>" + std::string(kCategories[w.Next(6)]) + "</dc:subject>\n";
    s += "  <dc:creator>" + std::string(kAuthors[w.Next(5)]) + "</dc:creator>\n";
    s += "  <dc:date>" + w.Date(true) + "</dc:date>\n</item>\n";
  }
  s += "</rdf:RDF>\n";
  doc.kind = "rss1";
  doc.items = count;
  return doc;
}

CorpusDocument Atom(Writer& w, int site, int count) {
  CorpusDocument doc;
  const std::string base = "http://atom" + std::to_string(site) + ".example.jp/";
  std::string& s = doc.bytes;
  s += "<feed xmlns=\"http://www.w3.org/2005/Atom\" xml:lang=\"ja\">\n";
  s += "  <title>" + std::string(w.Phrase()) + "</title>\n";
  s += "  <link rel=\"alternate\" type=\"text/html\" href=\"" + base + "\" />\n";
  s += "  <link rel=\"self\" href=\"" + base + "atom.xml\" />\n";
  s += "  <updated>" + w.Date(true) + "</updated>\n  <id>tag:" + base + "</id>\n";
  for (int i = 0; i < count; ++i) {
    s += "  <entry>\n    <title>" + std::string(w.Phrase()) + "</title>\n";
    s += "    <link rel=\"alternate\" type=\"text/html\" href=\"" + base + "entry/" +
         std::to_string(i) + "\" />\n";
    s += "    <id>tag:" + base + std::to_string(i) + "</id>\n";
    s += "    <published>" + w.Date(true) + "</published>\n";
    s += "    <updated>" + w.Date(true) + "</updated>\n";
    s += "    <author><name>" + std::string(kAuthors[w.Next(5)]) + "</name></author>\n";
    s += "    <category term=\"news\" />\n";
    s += "    <summary>" + std::string(w.Phrase()) + "</summary>\n";
    s += "    <content type=\"html\">" + Escape(w.HtmlBody()) + "</content>\n  </entry>\n";
  }
  s += "</feed>\n";
  doc.kind = "atom";
  doc.items = count;
  return doc;
}

CorpusDocument Rss091(Writer& w, int site, int count) {
  CorpusDocument doc;
  const std::string base = "http://old" + std::to_string(site) + ".example.jp/";
  std::string& s = doc.bytes;
  s += "<!DOCTYPE rss PUBLIC \"-//Netscape Communications//DTD RSS 0.91//EN\" "
       "\"http://my.netscape.com/publish/formats/rss-0.91.dtd\">\n";
  s += "<rss version=\"0.91\">\n<channel>\n<title>" + std::string(w.Phrase()) + "</title>\n";
  s += "<link>" + base + "</link>\n<description>" + w.Phrase() + "</description>\n";
  for (int i = 0; i < count; ++i) {
    s += "<item>\n<title>" + std::string(w.Phrase()) + "</title>\n<link>" + base +
         "?id=" + std::to_string(i) + "&amp;cat=1</link>\n";
    s += Description(w, "description") + "\n</item>\n";
  }
  s += "</channel>\n</rss>\n";
  doc.kind = "rss091";
  doc.items = count;
  return doc;
}

}  // namespace

std::string ShiftJisToEucJp(const std::string& sjis) {
  std::string out;
  out.reserve(sjis.size());
  for (size_t i = 0; i < sjis.size(); ++i) {
    unsigned s1 = static_cast<unsigned char>(sjis[i]);
    if (!platform::IsCp932LeadByte(static_cast<unsigned char>(s1)) || i + 1 >= sjis.size()) {
      out += static_cast<char>(s1);
      continue;
    }
    unsigned s2 = static_cast<unsigned char>(sjis[++i]);
    s1 = (s1 - (s1 <= 0x9F ? 0x70 : 0xB0)) * 2;
    if (s2 >= 0x9F) {
      s2 -= 0x7E;
    } else {
      s1 -= 1;
      s2 -= s2 >= 0x80 ? 0x20 : 0x1F;
    }
    out += static_cast<char>(s1 | 0x80);
    out += static_cast<char>(s2 | 0x80);
  }
  return out;
}

std::vector<CorpusDocument> GenerateFeedCorpus(size_t min_total_bytes, uint32_t seed) {
  Writer w(seed);
  std::vector<CorpusDocument> corpus;
  size_t total = 0;
  for (int site = 0; total < min_total_bytes; ++site) {
    const int count = 15 + static_cast<int>(w.Next(50));
    CorpusDocument doc;
    switch (site % 6) {
      case 0:
      case 3:
        doc = Rss2(w, site, count);
        break;
      case 1:
      case 4:
        doc = Rss1(w, site, count);
        break;
      case 2:
        doc = Atom(w, site, count);
        break;
      default:
        doc = Rss091(w, site, count);
    }
    // Encodings in turn: UTF-8 most often, then Shift_JIS and EUC-JP (Atom stays UTF-8).
    const int encoding = doc.kind == "atom" ? 0 : static_cast<int>(w.Next(4));
    if (encoding == 2) {
      doc.bytes = Declaration("Shift_JIS") + platform::Utf8ToCp932(doc.bytes);
      doc.kind += "/shift_jis";
    } else if (encoding == 3) {
      doc.bytes = Declaration("EUC-JP") + ShiftJisToEucJp(platform::Utf8ToCp932(doc.bytes));
      doc.kind += "/euc-jp";
    } else {
      doc.bytes = Declaration("UTF-8") + doc.bytes;
      doc.kind += "/utf-8";
    }
    total += doc.bytes.size();
    corpus.push_back(std::move(doc));
  }
  return corpus;
}

}  // namespace korvo::bench
