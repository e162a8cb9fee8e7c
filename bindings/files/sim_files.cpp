#include "bindings/files/sim_files.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "bindings/kernel/string.h"

namespace Quarn::WinRT::sim {

namespace {

constexpr unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

std::string Normalise(std::string_view dosPath) {
    std::string path(dosPath);
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

}  // namespace

std::string SimFiles::ToLocalPath(std::u16string_view dosPath) {
    std::string utf8;
    Kernel::AppendUtf8(utf8, dosPath);
    return Normalise(utf8);
}

void SimFiles::AddFile(std::string_view dosPath, std::vector<unsigned char> bytes) {
    m_files[Normalise(dosPath)] = std::move(bytes);
}

void SimFiles::RemoveFile(std::string_view dosPath) {
    auto it = m_files.find(Normalise(dosPath));
    if (it != m_files.end()) {
        m_files.erase(it);
    }
}

bool SimFiles::ReadFile(const std::string& localPath, std::vector<unsigned char>& bytes) const {
    if (auto it = m_files.find(localPath); it != m_files.end()) {
        bytes = it->second;
        return true;
    }
    if (!m_useDisk) {
        return false;
    }
    std::error_code error;
    if (!std::filesystem::is_regular_file(localPath, error)) {
        return false;
    }
    const std::uintmax_t size = std::filesystem::file_size(localPath, error);
    std::ifstream in(localPath, std::ios::binary);
    if (error || !in) {
        return false;
    }
    // In one read: a byte at a time costs more than the rest of a menu build.
    bytes.resize(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return !in.bad();
}

bool SimFiles::PathFileExistsW(std::u16string_view path) {
    if (m_faults.Take(ops::kPathFileExists)) {
        return false;  // Win32 reports any failure as "does not exist"
    }
    const std::string local = ToLocalPath(path);
    if (m_files.contains(local)) {
        return true;
    }
    std::error_code error;
    return m_useDisk && std::filesystem::exists(local, error);
}

platform::Ref<platform::IconStream> SimFiles::LoadIconStream(std::u16string_view path) {
    m_faults.Check(ops::kGetFileFromPathAsync);
    std::vector<unsigned char> bytes;
    if (!ReadFile(ToLocalPath(path), bytes)) {
        throw platform::PlatformError(static_cast<HRESULT>(0x80070002),
                                      "The system cannot find the file specified.");
    }
    m_faults.Check(ops::kCreateFromFile);
    if (bytes.size() < sizeof kPngSignature ||
        std::memcmp(bytes.data(), kPngSignature, sizeof kPngSignature) != 0) {
        // What the imaging stack answers for a file it cannot decode.
        throw platform::PlatformError(static_cast<HRESULT>(0x88982F50),
                                      "No imaging component suitable to complete this operation "
                                      "was found.");
    }
    return platform::MakeRef<SimIconStream>(std::u16string(path), bytes.size());
}

}  // namespace Quarn::WinRT::sim
