// PluginNotificationDispatcher: the ticker engine's notifications delivered through
// PluginDispatch to the active plug-in (posted or sent by its masks, nothing without one).
//
// Threads: Notify runs on the engine's thread. A sent notification blocks until the plug-in
// window (window thread) answers; the dispatcher itself takes no lock.
#ifndef KORVO_PLUGIN_HOST_PLUGIN_NOTIFICATION_DISPATCHER_H_
#define KORVO_PLUGIN_HOST_PLUGIN_NOTIFICATION_DISPATCHER_H_

#include <string_view>

#include "ticker/notification_dispatcher.h"

namespace korvo {

class PluginNotificationDispatcher : public NotificationDispatcher {
 public:
  // Hands the plug-in (first = the link as a zero-terminated CP932 text, or 0 without one;
  // second = 0). An answer of -1 to a "before" notification (the even codes) is a veto; every
  // other answer, and any answer to an "after" notification, counts as 0.
  int Notify(int code, std::string_view link) override;
};

}  // namespace korvo

#endif  // KORVO_PLUGIN_HOST_PLUGIN_NOTIFICATION_DISPATCHER_H_
