#include <thread>

#include "overlay/group_dial_overlay.h"
#include "tests/overlay/overlay_fixture.h"

namespace Quarn::WinRT::testing {
namespace {

// A second overlay window works although its class is registered already; neither takes the
// focus from the host, and neither draws before it has an item.
TEST_F(OverlayTest, AnOwnedPopupThatNeverTakesTheFocusAndDrawsNothingBeforeAnItem) {
    detail::DialOverlayWindow second(host);
    EXPECT_NE(second.GetHandle(), window->GetHandle());
    for (const HWND handle : {window->GetHandle(), second.GetHandle()}) {
        ASSERT_NE(platform.Windows().Find(handle), nullptr);
        EXPECT_EQ(platform.Windows().Find(handle)->owner, host);
        EXPECT_TRUE(platform.Windows().Find(handle)->visible);
    }
    EXPECT_EQ(platform.Windows().ActiveWindow(), host);
    EXPECT_EQ(window->GetRenderer(), nullptr);
    EXPECT_FALSE(platform.Graphics().IsPresenting(window->GetHandle()));
}

TEST_F(OverlayTest, AnItemWithoutAnOverlayStillStartsTheRendererAndPresentsEmptyFrames) {
    window->SetItem(tool, PlainItem(), nullptr);
    EXPECT_FALSE(window->HasOverlay());
    ASSERT_NE(window->GetRenderer(), nullptr);
    EXPECT_TRUE(window->GetRenderer()->IsRunning());
    const auto frame = Frame();
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->width, 800);
    EXPECT_EQ(frame->height, 600);
    EXPECT_TRUE(frame->IsFullyTransparent());
}

TEST_F(OverlayTest, DrawsOnlyWhileVisibleAndWithAContactOfSomeSize) {
    TestOverlay& overlay = ShowTestOverlay();
    // Placed around (400,300)-(440,340): the window starts 100 further out.
    auto frame = Frame();
    ASSERT_TRUE(frame);
    EXPECT_NE(frame->At(120, 120), 0u) << "the puck's centre in window pixels";
    EXPECT_EQ(frame->At(5, 5), 0u);
    EXPECT_EQ(window->GetRenderer()->LastDrawnOverlay(), &overlay);

    window->Hide();
    frame = Frame();
    ASSERT_TRUE(frame);
    EXPECT_TRUE(frame->IsFullyTransparent());
    EXPECT_EQ(window->GetRenderer()->LastDrawnOverlay(), nullptr);

    window->Show();
    for (const auto& [width, height] : {std::pair{0.0f, 40.0f}, std::pair{40.0f, 0.0f}}) {
        window->Place(400, 300, width, height);
        frame = Frame();
        ASSERT_TRUE(frame);
        EXPECT_TRUE(frame->IsFullyTransparent()) << width << "x" << height;
    }
    EXPECT_TRUE(overlay.IsVisible());
}

TEST_F(OverlayTest, PlaceIgnoresABoxThatCannotBeLocated) {
    ShowTestOverlay();
    window->Place(400, 300, 40, 40);
    const RECT placed = platform.Windows().Find(window->GetHandle())->rect;
    const platform::draw::Point2F centre = window->GetCentre();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const float huge = std::numeric_limits<float>::max();
    struct Case {
        const char* name;
        float x, y, width, height;
    };
    const Case cases[] = {
        {"NaN corner", nan, 300, 40, 40},
        {"infinite side", 400, 300, inf, 40},
        {"negative infinity", -inf, 300, 40, 40},
        {"far corner overflows", huge, 300, huge, 40},
        {"far corner overflows downwards", 400, -huge, 40, -huge},
    };
    for (const Case& c : cases) {
        window->Place(c.x, c.y, c.width, c.height);
        const RECT now = platform.Windows().Find(window->GetHandle())->rect;
        EXPECT_EQ(now.left, placed.left) << c.name;
        EXPECT_EQ(now.top, placed.top) << c.name;
        EXPECT_EQ(now.right, placed.right) << c.name;
        EXPECT_FLOAT_EQ(window->GetCentre().x, centre.x) << c.name;
        EXPECT_FLOAT_EQ(window->GetCentre().y, centre.y) << c.name;
    }
    EXPECT_TRUE(Frame());
}

TEST_F(OverlayTest, AReplacedOverlayLivesUntilTheFrameDrawingItEnds) {
    TestOverlay& first = ShowTestOverlay();
    first.Hold();
    // Let the render thread into Draw with the first overlay, and keep it there.
    const HWND handle = window->GetHandle();
    std::thread stepper([&] { platform.Graphics().RunFrame(handle); });
    ASSERT_TRUE(first.WaitForFrames(1));

    window->SetItem(tool, PlainItem(), nullptr);
    EXPECT_FALSE(window->HasOverlay());
    EXPECT_FALSE(first.destroyed.load()) << "the frame still holds it";

    first.Release();
    stepper.join();
    // The frame has ended; the next one no longer has the first overlay.
    const auto frame = Frame();
    ASSERT_TRUE(frame);
    EXPECT_TRUE(frame->IsFullyTransparent());
}

TEST_F(OverlayTest, DestroyingTheHostWindowStopsTheRenderThread) {
    ShowTestOverlay();
    ASSERT_TRUE(Frame());
    platform.Windows().DestroyWindow(host);
    EXPECT_FALSE(platform.Windows().IsWindow(window->GetHandle()));
    ASSERT_NE(window->GetRenderer(), nullptr);
    EXPECT_FALSE(window->GetRenderer()->IsRunning());
    EXPECT_FALSE(Frame());
    window.reset();
}

TEST_F(OverlayTest, DestroyingTheWindowObjectMidFrameWaitsForTheFrame) {
    TestOverlay& overlay = ShowTestOverlay();
    overlay.Hold();
    // The stepper knows the window by its handle: the window object goes while it waits.
    const HWND handle = window->GetHandle();
    std::thread stepper([&] { platform.Graphics().RunFrame(handle); });
    ASSERT_TRUE(overlay.WaitForFrames(1));
    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        overlay.Release();
    });
    window.reset();  // joins the render thread after the frame in Draw ends
    releaser.join();
    stepper.join();
    EXPECT_FALSE(platform.Windows().IsWindow(handle));
    EXPECT_TRUE(platform.Windows().IsWindow(host));
}

