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
    const bool pathEnds = IsSeparator(joined.back());
    const bool componentStarts = IsSeparator(component.front());
    if (pathEnds && componentStarts) {
        component.remove_prefix(1);
    } else if (!pathEnds && !componentStarts) {
        joined.push_back(DefaultSeparator);
    }
    joined.append(component);
    path = String8(std::move(joined));
}

}  // namespace Kernel
