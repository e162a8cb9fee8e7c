// GetKeyState and PathFileExistsW under Wine (what the dial makes of the keys is the simulated
// tests').
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>

#include "bindings/platform/win_backends.h"
#include "tests/windows/win32_host.h"

namespace Quarn::WinRT::testing {
namespace {

TEST(KeysTest, IsKeyDownReadsCtrlAndShiftFromGetKeyState) {
    for (const auto& [ctrl, shift] : {std::pair{false, true}, std::pair{true, false}}) {
        // The thread's key state, as the message loop would set it after the key messages.
        std::array<BYTE, 256> state{};
        state[VK_CONTROL] = ctrl ? 0x80 : 0;
        state[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(state.data());
        EXPECT_EQ(platform::IsKeyDown(platform::Win32Keyboard(), VK_CONTROL), ctrl);
        EXPECT_EQ(platform::IsKeyDown(platform::Win32Keyboard(), VK_SHIFT), shift);
    }
    std::array<BYTE, 256> none{};
    SetKeyboardState(none.data());
}

TEST(FilesTest, PathFileExistsOnRealFiles) {
    wchar_t temp[MAX_PATH + 1] = {};
    ASSERT_GT(GetTempPathW(MAX_PATH + 1, temp), 0u);
    const std::wstring folder = std::wstring(temp) + L"quarn-files-test";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring icon = folder + L"\\\u00c9cart.png";  // not ASCII, as icon names may be
    CloseHandle(CreateFileW(icon.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    const auto u16 = [](const std::wstring& text) {
        return std::u16string(text.begin(), text.end());
    };
    const std::pair<std::u16string, bool> cases[] = {
        {u16(icon), true},
        {u16(folder), true},
        {u16(folder + L"/\u00c9cart.png"), true},  // forward slashes
        {u16(folder + L"\\missing.png"), false},
        {u16(icon) + u'\0' + u"x", false},  // an embedded null
    };
    for (const auto& [path, exists] : cases) {
        EXPECT_EQ(platform::Win32Files().PathFileExistsW(path), exists) << path.size();
    }
    DeleteFileW(icon.c_str());
    RemoveDirectoryW(folder.c_str());
}

}  // namespace
}  // namespace Quarn::WinRT::testing
