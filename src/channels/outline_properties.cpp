#include "channels/outline_properties.h"

#include <algorithm>

#include "channels/channel.h"

namespace korvo {

namespace {

// Every attribute the dialog owns; the others pass through unchanged.
constexpr std::string_view kEditedAttributes[] = {
    "text",    "title", "xmlUrl",    "htmlUrl",      "description", "authorization",
    "keyword", "HitDb", "Hit",       "FilterByName", "FilterOn",    "skipall",
    "disable", "Drop",  "NoInherit", "OnlyNew",      "ttl"};

bool IsEdited(std::string_view name) {
  return std::find(std::begin(kEditedAttributes), std::end(kEditedAttributes), name) !=
         std::end(kEditedAttributes);
}

void AppendUnedited(const AttributeList& old_attributes, AttributeList* out) {
  for (const auto& attribute : old_attributes) {
    if (!IsEdited(attribute.first)) out->push_back(attribute);
  }
}

}  // namespace

const std::string* FindAttribute(const AttributeList& attributes, std::string_view name) {
  for (const auto& attribute : attributes) {
    if (attribute.first == name) return &attribute.second;
  }
  return nullptr;
}

void SetAttribute(AttributeList* attributes, std::string_view name, std::string_view value) {
  for (auto& attribute : *attributes) {
    if (attribute.first == name) {
      attribute.second = std::string(value);
      return;
    }
  }
  attributes->emplace_back(std::string(name), std::string(value));
}

void RemoveAttribute(AttributeList* attributes, std::string_view name) {
  attributes->erase(std::remove_if(attributes->begin(), attributes->end(),
                                   [name](const auto& a) { return a.first == name; }),
                    attributes->end());
}

OutlineProperties PropertiesFromAttributes(const AttributeList& attributes) {
  OutlineProperties properties;
  auto text_of = [&](std::string_view name) {
    const std::string* value = FindAttribute(attributes, name);
    return value != nullptr ? *value : std::string();
  };
  auto has = [&](std::string_view name) { return FindAttribute(attributes, name) != nullptr; };
  properties.text = text_of("text");
  properties.xmlUrl = text_of("xmlUrl");
  properties.htmlUrl = text_of("htmlUrl");
  properties.description = text_of("description");
  properties.authorization = text_of("authorization");
  properties.keyword = text_of("keyword");
  properties.hitDb = text_of("HitDb");
  properties.hit = text_of("Hit");
  properties.filterByName = has("FilterByName");
  properties.filterOn = has("FilterOn");
  properties.skipAll = has("skipall");
  properties.disable = has("disable");
  properties.drop = has("Drop");
  properties.noInherit = has("NoInherit");
  properties.onlyNew = has("OnlyNew");
  if (const std::string* ttl = FindAttribute(attributes, "ttl")) {
    properties.ttl = ParseDecimalAttribute(*ttl, kMaxTtlMinutes);
  }
  return properties;
}

AttributeList ApplyProperties(const AttributeList& old_attributes,
                              const OutlineProperties& properties) {
  AttributeList out;
  auto text_if_set = [&](const char* name, const std::string& value) {
    if (!value.empty()) out.emplace_back(name, value);
  };
  auto flag_if_set = [&](const char* name, bool value) {
    if (value) out.emplace_back(name, "true");
  };
  out.emplace_back("text", properties.text);
  out.emplace_back("title", properties.text);
  text_if_set("xmlUrl", properties.xmlUrl);
  text_if_set("htmlUrl", properties.htmlUrl);
  text_if_set("description", properties.description);
  text_if_set("authorization", properties.authorization);
  text_if_set("keyword", properties.keyword);
  text_if_set("HitDb", properties.hitDb);
  text_if_set("Hit", properties.hit);
  flag_if_set("FilterByName", properties.filterByName);
  flag_if_set("FilterOn", properties.filterOn);
  flag_if_set("skipall", properties.skipAll);
  flag_if_set("disable", properties.disable);
  flag_if_set("Drop", properties.drop);
  flag_if_set("NoInherit", properties.noInherit);
  flag_if_set("OnlyNew", properties.onlyNew);
  if (properties.ttl != 0) out.emplace_back("ttl", std::to_string(properties.ttl));
  AppendUnedited(old_attributes, &out);
  return out;
}

AttributeList ApplyFavouriteProperties(const AttributeList& old_attributes, std::string_view name,
                                       std::string_view address) {
  AttributeList out = old_attributes;
  SetAttribute(&out, "text", name);
  SetAttribute(&out, "title", name);
  if (address.empty()) {
    RemoveAttribute(&out, "htmlUrl");
  } else {
    SetAttribute(&out, "htmlUrl", address);
  }
  return out;
}

std::string_view DisplayedFeedAddress(std::string_view xml_url) {
  return xml_url.substr(0, xml_url.find('['));
}

std::string MergeEditedFeedAddress(std::string_view old_xml_url, std::string_view edited) {
  std::string merged(edited);
  if (edited.find('[') != std::string_view::npos) return merged;
  const size_t suffix = old_xml_url.find('[');
  if (suffix != std::string_view::npos && !edited.empty())
    merged.append(old_xml_url.substr(suffix));
  return merged;
}

int RequestChoiceOf(std::string_view authorization) {
  const std::string value(authorization);
  switch (AuthModeFromAttribute(&value)) {
    case kAuthBasic:
      return 1;
    case kAuthGet:
      return 2;
    case kAuthPost:
      return 3;
    default:
      return 0;
  }
}

std::string AuthorizationForChoice(std::string_view old_value, int choice) {
  static constexpr const char* kWords[] = {"", "basic", "GET", "POST"};
  if (choice < 1 || choice > 3) return std::string();
  if (RequestChoiceOf(old_value) == choice) return std::string(old_value);
  return kWords[choice];
}

}  // namespace korvo
