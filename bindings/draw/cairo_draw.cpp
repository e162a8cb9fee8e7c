#include "bindings/draw/cairo_draw.h"

#include <cairo.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <numbers>

#include "bindings/draw/geometry_model.h"
#include "bindings/draw/pango_text.h"

namespace Quarn::WinRT::platform::draw {

namespace {

constexpr double kPi = std::numbers::pi;
// Content bounds beyond this count as unbounded.
constexpr float kBoundless = 1e7f;

cairo_matrix_t ToCairo(const Matrix3x2F& m) {
    cairo_matrix_t matrix;
    cairo_matrix_init(&matrix, m.m11, m.m12, m.m21, m.m22, m.dx, m.dy);
    return matrix;
}

bool IsInvertible(const Matrix3x2F& m) {
    cairo_matrix_t matrix = ToCairo(m);
    return cairo_matrix_invert(&matrix) == CAIRO_STATUS_SUCCESS;
}

// First `first`, then `second`.
Matrix3x2F Then(const Matrix3x2F& first, const Matrix3x2F& second) {
    cairo_matrix_t a = ToCairo(first);
    cairo_matrix_t b = ToCairo(second);
    cairo_matrix_t result;
    cairo_matrix_multiply(&result, &a, &b);
    return {static_cast<float>(result.xx), static_cast<float>(result.yx),
            static_cast<float>(result.xy), static_cast<float>(result.yy),
            static_cast<float>(result.x0), static_cast<float>(result.y0)};
}

bool Finite(std::initializer_list<float> values) {
    return std::all_of(values.begin(), values.end(), [](float v) { return std::isfinite(v); });
}

// An elliptical arc of the unit circle, scaled and rotated into place.
void AddEllipticArc(cairo_t* cr, double cx, double cy, double rx, double ry, double rotation,
                    double start, double sweep) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, rotation);
    cairo_scale(cr, rx, ry);
    if (sweep >= 0) {
        cairo_arc(cr, 0, 0, 1, start, start + sweep);
    } else {
        cairo_arc_negative(cr, 0, 0, 1, start, start + sweep);
    }
    cairo_restore(cr);
}

void AddEllipse(cairo_t* cr, const Ellipse& e) {
    cairo_new_sub_path(cr);
    AddEllipticArc(cr, e.centre.x, e.centre.y, e.radiusX, e.radiusY, 0, 0, 2 * kPi);
    cairo_close_path(cr);
}

// Appends the figures of a path; for filling, hollow figures are left out.
void AddPath(cairo_t* cr, const PathData& path, bool forFill) {
    for (const PathFigure& figure : path.figures) {
        if (forFill && figure.begin == FigureBegin::Hollow) {
            continue;
        }
        cairo_move_to(cr, figure.start.x, figure.start.y);
        Point2F current = figure.start;
        for (const PathSegment& segment : figure.segments) {
            if (segment.kind == PathSegment::Kind::Line) {
                cairo_line_to(cr, segment.point.x, segment.point.y);
            } else {
                const ArcCentreForm arc = ToCentreForm(current, segment.arc);
                if (arc.isLine) {
                    cairo_line_to(cr, segment.point.x, segment.point.y);
                } else {
                    AddEllipticArc(cr, arc.centre.x, arc.centre.y, arc.radiusX, arc.radiusY,
                                   arc.rotation, arc.startAngle, arc.sweepAngle);
                }
            }
            current = segment.point;
        }
        if (figure.end == FigureEnd::Closed) {
            cairo_close_path(cr);
        }
    }
}

enum class Emitted { Drawn, Empty, Unusable };

// Appends the geometry's outline to the current path.
Emitted AddGeometry(cairo_t* cr, const Geometry* geometry, bool forFill,
                    cairo_fill_rule_t* fillRule) {
    *fillRule = CAIRO_FILL_RULE_EVEN_ODD;
    if (const auto* ellipse = dynamic_cast<const EllipseGeometry*>(geometry)) {
        const Ellipse e = ellipse->GetEllipse();
        if (!Finite({e.centre.x, e.centre.y, e.radiusX, e.radiusY}) || e.radiusX <= 0 ||
            e.radiusY <= 0) {
            return Emitted::Empty;
        }
        AddEllipse(cr, e);
        return Emitted::Drawn;
    }
    if (const auto* path = dynamic_cast<const ModelPathGeometry*>(geometry)) {
        if (!path->IsClosed()) {
            return Emitted::Unusable;
        }
        *fillRule = path->Data().fillMode == FillMode::Winding ? CAIRO_FILL_RULE_WINDING
                                                               : CAIRO_FILL_RULE_EVEN_ODD;
        AddPath(cr, path->Data(), forFill);
        return Emitted::Drawn;
    }
    return Emitted::Unusable;
}

