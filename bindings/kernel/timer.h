#pragma once
// Elapsed time on an injectable clock. The process has one default clock (a steady clock unless
// a driver installs another, as the simulated platform does with its virtual clock); a Timer
// reads the clock it was built with.

namespace Kernel {

class Clock {
public:
    virtual ~Clock() = default;
    // Seconds since an arbitrary origin; never decreases.
    virtual double NowSeconds() const = 0;
};

// The steady wall clock of the machine.
const Clock& SteadyClock();

// The clock new Timers use. Install before any Timer is built on the clock's thread; the
// previous clock is returned so that a scope can put it back.
const Clock& DefaultClock();
const Clock* SetDefaultClock(const Clock* clock);

class Timer {
public:
    explicit Timer(const Clock& clock = DefaultClock())
        : m_clock(&clock), m_start(clock.NowSeconds()) {}

    double GetSeconds() const { return m_clock->NowSeconds() - m_start; }
    void Reset() { m_start = m_clock->NowSeconds(); }

private:
    const Clock* m_clock;
    double m_start;
};

}  // namespace Kernel
