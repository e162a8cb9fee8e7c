// Waiting for an asynchronous operation of the Windows Runtime on the calling thread, as the
// icon streams wait for StorageFile.GetFileFromPathAsync, with operations of our own that finish
// before the wait, during it on another thread, with an error, or cancelled.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "bindings/winrt/blocking_suspend.h"
#include "tests/windows/fake_winrt.h"

namespace Quarn::WinRT::testing {
namespace {

TEST(BlockingSuspendTest, WaitsForTheOperationAndRaisesItsError) {
    const HRESULT kNotFound = static_cast<HRESULT>(0x80070002);  // the file does not exist
    using Step = std::function<void(FakeFileOperation&, abi::IStorageFile*)>;
    struct Case {
        const char* name;
        Step before;     // run before the wait, on this thread
        Step later;      // run on another thread 50 ms into the wait
        HRESULT raised;  // S_OK: the file comes back
        int handlersInstalled;
    };
    const Step complete = [](FakeFileOperation& o, abi::IStorageFile* f) { o.Complete(f); };
    const Step fail = [&](FakeFileOperation& o, abi::IStorageFile*) { o.Fail(kNotFound); };
    const Step cancel = [](FakeFileOperation& o, abi::IStorageFile*) { o.CancelNow(); };
    const Case cases[] = {
        {"completed before the wait", complete, nullptr, S_OK, 0},
        {"completed later on another thread", nullptr, complete, S_OK, 1},
        {"failed before the wait", fail, nullptr, kNotFound, 1},
        {"failed later on another thread", nullptr, fail, kNotFound, 1},
        {"cancelled before the wait", cancel, nullptr, winrt::kOperationCancelled, 1},
        {"cancelled later on another thread", nullptr, cancel, winrt::kOperationCancelled, 1},
        {"handler refused",
         [](FakeFileOperation& o, abi::IStorageFile*) { o.RefuseHandlers(E_ACCESSDENIED); },
         nullptr, E_ACCESSDENIED, 0},
        {"no operation", nullptr, nullptr, E_POINTER, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ComPtr<FakeFileOperation> operation = Make<FakeFileOperation>();
        const ComPtr<FakeStorageFile> file = Make<FakeStorageFile>();
        if (c.before) {
            c.before(*operation.Get(), file.Get());
        }
        const long live = winrt::g_liveObjects.load();
        long liveDuringWait = live;
        std::thread finisher;
        if (c.later) {
            finisher = std::thread([&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                liveDuringWait = winrt::g_liveObjects.load();
                c.later(*operation.Get(), file.Get());
            });
        }
        HRESULT raised = S_OK;
        ComPtr<abi::IStorageFile> result;
        try {
            result = winrt::blocking_suspend<abi::StorageFileOperation>(
                c.raised == E_POINTER ? nullptr : operation.Get());
        } catch (const platform::PlatformError& error) {
            raised = error.Code();
        }
        if (finisher.joinable()) {
            finisher.join();
        }
        EXPECT_EQ(raised, c.raised);
        EXPECT_EQ(result.Get(), c.raised == S_OK ? file.Get() : nullptr);
        const FakeFileOperation::Handlers handlers = operation->HandlersSeen();
        EXPECT_EQ(handlers.installed, c.handlersInstalled);
        EXPECT_EQ(handlers.calls, c.handlersInstalled);
        EXPECT_EQ(handlers.agile, c.handlersInstalled > 0) << "called on the completing thread";
        // A waiting handler keeps the module loaded (DllCanUnloadNow), and goes with the wait.
        EXPECT_EQ(liveDuringWait, c.later ? live + 1 : live);
        EXPECT_EQ(winrt::g_liveObjects.load(), live);
    }
}

}  // namespace
}  // namespace Quarn::WinRT::testing
