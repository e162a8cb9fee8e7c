#pragma once
// The drawing interface on Cairo, with Pango for text: real pixels off Windows.
//
// Frames: BeginDraw asks the target for its surface and EndDraw hands it back (BeginFrame and
// EndFrame). With no target, frames draw nothing and succeed. A drawing call outside a frame
// draws nothing; the next EndDraw reports kDrawErrorWrongState, as Direct2D does, and so does an
// EndDraw without BeginDraw. EndDraw answers the first error since the last EndDraw.
//
// What Cairo cannot do as Direct2D does:
// - one line cap for every end of a stroke: solid strokes take the start cap, dashed strokes the
//   dash cap (most of their ends are dash ends); a triangle cap is drawn round;
// - a miter join beyond the miter limit falls back to bevel (Direct2D's miter-or-bevel);
// - Clear ignores the transform and fills the whole surface, or the whole layer inside one.
// Shapes with non-finite coordinates, strokes that are not wider than 0, a null brush and a
// geometry of another backend draw nothing; so does a brush made by another Cairo context, which
// also makes EndDraw report kDrawErrorWrongResourceDomain. A path geometry that is not closed yet
// draws nothing and EndDraw reports kDrawErrorWrongState. A transform that cannot be inverted draws
// nothing.
//
// Layers: the mask geometry is placed by the mask transform and then the world transform in
// effect at PushLayer; so are the content bounds (coordinates beyond ±1e7 count as unbounded).
// A solid opacity brush multiplies the opacity by its alpha. A mask that cannot be drawn (a
// geometry of another backend, or an open path) hides the layer. EndDraw composites the layers
// still pushed; a PopLayer without a layer is ignored.
//
// Thread rule: the context, its brushes and its target belong to the render thread. Text is
// drawn with the text factory's fonts under the factory's own lock.

#include <cstdint>
#include <vector>

#include "bindings/draw/cairo_target.h"
#include "bindings/draw/draw.h"

typedef struct _cairo cairo_t;

namespace Quarn::WinRT::platform::draw {

// Direct2D's D2DERR_WRONG_STATE.
inline constexpr HRESULT kDrawErrorWrongState = static_cast<HRESULT>(0x88990001);
// Direct2D's D2DERR_WRONG_RESOURCE_DOMAIN: a brush made by another device context.
inline constexpr HRESULT kDrawErrorWrongResourceDomain = static_cast<HRESULT>(0x88990015);

class CairoDeviceContext final : public DeviceContext {
public:
    // A null factory is replaced by a ModelFactory; a text factory that is not a Pango one (or
    // null) by a Pango factory of the context's own.
    CairoDeviceContext(Ref<Factory> factory, Ref<TextFactory> textFactory);
    ~CairoDeviceContext() override;

    // The target is not owned and must outlive its use; null means none. Setting a target in the
    // middle of a frame ends the frame on the old target (its layers composited, EndFrame
    // called) and goes on drawing the frame on the new one.
    void SetTarget(CairoTarget* target);

    Ref<Factory> GetFactory() override { return m_factory; }
    HRESULT CreateSolidColourBrush(const ColourF& colour, Ref<SolidColourBrush>* brush) override;
    void BeginDraw() override;
    HRESULT EndDraw() override;
    void Clear(std::optional<ColourF> colour) override;
    void SetTransform(const Matrix3x2F& transform) override { m_transform = transform; }
    Matrix3x2F GetTransform() const override { return m_transform; }
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
    struct Layer {
        Ref<Geometry> mask;
        bool maskAliased = false;
        Matrix3x2F maskPlacement;  // the mask transform, then the world transform at push
        RectF contentBounds;
        Matrix3x2F boundsPlacement;  // the world transform at push
        float opacity = 1;
        bool boundedGroup = false;  // a clip to the mask's pixels was saved before the group
    };

    void StartFrame();
    void FinishFrame();
    // The frame's Cairo context with the world transform and the brush's colour set, or null when
    // nothing is to be drawn.
    cairo_t* Canvas(const Brush* brush);
    void Fail(HRESULT error);
    void CompositeLayer(const Layer& layer);
    // Clips to the pixels the layer's mask can touch, so that its group covers only those.
    bool ClipToMaskPixels(const Layer& layer);

    Ref<Factory> m_factory;
    Ref<TextFactory> m_text;
    CairoTarget* m_target = nullptr;
    CairoTarget* m_frameTarget = nullptr;  // the target whose BeginFrame this frame called
    cairo_t* m_cairo = nullptr;            // only while a frame draws on a surface
    bool m_inFrame = false;
    HRESULT m_error = S_OK;
    Matrix3x2F m_transform;
    const std::uint64_t m_serial;  // tells the brushes of this context from any other's
    std::vector<Layer> m_layers;
};

Ref<DeviceContext> CreateCairoDeviceContext(Ref<Factory> factory, Ref<TextFactory> textFactory);

}  // namespace Quarn::WinRT::platform::draw