TEST_F(OverlayTest, AWindowThatOutlivesItsObjectNoLongerReachesIt) {
    const HWND handle = window->GetHandle();
    platform.Faults().Fail(sim::ops::kDestroyWindow, E_ACCESSDENIED, "another thread's window");
    window.reset();
    ASSERT_TRUE(platform.Windows().IsWindow(handle));
    EXPECT_EQ(platform.Windows().GetWindowData(handle, GWLP_USERDATA), 0);
    // The next message finds no object (under AddressSanitizer: touches no freed one).
    platform.Windows().Send(handle, WM_NCHITTEST, 0, platform::LParamFromPoint(500, 350));
}

TEST_F(OverlayTest, DestroyBeforeAnyItemHasNothingToStop) {
    const HWND handle = window->GetHandle();
    EXPECT_TRUE(platform.Windows().DestroyWindow(handle));
    EXPECT_EQ(window->GetRenderer(), nullptr);
    window.reset();
}

// A window that will not go (DestroyWindow fails) still lets its render thread stop: the
// overlay window's destruction returns instead of waiting for a frame nobody asks for.
TEST_F(OverlayTest, AWindowThatWillNotGoStillStopsItsRenderThread) {
    auto staying = std::make_unique<detail::DialOverlayWindow>(host);
    staying->SetItem(tool, Group(), nullptr);
    ASSERT_TRUE(platform.Graphics().RunFrame(staying->GetHandle()));
    const HWND handle = staying->GetHandle();
    platform.Faults().Fail(sim::ops::kDestroyWindow, E_FAIL, "refused");
    staying.reset();
    EXPECT_TRUE(platform.Windows().IsWindow(handle));
}

TEST_F(OverlayTest, TheSwapChainHoldsTheOverlayWhateverSizeTheHostWindowHad) {
    const RECT hosts[] = {
        {100, 50, 180, 110},               // smaller than the overlay's window
        {-32000, -32000, -31840, -31972},  // minimised: the caption's size, far away
        {0, 0, 0, 0},                      // minimised to nothing
        {0, 0, 2000, 100},                 // wide but short: only the height grows
    };
    for (const RECT& rect : hosts) {
        SCOPED_TRACE(rect.left);
        detail::DialOverlayWindow small(platform.Windows().CreateHostWindow(rect));
        small.SetItem(tool, Group(), nullptr);
        small.Place(400, 300, 40, 40);
        small.Show();
        const auto frame = platform.Graphics().RunFrame(small.GetHandle());
        ASSERT_TRUE(frame);
        EXPECT_GE(frame->width, 240);
        EXPECT_GE(frame->height, 240);
        EXPECT_NE(frame->At(120, 120), 0u) << "the puck's centre in window pixels";
    }
}

