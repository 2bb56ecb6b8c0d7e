// PluginDispatch: the single entry through which the rest of the program reaches the active
// plug-in (the local server's "dllfunc" requests, the notifications of the ticker and the main
// window).
//
//   code -1   makes `first` (a PluginHostBase*) the current host                    -> 0
//   code -2   calls the plug-in's request handler with (first = zero-terminated query text,
//             second = char** that receives the answer)       -> its result; -1 without handler
//   code -3   calls the plug-in's release function with first (the answer)  -> 0; -1 without one
//   0 to 31   delivers notification `code` with (first, second): posted when its bit is in the
//             post mask (-> 0), else sent when its bit is in the send mask (-> the plug-in
//             window's answer), else not delivered (-> 0)
// Any other code, and every code but -1 while there is no current host or its plug-in is not
// loaded, gives 0 without calling anything.
//
// Threads: any thread. The dispatcher takes no lock: the current host is set once (before any
// other call, by the ticker window that owns it) and cleared when that window goes. Calls of
// the request handler and the release function come from the local server's accepting thread;
// notifications from the window thread and the ticker engine's thread.
#ifndef KORVO_PLUGIN_HOST_PLUGIN_DISPATCH_H_
#define KORVO_PLUGIN_HOST_PLUGIN_DISPATCH_H_

#include <cstdint>

namespace korvo {

// The notifications (WM_USER + 300 + code at the plug-in window). NTP_ codes come before an
// action, which a synchronous answer of -1 cancels; NT_ codes after it.
enum PluginNotification : int {
  kNtpForwardItem = 0,
  kNtForwardItem = 1,
  kNtpBackItem = 2,
  kNtBackItem = 3,
  kNtpSwitchList = 4,
  kNtSwitchList = 5,
  kNtSize = 7,
  kNtMove = 9,
  kNtpTaskbar = 10,
  kNtTaskbar = 11,
  kNtpClickItem = 12,
  kNtClickItem = 13,
  kNtpOpenSite = 14,
  kNtOpenSite = 15,
  kNtpCopyUrl = 16,
  kNtCopyUrl = 17,
};

constexpr int kDispatchSetHost = -1;
constexpr int kDispatchRequest = -2;
constexpr int kDispatchRelease = -3;

// The exports a plug-in may have for the local server (plain C functions).
//   PlgFuncHandler(query, &answer): -1 failure, no answer; 0 the answer is a zero-terminated
//   text; n > 0 the answer is n bytes. The answer is a whole HTTP answer, status line included,
//   and belongs to the plug-in until PlgFree(answer).
using PluginRequestHandler = int (*)(const char* query, char** answer);
using PluginReleaseFunction = void (*)(char* answer);

// What the dispatcher needs of the host of the active plug-in. The host that loads plug-in
// libraries derives from it; tests use their own.
class PluginHostBase {
 public:
  virtual ~PluginHostBase() = default;
  // The plug-in's window was created and its exports were looked up.
  virtual bool loaded() const = 0;
  virtual PluginRequestHandler request_handler() const = 0;    // null when absent
  virtual PluginReleaseFunction release_function() const = 0;  // null when absent
  // The masks the plug-in's GetNotifyFlag set (bit c: notification c).
  virtual uint32_t send_mask() const = 0;
  virtual uint32_t post_mask() const = 0;
  // Sends notification `code` to the plug-in window and returns its answer / posts it. The
  // arguments may point to texts (a link) that live only during the call: a host that posts
  // must hand the plug-in a copy that outlives the message.
  virtual intptr_t SendNotification(int code, intptr_t first, intptr_t second) = 0;
  virtual void PostNotification(int code, intptr_t first, intptr_t second) = 0;
};

enum class NotificationDelivery { kNone, kSend, kPost };

// How notification `code` (0 to 31) reaches a plug-in with these masks: the post mask wins.
NotificationDelivery DeliveryFor(int code, uint32_t send_mask, uint32_t post_mask);

intptr_t PluginDispatch(int code, intptr_t first, intptr_t second);

// The current host (null when none).
PluginHostBase* CurrentPluginHost();

}  // namespace korvo

#endif  // KORVO_PLUGIN_HOST_PLUGIN_DISPATCH_H_
