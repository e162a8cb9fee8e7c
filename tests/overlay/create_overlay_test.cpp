#include <gtest/gtest.h>

#include "bindings/corvanta/attributes.h"
#include "bindings/corvanta/group.h"
#include "bindings/vorta/document.h"
#include "bindings/vorta/tool.h"
#include "items/item_lookup.h"
#include "overlay/create_overlay.h"
#include "tests/overlay/test_overlay.h"

namespace Quarn::WinRT::testing {
namespace {

using Kernel::Counted;
using Kernel::MakeCounted;
using Kernel::Reflected;

// What the factory handed the last group overlay it made.
std::vector<std::uint32_t> s_shown;
std::uint32_t s_current = 0;

std::unique_ptr<detail::DialOverlay> MakeGroup(Counted<Tool>,
                                               std::vector<Counted<Reflected>> elements,
                                               Counted<Reflected> current) {
    s_shown.clear();
    for (const auto& element : elements) {
        s_shown.push_back(element->GetIdentifier());
    }
    s_current = current ? current->GetIdentifier() : 0;
    return std::make_unique<TestOverlay>();
}

Counted<Reflected> Element(std::uint32_t id) {
    return MakeCounted<Kernel::ReflectedRangeT<double>>(id, "e", 0.0, 0.0, 1.0);
}

template <class Attribute>
Counted<Reflected> Marked(std::uint32_t id) {
    auto element = Element(id);
    element->AppendAttribute(MakeCounted<Attribute>());
    return element;
}

class CreateOverlayTest : public ::testing::Test {
protected:
    detail::ScopedOverlayKinds kinds{detail::OverlayKinds{nullptr, &MakeGroup}};
    Counted<DocumentController> document = MakeCounted<DocumentController>();
    Counted<Tool> tool = MakeCounted<Tool>(3, "Brush", document);
};

// The group's current element is stored in an attribute of its own: kept when shown, else the
// first shown element; a second overlay for the same group finds what the first one stored.
TEST_F(CreateOverlayTest, AGroupShowsItsElementsLessThePositionAndButtonOnes) {
    struct Case {
        const char* name;
        bool plainElements;                   // else only position and button elements
        std::optional<std::uint32_t> stored;  // the group's current element attribute, if any
        std::vector<std::uint32_t> shown;
        std::uint32_t current;
        std::optional<std::uint32_t> storedAfter;
    };
    const Case cases[] = {
        {"stored current kept", true, 13, {12, 13}, 13, 13},
        {"stored current removed", true, 11, {12, 13}, 12, 12},
        {"stored current unknown", true, 99, {12, 13}, 12, 12},
        {"no attribute: one is added", true, std::nullopt, {12, 13}, 12, 12},
        {"nothing to show: nothing stored", false, std::nullopt, {}, 0, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Counted<Reflected>> elements{Marked<Corvanta::DialPositionAttribute>(11),
                                                 Marked<Corvanta::DialButtonAttribute>(14)};
        if (c.plainElements) {
            elements.insert(elements.begin() + 1, Element(12));
            elements.push_back(Element(13));
        }
        auto group = MakeCounted<Corvanta::ReflectedGroup>(1, "Group", elements);
        if (c.stored) {
            group->AppendAttribute(MakeCounted<Corvanta::CurrentElementAttribute>(*c.stored));
        }
        for (int overlay = 0; overlay < 2; ++overlay) {
            ASSERT_TRUE(detail::CreateOverlay(tool, group));
            EXPECT_EQ(s_shown, c.shown);
            EXPECT_EQ(s_current, c.current);
            const auto attribute = detail::FindAttribute<Corvanta::CurrentElementAttribute>(*group);
            EXPECT_EQ(attribute ? std::optional(attribute->elementId) : std::nullopt,
                      c.storedAfter);
            EXPECT_EQ(group->GetAttributes().size(), c.storedAfter ? 1u : 0u);
        }
    }
}

}  // namespace
}  // namespace Quarn::WinRT::testing
