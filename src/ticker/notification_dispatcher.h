// NotificationDispatcher: how the ticker tells plug-ins what it is doing, and how a plug-in can
// cancel it. The plug-in host implements it over its dispatcher (the plug-ins' notification
// masks, posted or sent window messages); without plug-ins the engine uses NoPluginDispatcher.
//
// A "before" notification (NTP_) is raised first; when it answers kVeto the action is abandoned
// and nothing more is raised. Otherwise the action is carried out and the "after" notification
// (NT_) follows. The codes are fixed by the plug-in contract.
//
// Threads: the engine calls Notify on its own thread. An implementation may block until a
// plug-in window (owned by the window thread) has answered; it must not wait for the engine
// (pushing engine commands is fine) and takes no lock that the engine holds.
#ifndef KORVO_TICKER_NOTIFICATION_DISPATCHER_H_
#define KORVO_TICKER_NOTIFICATION_DISPATCHER_H_

#include <string_view>

namespace korvo {

namespace ticker_notification {
constexpr int kBeforeNext = 0;        // NTP_FW_ITEM: before stepping forward on a command
constexpr int kAfterNext = 1;         // NT_FW_ITEM: an item reached by stepping forward started
constexpr int kBeforePrevious = 2;    // NTP_BK_ITEM
constexpr int kAfterPrevious = 3;     // NT_BK_ITEM
constexpr int kBeforeSwitchList = 4;  // NTP_SWITCH_LIST: before a reload replaces the list
constexpr int kAfterSwitchList = 5;   // NT_SWITCH_LIST
constexpr int kBeforeOpenItem = 12;   // NTP_CLICK_ITEM: with the item's link
constexpr int kAfterOpenItem = 13;    // NT_CLICK_ITEM: with the item's link
constexpr int kBeforeOpenSite = 14;   // NTP_OPEN_SITE: with the site link (ticker window)
constexpr int kAfterOpenSite = 15;    // NT_OPEN_SITE
constexpr int kBeforeCopyUrl = 16;    // NTP_COPY_URL: with the item's link
constexpr int kAfterCopyUrl = 17;     // NT_COPY_URL
}  // namespace ticker_notification

class NotificationDispatcher {
 public:
  static constexpr int kVeto = -1;

  virtual ~NotificationDispatcher() = default;
  // Raises notification `code` (0-31) to the plug-ins that asked for it. `link` is the item's
  // or site's link (CP932) for the codes that carry one, empty otherwise; it is valid only
  // during the call. Returns kVeto when a plug-in that received it synchronously cancels the
  // action, else 0 (always 0 for "after" codes and posted deliveries).
  virtual int Notify(int code, std::string_view link) = 0;
};

// The dispatcher of a program without plug-ins: nobody listens, nothing is cancelled.
class NoPluginDispatcher : public NotificationDispatcher {
 public:
  int Notify(int /*code*/, std::string_view /*link*/) override { return 0; }
};

}  // namespace korvo

#endif  // KORVO_TICKER_NOTIFICATION_DISPATCHER_H_
