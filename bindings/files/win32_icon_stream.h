#pragma once
// The Windows files backend's icon streams: a RandomAccessStreamReference made from a
// StorageFile. The wheel backend takes the reference out of one to make a menu item from it.
//
// Windows only. Thread rule: any thread; the stream is immutable once made.

#include <string>

#include "bindings/wheel/wheel.h"
#include "bindings/winrt/storage_abi.h"

namespace Quarn::WinRT::platform {

// An icon stream holding its own reference to `reference` (not null); `source` is the path it
// was loaded from.
Ref<IconStream> MakeWin32IconStream(std::u16string source,
                                    winrt::abi::IRandomAccessStreamReference* reference);

// The reference inside an icon stream of the Windows files backend, valid while `icon` lives
// (AddRef it to keep it longer); null for an icon stream of any other kind.
winrt::abi::IRandomAccessStreamReference* StreamReferenceOf(const IconStream& icon);

}  // namespace Quarn::WinRT::platform
