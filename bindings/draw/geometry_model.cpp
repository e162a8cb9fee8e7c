#include "bindings/draw/geometry_model.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Quarn::WinRT::platform::draw {

namespace {

constexpr double kPi = std::numbers::pi;

// The signed angle from u to v.
double AngleBetween(double ux, double uy, double vx, double vy) {
    return std::atan2(ux * vy - uy * vx, ux * vx + uy * vy);
}

// How much the transform can stretch a length, so that flattening stays within tolerance
// after it.
double MaximumScale(const Matrix3x2F& m) {
    const double column1 = std::hypot(m.m11, m.m12);
    const double column2 = std::hypot(m.m21, m.m22);
    return std::max({column1, column2, 1e-9});
}

Point2F PointOnArc(const ArcCentreForm& arc, double angle) {
    const double ex = arc.radiusX * std::cos(angle);
    const double ey = arc.radiusY * std::sin(angle);
    const double c = std::cos(arc.rotation);
    const double s = std::sin(arc.rotation);
    return {static_cast<float>(arc.centre.x + c * ex - s * ey),
            static_cast<float>(arc.centre.y + s * ex + c * ey)};
}

void FlattenArc(Point2F from, const ArcSegment& segment, const Matrix3x2F& transform,
                float tolerance, std::vector<Point2F>& out) {
    const ArcCentreForm arc = ToCentreForm(from, segment);
    if (arc.isLine) {
        out.push_back(transform.TransformPoint(segment.point));
        return;
    }
    const double radius = std::max(arc.radiusX, arc.radiusY) * MaximumScale(transform);
    // The chord of a step of `step` radians strays radius * (1 - cos(step / 2)) from the arc.
    const double allowed = std::clamp(static_cast<double>(tolerance), 1e-3, radius);
    const double step = 2.0 * std::acos(1.0 - allowed / radius);
    const int steps =
        std::clamp(static_cast<int>(std::ceil(std::abs(arc.sweepAngle) / step)), 1, 4096);
    for (int i = 1; i < steps; ++i) {
        const double angle = arc.startAngle + arc.sweepAngle * i / steps;
        out.push_back(transform.TransformPoint(PointOnArc(arc, angle)));
    }
    // End exactly where the segment says, not where rounding of the centre form puts it.
    out.push_back(transform.TransformPoint(segment.point));
}

// Crossings of a ray from the point towards +x with the closed polygon: the winding number's
// contributions, signed by the edge's direction.
int WindingContribution(const std::vector<Point2F>& polygon, Point2F p) {
    int winding = 0;
    const std::size_t count = polygon.size();
    for (std::size_t i = 0; i < count; ++i) {
        const Point2F a = polygon[i];
        const Point2F b = polygon[(i + 1) % count];
        const bool upward = a.y <= p.y && b.y > p.y;
        const bool downward = b.y <= p.y && a.y > p.y;
        if (!upward && !downward) {
            continue;
        }
        const double t = (static_cast<double>(p.y) - a.y) / (static_cast<double>(b.y) - a.y);
        const double x = a.x + t * (static_cast<double>(b.x) - a.x);
        if (x > p.x) {
            winding += upward ? 1 : -1;
        }
    }
    return winding;
}

}  // namespace

