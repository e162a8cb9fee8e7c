#include "bindings/kernel/lock.h"

#include <gtest/gtest.h>

#include <mutex>
#include <thread>
#include <vector>

namespace {

TEST(CriticalSectionSpinTest, ExcludesOtherThreads) {
    constexpr int kThreads = 4;
    constexpr int kIncrements = 50000;
    Kernel::CriticalSectionSpin lock;
    long counter = 0;  // plain on purpose: only the lock protects it
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < kIncrements; ++i) {
                std::lock_guard guard(lock);
                ++counter;
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(counter, long{kThreads} * kIncrements);

    ASSERT_TRUE(lock.TryAcquireLock());
    EXPECT_FALSE(lock.TryAcquireLock());
    lock.ReleaseLock();
    EXPECT_TRUE(lock.try_lock());
    lock.unlock();
}

}  // namespace
