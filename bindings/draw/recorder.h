#pragma once
// A drawing backend that draws nothing and writes down every call, for tests that assert what
// was drawn, and a text factory with simple, exact metrics to go with it.
//
// Call lines look like
//   FillEllipse centre=(10,20) radii=(5,5) brush=(1,1,1,1)
//   DrawGeometry path{filled (0,0) arc(10,10 r=10,10 rot=0 cw small) open} brush=(0,0,0,1) width=3
// Numbers are printed with up to 6 significant digits.
//
// Thread rule: the render thread draws; any thread may read the lines (they are guarded).

#include <mutex>
#include <string>
#include <vector>

#include "bindings/draw/draw.h"

namespace Quarn::WinRT::platform::draw {

class RecordingDeviceContext final : public DeviceContext {
public:
    explicit RecordingDeviceContext(Ref<Factory> factory) : m_factory(std::move(factory)) {}

    // Every line so far, and how many frames have ended.
    std::vector<std::string> Lines() const;
    int FramesEnded() const;
    // The lines of the last frame that ended, from BeginDraw to EndDraw.
    std::vector<std::string> LastFrame() const;
    void ClearLines();

    Ref<Factory> GetFactory() override { return m_factory; }
    HRESULT CreateSolidColourBrush(const ColourF& colour, Ref<SolidColourBrush>* brush) override;
    void BeginDraw() override;
    HRESULT EndDraw() override;
    void Clear(std::optional<ColourF> colour) override;
    void SetTransform(const Matrix3x2F& transform) override;
    Matrix3x2F GetTransform() const override;
    void FillEllipse(const Ellipse& ellipse, Brush* brush) override;
    void DrawEllipse(const Ellipse& ellipse, Brush* brush, float strokeWidth,
                     StrokeStyle* style) override;
    void FillGeometry(Geometry* geometry, Brush* brush) override;
    void DrawGeometry(Geometry* geometry, Brush* brush, float strokeWidth,
                      StrokeStyle* style) override;
    void FillRoundedRectangle(const RoundedRect& rect, Brush* brush) override;
    void DrawText(std::u16string_view text, TextFormat* format, const RectF& layoutRect,
                  Brush* brush, DrawTextOptions options, MeasuringMode measuringMode) override;
    void PushLayer(const LayerParameters& parameters) override;
    void PopLayer() override;

private:
    void Write(std::string line);

    Ref<Factory> m_factory;
    Matrix3x2F m_transform;  // render thread only
    mutable std::mutex m_mutex;
    std::vector<std::string> m_lines;
    std::size_t m_frameStart = 0;
    std::vector<std::string> m_lastFrame;
    int m_framesEnded = 0;
};

// Text whose every UTF-16 unit is half the font size wide and whose lines ("\n" separated) are
// 1.25 font sizes high, laid out as DirectWrite lays out a box: `left` is where alignment puts
// the text inside the layout width. Either creation step can be told to fail.
class FixedMetricsTextFactory final : public TextFactory {
public:
    static constexpr float kAdvancePerUnit = 0.5f;
    static constexpr float kLineHeight = 1.25f;

    void FailLayouts(HRESULT code) { m_layoutFailure = code; }
    void FailMetrics(HRESULT code) { m_metricsFailure = code; }
    void FailFormats(HRESULT code) { m_formatFailure = code; }
    int LayoutsCreated() const { return m_layoutsCreated; }

    HRESULT CreateTextFormat(std::u16string_view familyName, FontWeight weight, FontStyle style,
                             FontStretch stretch, float size, std::u16string_view localeName,
                             Ref<TextFormat>* format) override;
    HRESULT CreateTextLayout(std::u16string_view text, TextFormat* format, float maxWidth,
                             float maxHeight, Ref<TextLayout>* layout) override;

private:
    HRESULT m_layoutFailure = S_OK;
    HRESULT m_metricsFailure = S_OK;
    HRESULT m_formatFailure = S_OK;
    int m_layoutsCreated = 0;
};

// How the recorder prints a geometry; exposed for tests of other backends' output.
std::string DescribeGeometry(const Geometry* geometry);

}  // namespace Quarn::WinRT::platform::draw
