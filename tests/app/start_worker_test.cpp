// Worker threads run the routine on a thread of their own and are not waited for.
#include "app/start_worker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

namespace orvendel {
namespace {

TEST(StartWorkerTest, RunsTheRoutineOnANewDetachedThread) {
  std::promise<std::thread::id> ran_on;
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  std::atomic<bool> finished{false};
  ASSERT_TRUE(start_worker([&, released] {
    ran_on.set_value(std::this_thread::get_id());
    released.wait();
    finished = true;
  }));
  auto id = ran_on.get_future();
  ASSERT_EQ(id.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  EXPECT_NE(id.get(), std::this_thread::get_id());
  // start_worker returned while the routine was still running.
  EXPECT_FALSE(finished);
  release.set_value();
  for (int i = 0; i < 10000 && !finished; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_TRUE(finished);
}

}  // namespace
}  // namespace orvendel
