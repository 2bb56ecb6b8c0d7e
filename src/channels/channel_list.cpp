#include "channels/channel_list.h"

#include <utility>

#include "channels/opml_templates.h"

namespace korvo {

namespace {

AttributeLookup LookupOf(const XmlNode* node) {
  return [node](std::string_view name) { return node->Attribute(name); };
}

// Rewrites the quoted value after "encoding" in a declaration's raw text to UTF-8. Declarations
// without an encoding are left alone: files without one are read as UTF-8 anyway.
void DeclareUtf8(XmlNode* declaration) {
  std::string& raw = declaration->raw;
  if (raw.compare(0, 5, "<?xml") != 0) return;
  const size_t name = raw.find("encoding");
  if (name == std::string::npos) return;
  size_t i = name + 8;
  while (i < raw.size() && raw[i] == ' ') ++i;
  if (i >= raw.size() || raw[i] != '=') return;
  ++i;
  while (i < raw.size() && raw[i] == ' ') ++i;
  if (i >= raw.size() || (raw[i] != '"' && raw[i] != '\'')) return;
  const char quote = raw[i];
  const size_t end = raw.find(quote, i + 1);
  if (end == std::string::npos) return;
  raw.replace(i + 1, end - i - 1, "UTF-8");
  if (declaration->Attribute("encoding") != nullptr) {
    declaration->SetAttribute("encoding", "UTF-8");
  }
}

}  // namespace

ChannelList::ChannelList(Kind kind)
    : document_(XmlDocument::FromMemory(EmptyChannelListText())), kind_(kind) {}

bool ChannelList::IsFolder(const XmlNode* node) const {
  if (kind_ == Kind::kChannels) return IsFolderOutline(node);
  if (node == nullptr || !node->IsElement()) return false;
  if (node->value == "body") return true;
  return IsOutline(node) && (node->first_child != nullptr || node->Attribute("htmlUrl") == nullptr);
}

bool ChannelList::LoadFile(const std::string& utf8_path) {
  document_ = XmlDocument::FromFile(utf8_path);
  modified_ = false;
  for (XmlNode* node = document_.root(); node != nullptr; node = node->next) {
    if (node->IsElement()) return true;
  }
  return false;
}

XmlNode* ChannelList::body() const { return FindElement(document_.root(), "body"); }

XmlNode* ChannelList::EnsureBody() {
  if (XmlNode* existing = body()) return existing;
  XmlNode* opml = FindElement(document_.root(), "opml");
  if (opml == nullptr) return nullptr;
  XmlNode* created = document_.NewNode(XmlKind::kElement, "body");
  created->raw = "<body>";
  if (document_.AppendChild(opml, created) != 0) return nullptr;
  return created;
}

XmlNode* NextInDocumentOrder(const XmlNode* node, const XmlNode* scope) {
  if (node->first_child != nullptr) return node->first_child;
  while (node != nullptr && node != scope) {
    if (node->next != nullptr) return node->next;
    node = node->parent;
  }
  return nullptr;
}

bool IsOutline(const XmlNode* node) {
  return node != nullptr && node->IsElement() && node->value == "outline";
}

bool IsChannelOutline(const XmlNode* node) {
  return IsOutline(node) && node->first_child == nullptr && node->Attribute("xmlUrl") != nullptr;
}

bool IsFolderOutline(const XmlNode* node) {
  if (node == nullptr || !node->IsElement()) return false;
  if (node->value == "body") return true;
  return IsOutline(node) && !IsChannelOutline(node);
}

std::vector<Channel> BuildUpdateList(const ChannelList& list) {
  return BuildUpdateList(list.document());
}

std::vector<Channel> BuildUpdateList(const XmlDocument& document) {
  std::vector<Channel> channels;
  const XmlNode* body = FindElement(document.root(), "body");
  if (body != nullptr && body->first_child != nullptr) {
    // One frame per open level: the next node to visit there and the options of that level.
    struct Frame {
      const XmlNode* next;
      FolderOptions options;
    };
    std::vector<Frame> stack;
    stack.push_back({body->first_child, FolderOptions::Root()});
    while (!stack.empty()) {
      const XmlNode* node = stack.back().next;
      if (node == nullptr) {
        stack.pop_back();
        continue;
      }
      stack.back().next = node->next;
      if (node->first_child != nullptr) {
        const FolderOptions& incoming = stack.back().options;
        FolderOptions options = (IsOutline(node) && incoming.noInherit)
                                    ? FolderOptionsFromAttributes(LookupOf(node))
                                    : incoming;
        stack.push_back({node->first_child, std::move(options)});
        continue;
      }
      if (!IsOutline(node)) continue;
      const std::string* url = node->Attribute("xmlUrl");
      if (url == nullptr || url->empty() || node->Attribute("disable") != nullptr) continue;
      Channel channel;
      channel.ApplyOptions(stack.back().options);
      channel.url = *url;
      if (const std::string* text = node->Attribute("text")) channel.title = *text;
      if (const std::string* site = node->Attribute("htmlUrl")) channel.siteUrl = *site;
      channel.authMode = AuthModeFromAttribute(node->Attribute("authorization"));
      channel.overwrite = OverwriteFromAttributes(LookupOf(node));
      channels.push_back(std::move(channel));
    }
  }
  if (channels.empty()) channels.push_back(PlaceholderChannel());
  return channels;
}

void CloseOpenElements(XmlNode* start, const XmlNode* scope) {
  for (XmlNode* node = start; node != nullptr; node = NextInDocumentOrder(node, scope)) {
    if (node->kind == XmlKind::kOpen && node->first_child == nullptr) node->kind = XmlKind::kEmpty;
  }
}

bool SaveChannelList(XmlDocument& document, const std::string& utf8_path) {
  // A document without `body` is one that could not be read as a list (an unreadable or foreign
  // file); nothing of the user's can be in it, and writing it would replace that file.
  if (FindElement(document.root(), "body") == nullptr) return false;
  CloseOpenElements(document.root(), nullptr);
  for (XmlNode* declaration : document.declarations()) DeclareUtf8(declaration);
  return document.SaveUtf8(utf8_path);
}

AttributeList AttributesOf(const XmlNode& node) {
  AttributeList list;
  list.reserve(node.attributes.size());
  for (const XmlAttribute& attribute : node.attributes) {
    list.emplace_back(attribute.name, attribute.value);
  }
  return list;
}

void ReplaceAttributes(XmlNode* node, const AttributeList& attributes) {
  node->attributes.clear();
  for (const auto& attribute : attributes) node->SetAttribute(attribute.first, attribute.second);
}

std::string CleanAttributeValue(std::string_view value) {
  std::string clean;
  clean.reserve(value.size());
  for (char c : value) {
    if (c == '\0') continue;
    clean += (c == '\r' || c == '\n' || c == '\t') ? ' ' : c;
  }
  return clean;
}

}  // namespace korvo
