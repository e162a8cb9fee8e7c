#include "bindings/com/sim_com.h"

#include <algorithm>
#include <array>

namespace Quarn::WinRT::sim {

namespace {

// Stand-ins for the library's exports; a probe only compares their addresses with null.
void RoInitializeStub() {}
void RoGetActivationFactoryStub() {}
void RoUninitializeStub() {}

struct Export {
    std::string_view name;
    platform::ProcAddress address;
};

constexpr std::array kRuntimeExports = {
    Export{"RoInitialize", &RoInitializeStub},
    Export{"RoGetActivationFactory", &RoGetActivationFactoryStub},
    Export{"RoUninitialize", &RoUninitializeStub},
};

// The handle of the one module the simulation loads: an address no other handle shares.
char s_runtimeModule;

platform::ModuleHandle RuntimeModule() {
    return reinterpret_cast<platform::ModuleHandle>(&s_runtimeModule);
}

// Module names compare as Windows compares file names: without regard to ASCII case.
bool SameFileName(std::u16string_view a, std::u16string_view b) {
    auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [&](char16_t x, char16_t y) { return lower(x) == lower(y); });
}

// The only COINIT bits Windows knows: the model, DISABLE_OLE1DDE and SPEED_OVER_MEMORY.
constexpr DWORD kKnownCoInitBits = 0x2 | 0x4 | 0x8;

}  // namespace

SimCom::SimCom(FaultInjector& faults) : m_faults(faults) {}

void SimCom::SetRuntimeLibraryPresent(bool present) {
    std::lock_guard lock(m_mutex);
    m_runtimePresent = present;
}

void SimCom::RemoveEntryPoint(std::string procName) {
    std::lock_guard lock(m_mutex);
    m_removedEntryPoints.insert(std::move(procName));
}

void SimCom::RestoreEntryPoints() {
    std::lock_guard lock(m_mutex);
    m_removedEntryPoints.clear();
}

std::optional<Apartment> SimCom::ApartmentOf(std::thread::id thread) const {
    std::lock_guard lock(m_mutex);
    if (auto it = m_apartments.find(thread); it != m_apartments.end()) {
        return it->second;
    }
    return std::nullopt;
}

int SimCom::LoadedModuleCount() const {
    std::lock_guard lock(m_mutex);
    return m_loads;
}

bool SimCom::IsRuntimeModule(platform::ModuleHandle module) const {
    return module == RuntimeModule() && m_loads > 0;
}

platform::ModuleHandle SimCom::LoadLibraryW(std::u16string_view fileName) {
    if (m_faults.Take(ops::kLoadLibraryW)) {
        return nullptr;
    }
    std::lock_guard lock(m_mutex);
    if (!m_runtimePresent || !SameFileName(fileName, platform::kWindowsRuntimeLibrary)) {
        return nullptr;
    }
    ++m_loads;
    return RuntimeModule();
}

platform::ProcAddress SimCom::GetProcAddress(platform::ModuleHandle module, const char* procName) {
    std::lock_guard lock(m_mutex);
    if (!procName || !IsRuntimeModule(module) || m_removedEntryPoints.contains(procName)) {
        return nullptr;
    }
    for (const Export& entry : kRuntimeExports) {
        if (entry.name == procName) {
            return entry.address;
        }
    }
    return nullptr;
}

bool SimCom::FreeLibrary(platform::ModuleHandle module) {
    std::lock_guard lock(m_mutex);
    if (!IsRuntimeModule(module)) {
        return false;
    }
    --m_loads;
    return true;
}

HRESULT SimCom::CoInitializeEx(void* reserved, DWORD coInit) {
    if (std::optional<Fault> fault = m_faults.Take(ops::kCoInitializeEx)) {
        return fault->code;
    }
    if (reserved || (coInit & ~kKnownCoInitBits) != 0) {
        return E_INVALIDARG;
    }
    const Apartment wanted = (coInit & platform::kCoInitApartmentThreaded) != 0
                                 ? Apartment::SingleThreaded
                                 : Apartment::MultiThreaded;
    std::lock_guard lock(m_mutex);
    const auto [it, first] = m_apartments.try_emplace(std::this_thread::get_id(), wanted);
    if (first) {
        return S_OK;
    }
    return it->second == wanted ? S_FALSE : RPC_E_CHANGED_MODE;
}

std::u16string SimCom::ErrorMessage(HRESULT code) {
    switch (code) {
        case RPC_E_CHANGED_MODE:
            return u"Cannot change thread mode after it is set.";
        case E_INVALIDARG:
            return u"The parameter is incorrect.";
        case E_OUTOFMEMORY:
            return u"Not enough memory resources are available to complete this operation.";
        case E_ACCESSDENIED:
            return u"Access is denied.";
        case E_FAIL:
            return u"Unspecified error";
        case E_UNEXPECTED:
            return u"Catastrophic failure";
        default:
            return {};
    }
}

}  // namespace Quarn::WinRT::sim
