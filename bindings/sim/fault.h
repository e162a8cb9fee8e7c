#pragma once
// Fault injection for the simulated platform: any named operation can be told to fail, once or
// every time, with an HRESULT and a message. Operations that raise in the platform's own API
// raise PlatformError; Win32-style calls fail the way Win32 reports it (a zero or false result).
//
// Thread rule: arming and checking may happen on any thread. A check with nothing armed costs
// one atomic load, so the simulated hot paths stay cheap.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bindings/platform/error.h"

namespace Quarn::WinRT::sim {

enum class FaultMode { Once, Always };

struct Fault {
    std::string operation;
    HRESULT code;
    std::string message;
    FaultMode mode;
};

class FaultInjector {
public:
    void Fail(std::string_view operation, HRESULT code, std::string_view message = {},
              FaultMode mode = FaultMode::Once);
    void Clear(std::string_view operation);
    void ClearAll();

    // Raises the armed fault of `operation`, if any (and disarms it when it was for once).
    void Check(std::string_view operation) {
        if (m_armed.load(std::memory_order_acquire) != 0) {
            if (std::optional<Fault> fault = Take(operation)) {
                throw platform::PlatformError(fault->code, fault->message);
            }
        }
    }
    // As Check, but hands the fault back instead of raising it.
    std::optional<Fault> Take(std::string_view operation);

    // How many times an armed fault has fired, for tests.
    int FiredCount() const { return m_fired.load(std::memory_order_relaxed); }

private:
    std::atomic<int> m_armed{0};
    std::atomic<int> m_fired{0};
    mutable std::mutex m_mutex;
    std::vector<Fault> m_faults;
};

}  // namespace Quarn::WinRT::sim
