// The path tables for every build kind, packaged and not, with the platform's folders present
// and missing, and the fallback when the package's folders cannot be read.
#include <gtest/gtest.h>

#include <stdexcept>

#include "bindings/sample_host/recorder.h"
#include "bindings/sim/sim_platform.h"
#include "package/path_table.h"
#include "quarn/winrt/package.h"
#include "tests/package/expected_versions.h"

namespace Quarn::WinRT::detail {
namespace {

using platform::KnownFolder;

using Quarn::WinRT::testing::kExpectedVersions;

void UseFolders(sim::SimPlatform& p, bool present) {
    auto folder = [present](const char16_t* path) {
        return present ? std::optional<std::u16string>(path) : std::nullopt;
    };
    p.Package().SetKnownFolder(KnownFolder::RoamingAppData, folder(u"C:\\Roaming"));
    p.Package().SetKnownFolder(KnownFolder::ProgramData, folder(u"C:\\ProgramData"));
    p.Package().SetKnownFolder(KnownFolder::Profile, folder(u"C:\\Users\\Ada"));
    p.Package().SetTempPath(folder(u"C:\\Temp\\"));
    p.Package().SetLocalCacheFolder(u"C:\\Pkg\\LocalCache");
    p.Package().SetTemporaryFolder(u"C:\\Pkg\\Temp");
    p.Package().SetPublisherCacheRoot(u"C:\\Publisher");
}

std::string S(const Kernel::String8& text) {
    return std::string(text.GetView());
}

TEST(PathTableTest, EveryBuildKindInBothTablesWithFoldersPresentAndMissing) {
    for (const bool present : {true, false}) {
        sim::SimPlatform platform;
        UseFolders(platform, present);
        platform.Package().SetPackaged(true);
        const std::string roaming = present ? "C:\\Roaming" : "\\";
        const std::string data = present ? "C:\\ProgramData" : "\\";
        const std::string profile = present ? "C:\\Users\\Ada" : "\\";
        const std::string temp = present ? "C:\\Temp\\" : "\\";
        auto join = [](const std::string& root, const std::string& rest) {
            return root.back() == '\\' ? root + rest : root + "\\" + rest;
        };
        for (const Quarn::WinRT::testing::ExpectedVersions& v : kExpectedVersions) {
            SCOPED_TRACE(std::string(present ? "folders present" : "folders missing") +
                         ", build kind " + std::to_string(v.buildKind));
            const std::string version = v.version;
            const std::string persisted = v.persisted;
            const PathTable unpackaged = ComputeUnpackagedPathTable(
                Corvanta::Product::Raster, v.buildKind, platform.Package());
            EXPECT_EQ(S(unpackaged.appDataForCurrentUser),
                      join(roaming, "Corvanta\\Raster\\" + version));
            EXPECT_EQ(S(unpackaged.appDataForCurrentUserPersisted),
                      join(roaming, "Corvanta\\Raster\\" + persisted));
            EXPECT_EQ(S(unpackaged.appDataForAllUsers), join(data, "Corvanta\\Raster\\" + version));
            EXPECT_EQ(S(unpackaged.commonForCurrentUser),
                      join(roaming, "Corvanta\\Common\\" + version));
            EXPECT_EQ(S(unpackaged.commonForCurrentUserPersisted),
                      join(roaming, "Corvanta\\Common\\" + persisted));
            EXPECT_EQ(S(unpackaged.commonForCurrentUserPersistedBuildInvariant),
                      join(roaming, "Corvanta\\Common\\3.0"));
            EXPECT_EQ(S(unpackaged.commonForAllUsers), join(data, "Corvanta\\Common\\" + version));
            EXPECT_EQ(S(unpackaged.tempForCurrentUser), join(temp, "Corvanta\\Raster\\" + version));

            const PathTable sandboxed = ComputeSandboxedPathTable(Corvanta::Product::Raster,
                                                                  v.buildKind, platform.Package());
            EXPECT_EQ(S(sandboxed.appDataForCurrentUser), "C:\\Pkg\\LocalCache");
            EXPECT_EQ(S(sandboxed.appDataForCurrentUserPersisted),
                      join(profile, ".corvanta\\Raster\\" + persisted));
            EXPECT_EQ(S(sandboxed.appDataForAllUsers), join(data, "Corvanta\\Raster\\" + version));
            EXPECT_EQ(S(sandboxed.commonForCurrentUser),
                      "C:\\Publisher\\Corvanta\\Common\\" + version);
            EXPECT_EQ(S(sandboxed.commonForCurrentUserPersisted),
                      join(profile, ".corvanta\\Common\\" + persisted));
            EXPECT_EQ(S(sandboxed.commonForCurrentUserPersistedBuildInvariant),
                      join(profile, ".corvanta\\Common\\3.0"));
            EXPECT_EQ(S(sandboxed.commonForAllUsers), join(data, "Corvanta\\Common\\" + version));
            EXPECT_EQ(S(sandboxed.tempForCurrentUser), "C:\\Pkg\\Temp");
        }
    }
}

TEST(PathTableTest, UnreadablePackageFoldersFallBackToTheUnpackagedTableWithALogLine) {
    for (const std::string_view operation :
         {sim::ops::kLocalCacheFolder, sim::ops::kGetPublisherCacheFolder,
          sim::ops::kTemporaryFolder}) {
        sim::SimPlatform platform;
        sample::HostRecorder host;
        UseFolders(platform, true);
        platform.Package().SetPackaged(true);
        platform.Faults().Fail(operation, E_ACCESSDENIED, "Access is denied.");
        const PathTable table =
            ComputePathTable(Corvanta::Product::Raster, 2, true, platform.Package());
        EXPECT_EQ(table,
                  ComputeUnpackagedPathTable(Corvanta::Product::Raster, 2, platform.Package()))
            << operation;
        EXPECT_EQ(host.LogLines(),
                  std::vector<std::string>{"Error (0x80070005): Failed to retrieve sandboxed "
                                           "paths! Access is denied.\n"})
            << operation;
    }
}

// The simulated package, except that its application data raises something that is not a
// platform error.
class StrangeApplicationData final : public platform::PackageEnvironment {
public:
    explicit StrangeApplicationData(sim::SimPackage& package) : m_package(package) {}
    std::int32_t GetCurrentPackageFullName(std::uint32_t* length, char16_t* buffer) override {
        return m_package.GetCurrentPackageFullName(length, buffer);
    }
    HRESULT GetKnownFolderPath(KnownFolder folder, DWORD flags, void* token,
                               std::u16string& path) override {
        return m_package.GetKnownFolderPath(folder, flags, token, path);
    }
    DWORD GetTempPathW(DWORD bufferLength, char16_t* buffer) override {
        return m_package.GetTempPathW(bufferLength, buffer);
    }
    platform::Ref<platform::ApplicationData> CurrentApplicationData() override {
        throw std::runtime_error("not a platform error");
    }

private:
    sim::SimPackage& m_package;
};

TEST(PathTableTest, AnUnknownFailureOfThePackageFoldersIsLoggedAsUnknown) {
    sim::SimPlatform platform;
    sample::HostRecorder host;
    UseFolders(platform, true);
    platform.Package().SetPackaged(true);
    StrangeApplicationData environment(platform.Package());
    const PathTable table = ComputePathTable(Corvanta::Product::Raster, 2, true, environment);
    EXPECT_EQ(table, ComputeUnpackagedPathTable(Corvanta::Product::Raster, 2, platform.Package()));
    EXPECT_EQ(host.LogLines(),
              std::vector<std::string>{"Error (unknown): Failed to retrieve sandboxed paths!\n"});
}

TEST(PackageTest, V2HomeDirInTheProfileOrInRoaming) {
    for (const bool present : {true, false}) {
        SCOPED_TRACE(present ? "folders present" : "folders missing");
        sim::SimPlatform platform;
        UseFolders(platform, present);
        platform.Package().SetPackaged(true);  // not consulted
        EXPECT_EQ(S(Quarn::WinRT::Package::GetV2HomeDir(true).ToString()),
                  present ? "C:\\Users\\Ada\\.corvanta\\Common\\2.0" : "\\.corvanta\\Common\\2.0");
        EXPECT_EQ(S(Quarn::WinRT::Package::GetV2HomeDir(false).ToString()),
                  present ? "C:\\Roaming\\Corvanta\\Common\\2.0" : "\\Corvanta\\Common\\2.0");
    }
}

}  // namespace
}  // namespace Quarn::WinRT::detail
