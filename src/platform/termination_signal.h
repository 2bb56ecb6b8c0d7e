// The request from outside to end a console program.
//
// POSIX: SIGINT and SIGTERM. Windows: the console control events Ctrl+C, Ctrl+Break, console
// close, log-off and system shut-down. Once a TerminationSignal exists those no longer end the
// process at once; they are recorded and Wait() returns, so the program can shut down in order.
//
// At most one TerminationSignal may exist at a time (the handlers are process-wide). Construct it
// on the main thread before any other thread starts. Wait() and Done() are for the thread that
// runs the shut-down; Request() may be called from any thread.
#ifndef KORVO_PLATFORM_TERMINATION_SIGNAL_H_
#define KORVO_PLATFORM_TERMINATION_SIGNAL_H_

namespace korvo::platform {

class TerminationSignal {
 public:
  TerminationSignal();   // installs the handlers
  ~TerminationSignal();  // restores the default handling
  TerminationSignal(const TerminationSignal&) = delete;
  TerminationSignal& operator=(const TerminationSignal&) = delete;

  // False when the handlers could not be installed (the process then ends the default way).
  bool installed() const { return installed_; }

  // Waits until the end was requested or `timeout_ms` passed (negative: forever). Returns the
  // request: the POSIX signal number, the Windows control event + 1000, -1 for Request(), or 0
  // when the time ran out.
  int Wait(int timeout_ms);

  // Asks for the end from inside the program, as the signals do from outside.
  void Request();

  // Tells the system that the shut-down is finished. Windows: the console handler, which must
  // not return before the program has saved its state for console close, log-off and shut-down
  // (the system ends the process when it returns), is released; it also gives up on its own
  // after 10 s. POSIX: nothing to do.
  void Done();

 private:
  bool installed_ = false;
};

}  // namespace korvo::platform

#endif  // KORVO_PLATFORM_TERMINATION_SIGNAL_H_
