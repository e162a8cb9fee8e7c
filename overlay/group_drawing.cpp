// What the group overlay paints each frame, on the render thread: the ring of badges around the
// puck on the screen, or the single disc off it.
#include <algorithm>
#include <cmath>
#include <mutex>
#include <numbers>

#include "items/type_test.h"
#include "overlay/group_dial_overlay.h"

namespace Quarn::WinRT::detail {

namespace draw = platform::draw;
using platform::Ref;

namespace {

constexpr double kTolerance = 1e-6;
constexpr float kByteToUnit = 0.003921569f;  // 1/255, as the hue computation takes it

// The hue of a packed 0xBBGGRR colour as a fraction of the colour wheel; 0 for a grey.
double HueOf(std::uint32_t packed) {
    const float r = static_cast<float>(packed & 0xFF) * kByteToUnit;
    const float g = static_cast<float>((packed >> 8) & 0xFF) * kByteToUnit;
    const float b = static_cast<float>((packed >> 16) & 0xFF) * kByteToUnit;
    const float max = std::max({r, g, b});
    const float min = std::min({r, g, b});
    const float delta = max - min;
    if (delta <= kTolerance) {
        return 0.0;
    }
    float h = 0;
    if (std::fabs(max - r) <= kTolerance) {
        h = (g - b) / delta;
    } else if (std::fabs(max - g) <= kTolerance) {
        h = (b - r) / delta + 2;
    } else if (std::fabs(max - b) <= kTolerance) {
        h = (r - g) / delta + 4;
    }
    h *= 60;
    if (h < 0) {
        h += 360;
    }
    return h / 360.0;
}

draw::Point2F OnCircle(draw::Point2F centre, double radius, double degrees) {
    const double angle = degrees * std::numbers::pi / 180.0 - std::numbers::pi / 2;
    return {static_cast<float>(centre.x + radius * std::cos(angle)),
            static_cast<float>(centre.y + radius * std::sin(angle))};
}

}  // namespace

GroupDialOverlay::ArcAngles GroupDialOverlay::ValueArcAngles(const GroupItem& item) {
    ArcAngles angles;
    if (std::fabs(item.north - item.minimum) > kTolerance) {
        // The far end of the range is at most half a turn from north, either way.
        const float span = std::max(static_cast<float>(std::fabs(item.north - item.minimum)),
                                    static_cast<float>(std::fabs(item.maximum - item.north)));
        if (item.value >= item.north) {
            angles.end = static_cast<float>((item.value - item.north) / span * 180.0);
        } else {
            angles.start = static_cast<float>(-(item.north - item.value) / span * 180.0);
        }
        return angles;
    }
    angles.end = static_cast<float>(std::clamp(item.normalised * 360.0, 0.0, 360.0));
    return angles;
}

bool GroupDialOverlay::GetItemColour(const GroupItem& item, draw::ColourF* colour) {
    if (!item.colourRange || !colour) {
        return false;
    }
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    if (const auto* saturation =
            CachedCast<Corvanta::SaturationColourRangeAttribute, struct SaturationColourSite>(
                static_cast<const Corvanta::ColourRangeAttribute*>(item.colourRange.Get()))) {
        const double hue = item.colour ? HueOf(item.colour->colour) : 1.0;
        saturation->GetRGB(hue, item.normalised, red, green, blue);
    } else {
        item.colourRange->GetColour(item.normalised, red, green, blue);
    }
    *colour = {red / 255.0f, green / 255.0f, blue / 255.0f, 1.0f};
    return true;
}

void GroupDialOverlay::DrawArc(const DrawContext& context, draw::Point2F centre, draw::Brush* brush,
                               ArcAngles angles, float radius, float strokeWidth) {
    draw::DeviceContext& dc = *context.deviceContext;
    if (std::fabs(angles.start - angles.end) <= kTolerance) {
        return;
    }
    if (std::fabs((angles.end - angles.start) - 360.0) <= kTolerance) {
        dc.DrawEllipse({centre, radius, radius}, brush, strokeWidth, nullptr);
        return;
    }
    const Ref<draw::Factory> factory = dc.GetFactory();
    Ref<draw::PathGeometry> path;
    Ref<draw::GeometrySink> sink;
    if (!factory || FAILED(factory->CreatePathGeometry(&path)) || FAILED(path->Open(&sink))) {
        return;
    }
    sink->BeginFigure(OnCircle(centre, radius, angles.start), draw::FigureBegin::Filled);
    sink->AddArc({OnCircle(centre, radius, angles.end),
                  {radius, radius},
                  0,
                  draw::SweepDirection::Clockwise,
                  angles.end - angles.start > 180 ? draw::ArcSize::Large : draw::ArcSize::Small});
    sink->EndFigure(draw::FigureEnd::Open);
    sink->Close();
    dc.DrawGeometry(path.Get(), brush, strokeWidth, nullptr);
}

void GroupDialOverlay::DrawCentredText(const DrawContext& context, std::u16string_view text,
                                       draw::Point2F point, draw::Brush* brush,
                                       draw::TextFormat* format) {
    Ref<draw::TextLayout> layout;
    if (!format ||
        FAILED(context.textFactory->CreateTextLayout(text, format, draw::kUnboundedExtent,
                                                     draw::kUnboundedExtent, &layout)) ||
        !layout) {
        return;
    }
    const draw::TextAlignment alignment = format->GetTextAlignment();
    format->SetTextAlignment(draw::TextAlignment::Leading);
    draw::TextMetrics metrics;
    if (FAILED(layout->GetMetrics(&metrics))) {
        format->SetTextAlignment(alignment);
        return;
    }
    format->SetTextAlignment(draw::TextAlignment::Center);
    const float left = point.x - metrics.width * 0.5f + metrics.left;
    const float top = point.y - metrics.height * 0.5f + metrics.top;
    context.deviceContext->DrawText(text, format,
                                    {left, top, left + metrics.width, top + metrics.height}, brush,
                                    draw::DrawTextOptions::None, draw::MeasuringMode::Natural);
    format->SetTextAlignment(alignment);
}

void GroupDialOverlay::DrawValueAndUnit(const DrawContext& context, std::u16string_view value,
                                        std::u16string_view unit, draw::Point2F point,
                                        draw::Brush* brush) {
    draw::TextFormat* valueFormat = GetTextFormat(context).Get();
    draw::TextFormat* unitFormat = SmallTextFormat(context);
    Ref<draw::TextLayout> valueLayout;
    Ref<draw::TextLayout> unitLayout;
    draw::TextMetrics v;
    draw::TextMetrics u;
    if (!valueFormat || !unitFormat ||
        FAILED(context.textFactory->CreateTextLayout(value, valueFormat, draw::kUnboundedExtent,
                                                     draw::kUnboundedExtent, &valueLayout)) ||
        FAILED(context.textFactory->CreateTextLayout(unit, unitFormat, draw::kUnboundedExtent,
                                                     draw::kUnboundedExtent, &unitLayout)) ||
        !valueLayout || !unitLayout || FAILED(valueLayout->GetMetrics(&v)) ||
        FAILED(unitLayout->GetMetrics(&u))) {
        return;
    }
    draw::RectF valueRect;
    valueRect.left = point.x - v.width * 0.5f;
    valueRect.top = point.y - v.height * 0.5f;
    valueRect.right = valueRect.left + v.width + 10;
    valueRect.bottom = valueRect.top + v.height;
    draw::RectF unitRect;
    unitRect.left = point.x - u.width * 0.5f + u.left;
    unitRect.top = valueRect.bottom - 10;
    unitRect.right = unitRect.left + u.width + 10;
    unitRect.bottom = valueRect.bottom + u.height - 10;
    draw::DeviceContext& dc = *context.deviceContext;
    dc.DrawText(value, valueFormat, valueRect, brush, draw::DrawTextOptions::None,
                draw::MeasuringMode::Natural);
    dc.DrawText(unit, unitFormat, unitRect, brush, draw::DrawTextOptions::None,
                draw::MeasuringMode::Natural);
}

draw::Brush* GroupDialOverlay::BlackBrush(const DrawContext& context) {
    if (!m_blackBrush) {
        context.deviceContext->CreateSolidColourBrush({0, 0, 0, 1}, &m_blackBrush);
    }
    return m_blackBrush.Get();
}

draw::Brush* GroupDialOverlay::WhiteBrush(const DrawContext& context) {
    if (!m_whiteBrush) {
        context.deviceContext->CreateSolidColourBrush({1, 1, 1, 1}, &m_whiteBrush);
    }
    return m_whiteBrush.Get();
}

draw::Brush* GroupDialOverlay::ValueBrush(const DrawContext& context, const GroupItem* item) {
    if (!m_valueBrush) {
        draw::ColourF colour{1, 1, 1, 1};
        if (item && !GetItemColour(*item, &colour)) {
            // Without a colour range the value shows as a grey level of its position.
            const float level = static_cast<float>(item->normalised);
            colour = {level, level, level, 1};
        }
        context.deviceContext->CreateSolidColourBrush(colour, &m_valueBrush);
    }
    return m_valueBrush.Get();
}

draw::TextFormat* GroupDialOverlay::SmallTextFormat(const DrawContext& context) {
    if (!m_smallTextFormat) {
        m_smallTextFormat = CreateMenuFontFormat(context, kSmallFontSize);
    }
    return m_smallTextFormat.Get();
}

double GroupDialOverlay::ComputeItemSegments(const RingGeometry& ring) {
    m_segments.clear();
    const std::uint32_t currentId = CurrentId();
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        if (!m_items[i]) {
            continue;
        }
        m_segments.push_back(
            {ring.ElementCentre(i), m_current && m_items[i]->id == currentId, *m_items[i]});
    }
    return ring.EndAngle();
}

