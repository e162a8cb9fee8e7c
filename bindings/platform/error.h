#pragma once
// The one error type of every platform call: an HRESULT and a message, as the Windows Runtime
// projection raises them. The core catches it at the top of each event handler, subscription,
// menu build and icon load.

#include <exception>
#include <string>
#include <string_view>

#include "bindings/platform/win_types.h"

namespace Quarn::WinRT::platform {

class PlatformError : public std::exception {
public:
    PlatformError(HRESULT code, std::u16string message);
    PlatformError(HRESULT code, std::string_view utf8Message);

    HRESULT Code() const noexcept { return m_code; }
    const std::u16string& Message() const noexcept { return m_message; }
    const std::string& MessageUtf8() const noexcept { return m_messageUtf8; }
    const char* what() const noexcept override { return m_messageUtf8.c_str(); }

private:
    HRESULT m_code;
    std::u16string m_message;
    std::string m_messageUtf8;
};

// Raises a PlatformError for a failing code; success codes pass.
inline void ThrowIfFailed(HRESULT code, std::string_view utf8Message = {}) {
    if (FAILED(code)) {
        throw PlatformError(code, utf8Message);
    }
}

}  // namespace Quarn::WinRT::platform