cairo_line_cap_t ToCairo(CapStyle cap) {
    switch (cap) {
        case CapStyle::Square:
            return CAIRO_LINE_CAP_SQUARE;
        case CapStyle::Round:
        case CapStyle::Triangle:
            return CAIRO_LINE_CAP_ROUND;
        default:
            return CAIRO_LINE_CAP_BUTT;
    }
}

void SetStroke(cairo_t* cr, float width, const StrokeStyle* style) {
    const StrokeStyleProperties p = style ? style->GetProperties() : StrokeStyleProperties{};
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, ToCairo(p.dashStyle == DashStyle::Solid ? p.startCap : p.dashCap));
    switch (p.lineJoin) {
        case LineJoin::Bevel:
            cairo_set_line_join(cr, CAIRO_LINE_JOIN_BEVEL);
            break;
        case LineJoin::Round:
            cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
            break;
        default:
            cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
            break;
    }
    cairo_set_miter_limit(cr, std::max(1.0f, p.miterLimit));
    // Direct2D's dash patterns, in stroke widths.
    static constexpr double kDash[] = {2, 2};
    static constexpr double kDot[] = {0, 2};
    static constexpr double kDashDot[] = {2, 2, 0, 2};
    static constexpr double kDashDotDot[] = {2, 2, 0, 2, 0, 2};
    const double* pattern = nullptr;
    int count = 0;
    switch (p.dashStyle) {
        case DashStyle::Dash:
            pattern = kDash;
            count = 2;
            break;
        case DashStyle::Dot:
            pattern = kDot;
            count = 2;
            break;
        case DashStyle::DashDot:
            pattern = kDashDot;
            count = 4;
            break;
        case DashStyle::DashDotDot:
            pattern = kDashDotDot;
            count = 6;
            break;
        default:
            break;
    }
    double scaled[6];
    for (int i = 0; i < count; ++i) {
        scaled[i] = pattern[i] * width;
    }
    cairo_set_dash(cr, count ? scaled : nullptr, count, p.dashOffset * width);
}

}  // namespace

namespace {
std::atomic<std::uint64_t> s_contextSerials{0};
}  // namespace

CairoDeviceContext::CairoDeviceContext(Ref<Factory> factory, Ref<TextFactory> textFactory)
    : m_factory(factory ? std::move(factory) : Ref<Factory>(MakeRef<ModelFactory>())),
      m_text(textFactory && IsPangoTextFactory(textFactory.Get()) ? std::move(textFactory)
                                                                  : CreatePangoTextFactory()),
      m_serial(s_contextSerials.fetch_add(1, std::memory_order_relaxed) + 1) {}

CairoDeviceContext::~CairoDeviceContext() {
    if (m_inFrame) {
        FinishFrame();
    }
}

void CairoDeviceContext::SetTarget(CairoTarget* target) {
    if (m_inFrame) {
        FinishFrame();
        m_target = target;
        StartFrame();
    } else {
        m_target = target;
    }
}

namespace {

// A brush made by a Cairo device context: as with Direct2D, it draws only with that context.
class ContextBrush final : public SolidColourBrush {
public:
    ContextBrush(const ColourF& colour, std::uint64_t owner) : m_colour(colour), m_owner(owner) {}
    ColourF GetColour() const override { return m_colour; }
    std::uint64_t Owner() const { return m_owner; }

private:
    ColourF m_colour;
    std::uint64_t m_owner;  // the context's serial: a new context may reuse a freed one's address
};

}  // namespace

HRESULT CairoDeviceContext::CreateSolidColourBrush(const ColourF& colour,
                                                   Ref<SolidColourBrush>* brush) {
    if (!brush) {
        return E_POINTER;
    }
    *brush = MakeRef<ContextBrush>(colour, m_serial);
    return S_OK;
}

