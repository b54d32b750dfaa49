// Runs work(i) for i in 0..count-1 on up to `jobs` threads (0: one per core), each taking the next
// index as it becomes free. Each thread drives its own plug-in instances, which the VST 2.4 model
// allows: one instance is only ever called from one thread at a time.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <thread>
#include <vector>

namespace orvel {

inline std::size_t threadCount(int jobs, std::size_t count) {
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    return std::max<std::size_t>(1, std::min<std::size_t>(jobs > 0 ? std::size_t(jobs) : cores, count));
}

// `work` must not throw: each caller keeps its own per-item errors.
template <typename Work> void forEachInParallel(std::size_t count, int jobs, const Work& work) {
    std::atomic<std::size_t> next{0};
    auto worker = [&] {
        for (std::size_t i; (i = next++) < count;)
            work(i);
    };
    const std::size_t n = threadCount(jobs, count);
    if (n == 1) {
        worker();
        return;
    }
    std::vector<std::thread> threads;
    for (std::size_t j = 0; j < n; ++j)
        threads.emplace_back(worker);
    for (std::thread& t : threads)
        t.join();
}

} // namespace orvel
