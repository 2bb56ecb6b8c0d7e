#include "plugin_host/plugin_notification_dispatcher.h"

#include <cstdint>
#include <string>

#include "plugin_host/plugin_dispatch.h"

namespace korvo {

int PluginNotificationDispatcher::Notify(int code, std::string_view link) {
  // The view need not end in a zero, and a posting host copies the text it points to.
  const std::string text(link);
  const intptr_t first = link.empty() ? 0 : reinterpret_cast<intptr_t>(text.c_str());
  const intptr_t answer = PluginDispatch(code, first, 0);
  const bool before = code % 2 == 0;
  return before && answer == -1 ? kVeto : 0;
}

}  // namespace korvo
