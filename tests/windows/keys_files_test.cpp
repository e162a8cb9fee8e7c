// GetKeyState and PathFileExistsW under Wine.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>

#include "bindings/platform/win_backends.h"
#include "tests/windows/win32_host.h"

namespace Quarn::WinRT::testing {
namespace {

// Sets the calling thread's key state, as the message loop would after the key messages.
void HoldKeys(bool ctrl, bool shift) {
    std::array<BYTE, 256> state{};
    GetKeyboardState(state.data());
    state[VK_CONTROL] = ctrl ? 0x80 : 0;
    state[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(state.data());
}

// The ramped mapping's use of the keys is the simulated tests'; here only the real key state.
TEST(KeysTest, IsKeyDownReadsCtrlAndShiftFromGetKeyState) {
    platform::Keyboard& keyboard = platform::Win32Keyboard();
    for (const auto& [ctrl, shift] : {std::pair{false, true}, std::pair{true, false}}) {
        HoldKeys(ctrl, shift);
        EXPECT_EQ(platform::IsKeyDown(keyboard, VK_CONTROL), ctrl);
        EXPECT_EQ(platform::IsKeyDown(keyboard, VK_SHIFT), shift);
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
