// `WorkerPool`: one or two workers that run the bands of rows of a pixel job
// while the thread that composes waits for them. The calling thread is
// worker 0 and always works itself; the others are threads, each with a slot
// and a start and done count under its own mutex, so a start can never be
// missed and a finished band never reported twice. A job is split either in
// fixed shares (worker i takes the i-th of n equal parts) or, when it names
// a band height, in bands that every worker takes in turn from a shared
// counter: a worker the system wakes late then finds the bands taken, and a
// worker it never woke is released without being waited for. A job too
// small to be worth a thread's wake-up runs whole on the calling thread, as
// every job does once the engine's stop flag is set. Threads end when the
// pool is dropped.
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
  int32_t band = 0;    // rows a worker takes at a time; 0: fixed shares
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

  // With fixed shares worker i takes rows height x i / n .. height x
  // (i + 1) / n; with bands each worker takes the next band until none is
  // left. Returns when every row is done.
  void run(const PoolJob& job);

 private:
  struct Worker {
    std::mutex m;
    std::condition_variable cv;
    uint64_t started = 0;   // jobs handed to this worker
    uint64_t finished = 0;  // jobs it has completed (or was released from)
    uint64_t taken = 0;     // the last job it began
    bool quit = false;
    PoolJob job;
    int32_t first = 0, end = 0;
    std::thread thread;
  };

  static void loop(Worker& w, std::atomic<int32_t>& next_band);
  // Runs bands of `job` taken from next_band_ until none is left.
  static void take_bands(const PoolJob& job, std::atomic<int32_t>& next_band);

  const std::atomic<bool>& stop_;
  std::atomic<int32_t> next_band_{0};  // first row of the next band of a banded job
  std::vector<std::unique_ptr<Worker>> threads_;  // workers 1 .. n - 1
};

}  // namespace nv::gfx
