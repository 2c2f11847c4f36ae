#include "input/ui_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>

namespace nv::input {
namespace {

TEST(UiThread, WorkFromAnotherThreadRunsOnTheOwnerWhileThatThreadHoldsALock) {
  UiThread ui;
  ui.claim();
  std::recursive_mutex engine_lock;  // held by the frame step while it waits
  std::atomic<int> done{0};
  std::thread::id ran_on;
  std::thread script([&] {
    for (int i = 0; i < 100; ++i) {
      std::lock_guard<std::recursive_mutex> g(engine_lock);
      ui.run([&] { ran_on = std::this_thread::get_id(); });
      ++done;
    }
  });
  // The owner's loop: it cannot take the lock while the script thread waits,
  // so it serves handed-over work in the meantime.
  while (done.load() < 100) {
    if (engine_lock.try_lock()) {
      engine_lock.unlock();
    } else if (!ui.serve()) {
      ui.wait_for_work(1);
    }
  }
  script.join();
  EXPECT_EQ(ran_on, std::this_thread::get_id());
  // On the owning thread work runs at once.
  bool direct = false;
  ui.run([&] { direct = true; });
  EXPECT_TRUE(direct);
}

}  // namespace
}  // namespace nv::input
