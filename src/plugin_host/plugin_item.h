// The item records that korvo hands to plug-ins, and the operations through which plug-ins take
// and give back copies of the ticker's shown items. Shared by korvo and every plug-in library:
// plain structures and plain function pointers, so that both sides agree on the layout whatever
// compiler built them (no C++ types cross the boundary).
//
// Texts are zero-terminated CP932; a null pointer is a text the item does not have. Records and
// texts belong to korvo: a plug-in reads them until it gives the list back, and never writes.
#ifndef KORVO_PLUGIN_HOST_PLUGIN_ITEM_H_
#define KORVO_PLUGIN_HOST_PLUGIN_ITEM_H_

#include <cstdint>

namespace korvo {

// One shown item.
struct PluginItem {
  const char* title;
  const char* link;
  const char* site_name;
  const char* site_link;
  const char* description;
  const char* date;  // the date text
  const char* subject;
  const char* author;
  const char* reserved_text;   // always null: kept for the layout
  const char* enclosure_url;   // the first enclosure
  const char* enclosure_size;  // its length text: a byte count, or "width height"
  const char* enclosure_type;  // its MIME type
  uint32_t state;              // bit 0 read, bits 1 and 2 new, bit 3 added by the latest run
  int32_t id;                  // the record number in the news store; -1 when none
  int32_t hide_once_opened;    // 1: the item leaves the list once it has been opened
  int32_t reserved;            // always 0
  int32_t dropped;             // 1: opened and taken out of the shown list
  PluginItem* next;            // the next record of the list, null after the last
};

// One further enclosure (or thumbnail: its type begins with "thumb!").
struct PluginEnclosure {
  const char* url;
  const char* size;
  const char* type;
};

// One shown item with every enclosure. `size` is sizeof(PluginItemEx) as korvo built it, so a
// plug-in can tell a later, longer form.
struct PluginItemEx {
  uint32_t size;
  const char* title;
  const char* link;
  const char* site_name;
  const char* site_link;
  const char* description;
  const char* date;
  const char* subject;
  const char* author;
  const char* reserved_text;
  const char* enclosure_url;
  const char* enclosure_size;
  const char* enclosure_type;
  uint32_t state;
  int32_t id;
  int32_t hide_once_opened;
  int32_t reserved;
  int32_t dropped;
  const PluginEnclosure* further;  // the enclosures after the first, in feed order
  uint32_t further_count;
  PluginItemEx* next;
};

// The four operations korvo hands a plug-in after loading it (messages WM_USER+350 to +353, in
// this order). They may be called on any thread.
//   - item list: given null, returns a new list copied from the shown list in list order (null
//     when the list is empty); given a list it returned earlier, releases it and returns null.
//     A plug-in keeps at most one list: it gives the previous one back before taking a new one.
//   - current item: one new record (a list of one) for the ticker's current item, or null.
//     The record is released by giving it to the item-list operation of the same form.
using ItemListOperation = PluginItem* (*)(PluginItem* list);
using CurrentItemOperation = PluginItem* (*)();
using ItemListExOperation = PluginItemEx* (*)(PluginItemEx* list);
using CurrentItemExOperation = PluginItemEx* (*)();

}  // namespace korvo

#endif  // KORVO_PLUGIN_HOST_PLUGIN_ITEM_H_