void CairoDeviceContext::Fail(HRESULT error) {
    if (SUCCEEDED(m_error)) {
        m_error = error;
    }
}

void CairoDeviceContext::StartFrame() {
    m_frameTarget = m_target;
    if (!m_frameTarget) {
        return;
    }
    cairo_surface_t* surface = m_frameTarget->BeginFrame();
    if (!surface) {
        Fail(E_FAIL);
        return;
    }
    m_cairo = cairo_create(surface);
    if (cairo_status(m_cairo) != CAIRO_STATUS_SUCCESS) {
        cairo_destroy(m_cairo);
        m_cairo = nullptr;
        Fail(E_FAIL);
    }
}

void CairoDeviceContext::FinishFrame() {
    while (!m_layers.empty()) {
        CompositeLayer(m_layers.back());
        m_layers.pop_back();
    }
    if (m_cairo) {
        cairo_destroy(m_cairo);
        m_cairo = nullptr;
    }
    if (m_frameTarget) {
        if (const HRESULT ended = m_frameTarget->EndFrame(); FAILED(ended)) {
            Fail(ended);
        }
        m_frameTarget = nullptr;
    }
}

void CairoDeviceContext::BeginDraw() {
    if (m_inFrame) {
        Fail(kDrawErrorWrongState);
        return;
    }
    m_inFrame = true;
    StartFrame();
}

HRESULT CairoDeviceContext::EndDraw() {
    if (!m_inFrame) {
        Fail(kDrawErrorWrongState);
    } else {
        FinishFrame();
        m_inFrame = false;
    }
    return std::exchange(m_error, S_OK);
}

cairo_t* CairoDeviceContext::Canvas(const Brush* brush) {
    if (!m_inFrame) {
        Fail(kDrawErrorWrongState);
        return nullptr;
    }
    if (const auto* made = dynamic_cast<const ContextBrush*>(brush);
        made && made->Owner() != m_serial) {
        // A brush of another device context (one made on a device since lost, say) draws
        // nothing and fails the frame, as Direct2D's resource domains do.
        Fail(kDrawErrorWrongResourceDomain);
        return nullptr;
    }
    if (!m_cairo || !brush || !IsInvertible(m_transform)) {
        return nullptr;
    }
    const cairo_matrix_t matrix = ToCairo(m_transform);
    cairo_set_matrix(m_cairo, &matrix);
    const ColourF c = brush->GetColour();
    cairo_set_source_rgba(m_cairo, c.r, c.g, c.b, c.a);
    cairo_new_path(m_cairo);
    return m_cairo;
}

void CairoDeviceContext::Clear(std::optional<ColourF> colour) {
    if (!m_inFrame) {
        Fail(kDrawErrorWrongState);
        return;
    }
    if (!m_cairo) {
        return;
    }
    cairo_save(m_cairo);
    cairo_identity_matrix(m_cairo);
    cairo_reset_clip(m_cairo);
    cairo_set_operator(m_cairo, CAIRO_OPERATOR_SOURCE);
    const ColourF c = colour.value_or(ColourF{0, 0, 0, 0});
    cairo_set_source_rgba(m_cairo, c.r, c.g, c.b, c.a);
    cairo_paint(m_cairo);
    cairo_restore(m_cairo);
}

void CairoDeviceContext::FillEllipse(const Ellipse& ellipse, Brush* brush) {
    cairo_t* cr = Canvas(brush);
    if (!cr || !Finite({ellipse.centre.x, ellipse.centre.y, ellipse.radiusX, ellipse.radiusY}) ||
        ellipse.radiusX <= 0 || ellipse.radiusY <= 0) {
        return;
    }
    AddEllipse(cr, ellipse);
    cairo_fill(cr);
}

void CairoDeviceContext::DrawEllipse(const Ellipse& ellipse, Brush* brush, float strokeWidth,
                                     StrokeStyle* style) {
    cairo_t* cr = Canvas(brush);
    if (!cr || !(strokeWidth > 0) ||
        !Finite(
            {ellipse.centre.x, ellipse.centre.y, ellipse.radiusX, ellipse.radiusY, strokeWidth}) ||
        ellipse.radiusX < 0 || ellipse.radiusY < 0) {
        return;
    }
    AddEllipse(cr, ellipse);
    SetStroke(cr, strokeWidth, style);
    cairo_stroke(cr);
}

