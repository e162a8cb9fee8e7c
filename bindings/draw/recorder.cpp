#include "bindings/draw/recorder.h"

#include <utf8cpp/utf8.h>

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "bindings/draw/geometry_model.h"

namespace Quarn::WinRT::platform::draw {

namespace {

std::string Number(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.6g", value);
    return buffer;
}

std::string Pair(double a, double b) {
    return "(" + Number(a) + "," + Number(b) + ")";
}

std::string Describe(const Point2F& p) {
    return Pair(p.x, p.y);
}

std::string Describe(const Brush* brush) {
    if (!brush) {
        return "null";
    }
    const ColourF c = brush->GetColour();
    return "(" + Number(c.r) + "," + Number(c.g) + "," + Number(c.b) + "," + Number(c.a) + ")";
}

std::string Describe(const RectF& r) {
    return "(" + Number(r.left) + "," + Number(r.top) + "," + Number(r.right) + "," +
           Number(r.bottom) + ")";
}

std::string Describe(const StrokeStyle* style) {
    if (!style) {
        return "";
    }
    static constexpr const char* kCaps[] = {"flat", "square", "round", "triangle"};
    const StrokeStyleProperties p = style->GetProperties();
    return std::string(" style=") + kCaps[static_cast<int>(p.startCap) & 3] + "/" +
           kCaps[static_cast<int>(p.endCap) & 3];
}

std::string Utf8(std::u16string_view text) {
    std::string out;
    utf8::utf16to8(text.begin(), text.end(), std::back_inserter(out));
    return out;
}

std::string DescribeFigure(const PathFigure& figure) {
    std::string out = figure.begin == FigureBegin::Filled ? "filled " : "hollow ";
    out += Describe(figure.start);
    for (const PathSegment& segment : figure.segments) {
        if (segment.kind == PathSegment::Kind::Line) {
            out += " line" + Describe(segment.point);
        } else {
            const ArcSegment& arc = segment.arc;
            out += " arc(" + Number(arc.point.x) + "," + Number(arc.point.y) +
                   " r=" + Number(arc.size.width) + "," + Number(arc.size.height) +
                   " rot=" + Number(arc.rotationAngle) +
                   (arc.sweepDirection == SweepDirection::Clockwise ? " cw" : " ccw") +
                   (arc.arcSize == ArcSize::Large ? " large)" : " small)");
        }
    }
    out += figure.end == FigureEnd::Closed ? " closed" : " open";
    return out;
}

class FixedTextFormat final : public TextFormat {
public:
    FixedTextFormat(std::u16string family, FontWeight weight, float size)
        : m_family(std::move(family)), m_weight(weight), m_size(size) {}

