// GetKeyState and PathFileExistsW under Wine, and the ramped value mapping reading the real keys.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "bindings/platform/win_backends.h"
#include "dial/dial.h"
#include "tests/windows/win32_host.h"

namespace Quarn::WinRT::testing {
namespace {

using detail::Dial;

// Sets the calling thread's key state, as the message loop would after the key messages.
void HoldKeys(bool ctrl, bool shift) {
    std::array<BYTE, 256> state{};
    GetKeyboardState(state.data());
    state[VK_CONTROL] = ctrl ? 0x80 : 0;
    state[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(state.data());
}

TEST(KeysTest, RampedMappingReadsCtrlAndShiftFromGetKeyState) {
    HostWindow window(RECT{100, 50, 900, 650});
    NoViewCallbacks callbacks;
    auto dial = Dial::Create(window.Handle(), &callbacks);
    platform::Keyboard& keyboard = platform::Win32Keyboard();

    // Span 100 (step 10), value 3.4, one step up.
    struct Case {
        const char* name;
        bool ctrl, shift;
        double elapsedMs;
        double expected;
    };
    const Case cases[] = {
        {"no keys, fast", false, false, 30, 20.0},
        {"shift, fast", false, true, 30, 8.4},
        {"ctrl, slow", true, false, 50, 20.0},
    };
    for (const Case& c : cases) {
        HoldKeys(c.ctrl, c.shift);
        EXPECT_EQ(platform::IsKeyDown(keyboard, VK_CONTROL), c.ctrl) << c.name;
        EXPECT_EQ(platform::IsKeyDown(keyboard, VK_SHIFT), c.shift) << c.name;
        EXPECT_NEAR(dial->GetRampedValue(c.elapsedMs, 3.4, 1.0, 0.0, 100.0), c.expected, 1e-9)
            << c.name;
    }
    HoldKeys(false, false);
}

std::u16string U16(const std::wstring& text) {
    return std::u16string(text.begin(), text.end());
}

TEST(FilesTest, PathFileExistsOnRealFiles) {
    wchar_t temp[MAX_PATH + 1] = {};
    ASSERT_GT(GetTempPathW(MAX_PATH + 1, temp), 0u);
    const std::wstring folder = std::wstring(temp) + L"quarn-files-test";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring icon = folder + L"\\\u00c9cart.png";  // not ASCII, as icon names may be
    HANDLE file = CreateFileW(icon.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);

    platform::FileSystem& files = platform::Win32Files();
    struct Case {
        const char* name;
        std::u16string path;
        bool exists;
    };
    const Case cases[] = {
        {"file", U16(icon), true},
        {"folder", U16(folder), true},
        {"forward slashes", U16(folder + L"/\u00c9cart.png"), true},
        {"missing file", U16(folder + L"\\missing.png"), false},
        {"embedded null", U16(icon) + u'\0' + u"x", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(files.PathFileExistsW(c.path), c.exists) << c.name;
    }
    DeleteFileW(icon.c_str());
    RemoveDirectoryW(folder.c_str());
}

}  // namespace
}  // namespace Quarn::WinRT::testing
