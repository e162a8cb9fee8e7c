// The group overlay's elements, records, layout and input; its drawing is group_drawing.cpp.
#include "overlay/group_dial_overlay.h"

#include <algorithm>
#include <mutex>

#include "bindings/vorta/tool.h"
#include "dial/dial.h"

namespace Quarn::WinRT::detail {

namespace draw = platform::draw;

GroupDialOverlay::~GroupDialOverlay() = default;

void GroupDialOverlay::SetItems(Kernel::Counted<Tool> tool,
                                std::vector<Kernel::Counted<Kernel::Reflected>> elements,
                                Kernel::Counted<Kernel::Reflected> current) {
    // The records are built before the lock is taken: they ask the host for texts and units,
    // which the render thread should not wait for.
    std::vector<std::unique_ptr<GroupItem>> items;
    items.reserve(elements.size());
    for (const auto& element : elements) {
        items.push_back(BuildItem(element, tool));
    }
    std::lock_guard lock(m_itemsLock);
    m_elements.swap(elements);
    m_current = std::move(current);
    m_items.swap(items);
    m_valueBrush = nullptr;
    // The previous elements and records go when `elements` and `items` leave, outside the lock.
}

void GroupDialOverlay::SetCurrent(Kernel::Counted<Kernel::Reflected> element) {
    std::lock_guard lock(m_itemsLock);
    std::swap(m_current, element);
    m_valueBrush = nullptr;
}

Kernel::Counted<Kernel::Reflected> GroupDialOverlay::GetCurrent() const {
    std::lock_guard lock(m_itemsLock);
    return m_current;
}

std::optional<GroupItem> GroupDialOverlay::GetRecord(std::uint32_t id) const {
    std::lock_guard lock(m_itemsLock);
    for (const auto& record : m_items) {
        if (record && record->id == id) {
            return *record;
        }
    }
    return std::nullopt;
}

bool GroupDialOverlay::OnButtonClicked(Kernel::Counted<Kernel::Reflected> item, Dial* dial) {
    // Host thread: the only writer of m_elements, so no lock to read it.
    if (m_elements.empty()) {
        return false;
    }
    std::size_t next = 0;
    if (item) {
        const std::uint32_t id = item->GetIdentifier();
        for (std::size_t i = 0; i < m_elements.size(); ++i) {
            if (m_elements[i] && m_elements[i]->GetIdentifier() == id) {
                next = (i + 1) % m_elements.size();
                break;
            }
        }
    }
    const Kernel::Counted<Kernel::Reflected> element = m_elements[next];
    SetCurrent(element);
    if (dial && element) {
        dial->SelectMenuItem(element);
    }
    return true;
}

std::optional<std::uint32_t> GroupDialOverlay::ElementAt(int x, int y) const {
    const draw::Point2F point{static_cast<float>(x), static_cast<float>(y)};
    std::lock_guard lock(m_hitLock);
    const std::size_t count = std::min(m_elements.size(), m_hitGeometries.size());
    for (std::size_t i = 0; i < count; ++i) {
        bool contains = false;
        const auto& circle = m_hitGeometries[i];
        if (circle && m_elements[i] &&
            SUCCEEDED(circle->FillContainsPoint(point, draw::Matrix3x2F::Identity(),
                                                draw::kDefaultFlatteningTolerance, &contains)) &&
            contains) {
            return m_elements[i]->GetIdentifier();
        }
    }
    return std::nullopt;
}

bool GroupDialOverlay::HitTest(int x, int y) {
    // A hidden ring claims nothing: its badges are not there to be clicked.
    if (!IsVisible()) {
        return false;
    }
    const draw::Point2F point{static_cast<float>(x), static_cast<float>(y)};
    std::lock_guard lock(m_hitLock);
    for (const auto& circle : m_hitGeometries) {
        bool contains = false;
        if (circle &&
            SUCCEEDED(circle->FillContainsPoint(point, draw::Matrix3x2F::Identity(),
                                                draw::kDefaultFlatteningTolerance, &contains)) &&
            contains) {
            return true;
        }
    }
    return false;
}

void GroupDialOverlay::OnLeftButtonDown(int x, int y, Dial* /*dial*/) {
    // A press off every badge forgets an earlier one: its release chooses nothing.
    m_pressedId = ElementAt(x, y);
}

void GroupDialOverlay::OnLeftButtonUp(int /*x*/, int /*y*/, Dial* dial) {
    // The release point is not looked at: press a badge, let go anywhere, and it is chosen. A
    // press counts for one release only, so a release with no press of its own chooses nothing.
    const std::optional<std::uint32_t> pressed = std::exchange(m_pressedId, std::nullopt);
    if (!pressed) {
        return;
    }
    for (const auto& element : m_elements) {
        if (element && element->GetIdentifier() == *pressed) {
            SetCurrent(element);
            if (dial) {
                dial->SelectMenuItem(element);
            }
            return;
        }
    }
}

void GroupDialOverlay::OnToolChanged(Kernel::Counted<Tool> tool) {
    // The current element's record is built outside the lock and swapped in under it.
    Kernel::Counted<Kernel::Reflected> element;
    std::size_t index = 0;
    {
        std::lock_guard lock(m_itemsLock);
        const std::uint32_t currentId = CurrentId();
        for (; m_current && index < m_elements.size(); ++index) {
            if (m_elements[index] && m_elements[index]->GetIdentifier() == currentId) {
                element = m_elements[index];
                break;
            }
        }
    }
    std::unique_ptr<GroupItem> record = element ? BuildItem(element, tool) : nullptr;
    std::lock_guard lock(m_itemsLock);
    if (record && index < m_items.size()) {
        m_items[index].swap(record);
    }
    m_valueBrush = nullptr;
}

void GroupDialOverlay::OnItemRefreshed(Kernel::Counted<Tool> tool,
                                       Kernel::Counted<Kernel::Reflected> item) {
    if (!item) {
        return;
    }
    const std::uint32_t id = item->GetIdentifier();
    // Host thread: the only writer of m_elements, so the search needs no lock.
    std::size_t index = 0;
    while (index < m_elements.size() &&
           !(m_elements[index] && m_elements[index]->GetIdentifier() == id)) {
        ++index;
    }
    std::unique_ptr<GroupItem> record = index < m_elements.size() ? BuildItem(item, tool) : nullptr;
    Kernel::Counted<Kernel::Reflected> replaced;
    std::lock_guard lock(m_itemsLock);
    if (record) {
        replaced = std::exchange(m_elements[index], item);
        if (index < m_items.size()) {
            m_items[index].swap(record);
        }
    }
    if (m_current && m_current->GetIdentifier() == id) {
        m_current = item;
        m_valueBrush = nullptr;
    }
}

OverlayRect GroupDialOverlay::ComputeWindowRect(const OverlayRect& contact) {
    if (!IsOnScreen()) {
        return contact;
    }
    // Host thread: the only writer of m_elements, so no lock to count them. A ring too large
    // for the puck, or its label outside the track, widens the window (ring_geometry.h).
    const auto margin =
        static_cast<float>(RingGeometry({0, 0}, contact.width, m_elements.size()).WindowMargin());
    return {contact.x - margin, contact.y - margin, contact.width + 2 * margin,
            contact.height + 2 * margin};
}

std::vector<platform::Ref<draw::EllipseGeometry>> GroupDialOverlay::MakeHitGeometries(
    const OverlayRect& contact) const {
    std::vector<platform::Ref<draw::EllipseGeometry>> circles(m_elements.size());
    const platform::Ref<draw::Factory>& factory = GetFactory();
    if (!factory) {
        return circles;  // no renderer yet: no circles, and nothing can be hit
    }
    const RingGeometry ring({contact.x + contact.width * 0.5f, contact.y + contact.height * 0.5f},
                            contact.width, circles.size());
    for (std::size_t i = 0; i < circles.size(); ++i) {
        factory->CreateEllipseGeometry(
            {ring.ElementCentre(i), RingGeometry::kBadgeRadius, RingGeometry::kBadgeRadius},
            &circles[i]);
    }
    return circles;
}

void GroupDialOverlay::SetLayout(const OverlayRect& window, const OverlayRect& contact) {
    // The circles are made first, without a lock; the layout and its circles then change
    // together, so a frame sees both old or both new.
    std::vector<platform::Ref<draw::EllipseGeometry>> circles = MakeHitGeometries(contact);
    std::lock_guard lock(m_lock);
    DialOverlay::SetLayout(window, contact);
    std::lock_guard hitLock(m_hitLock);
    m_hitGeometries.swap(circles);
}

void GroupDialOverlay::ReleaseDeviceResources() {
    DialOverlay::ReleaseDeviceResources();
    // Under the items lock because the host thread releases m_valueBrush under it too.
    std::lock_guard lock(m_itemsLock);
    m_valueBrush = nullptr;
    m_blackBrush = nullptr;
    m_whiteBrush = nullptr;
    m_smallTextFormat = nullptr;
    m_trackGeometry = nullptr;
}

std::uint32_t GroupDialOverlay::CurrentId() const {
    return m_current ? m_current->GetIdentifier() : 0;
}

}  // namespace Quarn::WinRT::detail
