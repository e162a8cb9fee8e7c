#include "bindings/sim/sim_platform.h"

#include <algorithm>
#include <array>

namespace Quarn::WinRT::sim {

namespace {
constexpr std::array kOperations = {
    ops::kIsSupported,
    ops::kCreateForWindow,
    ops::kGetForWindow,
    ops::kAddButtonClicked,
    ops::kAddControlAcquired,
    ops::kAddControlLost,
    ops::kAddRotationChanged,
    ops::kAddScreenContactContinued,
    ops::kAddScreenContactEnded,
    ops::kAddScreenContactStarted,
    ops::kRemoveHandler,
    ops::kGetResolution,
    ops::kPutResolution,
    ops::kPutHaptics,
    ops::kGetMenu,
    ops::kMenuAppend,
    ops::kMenuClear,
    ops::kMenuSelect,
    ops::kCreateFromIcon,
    ops::kCreateFromKnownIcon,
    ops::kPutTag,
    ops::kGetTag,
    ops::kAddInvoked,
    ops::kSetDefaultMenuItems,
    ops::kResetToDefaultMenuItems,
    ops::kGetRotationDelta,
    ops::kGetContact,
    ops::kGetBounds,
    ops::kGetWindowRect,
    ops::kSetTimer,
    ops::kKillTimer,
    ops::kGetKeyState,
    ops::kPathFileExists,
    ops::kGetFileFromPathAsync,
    ops::kCreateFromFile,
    ops::kGetCurrentPackageFullName,
    ops::kSHGetKnownFolderPath,
    ops::kGetTempPathW,
    ops::kApplicationDataCurrent,
    ops::kLocalCacheFolder,
    ops::kGetPublisherCacheFolder,
    ops::kTemporaryFolder,
    ops::kLoadLibraryW,
    ops::kCoInitializeEx,
    ops::kRegisterClassExW,
    ops::kCreateWindowExW,
    ops::kSetWindowPos,
    ops::kDestroyWindow,
    ops::kSystemParametersInfoW,
    ops::kD3D11CreateDevice,
    ops::kQueryDxgiDevice,
    ops::kCreateDXGIFactory2,
    ops::kCreateSwapChainForComposition,
    ops::kD2D1CreateFactory,
    ops::kCreateDrawingDevice,
    ops::kCreateDeviceContext,
    ops::kGetBuffer,
    ops::kCreateBitmapFromDxgiSurface,
    ops::kDCompositionCreateDevice,
    ops::kCreateTargetForHwnd,
    ops::kCreateVisual,
    ops::kSetContent,
    ops::kSetRoot,
    ops::kCommit,
    ops::kDWriteCreateFactory,
    ops::kPresent,
    ops::kResizeBuffers,
    ops::kEndDraw,
};
}  // namespace

SimPlatform::SimPlatform(Install install) {
    m_services = platform::ServiceSet{&m_wheel,   &m_windows, &m_keys,    &m_files,
                                      &m_package, &m_com,     &m_graphics};
    // A window's swap chain stops waiting for frames before the window is told it is
    // destroyed, so that the render thread it stops can finish its frame.
    m_windows.SetDestroyListener([this](HWND window) { m_graphics.OnWindowDestroyed(window); });
    if (install == Install::Yes) {
        m_installed.emplace(m_services);
        m_previousClock = Kernel::SetDefaultClock(&m_clock);
    }
}

SimPlatform::~SimPlatform() {
    if (m_installed) {
        Kernel::SetDefaultClock(m_previousClock);
        m_installed.reset();
    }
}

std::span<const std::string_view> SimPlatform::FaultableOperations() {
    return kOperations;
}

bool SimPlatform::IsFaultableOperation(std::string_view operation) {
    return std::find(kOperations.begin(), kOperations.end(), operation) != kOperations.end();
}

}  // namespace Quarn::WinRT::sim
