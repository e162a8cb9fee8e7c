#include "tools/sim/same_file.h"

#include <filesystem>
#include <system_error>

namespace Quarn::WinRT::sim {

bool SameFile(const std::string& a, const std::string& b) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::equivalent(a, b, error)) {
        return true;  // links and other spellings of an existing file
    }
    error.clear();
    const fs::path canonicalA = fs::weakly_canonical(a, error);
    if (error) {
        return false;
    }
    const fs::path canonicalB = fs::weakly_canonical(b, error);
    return !error && canonicalA == canonicalB;
}

}  // namespace Quarn::WinRT::sim
