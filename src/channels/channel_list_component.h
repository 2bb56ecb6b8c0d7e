// The channel list's stage of the start-up (AppStage::kChannelList): loads `channel.opml` of the
// working folder (creating it, writing the first-start feeds and converting `UrlList` as
// LoadChannelList does, with a progress display), names the channels that a conversion kept
// under their address from their cached feeds, keeps the document for the tree views, and keeps
// the update list built from it for the update cycle.
//
// Threads: Start, Stop, list(), Apply, Discard, Save and Refresh run on the shell's thread (the
// window thread of korvo.exe), which alone touches the document. BuildUpdateList and the
// function returned by UpdateListSource may be called on any thread (the update scheduler's):
// they copy the update list last built, under a lock of their own that nests inside no other.
// The update list is rebuilt from the document at Start and after every save or discard made
// through this component, so it always matches what channel.opml holds.
#ifndef KORVO_CHANNELS_CHANNEL_LIST_COMPONENT_H_
#define KORVO_CHANNELS_CHANNEL_LIST_COMPONENT_H_

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "channels/channel_list.h"
#include "channels/opml_transfer.h"
#include "channels/source_download.h"
#include "channels/user_dialogs.h"
#include "shell/app_component.h"
#include "store/progress.h"

namespace korvo {

class ChannelListComponent : public AppComponent {
 public:
  struct Options {
    // Downloads for the UrlList conversion; null: the web download with the network settings
    // of setup.ini in the working folder.
    SourceDownload download;
    ProgressDisplay* progress = nullptr;  // not owned; outlives Start; may be null
    // Used for the conversion's display when `progress` is null (the program's progress window
    // or console lines). Not owned; outlives Start; may be null.
    ProgressProvider* progress_provider = nullptr;
    // Called on the shell's thread after the update list changed (a save or a discard), so the
    // main window can rebuild its schedule and channel views. May be empty.
    std::function<void()> on_changed;
    // Called at Start, on the shell's thread, with the closing message of a UrlList conversion
    // that kept addresses it could not fetch or left out ones that are no feeds (CP932). May be
    // empty.
    std::function<void(const std::string& text)> on_notice;
  };

  ChannelListComponent();
  explicit ChannelListComponent(Options options);

  // Loads the list. Always true: an unreadable channel.opml leaves an empty list whose update
  // list is the placeholder (load_result() is then -1).
  bool Start(AppShell& shell) override;
  // Releases the document; unsaved changes are dropped (the windows ask before they close).
  void Stop(AppShell& shell) override;

  // LoadChannelList's result at Start: 0 or -1.
  int load_result() const { return load_result_; }
  // The path of channel.opml (UTF-8); empty before Start.
  const std::string& path() const { return path_; }
  // The document for the tree views and the tree operations.
  ChannelList& list() { return list_; }

  // Asks about unsaved changes (ApplyChanges) and rebuilds the update list when the file was
  // written or the list read again.
  ApplyResult Apply(UserDialogs& dialogs);
  // Reads channel.opml again, dropping the changes.
  bool Discard();
  // Writes the list without asking (for callers that change it outside the channel window).
  // False when the write failed, or when channel.opml could not be read at Start or Discard
  // (the file is then left as it is).
  bool Save();
  // Rebuilds the update list from the document as it is now.
  void Refresh();

  // A copy of the update list last built; the placeholder before Start. Any thread.
  std::vector<Channel> BuildUpdateList() const;
  // A function returning BuildUpdateList(); it stays valid after the component is destroyed
  // (it then returns the last list). Any thread. Fits UpdateCycle::ChannelSnapshot.
  std::function<std::vector<Channel>()> UpdateListSource() const;

 private:
  struct Shared {
    mutable std::mutex mutex;
    std::vector<Channel> channels;
  };

  void Changed();

  Options options_;
  std::shared_ptr<Shared> shared_;
  ChannelList list_;
  std::string path_;
  int load_result_ = -1;
};

}  // namespace korvo

#endif  // KORVO_CHANNELS_CHANNEL_LIST_COMPONENT_H_
