#include "input/ui_thread.h"

#include <chrono>

namespace nv::input {

void UiThread::run(const std::function<void()>& work) {
  if (std::this_thread::get_id() == owner_) {
    work();
    return;
  }
  std::unique_lock<std::mutex> g(m_);
  // One request at a time: only the script thread hands work over.
  cv_.wait(g, [&] { return pending_ == nullptr; });
  pending_ = &work;
  done_ = false;
  cv_.notify_all();
  cv_.wait(g, [&] { return done_; });
  pending_ = nullptr;
  cv_.notify_all();
}

bool UiThread::serve() {
  const std::function<void()>* work = nullptr;
  {
    std::lock_guard<std::mutex> g(m_);
    if (!pending_ || done_) return false;
    work = pending_;
  }
  (*work)();
  {
    std::lock_guard<std::mutex> g(m_);
    done_ = true;
  }
  cv_.notify_all();
  return true;
}

void UiThread::wait_for_work(int ms) {
  std::unique_lock<std::mutex> g(m_);
  cv_.wait_for(g, std::chrono::milliseconds(ms), [&] { return pending_ != nullptr && !done_; });
}

}  // namespace nv::input
