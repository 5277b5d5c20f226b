// Work spread over threads with its results delivered in order. Run under ThreadSanitizer by
// `make tsan`.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <numeric>
#include <thread>
#include <utility>
#include <vector>

#include "ordered_jobs.h"

namespace {

TEST(OrderedJobs, EveryResultIsDeliveredOnceInJobOrder) {
  const struct { int jobs, threads; } cases[] = {{0, 2}, {1, 4}, {5, 1}, {7, 0}, {64, 3}, {3, 8}};
  for (const auto& c : cases) {
    std::atomic<int> workers{0};
    std::vector<int> delivered;
    tv::RunInOrder(
        c.jobs, c.threads, [&] { return ++workers; },
        [](int worker, int i) {
          // Later jobs finish first, so that order has to be restored.
          std::this_thread::sleep_for(std::chrono::microseconds((i % 4) * 200));
          return std::pair{worker, i * i};
        },
        [&](int i, std::pair<int, int> result) {
          EXPECT_EQ(result.second, i * i);
          EXPECT_LE(result.first, std::max(c.threads, 1));
          delivered.push_back(i);
        });
    std::vector<int> expected(static_cast<std::size_t>(c.jobs));
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(delivered, expected) << c.jobs << " jobs on " << c.threads;
    EXPECT_LE(workers, std::max(std::min(c.threads, c.jobs), 1));
  }
}

}  // namespace
