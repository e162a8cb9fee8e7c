#include "bindings/draw/d2d_draw.h"

#include <d2d1_1.h>
#include <dwrite.h>
#include <wrl/client.h>

#include <string>

#include "bindings/draw/d2d_factory2.h"

namespace Quarn::WinRT::platform::draw {

namespace {

using Microsoft::WRL::ComPtr;

// Arc segments cross over by value: the group ring's track takes the large arc past half a turn.
static_assert(static_cast<int>(ArcSize::Small) == D2D1_ARC_SIZE_SMALL &&
              static_cast<int>(ArcSize::Large) == D2D1_ARC_SIZE_LARGE);
static_assert(static_cast<int>(SweepDirection::CounterClockwise) ==
                  D2D1_SWEEP_DIRECTION_COUNTER_CLOCKWISE &&
              static_cast<int>(SweepDirection::Clockwise) == D2D1_SWEEP_DIRECTION_CLOCKWISE);

D2D1_COLOR_F ToD2D(const ColourF& c) {
    return D2D1_COLOR_F{c.r, c.g, c.b, c.a};
}
D2D1_POINT_2F ToD2D(Point2F p) {
    return D2D1_POINT_2F{p.x, p.y};
}
D2D1_RECT_F ToD2D(const RectF& r) {
    return D2D1_RECT_F{r.left, r.top, r.right, r.bottom};
}
D2D1_ELLIPSE ToD2D(const Ellipse& e) {
    return D2D1_ELLIPSE{ToD2D(e.centre), e.radiusX, e.radiusY};
}
D2D1_MATRIX_3X2_F ToD2D(const Matrix3x2F& m) {
    D2D1_MATRIX_3X2_F out;
    out.m11 = m.m11;
    out.m12 = m.m12;
    out.m21 = m.m21;
    out.m22 = m.m22;
    out.dx = m.dx;
    out.dy = m.dy;
    return out;
}
Matrix3x2F FromD2D(const D2D1_MATRIX_3X2_F& m) {
    return {m.m11, m.m12, m.m21, m.m22, m.dx, m.dy};
}

// DirectWrite wants null-terminated names; the interface's views need not be.
std::wstring Terminated(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

template <class T>
HRESULT Empty(Ref<T>* out) {
    if (!out) {
        return E_POINTER;
    }
    out->Reset();
    return S_OK;
}

class D2DSolidColourBrush final : public SolidColourBrush {
public:
    explicit D2DSolidColourBrush(ComPtr<ID2D1SolidColorBrush> brush) : m_brush(std::move(brush)) {}
    ColourF GetColour() const override {
        const D2D1_COLOR_F c = m_brush->GetColor();
        return {c.r, c.g, c.b, c.a};
    }
    ID2D1Brush* Native() const { return m_brush.Get(); }

private:
    ComPtr<ID2D1SolidColorBrush> m_brush;
};

class D2DStrokeStyle final : public StrokeStyle {
public:
    D2DStrokeStyle(ComPtr<ID2D1StrokeStyle> style, const StrokeStyleProperties& properties)
        : m_style(std::move(style)), m_properties(properties) {}
    StrokeStyleProperties GetProperties() const override { return m_properties; }
    ID2D1StrokeStyle* Native() const { return m_style.Get(); }

private:
    ComPtr<ID2D1StrokeStyle> m_style;
    const StrokeStyleProperties m_properties;
};

// What both geometry kinds share: the native geometry and the point-in-fill test.
class D2DGeometryBase {
public:
    virtual ~D2DGeometryBase() = default;
    virtual ID2D1Geometry* NativeGeometry() const = 0;

protected:
    HRESULT Contains(Point2F point, const Matrix3x2F& transform, float tolerance,
                     bool* contains) const {
        if (!contains) {
            return E_POINTER;
        }
        *contains = false;
        BOOL inside = FALSE;
        const D2D1_MATRIX_3X2_F matrix = ToD2D(transform);
        const HRESULT hr =
            NativeGeometry()->FillContainsPoint(ToD2D(point), &matrix, tolerance, &inside);
        if (SUCCEEDED(hr)) {
            *contains = inside != FALSE;
        }
        return hr;
    }
};

class D2DEllipseGeometry final : public EllipseGeometry, public D2DGeometryBase {
public:
    explicit D2DEllipseGeometry(ComPtr<ID2D1EllipseGeometry> geometry)
        : m_geometry(std::move(geometry)) {}
    Ellipse GetEllipse() const override {
        D2D1_ELLIPSE e{};
        m_geometry->GetEllipse(&e);
        return {{e.point.x, e.point.y}, e.radiusX, e.radiusY};
    }
    HRESULT FillContainsPoint(Point2F point, const Matrix3x2F& transform, float tolerance,
                              bool* contains) const override {
        return Contains(point, transform, tolerance, contains);
    }
    ID2D1Geometry* NativeGeometry() const override { return m_geometry.Get(); }

private:
    ComPtr<ID2D1EllipseGeometry> m_geometry;
};

// Keeps the interface's rules that Direct2D states with other codes or not at all: a second
// Open and a Close with a figure open answer E_UNEXPECTED, and calls after Close are ignored.
class D2DGeometrySink final : public GeometrySink {
public:
    // A sink dropped without Close leaves its geometry open: it draws nothing and makes the
    // frame's EndDraw fail, as with Direct2D's own sinks.
    explicit D2DGeometrySink(ComPtr<ID2D1GeometrySink> sink) : m_sink(std::move(sink)) {}
    void SetFillMode(FillMode mode) override {
        if (!m_closed) {
            m_sink->SetFillMode(static_cast<D2D1_FILL_MODE>(mode));
        }
    }
    void BeginFigure(Point2F start, FigureBegin begin) override {
        if (!m_closed && !m_figureOpen) {
            m_sink->BeginFigure(ToD2D(start), static_cast<D2D1_FIGURE_BEGIN>(begin));
            m_figureOpen = true;
        }
    }
    void AddLine(Point2F point) override {
        if (m_figureOpen) {
            m_sink->AddLine(ToD2D(point));
        }
    }
    void AddArc(const ArcSegment& arc) override {
        if (m_figureOpen) {
            const D2D1_ARC_SEGMENT segment{
                ToD2D(arc.point), D2D1_SIZE_F{arc.size.width, arc.size.height}, arc.rotationAngle,
                static_cast<D2D1_SWEEP_DIRECTION>(arc.sweepDirection),
                static_cast<D2D1_ARC_SIZE>(arc.arcSize)};
            m_sink->AddArc(&segment);
        }
    }
    void EndFigure(FigureEnd end) override {
        if (m_figureOpen) {
            m_sink->EndFigure(static_cast<D2D1_FIGURE_END>(end));
            m_figureOpen = false;
        }
    }
    HRESULT Close() override {
        if (m_closed || m_figureOpen) {
            return E_UNEXPECTED;
        }
        m_closed = true;
        return m_sink->Close();
    }

private:
    ComPtr<ID2D1GeometrySink> m_sink;
    bool m_figureOpen = false;
    bool m_closed = false;
};

class D2DPathGeometry final : public PathGeometry, public D2DGeometryBase {
public:
    explicit D2DPathGeometry(ComPtr<ID2D1PathGeometry> geometry)
        : m_geometry(std::move(geometry)) {}
    HRESULT Open(Ref<GeometrySink>* sink) override {
        if (const HRESULT hr = Empty(sink); FAILED(hr)) {
            return hr;
        }
        if (m_opened) {
            return E_UNEXPECTED;
        }
        ComPtr<ID2D1GeometrySink> native;
        const HRESULT hr = m_geometry->Open(&native);
        if (FAILED(hr)) {
            return hr;
        }
        m_opened = true;
        *sink = MakeRef<D2DGeometrySink>(std::move(native));
        return S_OK;
    }
    HRESULT FillContainsPoint(Point2F point, const Matrix3x2F& transform, float tolerance,
                              bool* contains) const override {
        return Contains(point, transform, tolerance, contains);
    }
    ID2D1Geometry* NativeGeometry() const override { return m_geometry.Get(); }

private:
    ComPtr<ID2D1PathGeometry> m_geometry;
    bool m_opened = false;  // the thread that builds the path alone opens it
};

class D2DFactory final : public Factory {
public:
    explicit D2DFactory(ComPtr<ID2D1Factory1> factory) : m_factory(std::move(factory)) {}
    HRESULT CreateEllipseGeometry(const Ellipse& ellipse, Ref<EllipseGeometry>* geometry) override {
        if (const HRESULT hr = Empty(geometry); FAILED(hr)) {
            return hr;
        }
        ComPtr<ID2D1EllipseGeometry> native;
        const D2D1_ELLIPSE shape = ToD2D(ellipse);
        const HRESULT hr = m_factory->CreateEllipseGeometry(&shape, &native);
        if (SUCCEEDED(hr)) {
            *geometry = MakeRef<D2DEllipseGeometry>(std::move(native));
        }
        return hr;
    }
    HRESULT CreatePathGeometry(Ref<PathGeometry>* geometry) override {
        if (const HRESULT hr = Empty(geometry); FAILED(hr)) {
            return hr;
        }
        ComPtr<ID2D1PathGeometry> native;
        const HRESULT hr = m_factory->CreatePathGeometry(&native);
        if (SUCCEEDED(hr)) {
            *geometry = MakeRef<D2DPathGeometry>(std::move(native));
        }
        return hr;
    }
    HRESULT CreateStrokeStyle(const StrokeStyleProperties& properties,
                              Ref<StrokeStyle>* style) override {
        if (const HRESULT hr = Empty(style); FAILED(hr)) {
            return hr;
        }
        const D2D1_STROKE_STYLE_PROPERTIES native{
            static_cast<D2D1_CAP_STYLE>(properties.startCap),
            static_cast<D2D1_CAP_STYLE>(properties.endCap),
            static_cast<D2D1_CAP_STYLE>(properties.dashCap),
            static_cast<D2D1_LINE_JOIN>(properties.lineJoin),
            properties.miterLimit,
            static_cast<D2D1_DASH_STYLE>(properties.dashStyle),
            properties.dashOffset};
        ComPtr<ID2D1StrokeStyle> created;
        const HRESULT hr = m_factory->CreateStrokeStyle(&native, nullptr, 0, &created);
        if (SUCCEEDED(hr)) {
            *style = MakeRef<D2DStrokeStyle>(std::move(created), properties);
        }
        return hr;
    }
    ID2D1Factory1* Native() const { return m_factory.Get(); }

private:
    ComPtr<ID2D1Factory1> m_factory;
};

class D2DTextFormat final : public TextFormat {
public:
    D2DTextFormat(ComPtr<IDWriteTextFormat> format, FontWeight weight)
        : m_format(std::move(format)), m_weight(weight) {}
    HRESULT SetTextAlignment(TextAlignment alignment) override {
        return m_format->SetTextAlignment(static_cast<DWRITE_TEXT_ALIGNMENT>(alignment));
    }
    TextAlignment GetTextAlignment() const override {
        return static_cast<TextAlignment>(m_format->GetTextAlignment());
    }
    std::u16string GetFontFamilyName() const override {
        const UINT32 length = m_format->GetFontFamilyNameLength();
        std::wstring name(length + 1, L'\0');
        if (FAILED(m_format->GetFontFamilyName(name.data(), length + 1))) {
            return {};
        }
        return std::u16string(name.begin(), name.begin() + length);
    }
    float GetFontSize() const override { return m_format->GetFontSize(); }
    FontWeight GetFontWeight() const override { return m_weight; }
    IDWriteTextFormat* Native() const { return m_format.Get(); }

private:
    ComPtr<IDWriteTextFormat> m_format;
    // As given: DirectWrite answers the weight as its own enumeration, which may hold values
    // our two names do not.
    const FontWeight m_weight;
};

class D2DTextLayout final : public TextLayout {
public:
    explicit D2DTextLayout(ComPtr<IDWriteTextLayout> layout) : m_layout(std::move(layout)) {}
    HRESULT GetMetrics(TextMetrics* metrics) override {
        if (!metrics) {
            return E_POINTER;
        }
        DWRITE_TEXT_METRICS native{};
        const HRESULT hr = m_layout->GetMetrics(&native);
        if (SUCCEEDED(hr)) {
            *metrics = TextMetrics{native.left,         native.top,
                                   native.width,        native.widthIncludingTrailingWhitespace,
                                   native.height,       native.layoutWidth,
                                   native.layoutHeight, native.maxBidiReorderingDepth,
                                   native.lineCount};
        }
        return hr;
    }

private:
    ComPtr<IDWriteTextLayout> m_layout;
};

class DWriteTextFactory final : public TextFactory {
public:
    explicit DWriteTextFactory(ComPtr<IDWriteFactory> factory) : m_factory(std::move(factory)) {}
    HRESULT CreateTextFormat(std::u16string_view familyName, FontWeight weight, FontStyle style,
                             FontStretch stretch, float size, std::u16string_view localeName,
                             Ref<TextFormat>* format) override {
        if (const HRESULT hr = Empty(format); FAILED(hr)) {
            return hr;
        }
        ComPtr<IDWriteTextFormat> native;
        const HRESULT hr = m_factory->CreateTextFormat(
            Terminated(familyName).c_str(), nullptr, static_cast<DWRITE_FONT_WEIGHT>(weight),
            static_cast<DWRITE_FONT_STYLE>(style), static_cast<DWRITE_FONT_STRETCH>(stretch), size,
            Terminated(localeName).c_str(), &native);
        if (SUCCEEDED(hr)) {
            *format = MakeRef<D2DTextFormat>(std::move(native), weight);
        }
        return hr;
    }
    HRESULT CreateTextLayout(std::u16string_view text, TextFormat* format, float maxWidth,
                             float maxHeight, Ref<TextLayout>* layout) override {
        if (const HRESULT hr = Empty(layout); FAILED(hr)) {
            return hr;
        }
        auto* own = dynamic_cast<D2DTextFormat*>(format);
        if (!own || text.size() > UINT32_MAX) {
            return E_INVALIDARG;
        }
        ComPtr<IDWriteTextLayout> native;
        const HRESULT hr = m_factory->CreateTextLayout(reinterpret_cast<const WCHAR*>(text.data()),
                                                       static_cast<UINT32>(text.size()),
                                                       own->Native(), maxWidth, maxHeight, &native);
        if (SUCCEEDED(hr)) {
            *layout = MakeRef<D2DTextLayout>(std::move(native));
        }
        return hr;
    }

private:
    ComPtr<IDWriteFactory> m_factory;
};

ID2D1Brush* NativeBrush(Brush* brush) {
    auto* own = dynamic_cast<D2DSolidColourBrush*>(brush);
    return own ? own->Native() : nullptr;
}

ID2D1Geometry* NativeGeometry(Geometry* geometry) {
    auto* own = dynamic_cast<D2DGeometryBase*>(geometry);
    return own ? own->NativeGeometry() : nullptr;
}

// A style of another backend strokes with Direct2D's default style rather than not at all.
ID2D1StrokeStyle* NativeStyle(StrokeStyle* style) {
    auto* own = dynamic_cast<D2DStrokeStyle*>(style);
    return own ? own->Native() : nullptr;
}

class D2DDeviceContext final : public DeviceContext {
public:
    D2DDeviceContext(ComPtr<ID2D1DeviceContext> context, Ref<Factory> factory)
        : m_context(std::move(context)), m_factory(std::move(factory)) {}

    Ref<Factory> GetFactory() override { return m_factory; }
    HRESULT CreateSolidColourBrush(const ColourF& colour, Ref<SolidColourBrush>* brush) override {
        if (const HRESULT hr = Empty(brush); FAILED(hr)) {
            return hr;
        }
        ComPtr<ID2D1SolidColorBrush> native;
        const D2D1_COLOR_F c = ToD2D(colour);
        const HRESULT hr = m_context->CreateSolidColorBrush(&c, nullptr, &native);
        if (SUCCEEDED(hr)) {
            *brush = MakeRef<D2DSolidColourBrush>(std::move(native));
        }
        return hr;
    }

    void BeginDraw() override { m_context->BeginDraw(); }
    HRESULT EndDraw() override { return m_context->EndDraw(nullptr, nullptr); }
    void Clear(std::optional<ColourF> colour) override {
        if (colour) {
            const D2D1_COLOR_F c = ToD2D(*colour);
            m_context->Clear(&c);
        } else {
            m_context->Clear(nullptr);
        }
    }
    void SetTransform(const Matrix3x2F& transform) override {
        const D2D1_MATRIX_3X2_F m = ToD2D(transform);
        m_context->SetTransform(&m);
    }
    Matrix3x2F GetTransform() const override {
        D2D1_MATRIX_3X2_F m{};
        m_context->GetTransform(&m);
        return FromD2D(m);
    }

    void FillEllipse(const Ellipse& ellipse, Brush* brush) override {
        if (ID2D1Brush* native = NativeBrush(brush)) {
            const D2D1_ELLIPSE e = ToD2D(ellipse);
            m_context->FillEllipse(&e, native);
        }
    }
    void DrawEllipse(const Ellipse& ellipse, Brush* brush, float strokeWidth,
                     StrokeStyle* style) override {
        if (ID2D1Brush* native = NativeBrush(brush)) {
            const D2D1_ELLIPSE e = ToD2D(ellipse);
            m_context->DrawEllipse(&e, native, strokeWidth, NativeStyle(style));
        }
    }
    void FillGeometry(Geometry* geometry, Brush* brush) override {
        ID2D1Geometry* shape = NativeGeometry(geometry);
        ID2D1Brush* native = NativeBrush(brush);
        if (shape && native) {
            m_context->FillGeometry(shape, native, nullptr);
        }
    }
    void DrawGeometry(Geometry* geometry, Brush* brush, float strokeWidth,
                      StrokeStyle* style) override {
        ID2D1Geometry* shape = NativeGeometry(geometry);
        ID2D1Brush* native = NativeBrush(brush);
        if (shape && native) {
            m_context->DrawGeometry(shape, native, strokeWidth, NativeStyle(style));
        }
    }
    void FillRoundedRectangle(const RoundedRect& rect, Brush* brush) override {
        if (ID2D1Brush* native = NativeBrush(brush)) {
            const D2D1_ROUNDED_RECT r{ToD2D(rect.rect), rect.radiusX, rect.radiusY};
            m_context->FillRoundedRectangle(&r, native);
        }
    }
    void DrawText(std::u16string_view text, TextFormat* format, const RectF& layoutRect,
                  Brush* brush, DrawTextOptions options, MeasuringMode measuringMode) override {
        auto* ownFormat = dynamic_cast<D2DTextFormat*>(format);
        ID2D1Brush* native = NativeBrush(brush);
        if (!ownFormat || !native || text.size() > UINT32_MAX) {
            return;
        }
        const D2D1_RECT_F rect = ToD2D(layoutRect);
        m_context->DrawText(reinterpret_cast<const WCHAR*>(text.data()),
                            static_cast<UINT32>(text.size()), ownFormat->Native(), &rect, native,
                            static_cast<D2D1_DRAW_TEXT_OPTIONS>(options),
                            static_cast<DWRITE_MEASURING_MODE>(measuringMode));
    }
    void PushLayer(const LayerParameters& parameters) override {
        D2D1_LAYER_PARAMETERS1 native{};
        native.contentBounds = ToD2D(parameters.contentBounds);
        native.geometricMask = NativeGeometry(parameters.geometricMask);
        native.maskAntialiasMode = static_cast<D2D1_ANTIALIAS_MODE>(parameters.maskAntialiasMode);
        native.maskTransform = ToD2D(parameters.maskTransform);
        native.opacity = parameters.opacity;
        native.opacityBrush = NativeBrush(parameters.opacityBrush);
        native.layerOptions = D2D1_LAYER_OPTIONS1_NONE;
        // A mask of another backend cannot clip here: the layer hides what is drawn in it, as
        // the other backends do with a mask they cannot draw. PushLayer and PopLayer still pair.
        if (parameters.geometricMask && !native.geometricMask) {
            native.opacity = 0;
        }
        m_context->PushLayer(&native, nullptr);
    }
    void PopLayer() override { m_context->PopLayer(); }

    ID2D1DeviceContext* Native() const { return m_context.Get(); }

private:
    ComPtr<ID2D1DeviceContext> m_context;
    Ref<Factory> m_factory;
};

}  // namespace

HRESULT CreateD2DFactory(Ref<Factory>* factory) {
    if (const HRESULT hr = Empty(factory); FAILED(hr)) {
        return hr;
    }
    // Multi-threaded: overlays build hit-test geometries from this factory on the host thread
    // while the render thread draws with devices made from it. A single-threaded factory would
    // leave those overlapping calls unguarded; a multi-threaded one takes its own lock.
    D2D1_FACTORY_OPTIONS options{D2D1_DEBUG_LEVEL_NONE};
    ComPtr<ID2D1Factory2> native;
    const HRESULT hr = D2D1CreateFactory(D2D1_FACTORY_TYPE_MULTI_THREADED, __uuidof(ID2D1Factory2),
                                         &options, reinterpret_cast<void**>(native.GetAddressOf()));
    if (SUCCEEDED(hr)) {
        *factory = MakeRef<D2DFactory>(ComPtr<ID2D1Factory1>(native.Get()));
    }
    return hr;
}

HRESULT CreateDWriteFactory(Ref<TextFactory>* factory) {
    if (const HRESULT hr = Empty(factory); FAILED(hr)) {
        return hr;
    }
    ComPtr<IDWriteFactory> native;
    const HRESULT hr = DWriteCreateFactory(DWRITE_FACTORY_TYPE_SHARED, __uuidof(IDWriteFactory),
                                           reinterpret_cast<IUnknown**>(native.GetAddressOf()));
    if (SUCCEEDED(hr)) {
        *factory = MakeRef<DWriteTextFactory>(std::move(native));
    }
    return hr;
}

Ref<DeviceContext> WrapD2DDeviceContext(ID2D1DeviceContext* context, Ref<Factory> factory) {
    if (!context) {
        return nullptr;
    }
    return MakeRef<D2DDeviceContext>(ComPtr<ID2D1DeviceContext>(context), std::move(factory));
}

ID2D1Factory1* NativeFactory(Factory* factory) {
    auto* own = dynamic_cast<D2DFactory*>(factory);
    return own ? own->Native() : nullptr;
}

ID2D1DeviceContext* NativeDeviceContext(DeviceContext* context) {
    auto* own = dynamic_cast<D2DDeviceContext*>(context);
    return own ? own->Native() : nullptr;
}

}  // namespace Quarn::WinRT::platform::draw
