#pragma once
// The overlay of a group of items: with the puck on the screen a ring of badges around it, one
// per element, the current one filled with its colour and showing its value; with the puck off
// the screen one disc with the current element's name, value and unit. A badge clicked, or the
// dial's button, makes another element current.
//
// Threads and locks. The host thread runs SetItems, SetCurrent, OnToolChanged and
// OnItemRefreshed under m_itemsLock; SetLayout under m_lock, then m_hitLock; HitTest and the
// button-down handler under m_hitLock. The render thread runs Draw, which holds m_itemsLock for
// the whole frame, m_lock inside it and m_hitLock inside that. No path takes them in another
// order (OverlayLock counts any that does).
// - m_itemsLock guards m_elements, m_current, m_items and the brush caches. Only the host thread
//   writes m_elements, so its own reads (the button and the mouse-up handler) need no lock.
// - m_lock guards the layout as the frame sees it: SetLayout stores the rectangles and rebuilds
//   the hit circles under it, and a frame reads the contact rectangle once under it, so the
//   badges, their hit circles and everything else of one frame come from one layout.
// - m_hitLock guards m_hitGeometries.
// - The brushes, the small text format, the track geometry and m_segments belong to the render
//   thread; the host thread only releases m_valueBrush (under m_itemsLock), so that the next
//   frame makes it in the current colour. m_pressedId belongs to the host thread.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "bindings/corvanta/attributes.h"
#include "bindings/kernel/counted.h"
#include "bindings/kernel/reflected.h"
#include "bindings/kernel/string.h"
#include "bindings/vorta/attributes.h"
#include "overlay/dial_overlay.h"
#include "overlay/overlay_lock.h"
#include "overlay/ring_geometry.h"

namespace Quarn::WinRT::detail {

// What the overlay shows of one element, built when the element, the tool or the item changes
// and never per frame. The UTF-16 texts are the drawing's, made here so that a frame converts
// nothing.
struct GroupItem {
    std::uint32_t id = 0;
    Kernel::String8 name;
    double minimum = 0;
    double maximum = 0;
    double value = 0;
    double north = 0;       // where the value arc starts
    double normalised = 0;  // where the value lies in the range, normally 0 to 1
    Kernel::String8 valueText;
    Kernel::String8 unitText;
    Kernel::Counted<Corvanta::ColourRangeAttribute> colourRange;
    Kernel::Counted<ColourAttribute> colour;

    Kernel::String16 name16;
    Kernel::String16 initial16;  // the name's first character, whole
    Kernel::String16 value16;
    Kernel::String16 unit16;
    Kernel::String16 offScreen16;  // "name:\nvalue unit"
};

// One badge of one frame: where it sits, whether it is the current element, and its record.
struct ItemSegment {
    platform::draw::Point2F centre;
    bool current = false;
    GroupItem item;
};

class GroupDialOverlay final : public DialOverlay {
public:
    static constexpr float kSmallFontSize = 20.0f;

    GroupDialOverlay() = default;
    ~GroupDialOverlay() override;

    // Called once by CreateOverlay, before the overlay is shared.
    void SetItems(Kernel::Counted<Tool> tool,
                  std::vector<Kernel::Counted<Kernel::Reflected>> elements,
                  Kernel::Counted<Kernel::Reflected> current);
    void SetCurrent(Kernel::Counted<Kernel::Reflected> element);

    static std::unique_ptr<GroupItem> BuildItem(const Kernel::Counted<Kernel::Reflected>& element,
                                                const Kernel::Counted<Tool>& tool);
    static Kernel::String8 FormatValueText(const Kernel::Counted<Kernel::Reflected>& element,
                                           const Kernel::Counted<const Kernel::UserUnits>& units);

    bool OnButtonClicked(Kernel::Counted<Kernel::Reflected> item, Dial* dial) override;
    bool HitTest(int x, int y) override;
    void OnLeftButtonDown(int x, int y, Dial* dial) override;
    void OnLeftButtonUp(int x, int y, Dial* dial) override;
    void OnItemRefreshed(Kernel::Counted<Tool> tool,
                         Kernel::Counted<Kernel::Reflected> item) override;
    OverlayRect ComputeWindowRect(const OverlayRect& contact) override;
    void Draw(const DrawContext& context) override;
    void OnToolChanged(Kernel::Counted<Tool> tool) override;
    void SetLayout(const OverlayRect& window, const OverlayRect& contact) override;

