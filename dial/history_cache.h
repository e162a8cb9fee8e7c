#pragma once
// What the history overlay shows of the document history, kept on the history item itself and
// refreshed whenever the dial or the document moves the history.

#include <cstdint>

#include "bindings/kernel/reflected.h"
#include "bindings/kernel/string.h"

class Tool;

namespace Quarn::WinRT::detail {

class DocumentHistoryCacheAttribute : public Kernel::Reflected::Attribute {
public:
    std::int32_t position = 0;  // entries applied; 0 = before the first
    std::int32_t count = 0;
    Kernel::String8 description;  // name of entry position - 1; empty below position 1

    // Reads position, count and description from the tool's history.
    void RefreshFrom(const Tool& tool);
    // Sets the three fields for a known position; the description is read from the tool.
    void Set(const Tool& tool, std::int32_t newPosition, std::int32_t newCount);
};

}  // namespace Quarn::WinRT::detail
