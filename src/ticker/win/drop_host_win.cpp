#include "ticker/win/drop_host_win.h"

#include <atomic>
#include <memory>
#include <thread>

#include "channels/channel_list_component.h"
#include "channels/channel_tree_ops.h"
#include "channels/feed_summary.h"
#include "fetch/web_download.h"
#include "ticker/win/ticker_resource_ids.h"
#include "ticker/win/win_util.h"

namespace korvo {

namespace {

constexpr wchar_t kTitle[] = L"KorvoNewsReader";
constexpr UINT kDownloadDone = WM_APP + 1;
constexpr int kDownloadDeadlineMs = 60000;

// What the worker and the window thread share; the worker keeps it alive when the dialog is
// stopped before it ends.
struct DownloadJob {
  std::atomic<bool> cancel{false};
  std::atomic<bool> done{false};
  std::atomic<HWND> dialog{nullptr};
  bool ok = false;
  std::string body;
};

INT_PTR CALLBACK UpdatingProc(HWND dialog, UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_INITDIALOG: {
      auto* job = reinterpret_cast<DownloadJob*>(l);
      job->dialog = dialog;
      if (job->done) EndDialog(dialog, IDOK);  // ended while the dialog was being made
      return TRUE;
    }
    case kDownloadDone:
      EndDialog(dialog, IDOK);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(w) == IDCANCEL) {  // "停止"
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

// The channel operations' questions as message boxes.
class MessageBoxDialogs : public UserDialogs {
 public:
  explicit MessageBoxDialogs(HWND owner) : owner_(owner) {}
  bool AskOkCancel(const std::string& text, const std::string& caption) override {
    return MessageBoxW(owner_, WideText(text).c_str(), WideText(caption).c_str(),
                       MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2) == IDOK;
  }
  void ShowWarning(const std::string& text, const std::string& caption) override {
    MessageBoxW(owner_, WideText(text).c_str(), WideText(caption).c_str(), MB_OK | MB_ICONWARNING);
  }
  bool AskImportSource(std::string*) override { return false; }
  bool AskExportPath(std::string*) override { return false; }

 private:
  HWND owner_;
};

}  // namespace

bool SubscribeDroppedFeed(ChannelListComponent& channels, HWND owner, const FeedSummary& summary,
                          const std::string& feed_address) {
  FeedInformation feed;
  feed.title = summary.title;
  feed.siteUrl = summary.site_address;
  feed.feedUrl = feed_address;
  feed.description = summary.description;
  MessageBoxDialogs dialogs(owner);
  if (AddChannel(channels.list(), nullptr, feed, dialogs) == nullptr) return false;
  return channels.Save();
}

bool DropHostWin::Ask(const std::string& text) {
  return MessageBoxW(owner_, WideText(text).c_str(), kTitle,
                     MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2) == IDOK;
}

void DropHostWin::Inform(const std::string& text) {
  MessageBoxW(owner_, WideText(text).c_str(), kTitle, MB_OK | MB_ICONINFORMATION);
}

void DropHostWin::Fail(const std::string& text) {
  MessageBoxW(owner_, WideText(text).c_str(), kTitle, MB_OK | MB_ICONERROR);
}

void DropHostWin::Report(const std::string& text, const std::string& caption) {
  MessageBoxW(owner_, WideText(text).c_str(), WideText(caption).c_str(), MB_OK);
}

bool DropHostWin::Download(const std::string& address, std::string* body) {
  auto job = std::make_shared<DownloadJob>();
  std::thread([job, fetch = fetch_, address] {
    DownloadControl control;
    control.deadline_ms = kDownloadDeadlineMs;
    control.cancel = &job->cancel;
    job->ok = korvo::Download(fetch, address, 0, &job->body, control);
    job->done = true;
    if (HWND dialog = job->dialog) PostMessageW(dialog, kDownloadDone, 0, 0);
  }).detach();
  const ULONGLONG until = GetTickCount64() + kQuietWaitMs;
  while (!job->done && GetTickCount64() < until) Sleep(10);
  if (!job->done) {
    const INT_PTR answer = DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_UPDATING), owner_,
                                           UpdatingProc, reinterpret_cast<LPARAM>(job.get()));
    job->dialog = nullptr;
    if (answer != IDOK || !job->done) {
      job->cancel = true;  // the worker ends on its own; its result is dropped
      return false;
    }
  }
  if (!job->ok || job->body.empty()) return false;
  *body = std::move(job->body);
  return true;
}

void DropHostWin::SkinAdded(const std::string& name) {
  if (functions_.add_skin) functions_.add_skin(name);
}

bool DropHostWin::Subscribe(const FeedSummary& summary, const std::string& feed_address) {
  return functions_.subscribe && functions_.subscribe(summary, feed_address);
}

}  // namespace korvo
