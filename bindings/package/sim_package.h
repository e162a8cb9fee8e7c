#pragma once
// The simulated package environment: a user "Ada" on drive C:, run unpackaged unless the driver
// gives the process package identity. Every folder can be taken away and every call can fail:
//
//   GetCurrentPackageFullName   returns the armed code (an HRESULT_FROM_WIN32 code unwrapped)
//   SHGetKnownFolderPath        returns the armed HRESULT
//   GetTempPathW                returns 0
//   ApplicationData.*           raise the armed fault
//
// Thread rule: configure it from the driver's thread; the core may call it from any thread
// meanwhile, so every member takes the one lock.

#include <array>
#include <cstdint>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "bindings/package/package.h"
#include "bindings/sim/fault.h"

namespace Quarn::WinRT::sim {

namespace ops {
inline constexpr std::string_view kGetCurrentPackageFullName = "GetCurrentPackageFullName";
inline constexpr std::string_view kSHGetKnownFolderPath = "SHGetKnownFolderPath";
inline constexpr std::string_view kGetTempPathW = "GetTempPathW";
inline constexpr std::string_view kApplicationDataCurrent = "ApplicationData.Current";
inline constexpr std::string_view kLocalCacheFolder = "ApplicationData.LocalCacheFolder";
inline constexpr std::string_view kGetPublisherCacheFolder =
    "ApplicationData.GetPublisherCacheFolder";
inline constexpr std::string_view kTemporaryFolder = "ApplicationData.TemporaryFolder";
}  // namespace ops

// HRESULT_FROM_WIN32 of the codes the simulation answers with.
inline constexpr HRESULT kHresultFileNotFound = static_cast<HRESULT>(0x80070002);
inline constexpr HRESULT kHresultNoPackage = static_cast<HRESULT>(0x80073D54);

class SimPackage final : public platform::PackageEnvironment {
public:
    static constexpr std::u16string_view kPackageFullName =
        u"Corvanta.Editor_3.0.0.0_x64__4q7c1d2m9k0ea";
    static constexpr std::u16string_view kPackageFamilyName = u"Corvanta.Editor_4q7c1d2m9k0ea";
    static constexpr std::u16string_view kPublisherId = u"4q7c1d2m9k0ea";

    explicit SimPackage(FaultInjector& faults);

    // Package identity; without it ApplicationData.Current raises as Windows does.
    void SetPackaged(bool packaged);
    bool IsPackaged() const;

    // A folder given as nullopt does not exist.
    void SetKnownFolder(platform::KnownFolder folder, std::optional<std::u16string> path);
    // nullopt makes GetTempPathW fail.
    void SetTempPath(std::optional<std::u16string> path);
    void SetLocalCacheFolder(std::u16string path);
    void SetTemporaryFolder(std::u16string path);
    // Publisher cache folders live under this root, one per declared name.
    void SetPublisherCacheRoot(std::u16string path);
    // Only names the package declares have a publisher cache folder; others raise
    // E_INVALIDARG. "Corvanta" is declared at first.
    void DeclarePublisherFolder(std::u16string name);
    void UndeclarePublisherFolder(std::u16string_view name);

    // How often GetCurrentPackageFullName was called, for tests of the once-only probe.
    int PackageFullNameCalls() const;

    std::int32_t GetCurrentPackageFullName(std::uint32_t* length, char16_t* buffer) override;
    HRESULT GetKnownFolderPath(platform::KnownFolder folder, DWORD flags, void* token,
                               std::u16string& path) override;
    DWORD GetTempPathW(DWORD bufferLength, char16_t* buffer) override;
    platform::Ref<platform::ApplicationData> CurrentApplicationData() override;

    // Reads of the application data; they check their faults and raise.
    std::u16string LocalCachePath();
    std::u16string PublisherCachePath(std::u16string_view folderName);
    std::u16string TemporaryPath();

private:
    static constexpr std::size_t kKnownFolderCount = 3;

    FaultInjector& m_faults;
    mutable std::mutex m_mutex;
    bool m_packaged = false;
    std::array<std::optional<std::u16string>, kKnownFolderCount> m_knownFolders;
    std::optional<std::u16string> m_tempPath;
    std::u16string m_localCache;
    std::u16string m_temporary;
    std::u16string m_publisherRoot;
    std::set<std::u16string, std::less<>> m_publisherFolders;
    int m_packageFullNameCalls = 0;
};

}  // namespace Quarn::WinRT::sim
