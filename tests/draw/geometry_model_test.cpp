#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "bindings/draw/geometry_model.h"
#include "bindings/draw/recorder.h"

namespace Quarn::WinRT::platform::draw {
namespace {

constexpr double kPi = std::numbers::pi;

Ref<PathGeometry> Path(Point2F start, std::initializer_list<ArcSegment> arcs,
                       FigureEnd end = FigureEnd::Open, FigureBegin begin = FigureBegin::Filled) {
    ModelFactory factory;
    Ref<PathGeometry> path;
    EXPECT_EQ(factory.CreatePathGeometry(&path), S_OK);
    Ref<GeometrySink> sink;
    EXPECT_EQ(path->Open(&sink), S_OK);
    sink->BeginFigure(start, begin);
    for (const ArcSegment& arc : arcs) {
        sink->AddArc(arc);
    }
    sink->EndFigure(end);
    EXPECT_EQ(sink->Close(), S_OK);
    return path;
}

bool Contains(const Geometry& geometry, Point2F p, const Matrix3x2F& m = {}) {
    bool inside = false;
    EXPECT_EQ(geometry.FillContainsPoint(p, m, kDefaultFlatteningTolerance, &inside), S_OK);
    return inside;
}

TEST(GeometryModelTest, ArcSegmentsConvertToTheirCentreForm) {
    struct Case {
        const char* name;
        Point2F from;
        ArcSegment arc;
        Point2F centre;
        float radius;
        double start;
        double sweep;
    };
    const Case cases[] = {
        // From the top of a circle around (100, 100) to its right, clockwise on screen.
        {"quarter clockwise",
         {100, 50},
         {{150, 100}, {50, 50}, 0, SweepDirection::Clockwise, ArcSize::Small},
         {100, 100},
         50,
         -kPi / 2,
         kPi / 2},
        {"three quarters the long way round",
         {100, 50},
         {{150, 100}, {50, 50}, 0, SweepDirection::CounterClockwise, ArcSize::Large},
         {100, 100},
         50,
         -kPi / 2,
         -3 * kPi / 2},
        {"the other centre for the small counter-clockwise arc",
         {100, 50},
         {{150, 100}, {50, 50}, 0, SweepDirection::CounterClockwise, ArcSize::Small},
         {150, 50},
         50,
         kPi,
         -kPi / 2},
        // Radii too small to reach: scaled up to a half circle over the chord.
        {"radii scaled up",
         {0, 0},
         {{100, 0}, {10, 10}, 0, SweepDirection::Clockwise, ArcSize::Small},
         {50, 0},
         50,
         kPi,
         kPi},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ArcCentreForm form = ToCentreForm(c.from, c.arc);
        EXPECT_FALSE(form.isLine);
        EXPECT_NEAR(form.centre.x, c.centre.x, 1e-3);
        EXPECT_NEAR(form.centre.y, c.centre.y, 1e-3);
        EXPECT_NEAR(form.radiusX, c.radius, 1e-3);
        EXPECT_NEAR(std::remainder(form.startAngle - c.start, 2 * kPi), 0, 1e-6);
        EXPECT_NEAR(form.sweepAngle, c.sweep, 1e-6);
    }
    // Degenerate arcs are straight lines, whatever their radii say.
    for (const ArcSegment& arc :
         {ArcSegment{{10, 10}, {0, 5}}, ArcSegment{{0, 0}, {5, 5}},
          ArcSegment{{10, 10}, {std::numeric_limits<float>::quiet_NaN(), 5}}}) {
        EXPECT_TRUE(ToCentreForm({0, 0}, arc).isLine);
    }
}

TEST(GeometryModelTest, FillContainsPointFollowsTheShapeTheTransformAndTheFillRule) {
    ModelFactory factory;
    Ref<EllipseGeometry> circle;
    ASSERT_EQ(factory.CreateEllipseGeometry({{100, 100}, 56, 56}, &circle), S_OK);
    EXPECT_TRUE(Contains(*circle, {100, 100}));
    EXPECT_TRUE(Contains(*circle, {155, 100}));
    EXPECT_FALSE(Contains(*circle, {157, 100}));
    EXPECT_FALSE(Contains(*circle, {140, 140}));  // inside the square, outside the circle
    // Moved by the transform, and a transform that flattens everything contains nothing.
    EXPECT_TRUE(Contains(*circle, {300, 100}, Matrix3x2F::Translation(200, 0)));
    EXPECT_FALSE(Contains(*circle, {100, 100}, Matrix3x2F::Translation(200, 0)));
    EXPECT_FALSE(Contains(*circle, {100, 100}, Matrix3x2F{0, 0, 0, 0, 100, 100}));

    // A half disc: a half circle from the left to the right through the bottom, closed by the
    // diameter (an open figure is filled as if closed).
    auto half = Path({50, 100},
                     {{{150, 100}, {50, 50}, 0, SweepDirection::CounterClockwise, ArcSize::Small}});
    EXPECT_TRUE(Contains(*half, {100, 130}));
    EXPECT_FALSE(Contains(*half, {100, 70}));
    EXPECT_FALSE(Contains(*half, {100, 151}));

    // A hollow figure fills nothing.
    auto hollow = Path({50, 100}, {{{150, 100}, {50, 50}}}, FigureEnd::Closed, FigureBegin::Hollow);
    EXPECT_FALSE(Contains(*hollow, {100, 70}));
}

TEST(GeometryModelTest, TwoFiguresOneInsideTheOtherMakeARingUnderTheAlternateRule) {
    ModelFactory factory;
    Ref<PathGeometry> path;
    factory.CreatePathGeometry(&path);
    Ref<GeometrySink> sink;
    path->Open(&sink);
    for (float r : {50.0f, 25.0f}) {
        sink->BeginFigure({100 - r, 100}, FigureBegin::Filled);
        sink->AddArc({{100 + r, 100}, {r, r}});
        sink->AddArc({{100 - r, 100}, {r, r}});
        sink->EndFigure(FigureEnd::Closed);
    }
    ASSERT_EQ(sink->Close(), S_OK);
    EXPECT_TRUE(Contains(*path, {100, 60}));
    EXPECT_FALSE(Contains(*path, {100, 100})) << "the hole";
}

TEST(GeometryModelTest, ASinkUsedOutOfOrderFailsToClose) {
    ModelFactory factory;
    struct Case {
        const char* name;
        void (*misuse)(GeometrySink&);
    };
    const Case cases[] = {
        {"figure left open", [](GeometrySink& s) { s.BeginFigure({}, FigureBegin::Filled); }},
        {"segment outside a figure",
         [](GeometrySink& s) {
             s.AddLine({1, 1});
         }},
        {"end without begin", [](GeometrySink& s) { s.EndFigure(FigureEnd::Open); }},
        {"figure begun twice",
         [](GeometrySink& s) {
             s.BeginFigure({}, FigureBegin::Filled);
             s.BeginFigure({}, FigureBegin::Filled);
             s.EndFigure(FigureEnd::Open);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Ref<PathGeometry> path;
        factory.CreatePathGeometry(&path);
        Ref<GeometrySink> sink;
        ASSERT_EQ(path->Open(&sink), S_OK);
        c.misuse(*sink);
        EXPECT_EQ(sink->Close(), E_UNEXPECTED);
        bool inside = true;
        EXPECT_EQ(path->FillContainsPoint({0, 0}, {}, 0.25f, &inside), E_UNEXPECTED);
        EXPECT_FALSE(inside);
        Ref<GeometrySink> again;
        EXPECT_EQ(path->Open(&again), E_UNEXPECTED) << "a path opens once";
    }
}

TEST(GeometryModelTest, TheRecorderDescribesWhatWasDrawn) {
    RecordingDeviceContext recorder(MakeRef<ModelFactory>());
    Ref<SolidColourBrush> brush;
    recorder.CreateSolidColourBrush({1, 0.5f, 0, 1}, &brush);
    auto arc = Path({0, -10}, {{{10, 0}, {10, 10}}});
    recorder.BeginDraw();
    recorder.Clear(std::nullopt);
    recorder.DrawGeometry(arc.Get(), brush.Get(), 10, nullptr);
    recorder.FillEllipse({{5, 6}, 7, 8}, brush.Get());
    recorder.EndDraw();
    EXPECT_EQ(recorder.LastFrame(),
              (std::vector<std::string>{
                  "BeginDraw", "Clear none",
                  "DrawGeometry path{filled (0,-10) arc(10,0 r=10,10 rot=0 cw small) open} "
                  "brush=(1,0.5,0,1) width=10",
                  "FillEllipse centre=(5,6) radii=(7,8) brush=(1,0.5,0,1)", "EndDraw"}));
    EXPECT_EQ(recorder.FramesEnded(), 1);
}

}  // namespace
}  // namespace Quarn::WinRT::platform::draw