Ref<draw::Geometry> GroupDialOverlay::BuildTrackGeometry(const DrawContext& context,
                                                         draw::Point2F first, draw::Point2F last,
                                                         double radius, double sweep) {
    const Ref<draw::Factory> factory = context.deviceContext->GetFactory();
    if (!factory) {
        return nullptr;
    }
    if (std::fabs(first.x - last.x) <= kTolerance && std::fabs(first.y - last.y) <= kTolerance) {
        Ref<draw::EllipseGeometry> disc;
        factory->CreateEllipseGeometry(
            {first, RingGeometry::kSingleTrackRadius, RingGeometry::kSingleTrackRadius}, &disc);
        return Ref<draw::Geometry>(disc.Get());
    }
    Ref<draw::PathGeometry> path;
    Ref<draw::GeometrySink> sink;
    if (FAILED(factory->CreatePathGeometry(&path)) || FAILED(path->Open(&sink))) {
        return nullptr;
    }
    const auto r = static_cast<float>(radius);
    sink->BeginFigure(first, draw::FigureBegin::Filled);
    // Past half a turn the short way from the first badge to the last is the other way round.
    sink->AddArc({last,
                  {r, r},
                  0,
                  draw::SweepDirection::Clockwise,
                  sweep > std::numbers::pi ? draw::ArcSize::Large : draw::ArcSize::Small});
    sink->EndFigure(draw::FigureEnd::Open);
    sink->Close();
    return Ref<draw::Geometry>(path.Get());
}

