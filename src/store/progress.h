// The progress display of long store jobs (index rebuild, import of the earlier database), as
// the store sees it. The Windows program shows a small window with a progress bar on a thread of
// its own (win/progress_window.h); korvo-headless reports on the console
// (console_progress.h); tests record the calls.
//
// Threads: a Progress and its provider are used from the one thread that runs the job.
#ifndef KORVO_STORE_PROGRESS_H_
#define KORVO_STORE_PROGRESS_H_

#include <cstdint>
#include <memory>
#include <string>

namespace korvo {

class Progress {
 public:
  virtual ~Progress() = default;
  virtual void SetRange(uint32_t range) = 0;
  // Advances the position by one.
  virtual void Step() = 0;
  virtual void SetPosition(uint32_t position) = 0;
  // False once the user has closed the display (the job then asks whether to stop).
  virtual bool IsOpen() const = 0;
  // Takes the display away. Called once at the end of the job; the destructor closes too.
  virtual void Close() = 0;
};

class ProgressProvider {
 public:
  virtual ~ProgressProvider() = default;
  // Shows a new display titled `title` (CP932) and returns once it exists; null when none can be
  // shown (the job then runs without one).
  virtual std::unique_ptr<Progress> Start(const std::string& title) = 0;
  // Asks the user whether to stop the job after the display was closed. True: stop.
  virtual bool ConfirmStop() = 0;
};

}  // namespace korvo

#endif  // KORVO_STORE_PROGRESS_H_
