#include "server/item_documents.h"

#include <array>

#include "feed/entities.h"
#include "fetch/url_text.h"
#include "server/ascii_case.h"

namespace korvo {

namespace {

// The references of the ASCII bytes that have a named entity ("&amp;" for '&'); empty for the
// others. Bytes above 0x7F never have one: read as signed characters their codes are not those
// of any entity.
const std::array<std::string, 128>& EscapeTable() {
  static const std::array<std::string, 128> table = [] {
    std::array<std::string, 128> t;
    for (int c = 0; c < 128; ++c) {
      const std::string_view name = EntityNameForCode(c);
      if (!name.empty() && c != ' ') t[c] = "&" + std::string(name) + ";";
    }
    return t;
  }();
  return table;
}

const char* Or(const char* text, const char* fallback) { return text != nullptr ? text : fallback; }

// The escaped text, or a non-breaking space for an absent one (so the cell keeps its height).
void AppendOrBlank(std::string* out, const char* text) {
  if (text != nullptr) {
    AppendEscaped(out, text);
  } else {
    out->append("&nbsp;");
  }
}

// A link for an href attribute: escaped when it is a web address, else nothing.
void AppendLink(std::string* out, const char* link) {
  if (link != nullptr && IsWebAddress(link)) AppendEscaped(out, link);
}

// The title's target: the redirect that marks the item read, or its own link.
void AppendTitleTarget(std::string* out, const PluginItemEx& item, bool html) {
  if (item.id > 0) {
    out->append("/redirect?id=").append(std::to_string(item.id));
  } else if (html) {
    AppendLink(out, item.link);
  } else if (item.link != nullptr) {
    AppendEscaped(out, item.link);
  }
}

template <typename Each>
void ForEachSelected(const PluginItemEx* list, const ItemSelection& selection, Each each) {
  int n = 0;
  for (const PluginItemEx* item = list; item != nullptr; item = item->next) {
    if (IsSelected(*item, selection)) each(*item, ++n);
  }
}

}  // namespace

void AppendEscaped(std::string* out, std::string_view text) {
  const std::array<std::string, 128>& table = EscapeTable();
  size_t plain = 0;  // start of the bytes not yet copied
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 128 || table[c].empty()) continue;
    out->append(text.substr(plain, i - plain)).append(table[c]);
    plain = i + 1;
  }
  out->append(text.substr(plain));
}

void AppendDescription(std::string* out, std::string_view text) {
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    AppendEscaped(out, text.substr(start, i - start));
    out->append("<br>");
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  AppendEscaped(out, text.substr(start));
}

ItemSelection SelectionFromRequest(const ServerRequest& request) {
  ItemSelection selection;
  if (const std::string* view = request.Parameter("view")) {
    selection.only_new = StartsWithNoCase(*view, "new");
  }
  if (const std::string* site = request.Parameter("site")) selection.site = *site;
  return selection;
}

bool IsSelected(const PluginItemEx& item, const ItemSelection& selection) {
  if (item.dropped != 0) return false;
  if (selection.only_new && (item.state & 0x8) == 0) return false;
  if (selection.site && item.site_link != nullptr &&
      !StartsWithNoCase(item.site_link, *selection.site)) {
    return false;
  }
  return true;
}

std::string ItemPage(const PluginItemEx* list, const ItemSelection& selection) {
  std::string page =
      "<html><head><meta http-equiv=\"Pragma\" content=\"no-cache\"><meta "
      "http-equiv=\"Cache-Control\" content=\"no-cache\"><link rel=\"stylesheet\" "
      "href=\"/style.css\" type=\"text/css\" /></head><body>"
      "<div className=\"item_master\" id=\"master_head\">";
  ForEachSelected(list, selection, [&page](const PluginItemEx& item, int number) {
    const std::string n = std::to_string(number);
    page.append("<div id=\"item").append(n).append("\" class = \"s_item\">\n");
    page.append("<div id=\"site").append(n).append("\" class=\"s_site\"> <a href = \"");
    AppendLink(&page, item.site_link);
    page.append("\" id = \"sitelink").append(n).append("\" target=\"_blank\">");
    AppendEscaped(&page, Or(item.site_name, ""));
    page.append("</a></div>\n<div id=\"title")
        .append(n)
        .append("\" class=\"s_title\"> <a href = \"");
    AppendTitleTarget(&page, item, true);
    page.append("\" target=\"_blank\">");
    AppendEscaped(&page, Or(item.title, ""));
    page.append("</a></div>\n<div id=\"desc").append(n).append("\" class=\"s_desc\">");
    AppendDescription(&page, Or(item.description, ""));
    page.append("</div>\n<div id=\"enc").append(n).append("\" class=\"s_enc\">");
    if (item.enclosure_url != nullptr) {
      auto line = [&page](const char* address) {
        page.append("<a href=\"");
        AppendLink(&page, address);
        page.append("\" target=\"_blank\">");
        AppendEscaped(&page, address);
        page.append("</a><br>\n");
      };
      line(item.enclosure_url);
      for (uint32_t i = 0; i < item.further_count; ++i) line(Or(item.further[i].url, ""));
    }
    page.append("</div>\n<div id=\"gettime").append(n).append("\" class=\"s_gettime\">");
    AppendOrBlank(&page, item.date);
    page.append("</div>\n<div id=\"category").append(n).append("\" class=\"s_category\">");
    AppendOrBlank(&page, item.subject);
    page.append("</div>\n<div id=\"author").append(n).append("\" class=\"s_author\">");
    AppendOrBlank(&page, item.author);
    page.append("</div>\n</div>\n\n");
  });
  page += "</div></body></html>";
  return page;
}

std::string ItemDocument(const PluginItemEx* list, const ItemSelection& selection) {
  std::string doc =
      "<?xml version=\"1.0\" encoding=\"Shift_JIS\" ?>\n"
      "<items version=\"1.0\" xmlns=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" "
      "xml:lang=\"ja\">";
  ForEachSelected(list, selection, [&doc](const PluginItemEx& item, int) {
    doc += "<item>\n";
    if (item.site_link != nullptr) {
      doc += "<site url=\"";
      AppendEscaped(&doc, item.site_link);
      doc += "\">";
      AppendEscaped(&doc, Or(item.site_name, ""));
      doc += "</site>\n";
    }
    if (item.title != nullptr) {
      doc += "<title url = \"";
      AppendTitleTarget(&doc, item, false);
      doc += "\">";
      AppendEscaped(&doc, item.title);
      doc += "</title>\n";
    }
    if (item.description != nullptr) {
      doc += "<desc><![CDATA[";
      AppendDescription(&doc, item.description);
      doc += "]]></desc>\n";
    }
    if (item.enclosure_url != nullptr) {
      auto element = [&doc](const char* address) {
        doc += "<enc>";
        AppendEscaped(&doc, address);
        doc += "</enc>\n";
      };
      element(item.enclosure_url);
      for (uint32_t i = 0; i < item.further_count; ++i) element(Or(item.further[i].url, ""));
    }
    if (item.date != nullptr) {
      doc += "<time>";
      AppendEscaped(&doc, item.date);
      doc += "</time>\n";
    }
    if (item.subject != nullptr) {
      doc += "<subject>";
      AppendEscaped(&doc, item.subject);
      doc += "</subject>\n";
    }
    if (item.author != nullptr) {
      doc += "<creator>";
      AppendEscaped(&doc, item.author);
      doc += "</creator>\n";
    }
    doc += "</item>\n\n";
  });
  doc += "</items>\n";
  return doc;
}

}  // namespace korvo
