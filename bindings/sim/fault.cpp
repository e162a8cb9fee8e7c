#include "bindings/sim/fault.h"

#include <algorithm>

namespace Quarn::WinRT::sim {

void FaultInjector::Fail(std::string_view operation, HRESULT code, std::string_view message,
                         FaultMode mode) {
    std::lock_guard lock(m_mutex);
    std::erase_if(m_faults, [&](const Fault& f) { return f.operation == operation; });
    m_faults.push_back(Fault{std::string(operation), code, std::string(message), mode});
    m_armed.store(static_cast<int>(m_faults.size()), std::memory_order_release);
}

void FaultInjector::Clear(std::string_view operation) {
    std::lock_guard lock(m_mutex);
    std::erase_if(m_faults, [&](const Fault& f) { return f.operation == operation; });
    m_armed.store(static_cast<int>(m_faults.size()), std::memory_order_release);
}

void FaultInjector::ClearAll() {
    std::lock_guard lock(m_mutex);
    m_faults.clear();
    m_armed.store(0, std::memory_order_release);
}

std::optional<Fault> FaultInjector::Take(std::string_view operation) {
    if (m_armed.load(std::memory_order_acquire) == 0) {
        return std::nullopt;
    }
    std::lock_guard lock(m_mutex);
    auto it = std::find_if(m_faults.begin(), m_faults.end(),
                           [&](const Fault& f) { return f.operation == operation; });
    if (it == m_faults.end()) {
        return std::nullopt;
    }
    Fault fault = *it;
    if (fault.mode == FaultMode::Once) {
        m_faults.erase(it);
        m_armed.store(static_cast<int>(m_faults.size()), std::memory_order_release);
    }
    m_fired.fetch_add(1, std::memory_order_relaxed);
    return fault;
}

}  // namespace Quarn::WinRT::sim
