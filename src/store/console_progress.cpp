#include "store/console_progress.h"

#include "platform/code_page.h"

namespace korvo {

namespace {

class ConsoleProgress : public Progress {
 public:
  ConsoleProgress(std::ostream& out, const std::string& title) : out_(out) {
    out_ << platform::Cp932ToUtf8(title) << '\n' << std::flush;
  }
  ~ConsoleProgress() override { Close(); }

  void SetRange(uint32_t range) override {
    range_ = range;
    Report();
  }
  void Step() override {
    if (position_ < range_) ++position_;
    Report();
  }
  void SetPosition(uint32_t position) override {
    position_ = position < range_ ? position : range_;
    Report();
  }
  bool IsOpen() const override { return open_; }
  void Close() override {
    if (!open_) return;
    open_ = false;
    out_ << "done\n" << std::flush;
  }

 private:
  // One line per tenth reached, so a job of 262,140 steps prints at most eleven lines.
  void Report() {
    if (!open_ || range_ == 0) return;
    const int tenth = static_cast<int>(uint64_t{position_} * 10 / range_);
    if (tenth == last_tenth_) return;
    last_tenth_ = tenth;
    out_ << (tenth == 10 ? " " : "  ") << tenth * 10 << "%\n" << std::flush;
  }

  std::ostream& out_;
  uint32_t range_ = 0;
  uint32_t position_ = 0;
  int last_tenth_ = -1;
  bool open_ = true;
};

}  // namespace

std::unique_ptr<Progress> ConsoleProgressProvider::Start(const std::string& title) {
  return std::make_unique<ConsoleProgress>(out_, title);
}

}  // namespace korvo
