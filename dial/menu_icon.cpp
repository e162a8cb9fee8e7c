#include "dial/menu_icon.h"

#include "bindings/kernel/log.h"
#include "bindings/kernel/path.h"
#include "bindings/platform/error.h"
#include "bindings/platform/services.h"
#include "bindings/vorta/attributes.h"
#include "items/item_lookup.h"

namespace Quarn::WinRT::detail {

Kernel::String8 MenuIconPath(const Kernel::String8& resourcesDirectory,
                             const Kernel::String8& imageName) {
    Kernel::String8 path = resourcesDirectory;
    Kernel::PathTraitsDos::Append(path, "Dial");
    Kernel::PathTraitsDos::Append(path, imageName.GetView());
    // Only the last component decides whether the name already has an extension.
    const std::string_view text = path.GetView();
    const std::size_t lastSeparator = text.find_last_of("\\/");
    const std::string_view last =
        lastSeparator == std::string_view::npos ? text : text.substr(lastSeparator + 1);
    if (last.find('.') == std::string_view::npos) {
        path.Append(".png");
    }
    return path;
}

platform::Ref<platform::IconStream> LoadMenuItemIcon(const Kernel::String8& resourcesDirectory,
                                                     const Kernel::Reflected& item) {
    const Kernel::Counted<ImageAttribute> image = FindAttribute<ImageAttribute>(item);
    if (!image) {
        return nullptr;
    }
    try {
        const Kernel::String16 path = Kernel::ConvertEnc<Kernel::TEncUtf16>(
            MenuIconPath(resourcesDirectory, image->imageName));
        platform::FileSystem& files = *platform::Services().files;
        if (!files.PathFileExistsW(path.GetView())) {
            return nullptr;
        }
        // Blocks the host thread until the platform has loaded the file.
        return files.LoadIconStream(path.GetView());
    } catch (const std::exception&) {
        Kernel::Log().WriteLine("Dial error: Failed to create load menu item icon.");
        return nullptr;
    }
}

}  // namespace Quarn::WinRT::detail