void GroupDialOverlay::Draw(const DrawContext& context) {
    if (!context.deviceContext || !context.textFactory) {
        return;
    }
    // Lock order: items, then the overlay's own lock; the layout is read once, under the latter,
    // so the frame and the hit circles it fills agree.
    std::lock_guard itemsLock(m_itemsLock);
    std::lock_guard lock(m_lock);
    const OverlayRect contact = GetContactRect();
    if (!(contact.width > 0) || !(contact.height > 0) || m_items.empty()) {
        return;
    }
    if (IsOnScreen()) {
        DrawOnScreen(context, contact);
    } else {
        DrawOffScreen(context, contact);
    }
    // The frame's copies go now, so that replaced records do not live on until the next frame.
    m_segments.clear();
}

void GroupDialOverlay::DrawOnScreen(const DrawContext& context, const OverlayRect& contact) {
    draw::DeviceContext& dc = *context.deviceContext;
    const RingGeometry ring({contact.x + contact.width * 0.5f, contact.y + contact.height * 0.5f},
                            contact.width, m_items.size());
    ComputeItemSegments(ring);
    const auto current = std::find_if(m_segments.begin(), m_segments.end(),
                                      [](const ItemSegment& s) { return s.current; });
    const GroupItem* currentItem = current != m_segments.end() ? &current->item : nullptr;

    const auto R = static_cast<float>(ring.valueRadius);
    dc.FillEllipse(
        {ring.centre, R + RingGeometry::kValueRingWidth, R + RingGeometry::kValueRingWidth},
        BlackBrush(context));
    dc.FillEllipse({ring.centre, R, R}, ValueBrush(context, currentItem));

    if (!m_segments.empty()) {
        m_trackGeometry =
            BuildTrackGeometry(context, m_segments.front().centre, m_segments.back().centre,
                               ring.ringRadius, ring.TrackSweep());
        const Ref<draw::Factory> factory = dc.GetFactory();
        Ref<draw::StrokeStyle> roundEnds;
        if (factory) {
            draw::StrokeStyleProperties properties;
            properties.startCap = draw::CapStyle::Round;
            properties.endCap = draw::CapStyle::Round;
            factory->CreateStrokeStyle(properties, &roundEnds);
        }
        if (m_segments.size() == 1) {
            dc.FillGeometry(m_trackGeometry.Get(), BlackBrush(context));
        } else {
            dc.DrawGeometry(m_trackGeometry.Get(), BlackBrush(context), RingGeometry::kTrackWidth,
                            roundEnds.Get());
        }
        {
            std::lock_guard hitLock(m_hitLock);
            const std::size_t count =
                std::min({m_hitGeometries.size(), m_items.size(), m_segments.size()});
            for (std::size_t i = 0; i < count; ++i) {
                const GroupItem& item = m_segments[i].item;
                draw::ColourF colour{kGrey, kGrey, kGrey, 1};
                if (item.colourRange && !item.colourRange->keepGrey) {
                    GetItemColour(item, &colour);
                }
                Ref<draw::SolidColourBrush> badge;
                dc.CreateSolidColourBrush(colour, &badge);
                draw::Geometry* circle = m_hitGeometries[i].Get();
                if (m_segments[i].current) {
                    dc.FillGeometry(circle, badge.Get());
                } else {
                    // A stroke twice the band's width, masked to the circle: only its inner
                    // half shows, a band inside the badge's edge.
                    draw::LayerParameters layer;
                    layer.geometricMask = circle;
                    dc.PushLayer(layer);
                    dc.DrawGeometry(circle, badge.Get(), 20, nullptr);
                    dc.PopLayer();
                }
            }
        }
        for (const ItemSegment& segment : m_segments) {
            DrawItemBadge(context, segment.centre, segment.item, segment.current);
        }
    }

    if (currentItem) {
        DrawLabel(currentItem->name16.GetView(), ring.LabelAnchor(), context,
                  Ref<draw::Brush>(WhiteBrush(context)), GetTextFormat(context),
                  Ref<draw::Brush>(BlackBrush(context)));
    }
}

