#include "bindings/package/sim_package.h"

#include <algorithm>

namespace Quarn::WinRT::sim {

namespace {

constexpr std::u16string_view kLocalAppData = u"C:\\Users\\Ada\\AppData\\Local";

std::u16string PackageFolder(std::u16string_view leaf) {
    std::u16string path(kLocalAppData);
    path += u"\\Packages\\";
    path += SimPackage::kPackageFamilyName;
    path += u'\\';
    path += leaf;
    return path;
}

// The simulation's faults carry HRESULTs; a Win32 call answers with the Win32 code inside.
std::int32_t Win32CodeOf(HRESULT code) {
    const auto bits = static_cast<std::uint32_t>(code);
    if ((bits & 0xFFFF0000u) == 0x80070000u) {
        return static_cast<std::int32_t>(bits & 0xFFFFu);
    }
    return code;
}

class SimStorageFolder final : public platform::StorageFolder {
public:
    explicit SimStorageFolder(std::u16string path) : m_path(std::move(path)) {}
    std::u16string Path() const override { return m_path; }

private:
    std::u16string m_path;
};

class SimApplicationData final : public platform::ApplicationData {
public:
    explicit SimApplicationData(SimPackage& package) : m_package(package) {}

    platform::Ref<platform::StorageFolder> LocalCacheFolder() override {
        return platform::MakeRef<SimStorageFolder>(m_package.LocalCachePath());
    }
    platform::Ref<platform::StorageFolder> GetPublisherCacheFolder(
        std::u16string_view folderName) override {
        return platform::MakeRef<SimStorageFolder>(m_package.PublisherCachePath(folderName));
    }
    platform::Ref<platform::StorageFolder> TemporaryFolder() override {
        return platform::MakeRef<SimStorageFolder>(m_package.TemporaryPath());
    }

private:
    SimPackage& m_package;
};

}  // namespace

SimPackage::SimPackage(FaultInjector& faults)
    : m_faults(faults),
      m_knownFolders{std::u16string(u"C:\\Users\\Ada\\AppData\\Roaming"),
                     std::u16string(u"C:\\ProgramData"), std::u16string(u"C:\\Users\\Ada")},
      m_tempPath(u"C:\\Users\\Ada\\AppData\\Local\\Temp\\"),
      m_localCache(PackageFolder(u"LocalCache")),
      m_temporary(PackageFolder(u"TempState")),
      m_publisherRoot(std::u16string(kLocalAppData) + u"\\Publishers\\" +
                      std::u16string(kPublisherId)),
      m_publisherFolders{u"Corvanta"} {}

void SimPackage::SetPackaged(bool packaged) {
    std::lock_guard lock(m_mutex);
    m_packaged = packaged;
}

bool SimPackage::IsPackaged() const {
    std::lock_guard lock(m_mutex);
    return m_packaged;
}

void SimPackage::SetKnownFolder(platform::KnownFolder folder, std::optional<std::u16string> path) {
    const auto index = static_cast<std::size_t>(folder);
    if (index >= kKnownFolderCount) {
        return;
    }
    std::lock_guard lock(m_mutex);
    m_knownFolders[index] = std::move(path);
}

void SimPackage::SetTempPath(std::optional<std::u16string> path) {
    std::lock_guard lock(m_mutex);
    m_tempPath = std::move(path);
}

void SimPackage::SetLocalCacheFolder(std::u16string path) {
    std::lock_guard lock(m_mutex);
    m_localCache = std::move(path);
}

void SimPackage::SetTemporaryFolder(std::u16string path) {
    std::lock_guard lock(m_mutex);
    m_temporary = std::move(path);
}

void SimPackage::SetPublisherCacheRoot(std::u16string path) {
    std::lock_guard lock(m_mutex);
    m_publisherRoot = std::move(path);
}

void SimPackage::DeclarePublisherFolder(std::u16string name) {
    std::lock_guard lock(m_mutex);
    m_publisherFolders.insert(std::move(name));
}

void SimPackage::UndeclarePublisherFolder(std::u16string_view name) {
    std::lock_guard lock(m_mutex);
    if (auto it = m_publisherFolders.find(name); it != m_publisherFolders.end()) {
        m_publisherFolders.erase(it);
    }
}

int SimPackage::PackageFullNameCalls() const {
    std::lock_guard lock(m_mutex);
    return m_packageFullNameCalls;
}

std::int32_t SimPackage::GetCurrentPackageFullName(std::uint32_t* length, char16_t* buffer) {
    std::lock_guard lock(m_mutex);
    ++m_packageFullNameCalls;
    if (std::optional<Fault> fault = m_faults.Take(ops::kGetCurrentPackageFullName)) {
        return Win32CodeOf(fault->code);
    }
    if (!m_packaged) {
        return platform::kAppModelErrorNoPackage;
    }
    if (!length) {
        return Win32CodeOf(E_INVALIDARG);
    }
    const auto needed = static_cast<std::uint32_t>(kPackageFullName.size() + 1);
    if (*length < needed || !buffer) {
        *length = needed;
        return platform::kErrorInsufficientBuffer;
    }
    std::copy(kPackageFullName.begin(), kPackageFullName.end(), buffer);
    buffer[kPackageFullName.size()] = u'\0';
    *length = needed;
    return platform::kErrorSuccess;
}

HRESULT SimPackage::GetKnownFolderPath(platform::KnownFolder folder, DWORD /*flags*/,
                                       void* /*token*/, std::u16string& path) {
    path.clear();
    if (std::optional<Fault> fault = m_faults.Take(ops::kSHGetKnownFolderPath)) {
        return fault->code;
    }
    const auto index = static_cast<std::size_t>(folder);
    if (index >= kKnownFolderCount) {
        return E_INVALIDARG;
    }
    std::lock_guard lock(m_mutex);
    if (!m_knownFolders[index]) {
        return kHresultFileNotFound;
    }
    path = *m_knownFolders[index];
    return S_OK;
}

DWORD SimPackage::GetTempPathW(DWORD bufferLength, char16_t* buffer) {
    if (m_faults.Take(ops::kGetTempPathW)) {
        return 0;
    }
    std::lock_guard lock(m_mutex);
    if (!m_tempPath) {
        return 0;
    }
    const auto length = static_cast<DWORD>(m_tempPath->size());
    if (!buffer || bufferLength < length + 1) {
        return length + 1;
    }
    std::copy(m_tempPath->begin(), m_tempPath->end(), buffer);
    buffer[length] = u'\0';
    return length;
}

platform::Ref<platform::ApplicationData> SimPackage::CurrentApplicationData() {
    m_faults.Check(ops::kApplicationDataCurrent);
    if (!IsPackaged()) {
        throw platform::PlatformError(kHresultNoPackage, "The process has no package identity.");
    }
    return platform::MakeRef<SimApplicationData>(*this);
}

std::u16string SimPackage::LocalCachePath() {
    m_faults.Check(ops::kLocalCacheFolder);
    std::lock_guard lock(m_mutex);
    return m_localCache;
}

std::u16string SimPackage::PublisherCachePath(std::u16string_view folderName) {
    m_faults.Check(ops::kGetPublisherCacheFolder);
    std::lock_guard lock(m_mutex);
    if (!m_publisherFolders.contains(folderName)) {
        throw platform::PlatformError(E_INVALIDARG, "The parameter is incorrect.");
    }
    return m_publisherRoot + u'\\' + std::u16string(folderName);
}

std::u16string SimPackage::TemporaryPath() {
    m_faults.Check(ops::kTemporaryFolder);
    std::lock_guard lock(m_mutex);
    return m_temporary;
}

}  // namespace Quarn::WinRT::sim
