#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "bindings/draw/geometry_model.h"

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
    constexpr auto kCw = SweepDirection::Clockwise;
    constexpr auto kCcw = SweepDirection::CounterClockwise;
    // From `from` to `to` with radii `r`; the centre, radius and angles (clockwise on screen).
    struct Case {
        Point2F from, to;
        float r;
        SweepDirection direction;
        ArcSize size;
        Point2F centre;
        float radius;
        double start, sweep;
    };
    const Case cases[] = {
        {{100, 50}, {150, 100}, 50, kCw, ArcSize::Small, {100, 100}, 50, -kPi / 2, kPi / 2},
        {{100, 50}, {150, 100}, 50, kCcw, ArcSize::Large, {100, 100}, 50, -kPi / 2, -3 * kPi / 2},
        {{100, 50}, {150, 100}, 50, kCcw, ArcSize::Small, {150, 50}, 50, kPi, -kPi / 2},
        // Radii too small to reach: scaled up to a half circle over the chord.
        {{0, 0}, {100, 0}, 10, kCw, ArcSize::Small, {50, 0}, 50, kPi, kPi},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sweep);
        const ArcCentreForm form =
            ToCentreForm(c.from, ArcSegment{c.to, {c.r, c.r}, 0, c.direction, c.size});
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

    // Two circles, one inside the other, make a ring under the alternate rule.
    Ref<PathGeometry> ring;
    factory.CreatePathGeometry(&ring);
    Ref<GeometrySink> sink;
    ring->Open(&sink);
    for (float r : {50.0f, 25.0f}) {
        sink->BeginFigure({100 - r, 100}, FigureBegin::Filled);
        sink->AddArc({{100 + r, 100}, {r, r}});
        sink->AddArc({{100 - r, 100}, {r, r}});
        sink->EndFigure(FigureEnd::Closed);
    }
    ASSERT_EQ(sink->Close(), S_OK);
    EXPECT_TRUE(Contains(*ring, {100, 60}));
    EXPECT_FALSE(Contains(*ring, {100, 100})) << "the hole";
}

TEST(GeometryModelTest, ASinkUsedOutOfOrderFailsToClose) {
    ModelFactory factory;
    // A figure left open, a segment outside a figure, an end without a begin, a figure begun
    // twice.
    using Misuse = void (*)(GeometrySink&);
    const Misuse misuses[] = {
        [](GeometrySink& s) { s.BeginFigure({}, FigureBegin::Filled); },
        [](GeometrySink& s) {
            s.AddLine({1, 1});
        },
        [](GeometrySink& s) { s.EndFigure(FigureEnd::Open); },
        [](GeometrySink& s) {
            s.BeginFigure({}, FigureBegin::Filled);
            s.BeginFigure({}, FigureBegin::Filled);
            s.EndFigure(FigureEnd::Open);
        },
    };
    for (const Misuse& misuse : misuses) {
        SCOPED_TRACE(&misuse - misuses);
        Ref<PathGeometry> path;
        factory.CreatePathGeometry(&path);
        Ref<GeometrySink> sink;
        ASSERT_EQ(path->Open(&sink), S_OK);
        misuse(*sink);
        EXPECT_EQ(sink->Close(), E_UNEXPECTED);
        bool inside = true;
        EXPECT_EQ(path->FillContainsPoint({0, 0}, {}, 0.25f, &inside), E_UNEXPECTED);
        EXPECT_FALSE(inside);
        Ref<GeometrySink> again;
        EXPECT_EQ(path->Open(&again), E_UNEXPECTED) << "a path opens once";
    }
}

}  // namespace
}  // namespace Quarn::WinRT::platform::draw
