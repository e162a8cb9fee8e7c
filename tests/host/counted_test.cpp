#include "bindings/kernel/counted.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "bindings/kernel/notification.h"

namespace {

using Kernel::Counted;
using Kernel::CountedControlBlock;
using Kernel::MakeCounted;
using Kernel::WeakCounted;

// Counts its destructions, so a test sees when, and how often, the object died.
class Probe : public Kernel::Countable {
public:
    explicit Probe(std::atomic<int>* destroyed) : m_destroyed(destroyed) {}
    ~Probe() override { m_destroyed->fetch_add(1, std::memory_order_relaxed); }

    Counted<Probe> Self() { return Counted<Probe>(this); }
    int Value() const { return m_value; }

private:
    std::atomic<int>* m_destroyed;
    int m_value = 7;
};

class DerivedProbe : public Probe {
public:
    using Probe::Probe;
};

// Countable is a virtual base of every notification.
class ProbeNotification : public Kernel::Notification {
public:
    explicit ProbeNotification(std::atomic<int>* destroyed) : m_destroyed(destroyed) {}
    ~ProbeNotification() override { m_destroyed->fetch_add(1, std::memory_order_relaxed); }

private:
    std::atomic<int>* m_destroyed;
};

long StrongOf(const Kernel::Countable& object) {
    return object.GetControlBlock().StrongCount();
}
long WeakOf(const Kernel::Countable& object) {
    return object.GetControlBlock().WeakCount();
}

TEST(CountedTest, ControlBlockOutlivesTheObjectWhileAWeakReferenceExists) {
    std::atomic<int> destroyed{0};
    Counted<Probe> owner = MakeCounted<Probe>(&destroyed);
    const CountedControlBlock& block = owner->GetControlBlock();
    EXPECT_EQ(block.StrongCount(), 1);
    EXPECT_EQ(block.WeakCount(), 1);  // the object's own

    Counted<Probe> copy = owner;
    WeakCounted<Probe> weak(owner);
    EXPECT_EQ(block.StrongCount(), 2);
    EXPECT_EQ(block.WeakCount(), 2);
    EXPECT_EQ(weak.Lock(), owner);

    owner.Reset();
    EXPECT_EQ(destroyed, 0);
    EXPECT_FALSE(weak.Expired());
    copy.Reset();
    EXPECT_EQ(destroyed, 1);

    // The object is gone; the block is still readable through the weak reference.
    EXPECT_EQ(block.StrongCount(), 0);
    EXPECT_EQ(block.WeakCount(), 1);
    EXPECT_TRUE(weak.Expired());
    EXPECT_FALSE(weak.Lock());
    EXPECT_FALSE(WeakCounted<Probe>(weak).Lock());
    weak.Reset();
    EXPECT_TRUE(weak.Expired());
    EXPECT_EQ(destroyed, 1);
}

TEST(CountedTest, ConversionsShareOneCount) {
    std::atomic<int> destroyed{0};
    {
        Counted<DerivedProbe> derived = MakeCounted<DerivedProbe>(&destroyed);
        Counted<Probe> base = derived;
        Counted<const Probe> readOnly = base;
        EXPECT_EQ(StrongOf(*derived), 3);
        EXPECT_EQ(Kernel::DynamicCast<DerivedProbe>(base), derived);
        EXPECT_FALSE(Kernel::DynamicCast<DerivedProbe>(MakeCounted<Probe>(&destroyed)));
        EXPECT_EQ(destroyed, 1);

        Counted<Probe> moved = std::move(derived);
        EXPECT_FALSE(derived);
        EXPECT_EQ(StrongOf(*moved), 3);
    }
    EXPECT_EQ(destroyed, 2);

    Counted<ProbeNotification> notification = MakeCounted<ProbeNotification>(&destroyed);
    Counted<Kernel::Notification> asNotification = notification;
    Counted<Kernel::Countable> asCountable = asNotification;
    WeakCounted<Kernel::Notification> weak = notification;
    EXPECT_EQ(StrongOf(*asCountable), 3);
    EXPECT_EQ(WeakOf(*asCountable), 2);
    EXPECT_EQ(Kernel::DynamicCast<ProbeNotification>(asCountable), notification);
    notification.Reset();
    asNotification.Reset();
    EXPECT_EQ(weak.Lock(), asCountable);
    asCountable.Reset();
    EXPECT_EQ(destroyed, 3);
    EXPECT_FALSE(weak.Lock());
}

TEST(CountedTest, SelfReferencesAssignmentsAndMovesKeepTheCountRight) {
    std::atomic<int> destroyed{0};
    Counted<Probe> owner = MakeCounted<Probe>(&destroyed);
    {
        const Counted<Probe> self = owner->Self();
        EXPECT_EQ(self, owner);
        EXPECT_EQ(StrongOf(*owner), 2);
    }
    Counted<Probe>& alias = owner;
    owner = alias;
    EXPECT_EQ(StrongOf(*owner), 1);
    owner = std::move(alias);
    ASSERT_TRUE(owner);
    EXPECT_EQ(StrongOf(*owner), 1);

    Counted<Probe> moved(std::move(owner));
    EXPECT_FALSE(owner);
    EXPECT_EQ(StrongOf(*moved), 1);
    owner = MakeCounted<Probe>(&destroyed);
    moved = owner;  // drops the first object
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(StrongOf(*owner), 2);

    WeakCounted<Probe> weak(owner);
    WeakCounted<Probe>& weakAlias = weak;
    weak = weakAlias;
    WeakCounted<Probe> weakMoved(std::move(weak));
    EXPECT_TRUE(weak.Expired());
    EXPECT_EQ(WeakOf(*owner), 2);
    EXPECT_EQ(weakMoved.Lock(), owner);
    owner = nullptr;
    moved = nullptr;
    EXPECT_EQ(destroyed, 2);
    EXPECT_FALSE(weakMoved.Lock());
}

TEST(CountedTest, ThreadsCopyingAndReleasingDestroyOnce) {
    constexpr int kThreads = 4;
    constexpr int kCopies = 20000;
    std::atomic<int> destroyed{0};
    Counted<Probe> owner = MakeCounted<Probe>(&destroyed);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&owner] {
            for (int i = 0; i < kCopies; ++i) {
                Counted<Probe> copy = owner;
                Counted<Probe> second = std::move(copy);
                EXPECT_EQ(second->Value(), 7);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(StrongOf(*owner), 1);
    owner.Reset();
    EXPECT_EQ(destroyed, 1);
}

TEST(CountedTest, LockRacingTheLastReleaseNeverRevivesTheObject) {
    constexpr int kRounds = 300;
    constexpr int kLockers = 2;
    for (int round = 0; round < kRounds; ++round) {
        std::atomic<int> destroyed{0};
        std::atomic<bool> go{false};
        Counted<Probe> owner = MakeCounted<Probe>(&destroyed);
        const WeakCounted<Probe> weak(owner);
        std::vector<std::thread> threads;
        threads.emplace_back([&] {
            while (!go.load(std::memory_order_acquire)) {
            }
            owner.Reset();
        });
        for (int t = 0; t < kLockers; ++t) {
            threads.emplace_back([&] {
                while (!go.load(std::memory_order_acquire)) {
                }
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

}  // namespace