    // Host thread. The element whose badge holds the point (window-client pixels), if any.
    std::optional<std::uint32_t> ElementAt(int x, int y) const;
    // Host thread. The current element, or empty.
    Kernel::Counted<Kernel::Reflected> GetCurrent() const;
    // Host thread. A copy of the record of the element with `id`, as the next frame draws it.
    std::optional<GroupItem> GetRecord(std::uint32_t id) const;
    // Host thread. How many elements the overlay shows.
    std::size_t GetElementCount() const { return m_elements.size(); }

    // Value arcs: degrees, 0 straight up, growing clockwise on screen.
    struct ArcAngles {
        float start = 0;
        float end = 0;
    };
    static ArcAngles ValueArcAngles(const GroupItem& item);
    // The element's colour at its position in its colour range; false without a colour range.
    static bool GetItemColour(const GroupItem& item, platform::draw::ColourF* colour);

protected:
    void ReleaseDeviceResources() override;

private:
    // Everything below runs on the render thread, inside Draw's locks.
    void DrawOnScreen(const DrawContext& context, const OverlayRect& contact);
    void DrawOffScreen(const DrawContext& context, const OverlayRect& contact);
    void DrawItemBadge(const DrawContext& context, platform::draw::Point2F centre,
                       const GroupItem& item, bool current);
    double ComputeItemSegments(const RingGeometry& ring);
    platform::Ref<platform::draw::Geometry> BuildTrackGeometry(const DrawContext& context,
                                                               platform::draw::Point2F first,
                                                               platform::draw::Point2F last,
                                                               double radius, double sweep);
    static void DrawArc(const DrawContext& context, platform::draw::Point2F centre,
                        platform::draw::Brush* brush, ArcAngles angles, float radius,
                        float strokeWidth);
    static void DrawCentredText(const DrawContext& context, std::u16string_view text,
                                platform::draw::Point2F point, platform::draw::Brush* brush,
                                platform::draw::TextFormat* format);
    void DrawValueAndUnit(const DrawContext& context, std::u16string_view value,
                          std::u16string_view unit, platform::draw::Point2F point,
                          platform::draw::Brush* brush);
    platform::draw::Brush* ValueBrush(const DrawContext& context, const GroupItem* item);
    platform::draw::Brush* BlackBrush(const DrawContext& context);
    platform::draw::Brush* WhiteBrush(const DrawContext& context);
    platform::draw::TextFormat* SmallTextFormat(const DrawContext& context);
    // The hit circles for a layout, one per element; made without holding a lock.
    std::vector<platform::Ref<platform::draw::EllipseGeometry>> MakeHitGeometries(
        const OverlayRect& contact) const;
    std::uint32_t CurrentId() const;

    std::vector<Kernel::Counted<Kernel::Reflected>> m_elements;
    Kernel::Counted<Kernel::Reflected> m_current;
    std::vector<std::unique_ptr<GroupItem>> m_items;
    mutable OverlayLock m_itemsLock{OverlayLockRank::Items};
    mutable OverlayLock m_hitLock{OverlayLockRank::Hit};
    std::optional<std::uint32_t> m_pressedId;
    platform::Ref<platform::draw::SolidColourBrush> m_valueBrush;
    platform::Ref<platform::draw::SolidColourBrush> m_blackBrush;
    platform::Ref<platform::draw::SolidColourBrush> m_whiteBrush;
    platform::Ref<platform::draw::Geometry> m_trackGeometry;
    platform::Ref<platform::draw::TextFormat> m_smallTextFormat;
    std::vector<platform::Ref<platform::draw::EllipseGeometry>> m_hitGeometries;
    // The frame's segments; kept between frames so that a frame allocates none.
    std::vector<ItemSegment> m_segments;
};

}  // namespace Quarn::WinRT::detail
