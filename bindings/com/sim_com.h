#pragma once
// Simulated COM: an apartment per thread, and a module table that holds the Windows Runtime's
// library unless the driver takes it away or strips an entry point from it. Faults:
//
//   LoadLibraryW     the load fails (null)
//   CoInitializeEx   returns the armed HRESULT, the apartment unchanged
//
// Thread rule: any thread; one lock guards the apartments and the modules. Apartments are
// keyed by thread id: a thread's apartment outlives the thread, and the simulation never
// uninitialises one.

#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <thread>

#include "bindings/com/com.h"
#include "bindings/sim/fault.h"

namespace Quarn::WinRT::sim {

namespace ops {
inline constexpr std::string_view kLoadLibraryW = "LoadLibraryW";
inline constexpr std::string_view kCoInitializeEx = "CoInitializeEx";
}  // namespace ops

enum class Apartment { SingleThreaded, MultiThreaded };

class SimCom final : public platform::ComRuntime {
public:
    explicit SimCom(FaultInjector& faults);

    // Without it the Windows Runtime's library cannot be loaded (Windows 7).
    void SetRuntimeLibraryPresent(bool present);
    // The library lacks the export `procName` until RestoreEntryPoints.
    void RemoveEntryPoint(std::string procName);
    void RestoreEntryPoints();

    // The apartment of a thread, if COM is initialised there.
    std::optional<Apartment> ApartmentOf(std::thread::id thread) const;
    std::optional<Apartment> CurrentApartment() const {
        return ApartmentOf(std::this_thread::get_id());
    }
    // Loads not yet freed, for tests that a probe leaves nothing loaded.
    int LoadedModuleCount() const;

    platform::ModuleHandle LoadLibraryW(std::u16string_view fileName) override;
    platform::ProcAddress GetProcAddress(platform::ModuleHandle module,
                                         const char* procName) override;
    bool FreeLibrary(platform::ModuleHandle module) override;
    HRESULT CoInitializeEx(void* reserved, DWORD coInit) override;
    std::u16string ErrorMessage(HRESULT code) override;

private:
    bool IsRuntimeModule(platform::ModuleHandle module) const;

    FaultInjector& m_faults;
    mutable std::mutex m_mutex;
    bool m_runtimePresent = true;
    std::set<std::string, std::less<>> m_removedEntryPoints;
    int m_loads = 0;
    std::map<std::thread::id, Apartment> m_apartments;
};

}  // namespace Quarn::WinRT::sim
