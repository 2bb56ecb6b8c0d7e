#include "ticker/win/headline_window_host.h"

#include <objbase.h>

#include "platform/win/clipboard_text.h"
#include "shell/main_window_ids.h"
#include "ticker/win/browser_launch.h"
#include "ticker/win/wide_text.h"

namespace korvo {

namespace {
constexpr UINT kPauseAnimation = WM_USER + 102;
constexpr UINT kResumeAnimation = WM_USER + 103;
}  // namespace

void HeadlineWindowHost::EngineThreadStarts() {
  com_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
}

void HeadlineWindowHost::EngineThreadEnds() {
  if (com_) CoUninitialize();
  com_ = false;
}

void HeadlineWindowHost::Post(UINT message, WPARAM w, LPARAM l) {
  if (HWND window = window_->hwnd()) PostMessageW(window, message, w, l);
}

void HeadlineWindowHost::ItemSelected(const TickerItem& item, size_t /*position*/,
                                      size_t /*count*/) {
  if (item_sink_) item_sink_(item);
  Post(main_window_message::kItemStateFlags, item.state);
}

void HeadlineWindowHost::ListReloaded(bool refresh_live_bookmarks) {
  Post(main_window_message::kNewListWhileInTray);
  if (refresh_live_bookmarks && refresh_) refresh_();
}

void HeadlineWindowHost::Relayout(bool repaint_skin) {
  Post(kRelayoutMessage, repaint_skin ? 1 : 0);
}

void HeadlineWindowHost::AnimationPaused(bool paused) {
  HWND skin = skin_window_ ? skin_window_() : nullptr;
  if (skin != nullptr) PostMessageW(skin, paused ? kPauseAnimation : kResumeAnimation, 0, 0);
}

void HeadlineWindowHost::RestartIdleTimer() { Post(main_window_message::kRestartIdleTimer); }

bool HeadlineWindowHost::CopyToClipboard(const std::string& text) {
  return platform::CopyToClipboard(window_->hwnd(), WideText(text));
}

void HeadlineWindowHost::OpenLink(const std::string& link) {
  OpenInBrowser(link, window_->browser());
}

void HeadlineWindowHost::ItemOpened(int32_t id) {
  Post(main_window_message::kItemOpened, static_cast<WPARAM>(static_cast<uint32_t>(id)));
}

}  // namespace korvo
