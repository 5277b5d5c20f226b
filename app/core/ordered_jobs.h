#pragma once
// Work spread over a few threads whose results are taken in the order of the work: what each
// piece says is reported exactly as one thread would report it, only sooner.

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

namespace tv {

// Runs job(worker, i) for every i from 0 to count - 1 on at most `threads` threads, and hands
// each result to deliver(i, result) on the calling thread in order of i, as soon as it and
// every earlier one are done. makeWorker() runs once on each thread; its value is the state
// that thread's jobs share (say, a chart object of their own).
template <typename MakeWorker, typename Job, typename Deliver>
void RunInOrder(int count, int threads, MakeWorker makeWorker, Job job, Deliver deliver) {
  using Worker = std::invoke_result_t<MakeWorker&>;
  using Result = std::invoke_result_t<Job&, Worker&, int>;
  std::vector<std::optional<Result>> results(static_cast<std::size_t>(std::max(count, 0)));
  std::mutex mutex;
  std::condition_variable finished;
  std::atomic<int> next{0};
  std::vector<std::jthread> pool;
  for (int t = 0; t < std::min(std::max(threads, 1), count); ++t) {
    pool.emplace_back([&] {
      Worker worker = makeWorker();
      for (int i = next++; i < count; i = next++) {
        Result result = job(worker, i);
        {
          const std::lock_guard lock(mutex);
          results[static_cast<std::size_t>(i)] = std::move(result);
        }
        finished.notify_one();
      }
    });
  }
  for (std::size_t i = 0; i < results.size(); ++i) {
    std::unique_lock lock(mutex);
    finished.wait(lock, [&] { return results[i].has_value(); });
    Result result = std::move(*results[i]);
    results[i].reset();
    lock.unlock();
    deliver(static_cast<int>(i), std::move(result));
  }
}

}  // namespace tv
