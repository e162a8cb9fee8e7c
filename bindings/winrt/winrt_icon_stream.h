#pragma once
// An icon stream of the Windows build: a Windows.Storage.Streams.RandomAccessStreamReference made
// from a file, which the wheel backend hands to RadialControllerMenuItem.CreateFromIcon. The file
// loader makes it; the wheel backend takes its reference back out.
//
// Windows only. Made and read on the host thread; released on any.

#include <wrl/client.h>

#include <string>
#include <string_view>
#include <utility>

#include "bindings/wheel/wheel.h"
#include "bindings/winrt/abi.h"

namespace Quarn::WinRT::winrt {

class WinRtIconStream final : public platform::IconStream {
public:
    // `reference` is the stream reference, through any of its interfaces; `source` the path it
    // was made from.
    WinRtIconStream(Microsoft::WRL::ComPtr<IUnknown> reference, std::u16string source)
        : m_reference(std::move(reference)), m_source(std::move(source)) {}

    std::u16string_view Source() const override { return m_source; }

    // The reference's IRandomAccessStreamReference interface, the pointer CreateFromIcon takes,
    // held by its IUnknown slots (every COM interface begins with them); null when the object
    // has no such interface.
    Microsoft::WRL::ComPtr<IUnknown> StreamReference() const {
        Microsoft::WRL::ComPtr<IUnknown> reference;
        if (m_reference) {
            m_reference->QueryInterface(abi::kIid<abi::IRandomAccessStreamReference>,
                                        reinterpret_cast<void**>(reference.GetAddressOf()));
        }
        return reference;
    }

private:
    Microsoft::WRL::ComPtr<IUnknown> m_reference;
    std::u16string m_source;
};

}  // namespace Quarn::WinRT::winrt
