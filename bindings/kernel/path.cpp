#include "bindings/kernel/path.h"

namespace Kernel {

void PathTraitsDos::Append(String8& path, std::string_view component) {
    if (component.empty()) {
        return;
    }
    if (path.IsEmpty()) {
        path = String8(component);
        return;
    }
    std::string joined(path.GetView());
    while (!component.empty() && IsSeparator(component.front())) {
        component.remove_prefix(1);
    }
    // A path of separators only ("\\" before a server name) is a prefix and stays whole.
    const auto lastKept = joined.find_last_not_of("\\/");
    if (lastKept != std::string::npos) {
        joined.erase(lastKept + 1);
        joined.push_back(DefaultSeparator);
    }
    joined.append(component);
    path = String8(std::move(joined));
}

}  // namespace Kernel
