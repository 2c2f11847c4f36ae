#include "graphics/worker_pool.h"

#include <algorithm>
#include <memory>

namespace nv::gfx {

int worker_count_for(int processors, bool allow_two) {
  const int n = std::min(std::max(processors, 1), 2);
  return allow_two ? n : 1;
}

WorkerPool::WorkerPool(int workers, const std::atomic<bool>& stop) : stop_(stop) {
  workers = std::clamp(workers, 1, 2);
  for (int i = 1; i < workers; ++i) {
    threads_.push_back(std::make_unique<Worker>());
    Worker& w = *threads_.back();
    w.thread = std::thread([this, &w] { loop(w, next_band_); });
  }
}

WorkerPool::~WorkerPool() {
  for (auto& w : threads_) {
    {
      std::lock_guard<std::mutex> g(w->m);
      w->quit = true;
    }
    w->cv.notify_all();
  }
  for (auto& w : threads_) w->thread.join();
}

void WorkerPool::take_bands(const PoolJob& job, std::atomic<int32_t>& next_band) {
  for (;;) {
    const int32_t first = next_band.fetch_add(job.band, std::memory_order_relaxed);
    if (first >= job.height) return;
    job.run(job.context, first, std::min(job.height, first + job.band));
  }
}

void WorkerPool::loop(Worker& w, std::atomic<int32_t>& next_band) {
  uint64_t seen = 0;
  for (;;) {
    PoolJob job;
    int32_t first = 0, end = 0;
    {
      std::unique_lock<std::mutex> g(w.m);
      w.cv.wait(g, [&] { return w.quit || w.started != seen; });
      if (w.quit) return;
      seen = w.started;
      if (w.finished == seen) continue;  // released before it woke
      w.taken = seen;
      job = w.job;
      first = w.first;
      end = w.end;
    }
    if (job.band > 0) take_bands(job, next_band);
    else if (first < end) job.run(job.context, first, end);
    {
      std::lock_guard<std::mutex> g(w.m);
      w.finished = seen;
    }
    w.cv.notify_all();
  }
}

void WorkerPool::run(const PoolJob& job) {
  if (job.height <= 0 || !job.run) return;
  const int64_t n = int64_t(threads_.size()) + 1;
  if (n == 1 || job.pixels < kSplitJobPixels || job.height < n || stop_.load(std::memory_order_relaxed)) {
    job.run(job.context, 0, job.height);
    return;
  }
  const bool banded = job.band > 0;
  // The counter is set before the start is published under each worker's
  // mutex, so every worker that takes the job sees it.
  if (banded) next_band_.store(0, std::memory_order_relaxed);
  for (int64_t i = 1; i < n; ++i) {
    Worker& w = *threads_[size_t(i - 1)];
    {
      std::lock_guard<std::mutex> g(w.m);
      w.job = job;
      w.first = int32_t(int64_t(job.height) * i / n);
      w.end = int32_t(int64_t(job.height) * (i + 1) / n);
      ++w.started;
    }
    w.cv.notify_all();
  }
  if (banded) take_bands(job, next_band_);
  else job.run(job.context, 0, int32_t(int64_t(job.height) / n));
  for (auto& wp : threads_) {
    Worker& w = *wp;
    std::unique_lock<std::mutex> g(w.m);
    // Every band is taken: a worker that has not begun this job is released
    // (it will find it finished when it wakes) instead of waited for.
    if (banded && w.taken != w.started) w.finished = w.started;
    w.cv.wait(g, [&] { return w.finished == w.started; });
  }
}

}  // namespace nv::gfx
