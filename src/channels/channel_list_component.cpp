#include "channels/channel_list_component.h"

#include <utility>

#include "channels/channel_list_loader.h"
#include "fetch/http_settings.h"
#include "shell/app_shell.h"
#include "shell/network_settings.h"

namespace korvo {

namespace {

// The loader's progress display over a ProgressProvider's displays.
class ProviderDisplay : public ProgressDisplay {
 public:
  explicit ProviderDisplay(ProgressProvider* provider) : provider_(provider) {}
  void Open(const std::string& title) override { shown_ = provider_->Start(title); }
  void SetRange(int maximum) override {
    if (shown_) shown_->SetRange(maximum > 0 ? static_cast<uint32_t>(maximum) : 0);
  }
  void Step() override {
    if (shown_) shown_->Step();
  }
  void Close() override {
    if (shown_) shown_->Close();
    shown_.reset();
  }

 private:
  ProgressProvider* provider_;
  std::unique_ptr<Progress> shown_;
};

}  // namespace

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
  std::unique_ptr<ProviderDisplay> provided;
  if (load.progress == nullptr && options_.progress_provider != nullptr) {
    provided = std::make_unique<ProviderDisplay>(options_.progress_provider);
    load.progress = provided.get();
  }
  UrlListConversion conversion;
  load.conversion = &conversion;
  load_result_ = LoadChannelList(folder, load, &list_);
  if (options_.on_notice && (conversion.kept > 0 || !conversion.dropped.empty())) {
    options_.on_notice(UrlListConversionText(conversion));
  }
  // Channels kept under their address get their feed's title once a fetch has cached it.
  if (load_result_ == 0 && NameChannelsFromCache(folder + "/cache", list_.body()) > 0 &&
      SaveChannelList(list_.document(), path_)) {
    list_.ClearModified();
  }
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
