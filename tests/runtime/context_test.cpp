// CreateContext on fresh threads of the simulated platform: COM apartments are per thread.
#include <gtest/gtest.h>

#include <new>
#include <thread>

#include "bindings/sample_host/recorder.h"
#include "bindings/sim/sim_platform.h"
#include "quarn/winrt/context.h"

namespace Quarn::WinRT {
namespace {

template <class Body>
void OnNewThread(Body body) {
    std::thread thread(body);
    thread.join();
}

TEST(ContextTest, ModesOnOneThreadAndTheTracesTheyLeave) {
    sim::SimPlatform platform;
    sample::HostRecorder host;
    OnNewThread([&] {
        void* first = CreateContext(true);
        void* again = CreateContext(true);  // S_FALSE: the same apartment, still a success
        ASSERT_NE(first, nullptr);
        ASSERT_NE(again, nullptr);
        EXPECT_NE(first, again);
        EXPECT_EQ(CreateContext(false), nullptr);  // the other mode: RPC_E_CHANGED_MODE
        DestroyContext(first);
        DestroyContext(again);
        DestroyContext(nullptr);
        EXPECT_EQ(platform.Com().CurrentApartment(), sim::Apartment::MultiThreaded)
            << "destroying a context leaves COM initialised";
    });
    EXPECT_EQ(host.Traces(),
              std::vector<std::string>{"Failed to initialise Windows Runtime! Cannot change "
                                       "thread mode after it is set. (-2147417850)\n"});
    EXPECT_EQ(platform.Com().LoadedModuleCount(), 0) << "every probe frees the library";
}

TEST(ContextTest, WithoutTheRuntimeThereIsNoContextAndNoTrace) {
    struct Case {
        const char* name;
        void (*prepare)(sim::SimPlatform&);
    };
    const Case cases[] = {
        {"no library", [](sim::SimPlatform& p) { p.Com().SetRuntimeLibraryPresent(false); }},
        {"no RoInitialize", [](sim::SimPlatform& p) { p.Com().RemoveEntryPoint("RoInitialize"); }},
        {"no RoGetActivationFactory",
         [](sim::SimPlatform& p) { p.Com().RemoveEntryPoint("RoGetActivationFactory"); }},
        {"the load fails",
         [](sim::SimPlatform& p) { p.Faults().Fail(sim::ops::kLoadLibraryW, E_ACCESSDENIED); }},
    };
    for (const Case& c : cases) {
        sim::SimPlatform platform;
        sample::HostRecorder host;
        c.prepare(platform);
        OnNewThread([&] {
            EXPECT_EQ(CreateContext(false), nullptr) << c.name;
            EXPECT_FALSE(platform.Com().CurrentApartment()) << c.name << ": COM left alone";
        });
        EXPECT_TRUE(host.Traces().empty()) << c.name;
        EXPECT_EQ(platform.Com().LoadedModuleCount(), 0) << c.name;
    }
}

// COM whose library probe runs out of memory: not a platform error.
class ExhaustedCom final : public platform::ComRuntime {
public:
    platform::ModuleHandle LoadLibraryW(std::u16string_view) override { throw std::bad_alloc(); }
    platform::ProcAddress GetProcAddress(platform::ModuleHandle, const char*) override {
        return nullptr;
    }
    bool FreeLibrary(platform::ModuleHandle) override { return false; }
    HRESULT CoInitializeEx(void*, DWORD) override { return S_OK; }
    std::u16string ErrorMessage(HRESULT) override { return {}; }
};

TEST(ContextTest, AnyOtherFailureIsTracedAsUnknown) {
    sim::SimPlatform platform;
    sample::HostRecorder host;
    ExhaustedCom com;
    platform::ServiceSet services = platform.Services();
    services.com = &com;
    const platform::ScopedServices installed(services);
    OnNewThread([&] { EXPECT_EQ(CreateContext(true), nullptr); });
    EXPECT_EQ(host.Traces(),
              std::vector<std::string>{"Failed to initialise Windows Runtime! Unknown error\n"});
}

}  // namespace
}  // namespace Quarn::WinRT
