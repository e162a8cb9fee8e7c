#include "bindings/platform/services.h"

#include <atomic>

namespace Quarn::WinRT::platform {

namespace {
std::atomic<const ServiceSet*> g_installed{nullptr};
}

const ServiceSet& Services() {
    const ServiceSet* installed = g_installed.load(std::memory_order_acquire);
    return installed ? *installed : DefaultServices();
}

ScopedServices::ScopedServices(const ServiceSet& services) : m_services(services) {
    m_previous = g_installed.exchange(&m_services, std::memory_order_acq_rel);
}

ScopedServices::~ScopedServices() {
    g_installed.store(m_previous, std::memory_order_release);
}

}  // namespace Quarn::WinRT::platform