    HRESULT SetTextAlignment(TextAlignment alignment) override {
        if (static_cast<int>(alignment) < 0 || static_cast<int>(alignment) > 3) {
            return E_INVALIDARG;
        }
        m_alignment = alignment;
        return S_OK;
    }
    TextAlignment GetTextAlignment() const override { return m_alignment; }
    std::u16string GetFontFamilyName() const override { return m_family; }
    float GetFontSize() const override { return m_size; }
    FontWeight GetFontWeight() const override { return m_weight; }

private:
    std::u16string m_family;
    FontWeight m_weight;
    float m_size;
    TextAlignment m_alignment = TextAlignment::Leading;
};

class FixedTextLayout final : public TextLayout {
public:
    FixedTextLayout(TextMetrics metrics, HRESULT failure)
        : m_metrics(metrics), m_failure(failure) {}
    HRESULT GetMetrics(TextMetrics* metrics) override {
        if (!metrics) {
            return E_POINTER;
        }
        if (FAILED(m_failure)) {
            return m_failure;
        }
        *metrics = m_metrics;
        return S_OK;
    }

private:
    TextMetrics m_metrics;
    HRESULT m_failure;
};

}  // namespace

std::string DescribeGeometry(const Geometry* geometry) {
    if (!geometry) {
        return "null";
    }
    if (const auto* ellipse = dynamic_cast<const EllipseGeometry*>(geometry)) {
        const Ellipse e = ellipse->GetEllipse();
        return "ellipse{" + Describe(e.centre) + " radii=" + Pair(e.radiusX, e.radiusY) + "}";
    }
    if (const auto* path = dynamic_cast<const ModelPathGeometry*>(geometry)) {
        std::string out = "path{";
        for (std::size_t i = 0; i < path->Data().figures.size(); ++i) {
            out += (i ? "; " : "") + DescribeFigure(path->Data().figures[i]);
        }
        return out + (path->IsClosed() ? "}" : " unclosed}");
    }
    return "geometry";
}

std::vector<std::string> RecordingDeviceContext::Lines() const {
    std::lock_guard lock(m_mutex);
    return m_lines;
}

int RecordingDeviceContext::FramesEnded() const {
    std::lock_guard lock(m_mutex);
    return m_framesEnded;
}

std::vector<std::string> RecordingDeviceContext::LastFrame() const {
    std::lock_guard lock(m_mutex);
    return m_lastFrame;
}

void RecordingDeviceContext::ClearLines() {
    std::lock_guard lock(m_mutex);
    m_lines.clear();
    m_frameStart = 0;
}

void RecordingDeviceContext::Write(std::string line) {
    std::lock_guard lock(m_mutex);
    m_lines.push_back(std::move(line));
}

HRESULT RecordingDeviceContext::CreateSolidColourBrush(const ColourF& colour,
                                                       Ref<SolidColourBrush>* brush) {
    if (!brush) {
        return E_POINTER;
    }
    *brush = MakeRef<ModelSolidColourBrush>(colour);
    return S_OK;
}

void RecordingDeviceContext::BeginDraw() {
    std::lock_guard lock(m_mutex);
    m_frameStart = m_lines.size();
    m_lines.emplace_back("BeginDraw");
}

HRESULT RecordingDeviceContext::EndDraw() {
    std::lock_guard lock(m_mutex);
    m_lines.emplace_back("EndDraw");
    const std::size_t start = std::min(m_frameStart, m_lines.size());
    m_lastFrame.assign(m_lines.begin() + static_cast<std::ptrdiff_t>(start), m_lines.end());
    ++m_framesEnded;
    return S_OK;
}

void RecordingDeviceContext::Clear(std::optional<ColourF> colour) {
    if (!colour) {
        Write("Clear none");
        return;
    }
    Write("Clear (" + Number(colour->r) + "," + Number(colour->g) + "," + Number(colour->b) + "," +
          Number(colour->a) + ")");
}

void RecordingDeviceContext::SetTransform(const Matrix3x2F& transform) {
    m_transform = transform;
    Write("SetTransform (" + Number(transform.m11) + "," + Number(transform.m12) + "," +
          Number(transform.m21) + "," + Number(transform.m22) + "," + Number(transform.dx) + "," +
          Number(transform.dy) + ")");
}

Matrix3x2F RecordingDeviceContext::GetTransform() const {
    return m_transform;
}

void RecordingDeviceContext::FillEllipse(const Ellipse& ellipse, Brush* brush) {
    Write("FillEllipse centre=" + Describe(ellipse.centre) +
          " radii=" + Pair(ellipse.radiusX, ellipse.radiusY) + " brush=" + Describe(brush));
}

void RecordingDeviceContext::DrawEllipse(const Ellipse& ellipse, Brush* brush, float strokeWidth,
                                         StrokeStyle* style) {
    Write("DrawEllipse centre=" + Describe(ellipse.centre) +
          " radii=" + Pair(ellipse.radiusX, ellipse.radiusY) + " brush=" + Describe(brush) +
          " width=" + Number(strokeWidth) + Describe(style));
}

void RecordingDeviceContext::FillGeometry(Geometry* geometry, Brush* brush) {
    Write("FillGeometry " + DescribeGeometry(geometry) + " brush=" + Describe(brush));
}

void RecordingDeviceContext::DrawGeometry(Geometry* geometry, Brush* brush, float strokeWidth,
                                          StrokeStyle* style) {
    Write("DrawGeometry " + DescribeGeometry(geometry) + " brush=" + Describe(brush) +
          " width=" + Number(strokeWidth) + Describe(style));
}

void RecordingDeviceContext::FillRoundedRectangle(const RoundedRect& rect, Brush* brush) {
    Write("FillRoundedRectangle " + Describe(rect.rect) +
          " radii=" + Pair(rect.radiusX, rect.radiusY) + " brush=" + Describe(brush));
}

void RecordingDeviceContext::DrawText(std::u16string_view text, TextFormat* format,
                                      const RectF& layoutRect, Brush* brush,
                                      DrawTextOptions /*options*/,
                                      MeasuringMode /*measuringMode*/) {
    const std::string size = format ? Number(format->GetFontSize()) : "null";
    Write("DrawText \"" + Utf8(text) + "\" rect=" + Describe(layoutRect) + " size=" + size +
          " brush=" + Describe(brush));
}

void RecordingDeviceContext::PushLayer(const LayerParameters& parameters) {
    Write("PushLayer mask=" + DescribeGeometry(parameters.geometricMask) +
          " opacity=" + Number(parameters.opacity));
}

void RecordingDeviceContext::PopLayer() {
    Write("PopLayer");
}

HRESULT FixedMetricsTextFactory::CreateTextFormat(std::u16string_view familyName, FontWeight weight,
                                                  FontStyle /*style*/, FontStretch /*stretch*/,
                                                  float size, std::u16string_view /*localeName*/,
                                                  Ref<TextFormat>* format) {
    if (!format) {
        return E_POINTER;
    }
    *format = nullptr;
    if (FAILED(m_formatFailure)) {
        return m_formatFailure;
    }
    if (!(size > 0)) {
        return E_INVALIDARG;
    }
    *format = MakeRef<FixedTextFormat>(std::u16string(familyName), weight, size);
    return S_OK;
}

HRESULT FixedMetricsTextFactory::CreateTextLayout(std::u16string_view text, TextFormat* format,
                                                  float maxWidth, float maxHeight,
                                                  Ref<TextLayout>* layout) {
    if (!layout) {
        return E_POINTER;
    }
    *layout = nullptr;
    if (!format) {
        return E_INVALIDARG;
    }
    if (FAILED(m_layoutFailure)) {
        return m_layoutFailure;
    }
    const float size = format->GetFontSize();
    std::size_t lines = 1;
    std::size_t longest = 0;
    std::size_t current = 0;
    for (char16_t unit : text) {
        if (unit == u'\n') {
            ++lines;
            current = 0;
        } else {
            longest = std::max(longest, ++current);
        }
    }
    TextMetrics metrics;
    metrics.width = static_cast<float>(longest) * size * kAdvancePerUnit;
    metrics.widthIncludingTrailingWhitespace = metrics.width;
    metrics.height = static_cast<float>(lines) * size * kLineHeight;
    metrics.layoutWidth = maxWidth;
    metrics.layoutHeight = maxHeight;
    metrics.lineCount = static_cast<std::uint32_t>(lines);
    switch (format->GetTextAlignment()) {
        case TextAlignment::Center:
            metrics.left = (maxWidth - metrics.width) * 0.5f;
            break;
        case TextAlignment::Trailing:
            metrics.left = maxWidth - metrics.width;
            break;
        default:
            break;
    }
    ++m_layoutsCreated;
    *layout = MakeRef<FixedTextLayout>(metrics, m_metricsFailure);
    return S_OK;
}

}  // namespace Quarn::WinRT::platform::draw
