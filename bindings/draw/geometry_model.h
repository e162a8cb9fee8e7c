#pragma once
// Geometries, stroke styles and solid brushes as plain data, shared by the backends that have no
// geometry objects of their own (Cairo and the recorder): a path is the list of figures its sink
// received, an ellipse its centre and radii. Point-in-fill tests are answered here, from the
// data, so hit testing does not need a drawing surface.
//
// Thread rule: a path is written through its sink by one thread and is read-only after Close;
// from then on any thread may read or test it.

#include <vector>

#include "bindings/draw/draw.h"

namespace Quarn::WinRT::platform::draw {

struct PathSegment {
    enum class Kind { Line, Arc };
    Kind kind = Kind::Line;
    Point2F point;   // the segment's end point (for an arc, the same as arc.point)
    ArcSegment arc;  // only for Kind::Arc
};

struct PathFigure {
    Point2F start;
    FigureBegin begin = FigureBegin::Filled;
    FigureEnd end = FigureEnd::Open;
    std::vector<PathSegment> segments;
};

struct PathData {
    FillMode fillMode = FillMode::Alternate;
    std::vector<PathFigure> figures;
};

// An arc segment in centre form, as Cairo-style arc calls want it. Angles are in radians on the
// ellipse before its rotation, measured from +x towards +y (clockwise on screen, where y grows
// downwards); a positive sweep runs clockwise on screen.
struct ArcCentreForm {
    Point2F centre;
    float radiusX = 0;
    float radiusY = 0;
    double rotation = 0;  // radians
    double startAngle = 0;
    double sweepAngle = 0;
    // The arc is a straight line to its end point: zero radii, or start and end the same.
    bool isLine = false;
};

// The conversion that SVG and Direct2D both define: radii too small to reach the end point are
// scaled up until they just do.
ArcCentreForm ToCentreForm(Point2F from, const ArcSegment& arc);

// Appends a polyline that follows the figure within `tolerance` pixels after `transform`,
// starting with the figure's start point.
void FlattenFigure(const PathFigure& figure, const Matrix3x2F& transform, float tolerance,
                   std::vector<Point2F>& out);

// Whether the point lies in the fill of the path's figures (each figure is closed for filling,
// whether it ended open or closed; hollow figures do not fill), under the path's fill mode.
bool PathFillContains(const PathData& path, Point2F point, const Matrix3x2F& transform,
                      float tolerance);

class ModelEllipseGeometry final : public EllipseGeometry {
public:
    explicit ModelEllipseGeometry(const Ellipse& ellipse) : m_ellipse(ellipse) {}
    Ellipse GetEllipse() const override { return m_ellipse; }
    HRESULT FillContainsPoint(Point2F point, const Matrix3x2F& transform, float flatteningTolerance,
                              bool* contains) const override;

private:
    Ellipse m_ellipse;
};

class ModelPathGeometry final : public PathGeometry {
public:
    HRESULT Open(Ref<GeometrySink>* sink) override;
    HRESULT FillContainsPoint(Point2F point, const Matrix3x2F& transform, float flatteningTolerance,
                              bool* contains) const override;

    // The figures; complete once IsClosed.
    const PathData& Data() const { return m_data; }
    bool IsClosed() const { return m_closed; }

private:
    friend class ModelGeometrySink;
    PathData m_data;
    bool m_opened = false;
    bool m_closed = false;
};

class ModelStrokeStyle final : public StrokeStyle {
public:
    explicit ModelStrokeStyle(const StrokeStyleProperties& properties) : m_properties(properties) {}
    StrokeStyleProperties GetProperties() const override { return m_properties; }

private:
    StrokeStyleProperties m_properties;
};

// A solid brush is only its colour, in every backend without brush objects of its own.
class ModelSolidColourBrush final : public SolidColourBrush {
public:
    explicit ModelSolidColourBrush(const ColourF& colour) : m_colour(colour) {}
    ColourF GetColour() const override { return m_colour; }

private:
    ColourF m_colour;
};

// A factory of model geometries and stroke styles. Creation fails only for a null out pointer.
class ModelFactory final : public Factory {
public:
    HRESULT CreateEllipseGeometry(const Ellipse& ellipse, Ref<EllipseGeometry>* geometry) override;
    HRESULT CreatePathGeometry(Ref<PathGeometry>* geometry) override;
    HRESULT CreateStrokeStyle(const StrokeStyleProperties& properties,
                              Ref<StrokeStyle>* style) override;
};

}  // namespace Quarn::WinRT::platform::draw
