#include "platform/termination_signal.h"

#include <gtest/gtest.h>

#include <csignal>
#include <thread>

namespace korvo::platform {
namespace {

TEST(TerminationSignalTest, RequestsAreReportedOnceAndTimeOutsGiveZero) {
  TerminationSignal signal;
  ASSERT_TRUE(signal.installed());
  EXPECT_EQ(signal.Wait(0), 0);
  EXPECT_EQ(signal.Wait(20), 0);
  std::thread requester([&signal] { signal.Request(); });
  EXPECT_EQ(signal.Wait(5000), -1);
  requester.join();
  EXPECT_EQ(signal.Wait(0), 0);
#ifndef _WIN32
  // On POSIX the real signals arrive the same way instead of ending the process.
  std::raise(SIGTERM);
  EXPECT_EQ(signal.Wait(5000), SIGTERM);
  std::raise(SIGINT);
  EXPECT_EQ(signal.Wait(5000), SIGINT);
#endif
  signal.Done();
}

}  // namespace
}  // namespace korvo::platform
