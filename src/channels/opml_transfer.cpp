#include "channels/opml_transfer.h"

#include <vector>

#include "channels/channel_list_loader.h"
#include "channels/channel_texts.h"
#include "channels/channel_tree_ops.h"
#include "feed/entities.h"
#include "feed/feed_encoding.h"
#include "platform/code_page.h"
#include "platform/files.h"

namespace korvo {

namespace {

bool IsWebAddress(std::string_view source) {
  return source.substr(0, 7) == "http://" || source.substr(0, 8) == "https://";
}

// Reads the import source as CP932 text; false when it cannot be read or is too large.
bool ReadSource(const ImportRequest& request, const std::string& source, std::string* text) {
  std::string bytes;
  if (IsWebAddress(source)) {
    if (!request.download || !request.download(source, &bytes)) return false;
    if (bytes.size() > kMaxImportBytes) return false;
    if (!request.working_folder.empty()) {
      platform::WriteWholeFile(request.working_folder + "/" + kTempDownloadFile, bytes);
    }
  } else {
    const std::string path = platform::Cp932ToUtf8(source);
    if (!platform::ReadWholeFile(path, &bytes, kMaxImportBytes)) return false;
  }
  *text = FeedBytesToInternal(bytes);
  return true;
}

// True when the children of `body` stay within the import bounds.
bool WithinImportBounds(const XmlNode* body) {
  size_t outlines = 0;
  size_t depth = 0;  // levels entered below body
  const XmlNode* node = body->first_child;
  while (node != nullptr) {
    if (IsOutline(node) && ++outlines > kMaxImportOutlines) return false;
    if (node->first_child != nullptr) {
      if (++depth > kMaxImportDepth) return false;
      node = node->first_child;
      continue;
    }
    while (node != nullptr && node->next == nullptr) {
      node = node->parent;
      if (node == body) return true;
      --depth;
    }
    if (node != nullptr) node = node->next;
  }
  return true;
}

// True for an attribute name the writer can write and the reader read back as the same name.
bool IsPlainName(std::string_view name) {
  if (name.empty()) return false;
  for (char c : name) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '_' || c == '-' || c == ':' || c == '.';
    if (!plain) return false;
  }
  return true;
}

// Makes the elements at and below `top` fit the list. Elements without a name get one, and
// attributes whose names would not survive
// a save (a tolerant read of a broken file can give names holding quotes or markup) are dropped.
// Attribute values arrive with their references decoded by the reader ("&amp;" of a feed
// address is "&"); line breaks become blanks. An outline without `text` takes its `title`, else its `xmlUrl` or `htmlUrl`.
void NormaliseImportedOutlines(XmlNode* top) {
  for (XmlNode* node = top; node != nullptr; node = NextInDocumentOrder(node, top)) {
    if (!node->IsElement()) continue;
    if (node->value.empty()) node->value = "unnamed";  // "<>" or "</>" would not read back
    std::vector<XmlAttribute> kept;
    for (XmlAttribute& attribute : node->attributes) {
      if (!IsPlainName(attribute.name)) continue;
      attribute.value = CleanAttributeValue(attribute.value);
      kept.push_back(std::move(attribute));
    }
    node->attributes = std::move(kept);
    if (!IsOutline(node) || node->Attribute("text") != nullptr) continue;
    for (const char* source : {"title", "xmlUrl", "htmlUrl"}) {
      const std::string* value = node->Attribute(source);
      if (value != nullptr && !value->empty()) {
        node->SetAttribute("text", *value);
        break;
      }
    }
  }
}

}  // namespace

int ImportOpml(ChannelList& list, const ImportRequest& request, UserDialogs& dialogs) {
  std::string source = request.source;
  if (source.empty() && !dialogs.AskImportSource(&source)) return -1;
  if (source.empty()) return -1;

  std::string text;
  const bool read = ReadSource(request, source, &text);
  if (IsWebAddress(source) && !request.working_folder.empty()) {
    platform::RemoveFile(request.working_folder + "/" + kTempDownloadFile);
  }
  if (!read) return -1;

  XmlDocument imported = XmlDocument::FromMemory(text);
  // The body of an `opml` element: an HTML page (an error page of a web server) has a body too.
  const XmlNode* imported_body = FindElementInside(FindElement(imported.root(), "opml"), "body");
  if (imported_body == nullptr || list.body() == nullptr) return -1;
  if (!WithinImportBounds(imported_body)) return -1;
  XmlNode* destination = InsertionFolder(list, request.selected);
  if (destination == nullptr) return -1;

  XmlDocument& document = list.document();
  for (const XmlNode* child = imported_body->first_child; child != nullptr; child = child->next) {
    if (child->kind == XmlKind::kText || child->kind == XmlKind::kCdata) continue;
    XmlNode* copy = document.CopySubtree(*child);
    CloseOpenElements(copy, copy);
    NormaliseImportedOutlines(copy);
    document.AppendChild(destination, copy);
  }
  list.MarkModified();
  return 0;
}

int ExportOpml(ChannelList& list, UserDialogs& dialogs) {
  std::string path;
  if (!dialogs.AskExportPath(&path) || path.empty()) return -1;
  return SaveChannelList(list.document(), platform::Cp932ToUtf8(path)) ? 0 : -1;
}

ApplyResult ApplyChanges(ChannelList& list, const std::string& utf8_path, UserDialogs& dialogs) {
  if (!list.modified()) return ApplyResult::kUnchanged;
  if (dialogs.AskOkCancel(GetChannelText(ChannelText::kChannelListChanged),
                          GetChannelText(ChannelText::kChannelCaption))) {
    if (!SaveChannelList(list.document(), utf8_path)) return ApplyResult::kSaveFailed;
    list.ClearModified();
    return ApplyResult::kSaved;
  }
  DiscardChanges(list, utf8_path);
  return ApplyResult::kDiscarded;
}

bool DiscardChanges(ChannelList& list, const std::string& utf8_path) {
  const bool read = list.LoadFile(utf8_path);
  if (read) list.EnsureBody();
  list.ClearModified();
  return read;
}

}  // namespace korvo
