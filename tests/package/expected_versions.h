#pragma once
// The version folder of every build kind, written out by hand so that the path tests do not reuse
// the code they check. Shared by the simulated and the Windows path tests.

namespace Quarn::WinRT::testing {

struct ExpectedVersions {
    int buildKind;
    const char* version;
    const char* persisted;
};

inline constexpr ExpectedVersions kExpectedVersions[] = {
    {-1, "3.0", "3.0"},
    {0, "3.0", "3.0"},
    {1, "3.0 CN", "3.0 CN"},
    {2, "3.0 (Store)", "3.0"},
    {3, "3.0 CN (Store)", "3.0 CN"},
    {4, "3.0 (Alpha)", "3.0 (Alpha)"},
    {5, "3.0 (Beta)", "3.0 (Beta)"},
    {6, "3.0 CN (Beta)", "3.0 CN (Beta)"},
    {7, "3.0 (Beta)", "3.0 (Beta)"},
    {8, "3.0", "3.0"},
    {9, "3.0", "3.0"},
};

}  // namespace Quarn::WinRT::testing
