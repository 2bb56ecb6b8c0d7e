#include "platform/named_lock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "common/temp_folder.h"

namespace korvo::platform {
namespace {

using korvo::testing::TempFolder;

std::string UniqueName(const char* base) {
  static std::atomic<int> n{0};
  return std::string(base) + "_" + std::to_string(n++) + "_" +
         std::to_string(reinterpret_cast<uintptr_t>(&n) & 0xffff);
}

TEST(NamedLockTest, RecursiveForTheOwnerExclusiveForOthers) {
  TempFolder dir;
  const std::string name = UniqueName("korvo_lock");
  NamedLock lock(name, dir.path());
  ASSERT_TRUE(lock.valid());
  ASSERT_TRUE(lock.Acquire());
  ASSERT_TRUE(lock.Acquire(0));  // the owner may take it again

  NamedLock other(name, dir.path());  // a second object for the same name
  std::atomic<bool> got{true};
  std::thread t([&] { got = other.Acquire(50); });
  t.join();
  EXPECT_FALSE(got);

  lock.Release();
  std::thread t2([&] { got = other.Acquire(50); });
  t2.join();
  EXPECT_FALSE(got);  // still held once

  lock.Release();
  std::thread t3([&] {
    got = other.Acquire(1000);
    if (got) other.Release();
  });
  t3.join();
  EXPECT_TRUE(got);
}

TEST(NamedLockTest, SerialisesThreads) {
  TempFolder dir;
  const std::string name = UniqueName("korvo_count");
  int counter = 0;  // guarded by the named lock only
  std::vector<std::thread> threads;
  for (int i = 0; i < 4; ++i) {
    threads.emplace_back([&] {
      NamedLock lock(name, dir.path());
      for (int k = 0; k < 500; ++k) {
        NamedLockHolder hold(lock);
        ASSERT_TRUE(hold.held());
        ++counter;
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(counter, 2000);
}

TEST(InstanceClaimTest, SecondClaimFailsUntilTheFirstEnds) {
  TempFolder dir;
  const std::string name = UniqueName("korvo_instance");
  {
    InstanceClaim first(name, dir.path());
    EXPECT_TRUE(first.claimed());
    InstanceClaim second(name, dir.path());
    EXPECT_FALSE(second.claimed());
  }
  InstanceClaim again(name, dir.path());
  EXPECT_TRUE(again.claimed());
}

}  // namespace
}  // namespace korvo::platform