void CairoDeviceContext::FillGeometry(Geometry* geometry, Brush* brush) {
    cairo_t* cr = Canvas(brush);
    if (!cr || !geometry) {
        return;
    }
    cairo_fill_rule_t rule;
    const Emitted emitted = AddGeometry(cr, geometry, true, &rule);
    if (emitted == Emitted::Drawn) {
        cairo_set_fill_rule(cr, rule);
        cairo_fill(cr);
    } else if (emitted == Emitted::Unusable && dynamic_cast<const ModelPathGeometry*>(geometry)) {
        Fail(kDrawErrorWrongState);
    }
    cairo_new_path(cr);
}

void CairoDeviceContext::DrawGeometry(Geometry* geometry, Brush* brush, float strokeWidth,
                                      StrokeStyle* style) {
    cairo_t* cr = Canvas(brush);
    if (!cr || !geometry || !(strokeWidth > 0) || !std::isfinite(strokeWidth)) {
        return;
    }
    cairo_fill_rule_t rule;
    const Emitted emitted = AddGeometry(cr, geometry, false, &rule);
    if (emitted == Emitted::Drawn) {
        SetStroke(cr, strokeWidth, style);
        cairo_stroke(cr);
    } else if (emitted == Emitted::Unusable && dynamic_cast<const ModelPathGeometry*>(geometry)) {
        Fail(kDrawErrorWrongState);
    }
    cairo_new_path(cr);
}

void CairoDeviceContext::FillRoundedRectangle(const RoundedRect& rounded, Brush* brush) {
    cairo_t* cr = Canvas(brush);
    const RectF& r = rounded.rect;
    if (!cr || !Finite({r.left, r.top, r.right, r.bottom, rounded.radiusX, rounded.radiusY})) {
        return;
    }
    const double left = std::min(r.left, r.right);
    const double right = std::max(r.left, r.right);
    const double top = std::min(r.top, r.bottom);
    const double bottom = std::max(r.top, r.bottom);
    // As Direct2D, radii larger than half the rectangle are cut to half of it.
    const double rx = std::clamp(static_cast<double>(rounded.radiusX), 0.0, (right - left) / 2);
    const double ry = std::clamp(static_cast<double>(rounded.radiusY), 0.0, (bottom - top) / 2);
    if (rx <= 0 || ry <= 0) {
        cairo_rectangle(cr, left, top, right - left, bottom - top);
    } else {
        cairo_new_sub_path(cr);
        AddEllipticArc(cr, right - rx, top + ry, rx, ry, 0, -kPi / 2, kPi / 2);
        AddEllipticArc(cr, right - rx, bottom - ry, rx, ry, 0, 0, kPi / 2);
        AddEllipticArc(cr, left + rx, bottom - ry, rx, ry, 0, kPi / 2, kPi / 2);
        AddEllipticArc(cr, left + rx, top + ry, rx, ry, 0, kPi, kPi / 2);
        cairo_close_path(cr);
    }
    cairo_fill(cr);
}

void CairoDeviceContext::DrawText(std::u16string_view text, TextFormat* format,
                                  const RectF& layoutRect, Brush* brush, DrawTextOptions options,
                                  MeasuringMode /*measuringMode*/) {
    cairo_t* cr = Canvas(brush);
    if (!cr || !format || text.empty() ||
        !Finite({layoutRect.left, layoutRect.top, layoutRect.right, layoutRect.bottom})) {
        return;
    }
    const bool clip = (static_cast<std::uint32_t>(options) &
                       static_cast<std::uint32_t>(DrawTextOptions::Clip)) != 0;
    cairo_save(cr);
    ShowPangoText(*m_text, cr, text, *format, layoutRect, clip);
    cairo_restore(cr);
}

