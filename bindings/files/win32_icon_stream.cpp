#include "bindings/files/win32_icon_stream.h"

#include <wrl/client.h>

namespace Quarn::WinRT::platform {

namespace {

class Win32IconStream final : public IconStream {
public:
    Win32IconStream(std::u16string source, winrt::abi::IRandomAccessStreamReference* reference)
        : m_source(std::move(source)), m_reference(reference) {}

    std::u16string_view Source() const override { return m_source; }
    winrt::abi::IRandomAccessStreamReference* Reference() const { return m_reference.Get(); }

private:
    const std::u16string m_source;
    const Microsoft::WRL::ComPtr<winrt::abi::IRandomAccessStreamReference> m_reference;
};

}  // namespace

Ref<IconStream> MakeWin32IconStream(std::u16string source,
                                    winrt::abi::IRandomAccessStreamReference* reference) {
    return MakeRef<Win32IconStream>(std::move(source), reference);
}

winrt::abi::IRandomAccessStreamReference* StreamReferenceOf(const IconStream& icon) {
    const auto* ours = dynamic_cast<const Win32IconStream*>(&icon);
    return ours ? ours->Reference() : nullptr;
}

}  // namespace Quarn::WinRT::platform
