#pragma once
// What the overlay window shows for the dial's current item: the abstract base of the overlay
// kinds, with the state every kind shares, the resources both draw with and the pill-shaped
// label.
//
// Thread rule: the host thread runs every operation except Draw and the resource getters, which
// run on the render thread. The flags and the two rectangles are written on the host thread and
// read by the render thread every frame: the flags are atomic and the rectangles sit behind a
// short ranked lock of their own (m_layoutLock), so a frame never sees half a rectangle.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string_view>

#include "bindings/draw/draw.h"
#include "bindings/kernel/counted.h"
#include "bindings/kernel/lock.h"
#include "bindings/kernel/reflected.h"
#include "bindings/platform/geometry.h"
#include "bindings/platform/ref.h"
#include "overlay/draw_context.h"
#include "overlay/overlay_lock.h"

class Tool;

namespace Quarn::WinRT::detail {

class Dial;

using OverlayRect = platform::Rect;

// A label's pill and the rectangle its text is drawn into.
struct LabelLayout {
    platform::draw::RectF pill;
    platform::draw::RectF text;
};

class DialOverlay {
public:
    // The label text's size, in pixels.
    static constexpr float kLabelFontSize = 24.0f;
    // The grey of labels and unselected badges: 77/255.
    static constexpr float kGrey = 77.0f / 255.0f;

    DialOverlay() = default;
    virtual ~DialOverlay() = default;
    DialOverlay(const DialOverlay&) = delete;
    DialOverlay& operator=(const DialOverlay&) = delete;

    virtual bool OnButtonClicked(Kernel::Counted<Kernel::Reflected> item, Dial* dial);
    virtual bool OnRotation(Kernel::Counted<Kernel::Reflected> item, Dial* dial, double delta);
    // x and y in window-client pixels.
    virtual bool HitTest(int x, int y);
    virtual void OnLeftButtonDown(int x, int y, Dial* dial);
    virtual void OnLeftButtonUp(int x, int y, Dial* dial);
    virtual void OnItemRefreshed(Kernel::Counted<Tool> tool,
                                 Kernel::Counted<Kernel::Reflected> item);
    // The window rectangle (screen) that shows this overlay around a contact rectangle (screen).
    virtual OverlayRect ComputeWindowRect(const OverlayRect& contact) = 0;
    // Render thread only, and only while visible.
    virtual void Draw(const DrawContext& context) = 0;
    virtual void OnToolChanged(Kernel::Counted<Tool> tool);
    // `window` in screen pixels, `contact` in window-client pixels.
    virtual void SetLayout(const OverlayRect& window, const OverlayRect& contact);
    virtual void SetContact(bool onScreen);

    void SetVisible(bool visible) { m_visible.store(visible, std::memory_order_release); }
    bool IsVisible() const { return m_visible.load(std::memory_order_acquire); }
    bool IsOnScreen() const { return m_onScreen.load(std::memory_order_acquire); }
    OverlayRect GetContactRect() const;
    OverlayRect GetWindowRect() const;

    // Render thread, before each Draw: the generation of the device chain the frame draws with.
    // When it is not the one of the overlay's last frame (the device was lost and its chain made
    // again), what the overlay made on the old device goes (ReleaseDeviceResources).
    void UseDevice(std::uint64_t chainGeneration);

    // Host thread, under the renderer's lock, before the overlay's first frame.
    void SetFactory(platform::Ref<platform::draw::Factory> factory);
    const platform::Ref<platform::draw::Factory>& GetFactory() const { return m_factory; }

    // The puck's centre in window-client pixels: the middle of the contact rectangle.
    platform::draw::Point2F GetPuckCentre() const;

    // Render thread. The 24-pixel label format in the system's menu font, made on first use;
    // null when it cannot be made (the next call tries again).
    platform::Ref<platform::draw::TextFormat> GetTextFormat(const DrawContext& context);
    // The system's menu font at `size` pixels, normal weight, style and stretch, no locale; null
    // when the menu font cannot be asked for or the format cannot be made.
    static platform::Ref<platform::draw::TextFormat> CreateMenuFontFormat(
        const DrawContext& context, float size);
    platform::Ref<platform::draw::SolidColourBrush> GetGreyBrush(
        platform::draw::DeviceContext* context);

    // The label's pill pads the text by one text height on every side; the anchor is the
    // pill's left edge and the text's top. False when the text cannot be laid out or measured.
    static bool MeasureLabel(std::u16string_view text, platform::draw::Point2F anchor,
                             const DrawContext& context, platform::draw::TextFormat* format,
                             LabelLayout* layout);
    // The text in a filled pill with semicircular ends; nothing when it cannot be measured.
    static void DrawLabel(std::u16string_view text, platform::draw::Point2F anchor,
                          const DrawContext& context,
                          platform::Ref<platform::draw::Brush> textBrush,
                          platform::Ref<platform::draw::TextFormat> format,
                          platform::Ref<platform::draw::Brush> backgroundBrush);

protected:
    // Render thread. Lets go of every brush, text format and geometry made for drawing, so that
    // the next frame makes them on the current device. Overrides call the base.
    virtual void ReleaseDeviceResources();

    // For subclasses' own shared data; the base's operations never take it.
    OverlayLock m_lock{OverlayLockRank::Overlay};

private:
    std::atomic<bool> m_onScreen{false};
    std::atomic<bool> m_visible{false};
    // Taken alone, never with another lock inside it: the last rank.
    mutable OverlayLock m_layoutLock{OverlayLockRank::Layout};
    OverlayRect m_contactRect;  // guarded by m_layoutLock
    OverlayRect m_windowRect;   // guarded by m_layoutLock
    platform::Ref<platform::draw::Factory> m_factory;
    // Render thread only.
    std::uint64_t m_chainGeneration = 0;
    platform::Ref<platform::draw::SolidColourBrush> m_greyBrush;
    platform::Ref<platform::draw::TextFormat> m_textFormat;
};

}  // namespace Quarn::WinRT::detail
