#include "bindings/platform/error.h"

#include "bindings/kernel/string.h"

namespace Quarn::WinRT::platform {

PlatformError::PlatformError(HRESULT code, std::u16string message)
    : m_code(code), m_message(std::move(message)) {
    Kernel::AppendUtf8(m_messageUtf8, m_message);
}

PlatformError::PlatformError(HRESULT code, std::string_view utf8Message)
    : m_code(code), m_messageUtf8(utf8Message) {
    Kernel::AppendUtf16(m_message, utf8Message);
}

}  // namespace Quarn::WinRT::platform
