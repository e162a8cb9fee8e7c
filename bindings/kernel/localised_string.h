#pragma once
// A user-visible text of the host. The sample host keeps it already localised, in UTF-8.

#include "bindings/kernel/string.h"

namespace Kernel {

class LocalisedString {
public:
    LocalisedString() = default;
    LocalisedString(const char* text) : m_text(text) {}
    explicit LocalisedString(String8 text) : m_text(std::move(text)) {}

    const String8& ToString() const noexcept { return m_text; }
    operator const String8&() const noexcept { return m_text; }
    bool IsEmpty() const noexcept { return m_text.IsEmpty(); }

private:
    String8 m_text;
};

}  // namespace Kernel
