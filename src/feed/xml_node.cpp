#include "feed/xml_document.h"

namespace korvo {

const std::string* XmlNode::Attribute(std::string_view name) const {
  for (const XmlAttribute& attribute : attributes) {
    if (attribute.name == name) return &attribute.value;
  }
  return nullptr;
}

const std::string* XmlNode::AttributeNameAt(size_t index) const {
  return index < attributes.size() ? &attributes[index].name : nullptr;
}

void XmlNode::SetAttribute(std::string_view name, std::string_view value) {
  for (XmlAttribute& attribute : attributes) {
    if (attribute.name == name) {
      attribute.value.assign(value);
      return;
    }
  }
  attributes.push_back(XmlAttribute{std::string(name), std::string(value)});
}

bool XmlNode::RemoveAttribute(std::string_view name) {
  for (auto it = attributes.begin(); it != attributes.end(); ++it) {
    if (it->name == name) {
      attributes.erase(it);
      return true;
    }
  }
  return false;
}

}  // namespace korvo