ArcCentreForm ToCentreForm(Point2F from, const ArcSegment& arc) {
    ArcCentreForm result;
    double rx = std::abs(static_cast<double>(arc.size.width));
    double ry = std::abs(static_cast<double>(arc.size.height));
    const Point2F to = arc.point;
    if ((from.x == to.x && from.y == to.y) || rx == 0 || ry == 0 || !std::isfinite(rx) ||
        !std::isfinite(ry)) {
        result.isLine = true;
        result.centre = to;
        return result;
    }
    const double phi = static_cast<double>(arc.rotationAngle) * kPi / 180.0;
    const double c = std::cos(phi);
    const double s = std::sin(phi);
    const double hx = (static_cast<double>(from.x) - to.x) / 2.0;
    const double hy = (static_cast<double>(from.y) - to.y) / 2.0;
    const double x1 = c * hx + s * hy;
    const double y1 = -s * hx + c * hy;

    const double lambda = (x1 * x1) / (rx * rx) + (y1 * y1) / (ry * ry);
    if (lambda > 1) {
        rx *= std::sqrt(lambda);
        ry *= std::sqrt(lambda);
    }
    const double numerator = rx * rx * ry * ry - rx * rx * y1 * y1 - ry * ry * x1 * x1;
    const double denominator = rx * rx * y1 * y1 + ry * ry * x1 * x1;
    const bool large = arc.arcSize == ArcSize::Large;
    const bool clockwise = arc.sweepDirection == SweepDirection::Clockwise;
    const double sign = large != clockwise ? 1.0 : -1.0;
    const double coefficient = sign * std::sqrt(std::max(0.0, numerator / denominator));
    const double cx1 = coefficient * rx * y1 / ry;
    const double cy1 = -coefficient * ry * x1 / rx;

    result.centre = {
        static_cast<float>(c * cx1 - s * cy1 + (static_cast<double>(from.x) + to.x) / 2),
        static_cast<float>(s * cx1 + c * cy1 + (static_cast<double>(from.y) + to.y) / 2)};
    result.radiusX = static_cast<float>(rx);
    result.radiusY = static_cast<float>(ry);
    result.rotation = phi;
    const double ux = (x1 - cx1) / rx;
    const double uy = (y1 - cy1) / ry;
    const double vx = (-x1 - cx1) / rx;
    const double vy = (-y1 - cy1) / ry;
    result.startAngle = AngleBetween(1, 0, ux, uy);
    double sweep = AngleBetween(ux, uy, vx, vy);
    if (clockwise && sweep < 0) {
        sweep += 2 * kPi;
    } else if (!clockwise && sweep > 0) {
        sweep -= 2 * kPi;
    }
    result.sweepAngle = sweep;
    return result;
}

void FlattenFigure(const PathFigure& figure, const Matrix3x2F& transform, float tolerance,
                   std::vector<Point2F>& out) {
    out.push_back(transform.TransformPoint(figure.start));
    Point2F current = figure.start;
    for (const PathSegment& segment : figure.segments) {
        if (segment.kind == PathSegment::Kind::Arc) {
            FlattenArc(current, segment.arc, transform, tolerance, out);
        } else {
            out.push_back(transform.TransformPoint(segment.point));
        }
        current = segment.point;
    }
}

bool PathFillContains(const PathData& path, Point2F point, const Matrix3x2F& transform,
                      float tolerance) {
    int winding = 0;
    std::vector<Point2F> polygon;
    for (const PathFigure& figure : path.figures) {
        if (figure.begin == FigureBegin::Hollow) {
            continue;
        }
        polygon.clear();
        FlattenFigure(figure, transform, tolerance, polygon);
        if (polygon.size() < 3) {
            continue;
        }
        winding += WindingContribution(polygon, point);
    }
    // Every crossing changes the winding number by one, so its parity is the crossing count's:
    // the alternate rule needs no count of its own.
    return path.fillMode == FillMode::Winding ? winding != 0 : winding % 2 != 0;
}

HRESULT ModelEllipseGeometry::FillContainsPoint(Point2F point, const Matrix3x2F& transform,
                                                float /*flatteningTolerance*/,
                                                bool* contains) const {
    if (!contains) {
        return E_POINTER;
    }
    *contains = false;
    const double det = static_cast<double>(transform.m11) * transform.m22 -
                       static_cast<double>(transform.m12) * transform.m21;
    if (std::abs(det) < 1e-12 || m_ellipse.radiusX <= 0 || m_ellipse.radiusY <= 0) {
        return S_OK;
    }
    // Back into the ellipse's own space, where the test is exact.
    const double px = point.x - transform.dx;
    const double py = point.y - transform.dy;
    const double x = (px * transform.m22 - py * transform.m21) / det;
    const double y = (py * transform.m11 - px * transform.m12) / det;
    const double nx = (x - m_ellipse.centre.x) / m_ellipse.radiusX;
    const double ny = (y - m_ellipse.centre.y) / m_ellipse.radiusY;
    *contains = nx * nx + ny * ny <= 1.0;
    return S_OK;
}

