#include "bindings/kernel/timer.h"

#include <gtest/gtest.h>

namespace {

class FakeClock : public Kernel::Clock {
public:
    double NowSeconds() const override { return m_now; }
    void Advance(double seconds) { m_now += seconds; }

private:
    double m_now = 1000.0;
};

TEST(TimerTest, ReadsTheClockItWasBuiltWith) {
    FakeClock clock;
    Kernel::Timer timer(clock);
    EXPECT_EQ(timer.GetSeconds(), 0.0);
    clock.Advance(0.25);
    EXPECT_EQ(timer.GetSeconds(), 0.25);
    timer.Reset();
    EXPECT_EQ(timer.GetSeconds(), 0.0);
    clock.Advance(1.5);
    EXPECT_EQ(timer.GetSeconds(), 1.5);
}

TEST(TimerTest, SetDefaultClockReturnsTheClockItReplaces) {
    EXPECT_EQ(&Kernel::DefaultClock(), &Kernel::SteadyClock());
    FakeClock first;
    FakeClock second;
    const Kernel::Clock* previous = Kernel::SetDefaultClock(&first);
    EXPECT_EQ(previous, &Kernel::SteadyClock());
    EXPECT_EQ(Kernel::SetDefaultClock(&second), &first);

    Kernel::Timer timer;  // on the default clock, now `second`
    second.Advance(2.0);
    first.Advance(5.0);
    EXPECT_EQ(timer.GetSeconds(), 2.0);

    EXPECT_EQ(Kernel::SetDefaultClock(previous), &second);
    EXPECT_EQ(&Kernel::DefaultClock(), &Kernel::SteadyClock());
    // Null puts the steady clock back too.
    Kernel::SetDefaultClock(&first);
    EXPECT_EQ(Kernel::SetDefaultClock(nullptr), &first);
    EXPECT_EQ(&Kernel::DefaultClock(), &Kernel::SteadyClock());
}

}  // namespace
