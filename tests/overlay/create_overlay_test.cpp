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

// What the factory handed the last kind it made.
struct Made {
    std::string kind;
    std::vector<std::uint32_t> elements;
    std::uint32_t current = 0;
};
Made s_made;

std::unique_ptr<detail::DialOverlay> MakeHistory(Counted<Reflected> item) {
    s_made = Made{"history", {item->GetIdentifier()}, 0};
    return std::make_unique<TestOverlay>();
}

std::unique_ptr<detail::DialOverlay> MakeGroup(Counted<Tool>,
                                               std::vector<Counted<Reflected>> elements,
                                               Counted<Reflected> current) {
    s_made = Made{"group", {}, current ? current->GetIdentifier() : 0};
    for (const auto& element : elements) {
        s_made.elements.push_back(element->GetIdentifier());
    }
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

int CurrentAttributes(const Reflected& group) {
    int count = 0;
    for (const auto& attribute : group.GetAttributes()) {
        count += dynamic_cast<const Corvanta::CurrentElementAttribute*>(attribute.Get()) ? 1 : 0;
    }
    return count;
}

class CreateOverlayTest : public ::testing::Test {
protected:
    CreateOverlayTest() { s_made = Made{}; }
    detail::ScopedOverlayKinds kinds{detail::OverlayKinds{&MakeHistory, &MakeGroup}};
    Counted<DocumentController> document = MakeCounted<DocumentController>();
    Counted<Tool> tool = MakeCounted<Tool>(3, "Brush", document);
};

TEST_F(CreateOverlayTest, TheItemsKindChoosesTheOverlay) {
    auto history = MakeCounted<Kernel::ReflectedBinding<Counted<DocumentHistory>>>(
        5, "History", document->GetHistory());
    EXPECT_TRUE(detail::CreateOverlay(tool, history));
    EXPECT_EQ(s_made.kind, "history");

    auto group = MakeCounted<Corvanta::ReflectedGroup>(
        6, "Group", std::vector<Counted<Reflected>>{Element(61)});
    EXPECT_TRUE(detail::CreateOverlay(tool, group));
    EXPECT_EQ(s_made.kind, "group");

    s_made = Made{};
    EXPECT_FALSE(detail::CreateOverlay(tool, Element(7)));
    EXPECT_FALSE(detail::CreateOverlay(tool, {}));
    EXPECT_EQ(s_made.kind, "");

    detail::ScopedOverlayKinds none{detail::OverlayKinds{}};
    EXPECT_FALSE(detail::CreateOverlay(tool, group));
    EXPECT_FALSE(detail::CreateOverlay(tool, history));
}

TEST_F(CreateOverlayTest, AGroupShowsItsElementsLessThePositionAndButtonOnes) {
    struct Case {
        const char* name;
        std::optional<std::uint32_t> stored;  // the group's current element attribute, if any
        std::vector<std::uint32_t> shown;
        std::uint32_t current;
        std::optional<std::uint32_t> storedAfter;
    };
    const Case cases[] = {
        {"stored current kept", 13, {12, 13}, 13, 13},
        {"stored current removed", 11, {12, 13}, 12, 12},
        {"stored current unknown", 99, {12, 13}, 12, 12},
        {"no attribute: one is added", std::nullopt, {12, 13}, 12, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto group = MakeCounted<Corvanta::ReflectedGroup>(
            1, "Group",
            std::vector<Counted<Reflected>>{Marked<Corvanta::DialPositionAttribute>(11),
                                            Element(12), Marked<Corvanta::DialButtonAttribute>(14),
                                            Element(13)});
        if (c.stored) {
            group->AppendAttribute(MakeCounted<Corvanta::CurrentElementAttribute>(*c.stored));
        }
        ASSERT_TRUE(detail::CreateOverlay(tool, group));
        EXPECT_EQ(s_made.elements, c.shown);
        EXPECT_EQ(s_made.current, c.current);
        EXPECT_EQ(CurrentAttributes(*group), 1);
        auto attribute = detail::FindAttribute<Corvanta::CurrentElementAttribute>(*group);
        ASSERT_TRUE(attribute);
        EXPECT_EQ(attribute->elementId, *c.storedAfter);

        // A second overlay for the same group finds what the first one stored.
        ASSERT_TRUE(detail::CreateOverlay(tool, group));
        EXPECT_EQ(s_made.current, c.current);
        EXPECT_EQ(CurrentAttributes(*group), 1);
    }
}

TEST_F(CreateOverlayTest, AGroupOfOnlyPositionAndButtonElementsGetsAnEmptyOverlay) {
    auto group = MakeCounted<Corvanta::ReflectedGroup>(
        1, "Group",
        std::vector<Counted<Reflected>>{Marked<Corvanta::DialPositionAttribute>(11),
                                        Marked<Corvanta::DialButtonAttribute>(12)});
    ASSERT_TRUE(detail::CreateOverlay(tool, group));
    EXPECT_TRUE(s_made.elements.empty());
    EXPECT_EQ(s_made.current, 0u);
    EXPECT_TRUE(group->GetAttributes().empty()) << "nothing is touched";
}

}  // namespace
}  // namespace Quarn::WinRT::testing