// A ring drawn by a renderer of its own, so that its cached brushes and text formats meet a
// device made again.
TEST_F(OverlayTest, ALostDeviceIsMadeAgainAndNoFailureSpins) {
    constexpr double kRate = 100;
    platform.Graphics().SetPacing(sim::FramePacing::RealTime, kRate);
    detail::DialOverlayRenderer renderer(platform.Graphics(), platform.Windows());
    ASSERT_TRUE(renderer.Start(window->GetHandle()));
    auto ring = std::make_shared<detail::GroupDialOverlay>();
    const Counted<Kernel::Reflected> element =
        MakeCounted<Kernel::ReflectedRangeT<double>>(10, "Size", 5.0, 0.0, 10.0);
    ring->SetItems(tool, {element}, element);
    renderer.SetOverlay(ring);
    ring->SetContact(true);
    ring->SetLayout({0, 0, 920, 920}, {400, 400, 120, 120});
    ring->SetVisible(true);
    const auto shown = Frame();
    ASSERT_TRUE(shown);
    ASSERT_EQ(shown->width, 920) << "the chain grew to the ring's window";
    ASSERT_FALSE(shown->IsFullyTransparent());

    const auto unavailable =
        static_cast<HRESULT>(0x887A0022);  // DXGI_ERROR_NOT_CURRENTLY_AVAILABLE
    struct Case {
        const char* name;
        std::string_view lost;  // fails once with `code`; none: `blocked` fails every frame
        HRESULT code;
        std::string_view blocked;  // fails always while the device is away
        unsigned rebuilt;
    };
    const Case cases[] = {
        {"removed", sim::ops::kPresent, platform::render::kDeviceRemoved,
         sim::ops::kD3D11CreateDevice, 1},
        {"reset", sim::ops::kPresent, platform::render::kDeviceReset,
         sim::ops::kCreateSwapChainForComposition, 1},
        {"target to make again", sim::ops::kEndDraw, platform::render::kRecreateTarget,
         sim::ops::kCreateDeviceContext, 1},
        {"another Present failure", {}, S_OK, sim::ops::kPresent, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const unsigned built = renderer.ChainsBuilt();
        if (!c.lost.empty()) {
            platform.Faults().Fail(c.lost, c.code, "gone");
        }
        platform.Faults().Fail(c.blocked, unavailable, "not now", sim::FaultMode::Always);
        const int fired = platform.Faults().FiredCount();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        const int tries = platform.Faults().FiredCount() - fired;
        // A frame's time between tries: about 30 at 100 Hz, never thousands.
        EXPECT_GE(tries, 2);
        EXPECT_LE(tries, static_cast<int>(kRate * 0.3 * 1.5) + 5);
        platform.Faults().ClearAll();
        const auto again = Frame();
        ASSERT_TRUE(again);
        EXPECT_EQ(renderer.ChainsBuilt(), built + c.rebuilt);
        EXPECT_EQ(renderer.ChainFailure(), S_OK);
        EXPECT_EQ(again->pixels, shown->pixels) << "the ring as before";
    }
    renderer.Stop();
}

// Host-thread changes while the render thread draws freely: ThreadSanitizer checks the sharing.
TEST_F(OverlayTest, HostThreadChangesWhileFramesRun) {
    platform.Graphics().SetPacing(sim::FramePacing::RealTime, 2000);
    auto busy = std::make_unique<detail::DialOverlayWindow>(host);
    for (int i = 0; i < 300; ++i) {
        if (i % 50 == 0) {
            busy->SetItem(tool, i % 100 == 0 ? Group() : PlainItem(), nullptr);
        }
        busy->Place(static_cast<float>(100 + i), 200, 40, 40);
        busy->SetContact(i % 2 == 0);
        if (i % 3 == 0) {
            busy->Show();
        } else {
            busy->Hide();
        }
        busy->IsVisible();
    }
    ASSERT_NE(busy->GetRenderer(), nullptr);
    busy.reset();
}

}  // namespace
}  // namespace Quarn::WinRT::testing
