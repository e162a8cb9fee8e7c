#pragma once
// A group overlay over three elements (Hue with a colour ramp, Saturation with a saturation ramp
// of a green item, Lightness without colour), drawn into the recorder around a
// 120-pixel puck whose centre is (460, 460) in the window.

#include <gtest/gtest.h>

#include "bindings/corvanta/attributes.h"
#include "bindings/kernel/reflected.h"
#include "bindings/vorta/attributes.h"
#include "bindings/vorta/document.h"
#include "bindings/vorta/tool.h"
#include "overlay/group_dial_overlay.h"
#include "tests/overlay/recording_setup.h"

namespace Quarn::WinRT::testing {

using Kernel::Counted;
using Kernel::FourCC;
using Kernel::MakeCounted;
using Kernel::Reflected;

using RangeElement = Kernel::ReflectedRangeT<double>;

inline Counted<RangeElement> Element(const char (&id)[5], const char* name, double value,
                                     double minimum = 0, double maximum = 1) {
    return MakeCounted<RangeElement>(FourCC(id), name, value, minimum, maximum);
}

template <class Attribute, class Item, class... Args>
Counted<Item> With(Counted<Item> item, Args&&... args) {
    item->AppendAttribute(MakeCounted<Attribute>(std::forward<Args>(args)...));
    return item;
}

class GroupOverlayTest : public ::testing::Test {
protected:
    static constexpr detail::OverlayRect kWindow{0, 0, 920, 920};
    static constexpr detail::OverlayRect kContact{400, 400, 120, 120};

    GroupOverlayTest() {
        hue = With<Corvanta::ColourRangeAttribute>(Element("hue ", "Hue", 90, 0, 360), 0x0000FFu,
                                                   0xFF0000u);
        saturation = With<ColourAttribute>(
            With<PrecisionAttribute>(
                With<Corvanta::SaturationColourRangeAttribute>(Element("satu", "Saturation", 0.5)),
                2),
            0x00FF00u);
        lightness = Element("ligh", "Lightness", 0.25);
    }

    std::vector<Counted<Reflected>> Elements() {
        return {Counted<Reflected>(hue), Counted<Reflected>(saturation),
                Counted<Reflected>(lightness)};
    }

    // Items given, the factory set, placed with the puck on the screen and shown.
    void Prepare(std::vector<Counted<Reflected>> elements, Counted<Reflected> current,
                 bool onScreen = true, detail::OverlayRect contact = kContact) {
        overlay.SetItems(tool, std::move(elements), std::move(current));
        overlay.SetFactory(Ref<draw::Factory>(setup.factory.Get()));
        overlay.SetContact(onScreen);
        overlay.SetLayout(kWindow, contact);
        overlay.SetVisible(true);
    }

    std::vector<std::string> Frame() { return setup.Frame(overlay); }

    RecordingSetup setup;
    Counted<DocumentController> document = MakeCounted<DocumentController>();
    Counted<Tool> tool = MakeCounted<Tool>(7, "Brush", document);
    Counted<RangeElement> hue;
    Counted<RangeElement> saturation;
    Counted<RangeElement> lightness;
    detail::GroupDialOverlay overlay;
};

}  // namespace Quarn::WinRT::testing