void CairoDeviceContext::PushLayer(const LayerParameters& parameters) {
    if (!m_inFrame) {
        Fail(kDrawErrorWrongState);
        return;
    }
    Layer layer;
    layer.mask = Ref<Geometry>(parameters.geometricMask);
    layer.maskAliased = parameters.maskAntialiasMode == AntialiasMode::Aliased;
    layer.maskPlacement = Then(parameters.maskTransform, m_transform);
    layer.contentBounds = parameters.contentBounds;
    layer.boundsPlacement = m_transform;
    layer.opacity = std::clamp(parameters.opacity, 0.0f, 1.0f);
    if (parameters.opacityBrush) {
        layer.opacity *= std::clamp(parameters.opacityBrush->GetColour().a, 0.0f, 1.0f);
    }
    if (m_cairo) {
        layer.boundedGroup = ClipToMaskPixels(layer);
        cairo_push_group(m_cairo);
    }
    m_layers.push_back(std::move(layer));
}

bool CairoDeviceContext::ClipToMaskPixels(const Layer& layer) {
    if (!layer.mask || !IsInvertible(layer.maskPlacement)) {
        return false;
    }
    cairo_matrix_t world;
    cairo_get_matrix(m_cairo, &world);
    const cairo_matrix_t placement = ToCairo(layer.maskPlacement);
    cairo_set_matrix(m_cairo, &placement);
    cairo_new_path(m_cairo);
    cairo_fill_rule_t rule;
    const bool drawn = AddGeometry(m_cairo, layer.mask.Get(), true, &rule) == Emitted::Drawn;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    if (drawn) {
        cairo_identity_matrix(m_cairo);
        cairo_path_extents(m_cairo, &x1, &y1, &x2, &y2);
    }
    cairo_new_path(m_cairo);
    if (drawn) {
        // Whole pixels, one more on each side for the mask's antialiased edge: everything the
        // composite can show lies inside, so the picture does not change.
        cairo_save(m_cairo);
        cairo_rectangle(m_cairo, std::floor(x1) - 1, std::floor(y1) - 1,
                        std::ceil(x2) - std::floor(x1) + 2, std::ceil(y2) - std::floor(y1) + 2);
        cairo_clip(m_cairo);
    }
    cairo_set_matrix(m_cairo, &world);
    return drawn;
}

void CairoDeviceContext::PopLayer() {
    if (!m_inFrame) {
        Fail(kDrawErrorWrongState);
        return;
    }
    if (m_layers.empty()) {
        return;
    }
    CompositeLayer(m_layers.back());
    m_layers.pop_back();
}

void CairoDeviceContext::CompositeLayer(const Layer& layer) {
    if (!m_cairo) {
        return;
    }
    cairo_pattern_t* content = cairo_pop_group(m_cairo);
    if (layer.boundedGroup) {
        cairo_restore(m_cairo);
    }
    cairo_save(m_cairo);
    cairo_new_path(m_cairo);
    bool visible = true;
    const RectF& b = layer.contentBounds;
    if (std::max({std::abs(b.left), std::abs(b.top), std::abs(b.right), std::abs(b.bottom)}) <
        kBoundless) {
        const cairo_matrix_t placement = ToCairo(layer.boundsPlacement);
        cairo_set_matrix(m_cairo, &placement);
        cairo_rectangle(m_cairo, b.left, b.top, b.right - b.left, b.bottom - b.top);
        cairo_clip(m_cairo);
    }
    if (layer.mask) {
        if (!IsInvertible(layer.maskPlacement)) {
            visible = false;
        } else {
            const cairo_matrix_t placement = ToCairo(layer.maskPlacement);
            cairo_set_matrix(m_cairo, &placement);
            cairo_fill_rule_t rule;
            visible = AddGeometry(m_cairo, layer.mask.Get(), true, &rule) == Emitted::Drawn;
            if (visible) {
                cairo_set_fill_rule(m_cairo, rule);
                cairo_set_antialias(
                    m_cairo, layer.maskAliased ? CAIRO_ANTIALIAS_NONE : CAIRO_ANTIALIAS_DEFAULT);
                cairo_clip(m_cairo);
            }
        }
    }
    if (visible) {
        cairo_identity_matrix(m_cairo);
        cairo_set_source(m_cairo, content);
        cairo_paint_with_alpha(m_cairo, layer.opacity);
    }
    cairo_restore(m_cairo);
    cairo_pattern_destroy(content);
}

Ref<DeviceContext> CreateCairoDeviceContext(Ref<Factory> factory, Ref<TextFactory> textFactory) {
    return MakeRef<CairoDeviceContext>(std::move(factory), std::move(textFactory));
}

}  // namespace Quarn::WinRT::platform::draw
