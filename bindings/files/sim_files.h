#pragma once
// Simulated files: an in-memory table that tests fill, over the real file system. DOS paths are
// read with '/' for '\', so a resources directory on this machine serves the dial's icons.
// An icon stream is real: the file is read, and an empty file or one that is not a PNG fails.

#include <map>
#include <string>
#include <vector>

#include "bindings/files/files.h"
#include "bindings/sim/fault.h"

namespace Quarn::WinRT::sim {

namespace ops {
inline constexpr std::string_view kPathFileExists = "PathFileExistsW";
inline constexpr std::string_view kGetFileFromPathAsync = "StorageFile.GetFileFromPathAsync";
inline constexpr std::string_view kCreateFromFile = "RandomAccessStreamReference.CreateFromFile";
}  // namespace ops

class SimIconStream final : public platform::IconStream {
public:
    SimIconStream(std::u16string source, std::size_t size)
        : m_source(std::move(source)), m_size(size) {}
    std::u16string_view Source() const override { return m_source; }
    std::size_t Size() const { return m_size; }

private:
    std::u16string m_source;
    std::size_t m_size;
};

class SimFiles final : public platform::FileSystem {
public:
    explicit SimFiles(FaultInjector& faults) : m_faults(faults) {}

    // In-memory files take precedence over the disk; `useDisk` false hides the disk.
    void AddFile(std::string_view dosPath, std::vector<unsigned char> bytes);
    void RemoveFile(std::string_view dosPath);
    void SetUseDisk(bool useDisk) { m_useDisk = useDisk; }

    // The simulator's reading of a DOS path on this machine.
    static std::string ToLocalPath(std::u16string_view dosPath);

    bool PathFileExistsW(std::u16string_view path) override;
    platform::Ref<platform::IconStream> LoadIconStream(std::u16string_view path) override;

private:
    bool ReadFile(const std::string& localPath, std::vector<unsigned char>& bytes) const;

    FaultInjector& m_faults;
    std::map<std::string, std::vector<unsigned char>, std::less<>> m_files;
    bool m_useDisk = true;
};

}  // namespace Quarn::WinRT::sim
