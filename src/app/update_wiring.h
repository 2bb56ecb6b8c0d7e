// How korvo.exe and korvo-headless plug the update road into the application shell:
//   - kChannelList: the ChannelListComponent (channel.opml); a change of the list made through it
//     rebuilds the update schedule;
//   - kTickerEngine: the ticker's two lists (TickerListStage: "dump.dat" read at start, written at
//     exit), until the display engine takes that stage;
//   - kUpdateScheduler: the UpdateComponent with the channel list's update list, the feed parser
//     (cache bytes to items), the feed-file reader, the site-icon fetch of every parsed feed's
//     site link and the log.
//
// Call after the working folder is entered (the ticker lists read the store there) and before
// the channel-list stage starts. The shell owns the components; the returned pointers stay valid
// until the shell is destroyed.
#ifndef KORVO_APP_UPDATE_WIRING_H_
#define KORVO_APP_UPDATE_WIRING_H_

#include <functional>
#include <memory>
#include <string>

#include "update/update_component.h"

namespace korvo {

class AppShell;
class ChannelListComponent;
class ProgressProvider;
class TickerLists;

struct UpdateWiring {
  ChannelListComponent* channels = nullptr;  // owned by the shell
  std::shared_ptr<TickerLists> ticker;
  UpdateComponent* update = nullptr;  // owned by the shell
};

// `log` takes one line per run and import (any thread); may be empty. `progress` shows the
// conversion of UrlList at the channel list's start (null: none); it must outlive that start.
// `notice` shows a message to the user (CP932) on the shell's thread: the closing message of a
// UrlList conversion that kept or dropped addresses; may be empty.
UpdateWiring AttachUpdateRoad(AppShell& shell, std::function<void(const std::string&)> log,
                              ProgressProvider* progress = nullptr,
                              std::function<void(const std::string&)> notice = nullptr);

}  // namespace korvo

#endif  // KORVO_APP_UPDATE_WIRING_H_