class ModelGeometrySink final : public GeometrySink {
public:
    explicit ModelGeometrySink(ModelPathGeometry* geometry) : m_geometry(geometry) {}

    void SetFillMode(FillMode mode) override {
        if (Writable()) {
            m_geometry->m_data.fillMode = mode;
        }
    }
    void BeginFigure(Point2F start, FigureBegin begin) override {
        if (!Writable() || m_inFigure) {
            m_failed = true;
            return;
        }
        m_geometry->m_data.figures.push_back(PathFigure{start, begin, FigureEnd::Open, {}});
        m_inFigure = true;
    }
    void AddLine(Point2F point) override {
        AddSegment(PathSegment{PathSegment::Kind::Line, point, {}});
    }
    void AddArc(const ArcSegment& arc) override {
        AddSegment(PathSegment{PathSegment::Kind::Arc, arc.point, arc});
    }
    void EndFigure(FigureEnd end) override {
        if (!Writable() || !m_inFigure) {
            m_failed = true;
            return;
        }
        m_geometry->m_data.figures.back().end = end;
        m_inFigure = false;
    }
    HRESULT Close() override {
        if (!Writable() || m_inFigure || m_failed) {
            m_failed = true;
            return E_UNEXPECTED;
        }
        m_geometry->m_closed = true;
        return S_OK;
    }

private:
    bool Writable() const { return !m_geometry->m_closed; }
    void AddSegment(const PathSegment& segment) {
        if (!Writable() || !m_inFigure) {
            m_failed = true;
            return;
        }
        m_geometry->m_data.figures.back().segments.push_back(segment);
    }

    Ref<ModelPathGeometry> m_geometry;
    bool m_inFigure = false;
    bool m_failed = false;
};

HRESULT ModelPathGeometry::Open(Ref<GeometrySink>* sink) {
    if (!sink) {
        return E_POINTER;
    }
    if (m_opened) {
        *sink = nullptr;
        return E_UNEXPECTED;
    }
    m_opened = true;
    *sink = MakeRef<ModelGeometrySink>(this);
    return S_OK;
}

HRESULT ModelPathGeometry::FillContainsPoint(Point2F point, const Matrix3x2F& transform,
                                             float flatteningTolerance, bool* contains) const {
    if (!contains) {
        return E_POINTER;
    }
    *contains = false;
    if (!m_closed) {
        return E_UNEXPECTED;
    }
    *contains = PathFillContains(m_data, point, transform, flatteningTolerance);
    return S_OK;
}

HRESULT ModelFactory::CreateEllipseGeometry(const Ellipse& ellipse,
                                            Ref<EllipseGeometry>* geometry) {
    if (!geometry) {
        return E_POINTER;
    }
    *geometry = MakeRef<ModelEllipseGeometry>(ellipse);
    return S_OK;
}

HRESULT ModelFactory::CreatePathGeometry(Ref<PathGeometry>* geometry) {
    if (!geometry) {
        return E_POINTER;
    }
    *geometry = MakeRef<ModelPathGeometry>();
    return S_OK;
}

HRESULT ModelFactory::CreateStrokeStyle(const StrokeStyleProperties& properties,
                                        Ref<StrokeStyle>* style) {
    if (!style) {
        return E_POINTER;
    }
    *style = MakeRef<ModelStrokeStyle>(properties);
    return S_OK;
}

}  // namespace Quarn::WinRT::platform::draw
