// Progress on a text stream, for korvo-headless: the title once, then a line at every tenth of
// the range ("  40%"), then "done". A console display is never closed by the user, so the job is
// never asked to stop.
#ifndef KORVO_STORE_CONSOLE_PROGRESS_H_
#define KORVO_STORE_CONSOLE_PROGRESS_H_

#include <ostream>

#include "store/progress.h"

namespace korvo {

class ConsoleProgressProvider : public ProgressProvider {
 public:
  // `out` must outlive the provider and every display it starts.
  explicit ConsoleProgressProvider(std::ostream& out) : out_(out) {}
  std::unique_ptr<Progress> Start(const std::string& title) override;
  bool ConfirmStop() override { return false; }

 private:
  std::ostream& out_;
};

}  // namespace korvo

#endif  // KORVO_STORE_CONSOLE_PROGRESS_H_
