// Reference counts and the spin lock, from one thread and from several at once.
#include "bindings/kernel/counted.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "bindings/kernel/lock.h"

namespace {

using Kernel::Counted;
using Kernel::MakeCounted;
using Kernel::WeakCounted;

// Counts its destructions, so a test sees when, and how often, the object died.
class Probe : public Kernel::Countable {
public:
    explicit Probe(std::atomic<int>* destroyed) : m_destroyed(destroyed) {}
    ~Probe() override { m_destroyed->fetch_add(1, std::memory_order_relaxed); }
    int Value() const { return m_value; }

private:
    std::atomic<int>* m_destroyed;
    int m_value = 7;
};

TEST(CountedTest, CopiesMovesAndConversionsShareOneCountAndTheBlockOutlivesTheObject) {
    std::atomic<int> destroyed{0};
    Counted<Probe> owner = MakeCounted<Probe>(&destroyed);
    const Kernel::CountedControlBlock& block = owner->GetControlBlock();
    Counted<Kernel::Countable> base = owner;
    WeakCounted<Probe> weak(owner);
    EXPECT_EQ(block.StrongCount(), 2);
    EXPECT_EQ(block.WeakCount(), 2);  // the weak reference and the object's own
    EXPECT_EQ(Kernel::DynamicCast<Probe>(base), owner);
    Counted<Kernel::Countable>& alias = base;
    base = alias;
    Counted<Kernel::Countable> moved = std::move(base);
    EXPECT_FALSE(base);
    EXPECT_EQ(block.StrongCount(), 2);
    owner.Reset();
    EXPECT_EQ(weak.Lock(), moved);
    moved = nullptr;
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(block.StrongCount(), 0);
    EXPECT_EQ(block.WeakCount(), 1);
    EXPECT_TRUE(weak.Expired());
    EXPECT_FALSE(weak.Lock());
    weak.Reset();
    EXPECT_TRUE(weak.Expired());
}

TEST(CountedTest, ThreadsCopyingAndReleasingDestroyOnce) {
    std::atomic<int> destroyed{0};
    Counted<Probe> owner = MakeCounted<Probe>(&destroyed);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&owner] {
            for (int i = 0; i < 20000; ++i) {
                Counted<Probe> copy = owner;
                Counted<Probe> second = std::move(copy);
                EXPECT_EQ(second->Value(), 7);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(owner->GetControlBlock().StrongCount(), 1);
    owner.Reset();
    EXPECT_EQ(destroyed, 1);
}

TEST(CountedTest, LockRacingTheLastReleaseNeverRevivesTheObject) {
    for (int round = 0; round < 300; ++round) {
        std::atomic<int> destroyed{0};
        std::atomic<bool> go{false};
        Counted<Probe> owner = MakeCounted<Probe>(&destroyed);
        const WeakCounted<Probe> weak(owner);
        auto waitForGo = [&go] {
            while (!go.load(std::memory_order_acquire)) {
            }
        };
        std::vector<std::thread> threads;
        threads.emplace_back([&] {
            waitForGo();
            owner.Reset();
        });
        for (int t = 0; t < 2; ++t) {
            threads.emplace_back([&] {
                waitForGo();
                // Bounded, so two lockers cannot keep each other's object alive for ever.
                for (int i = 0; i < 200; ++i) {
                    const Counted<Probe> locked = weak.Lock();
                    if (!locked) {
                        break;
                    }
                    EXPECT_EQ(locked->Value(), 7);
                }
            });
        }
        go.store(true, std::memory_order_release);
        for (std::thread& thread : threads) {
            thread.join();
        }
        ASSERT_EQ(destroyed, 1) << "round " << round;
        ASSERT_TRUE(weak.Expired());
    }
}

TEST(CriticalSectionSpinTest, ExcludesOtherThreads) {
    Kernel::CriticalSectionSpin lock;
    long counter = 0;  // plain on purpose: only the lock protects it
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 50000; ++i) {
                std::lock_guard guard(lock);
                ++counter;
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(counter, 4L * 50000);
    ASSERT_TRUE(lock.try_lock());
    EXPECT_FALSE(lock.TryAcquireLock());
    lock.unlock();
}

}  // namespace
