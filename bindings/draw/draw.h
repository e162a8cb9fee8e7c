#pragma once
// The 2D drawing and text interface the overlays paint with. It is shaped one-to-one after the
// parts of Direct2D and DirectWrite that the overlays use, so the Windows backend is a thin
// forwarding layer; off Windows, Cairo and Pango draw real pixels and a recorder logs each call.
//
// Conventions, as in Direct2D: coordinates are pixels (one device-independent unit is one
// pixel), colours are straight (not premultiplied) RGBA, angles of arc segments are in degrees,
// and operations that create a resource return an HRESULT and fill an out reference, which is
// left empty on failure.
//
// Thread rule (the one statement of it; render.h refers here): a DeviceContext and every brush
// it creates belong to the render thread. A TextFactory and its formats and layouts belong to
// the render thread too. A Factory and its geometries and stroke styles are free-threaded (a
// multi-threaded Direct2D factory): the host thread builds hit-test geometries with it and asks
// FillContainsPoint while the render thread builds and draws geometries of the same factory, and
// calls from the two threads may overlap.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "bindings/platform/ref.h"
#include "bindings/platform/win_types.h"

namespace Quarn::WinRT::platform::draw {

struct ColourF {
    float r = 0;
    float g = 0;
    float b = 0;
    float a = 1;
    friend bool operator==(const ColourF&, const ColourF&) = default;
};

struct Point2F {
    float x = 0;
    float y = 0;
    friend bool operator==(const Point2F&, const Point2F&) = default;
};

struct SizeF {
    float width = 0;
    float height = 0;
};

// Left, top, right, bottom, as Direct2D's rectangles are.
struct RectF {
    float left = 0;
    float top = 0;
    float right = 0;
    float bottom = 0;
    friend bool operator==(const RectF&, const RectF&) = default;
};

struct RoundedRect {
    RectF rect;
    float radiusX = 0;
    float radiusY = 0;
};

struct Ellipse {
    Point2F centre;
    float radiusX = 0;
    float radiusY = 0;
};

// A 2D affine transform: x' = x m11 + y m21 + dx, y' = x m12 + y m22 + dy.
struct Matrix3x2F {
    float m11 = 1;
    float m12 = 0;
    float m21 = 0;
    float m22 = 1;
    float dx = 0;
    float dy = 0;

