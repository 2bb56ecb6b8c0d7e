#include "channels/channel_list_component.h"

#include <utility>

#include "channels/channel_list_loader.h"
#include "fetch/http_settings.h"
#include "shell/app_shell.h"
#include "shell/network_settings.h"

namespace korvo {

ChannelListComponent::ChannelListComponent() : ChannelListComponent(Options()) {}

ChannelListComponent::ChannelListComponent(Options options)
    : options_(std::move(options)), shared_(std::make_shared<Shared>()) {
  shared_->channels.push_back(PlaceholderChannel());
}

bool ChannelListComponent::Start(AppShell& shell) {
  const std::string& folder = shell.folders().working_folder;
  path_ = folder + "/" + kChannelListFile;
  ChannelListLoadOptions load;
  load.download = options_.download;
  if (!load.download) {
    FetchContext context;
    // The shell reads the network settings after this stage; the conversion needs them now.
    context.settings = HttpSettingsFrom(LoadNetworkSettings(folder));
    context.working_folder = folder;
    load.download = WebSourceDownload(std::move(context));
  }
  load.progress = options_.progress;
  load_result_ = LoadChannelList(folder, load, &list_);
  Refresh();
  return true;
}

void ChannelListComponent::Stop(AppShell&) { list_ = ChannelList(); }

ApplyResult ChannelListComponent::Apply(UserDialogs& dialogs) {
  const ApplyResult result = ApplyChanges(list_, path_, dialogs);
  if (result == ApplyResult::kSaved || result == ApplyResult::kDiscarded) Changed();
  return result;
}

bool ChannelListComponent::Discard() {
  const bool read = DiscardChanges(list_, path_);
  Changed();
  return read;
}

bool ChannelListComponent::Save() {
  if (path_.empty() || !SaveChannelList(list_.document(), path_)) return false;
  list_.ClearModified();
  Changed();
  return true;
}

void ChannelListComponent::Refresh() {
  std::vector<Channel> channels = korvo::BuildUpdateList(list_);
  std::lock_guard<std::mutex> lock(shared_->mutex);
  shared_->channels = std::move(channels);
}

void ChannelListComponent::Changed() {
  Refresh();
  if (options_.on_changed) options_.on_changed();
}

std::vector<Channel> ChannelListComponent::BuildUpdateList() const {
  std::lock_guard<std::mutex> lock(shared_->mutex);
  return shared_->channels;
}

std::function<std::vector<Channel>()> ChannelListComponent::UpdateListSource() const {
  std::shared_ptr<Shared> shared = shared_;
  return [shared] {
    std::lock_guard<std::mutex> lock(shared->mutex);
    return shared->channels;
  };
}

}  // namespace korvo