void GroupDialOverlay::DrawItemBadge(const DrawContext& context, draw::Point2F centre,
                                     const GroupItem& item, bool current) {
    if (!current && !item.initial16.IsEmpty()) {
        DrawCentredText(context, item.initial16.GetView(), centre,
                        GetGreyBrush(context.deviceContext.Get()).Get(),
                        GetTextFormat(context).Get());
    }
    if (current) {
        DrawValueAndUnit(context, item.value16.GetView(), item.unit16.GetView(), centre,
                         WhiteBrush(context));
    }
    DrawArc(context, centre, WhiteBrush(context), ValueArcAngles(item),
            RingGeometry::kBadgeArcRadius, RingGeometry::kBadgeArcWidth);
}

void GroupDialOverlay::DrawOffScreen(const DrawContext& context, const OverlayRect& contact) {
    const std::uint32_t currentId = CurrentId();
    const GroupItem* item = nullptr;
    for (const auto& record : m_items) {
        if (m_current && record && record->id == currentId) {
            item = record.get();
            break;
        }
    }
    if (!item) {
        return;
    }
    draw::DeviceContext& dc = *context.deviceContext;
    const draw::Point2F c{contact.x + contact.width * 0.5f, contact.y + contact.height * 0.5f};
    const float r = contact.width * 0.5f;
    dc.FillEllipse({c, r, r}, BlackBrush(context));
    dc.FillEllipse({c, r - 20, r - 20}, ValueBrush(context, item));
    dc.FillEllipse({c, r * 0.5f, r * 0.5f}, BlackBrush(context));
    DrawCentredText(context, item->offScreen16.GetView(), c, WhiteBrush(context),
                    GetTextFormat(context).Get());
    DrawArc(context, c, WhiteBrush(context), ValueArcAngles(*item), r - 30, 20);
}

}  // namespace Quarn::WinRT::detail