    static constexpr Matrix3x2F Identity() { return {}; }
    static constexpr Matrix3x2F Translation(float x, float y) { return {1, 0, 0, 1, x, y}; }
    Point2F TransformPoint(Point2F p) const {
        return {p.x * m11 + p.y * m21 + dx, p.x * m12 + p.y * m22 + dy};
    }
    friend bool operator==(const Matrix3x2F&, const Matrix3x2F&) = default;
};

// The largest finite float: "no limit" for a text layout's box, as DirectWrite callers pass it.
inline constexpr float kUnboundedExtent = 3.4028235e38f;
// Direct2D's default flattening tolerance.
inline constexpr float kDefaultFlatteningTolerance = 0.25f;

enum class CapStyle { Flat = 0, Square = 1, Round = 2, Triangle = 3 };
enum class LineJoin { Miter = 0, Bevel = 1, Round = 2, MiterOrBevel = 3 };
enum class DashStyle { Solid = 0, Dash = 1, Dot = 2, DashDot = 3, DashDotDot = 4 };

struct StrokeStyleProperties {
    CapStyle startCap = CapStyle::Flat;
    CapStyle endCap = CapStyle::Flat;
    CapStyle dashCap = CapStyle::Flat;
    LineJoin lineJoin = LineJoin::Miter;
    float miterLimit = 10;
    DashStyle dashStyle = DashStyle::Solid;
    float dashOffset = 0;
};

enum class SweepDirection { CounterClockwise = 0, Clockwise = 1 };
enum class ArcSize { Small = 0, Large = 1 };
enum class FigureBegin { Filled = 0, Hollow = 1 };
enum class FigureEnd { Open = 0, Closed = 1 };
// Alternate is Direct2D's default for path geometries: a point inside an even number of
// boundaries is outside.
enum class FillMode { Alternate = 0, Winding = 1 };

struct ArcSegment {
    Point2F point;  // where the arc ends
    SizeF size;     // the ellipse's radii
    float rotationAngle = 0;
    SweepDirection sweepDirection = SweepDirection::Clockwise;
    ArcSize arcSize = ArcSize::Small;
};

enum class AntialiasMode { PerPrimitive = 0, Aliased = 1 };

enum class FontWeight : int { Normal = 400, Bold = 700 };
enum class FontStyle { Normal = 0, Oblique = 1, Italic = 2 };
enum class FontStretch : int { Normal = 5 };
enum class TextAlignment { Leading = 0, Trailing = 1, Center = 2, Justified = 3 };
enum class MeasuringMode { Natural = 0, GdiClassic = 1, GdiNatural = 2 };
enum class DrawTextOptions : std::uint32_t { None = 0, NoSnap = 1, Clip = 2 };

struct TextMetrics {
    float left = 0;
    float top = 0;
    float width = 0;
    float widthIncludingTrailingWhitespace = 0;
    float height = 0;
    float layoutWidth = 0;
    float layoutHeight = 0;
    std::uint32_t maxBidiReorderingDepth = 1;
    std::uint32_t lineCount = 0;
};

class Brush : public RefCounted {
public:
    virtual ColourF GetColour() const = 0;
};

class SolidColourBrush : public Brush {};

class StrokeStyle : public RefCounted {
public:
    virtual StrokeStyleProperties GetProperties() const = 0;
};

class Geometry : public RefCounted {
public:
    // Whether the point, after `transform` is applied to the geometry, lies in its fill.
    virtual HRESULT FillContainsPoint(Point2F point, const Matrix3x2F& transform,
                                      float flatteningTolerance, bool* contains) const = 0;
};

class EllipseGeometry : public Geometry {
public:
    virtual Ellipse GetEllipse() const = 0;
};

// Receives the figures of a path geometry; Close makes the geometry usable and final.
class GeometrySink : public RefCounted {
public:
    virtual void SetFillMode(FillMode mode) = 0;
    virtual void BeginFigure(Point2F start, FigureBegin begin) = 0;
    virtual void AddLine(Point2F point) = 0;
    virtual void AddArc(const ArcSegment& arc) = 0;
    virtual void EndFigure(FigureEnd end) = 0;
    // E_UNEXPECTED when a figure is still open or the sink was closed already.
    virtual HRESULT Close() = 0;
};

class PathGeometry : public Geometry {
public:
    // Only once: a second Open of the same geometry answers E_UNEXPECTED, as Direct2D does.
    virtual HRESULT Open(Ref<GeometrySink>* sink) = 0;
};

class Factory : public RefCounted {
public:
    virtual HRESULT CreateEllipseGeometry(const Ellipse& ellipse,
                                          Ref<EllipseGeometry>* geometry) = 0;
    virtual HRESULT CreatePathGeometry(Ref<PathGeometry>* geometry) = 0;
    virtual HRESULT CreateStrokeStyle(const StrokeStyleProperties& properties,
                                      Ref<StrokeStyle>* style) = 0;
};

class TextFormat : public RefCounted {
public:
    virtual HRESULT SetTextAlignment(TextAlignment alignment) = 0;
    virtual TextAlignment GetTextAlignment() const = 0;
    virtual std::u16string GetFontFamilyName() const = 0;
    virtual float GetFontSize() const = 0;
    virtual FontWeight GetFontWeight() const = 0;
};

class TextLayout : public RefCounted {
public:
    virtual HRESULT GetMetrics(TextMetrics* metrics) = 0;
};

// DirectWrite's factory: text formats and layouts.
class TextFactory : public RefCounted {
public:
    virtual HRESULT CreateTextFormat(std::u16string_view familyName, FontWeight weight,
                                     FontStyle style, FontStretch stretch, float size,
                                     std::u16string_view localeName, Ref<TextFormat>* format) = 0;
    virtual HRESULT CreateTextLayout(std::u16string_view text, TextFormat* format, float maxWidth,
                                     float maxHeight, Ref<TextLayout>* layout) = 0;
};

struct LayerParameters {
    RectF contentBounds{-kUnboundedExtent, -kUnboundedExtent, kUnboundedExtent, kUnboundedExtent};
    Geometry* geometricMask = nullptr;
    AntialiasMode maskAntialiasMode = AntialiasMode::PerPrimitive;
    Matrix3x2F maskTransform;
    float opacity = 1;
    Brush* opacityBrush = nullptr;
};

// Direct2D's device context: the render thread's drawing surface for one window.
class DeviceContext : public RefCounted {
public:
    // The factory the context was made from (a new reference).
    virtual Ref<Factory> GetFactory() = 0;
    virtual HRESULT CreateSolidColourBrush(const ColourF& colour, Ref<SolidColourBrush>* brush) = 0;

    virtual void BeginDraw() = 0;
    // Ends the frame; the first error of the frame's drawing, or S_OK.
    virtual HRESULT EndDraw() = 0;
    // No colour: every pixel becomes transparent black.
    virtual void Clear(std::optional<ColourF> colour) = 0;
    virtual void SetTransform(const Matrix3x2F& transform) = 0;
    virtual Matrix3x2F GetTransform() const = 0;

    virtual void FillEllipse(const Ellipse& ellipse, Brush* brush) = 0;
    virtual void DrawEllipse(const Ellipse& ellipse, Brush* brush, float strokeWidth,
                             StrokeStyle* style) = 0;
    virtual void FillGeometry(Geometry* geometry, Brush* brush) = 0;
    virtual void DrawGeometry(Geometry* geometry, Brush* brush, float strokeWidth,
                              StrokeStyle* style) = 0;
    virtual void FillRoundedRectangle(const RoundedRect& rect, Brush* brush) = 0;
    virtual void DrawText(std::u16string_view text, TextFormat* format, const RectF& layoutRect,
                          Brush* brush, DrawTextOptions options, MeasuringMode measuringMode) = 0;
    // Everything drawn until the matching PopLayer is clipped to the layer's geometric mask and
    // multiplied by its opacity.
    virtual void PushLayer(const LayerParameters& parameters) = 0;
    virtual void PopLayer() = 0;
};

}  // namespace Quarn::WinRT::platform::draw
