// Work that belongs to the thread owning the windows (pop-up menus,
// dialogs, the clipboard, cursor moves). When the frame step runs on the
// script thread, such work is handed to the main thread, which runs it the
// next time it looks (even while the script thread holds the engine lock)
// and the script thread waits for it to finish.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace nv::input {

class UiThread {
 public:
  // The calling thread owns the windows from now on.
  void claim() { owner_ = std::this_thread::get_id(); }

  // Runs `work` on the owning thread and returns when it is done.
  void run(const std::function<void()>& work);

  // Runs the work handed over, if any (the owning thread calls this).
  // True when there was some.
  bool serve();

  // Waits until work is handed over or `ms` milliseconds passed.
  void wait_for_work(int ms);

 private:
  std::thread::id owner_ = std::this_thread::get_id();
  std::mutex m_;
  std::condition_variable cv_;
  const std::function<void()>* pending_ = nullptr;
  bool done_ = false;
};

}  // namespace nv::input
