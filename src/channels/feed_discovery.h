// Browser discovery: for every page the embedded browser shows, a thread of its own fetches the
// page and reports either that the page is itself a feed, or each feed its `head` announces.
//
// Threads: StartDiscovery, WaitForAll and the destructor are called on one thread (the window
// thread in the program). Each discovery runs on its own thread and touches only its request,
// its temporary file "_t_<number>" in the working folder and its listener.
#ifndef KORVO_CHANNELS_FEED_DISCOVERY_H_
#define KORVO_CHANNELS_FEED_DISCOVERY_H_

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "channels/page_download.h"
#include "feed/xml_document.h"

namespace korvo {

// Receives the notifications of the discoveries started for one window. The window implements
// it (it delivers each call to its window synchronously, and only while that window exists);
// tests record the calls. Calls for one request come in the order started, feed found...,
// page is a feed; calls may come for requests the window no longer expects.
class DiscoveryListener {
 public:
  virtual ~DiscoveryListener() = default;

  // On the thread that called StartDiscovery, before the discovery thread runs.
  virtual void OnDiscoveryStarted(int request) = 0;
  // On the discovery thread: a feed at `feed_address` (never empty). For a page that is itself
  // a feed this is the page address, and OnPageIsFeed follows.
  virtual void OnFeedFound(int request, const std::string& feed_address) = 0;
  // On the discovery thread: the page is a feed; `document` is valid during the call only.
  virtual void OnPageIsFeed(int request, const XmlDocument& document) = 0;
};

// "_t_<number>": the temporary file of browser discovery number `number`.
std::string DiscoveryFileName(int number);

class FeedDiscovery {
 public:
  // Most discoveries running at once; further pages start none until one ends.
  static constexpr int kMaxRunning = 16;

  // `working_folder` (UTF-8) holds the temporary files; `download` fetches the pages.
  FeedDiscovery(std::string working_folder, PageDownloader download);
  // Cancels the downloads in progress and waits for every discovery thread. A listener must not
  // wait for the thread that destroys this object while delivering a notification (the window's
  // listener stops delivering once its window is destroyed).
  ~FeedDiscovery();
  FeedDiscovery(const FeedDiscovery&) = delete;
  FeedDiscovery& operator=(const FeedDiscovery&) = delete;

  // Starts the discovery of the page at `page_address` (CP932, at most 1,023 bytes) for
  // `listener`, which the discovery keeps alive until it ends. Returns the request number
  // (> 0; numbers come from one process-wide counter, which also names the temporary files),
  // or 0 when no discovery starts: "file:///" and "about:blank" pages, too long an address, an
  // empty one, no listener, or kMaxRunning discoveries already running.
  int StartDiscovery(std::shared_ptr<DiscoveryListener> listener, std::string_view page_address);

  // Waits until every discovery started so far has ended.
  void WaitForAll();

  // Discoveries whose threads have not ended yet.
  int running() const;

 private:
  struct Worker {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> done;
  };

  void Run(int request, const std::shared_ptr<DiscoveryListener>& listener,
           const std::string& page_address) const;
  bool FetchPage(const std::string& page_address, std::string* body) const;
  void JoinFinishedLocked();

  const std::string working_folder_;
  const PageDownloader download_;
  std::atomic<bool> cancel_{false};
  mutable std::mutex mutex_;  // guards workers_
  std::vector<Worker> workers_;
};

}  // namespace korvo

#endif  // KORVO_CHANNELS_FEED_DISCOVERY_H_
