// `WorkerPool`: one or two workers that run the bands of rows of a pixel job
// while the thread that composes waits for them. The calling thread is
// worker 0 and takes the first band itself; the others are threads, each
// with a slot and a start and done count under its own mutex, so a start can
// never be missed and a finished band never reported twice. A job too small
// to be worth a thread's wake-up runs whole on the calling thread, as every
// job does once the engine's stop flag is set. Threads end when the pool is
// dropped.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace nv::gfx {

// A job over rows 0 .. height - 1; `run` is called with disjoint bands.
struct PoolJob {
  void (*run)(const void* context, int32_t first_row, int32_t end_row) = nullptr;
  const void* context = nullptr;
  int32_t height = 0;
  int64_t pixels = 0;  // the work it stands for: small jobs are not split
};

// Jobs of fewer pixels run whole on the calling thread.
constexpr int64_t kSplitJobPixels = 32768;

// n = min(max(processors, 1), 2), and 1 when two workers are not allowed.
int worker_count_for(int processors, bool allow_two);

class WorkerPool {
 public:
  WorkerPool(int workers, const std::atomic<bool>& stop);
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  int size() const { return int(threads_.size()) + 1; }

  // Worker i takes rows height x i / n .. height x (i + 1) / n; returns when
  // every band is done.
  void run(const PoolJob& job);

 private:
  struct Worker {
    std::mutex m;
    std::condition_variable cv;
    uint64_t started = 0;   // jobs handed to this worker
    uint64_t finished = 0;  // jobs it has completed
    bool quit = false;
    PoolJob job;
    int32_t first = 0, end = 0;
    std::thread thread;
  };

  static void loop(Worker& w);

  const std::atomic<bool>& stop_;
  std::vector<std::unique_ptr<Worker>> threads_;  // workers 1 .. n - 1
};

}  // namespace nv::gfx
