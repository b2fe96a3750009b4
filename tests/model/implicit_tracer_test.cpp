// The implicit tracer: where its segments lie, their shape, and the cases
// where the grid would mislead it (poles, failed cells, degenerate views).
#include "implicit_tracer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <vector>

#include "model_fixtures.h"
#include "recording_reporter.h"

namespace kurvana {
namespace {

struct Segment {
  CurvePoint a, b;
};

ViewSettings view_of(int32_t x_min, int32_t x_max, int32_t y_min,
                     int32_t y_max) {
  ViewSettings view = testing::default_view();
  view.x_min = x_min;
  view.x_max = x_max;
  view.y_min = y_min;
  view.y_max = y_max;
  return view;
}

// Traces and checks the layout every segment list shares: triples of two
// valid, finite end points and a break.
std::vector<Segment> trace(const char* f, int32_t density,
                           const ViewSettings& view = view_of(-10, 10, -10,
                                                              10)) {
  testing::RecordingReporter reporter;
  PointList list;
  EXPECT_TRUE(trace_implicit(
      reporter, view,
      testing::make_entry(FUNCTION_IMPLICIT, f, -10, 10, density), list));
  EXPECT_TRUE(reporter.messages.empty());
  EXPECT_EQ(list.point_count % 3, 0u);
  std::vector<Segment> segments;
  for (uint32_t i = 0; i + 2 < list.point_count; i += 3) {
    const CurvePoint* p = &list.points[i];
    EXPECT_EQ(p[0].flag, POINT_VALID);
    EXPECT_EQ(p[1].flag, POINT_VALID);
    EXPECT_EQ(p[2].flag, POINT_BREAK);
    EXPECT_TRUE(std::isfinite(p[0].x + p[0].y + p[1].x + p[1].y)) << i;
    segments.push_back({p[0], p[1]});
  }
  return segments;
}

// 2^(density + 3) intervals over the 20 units of the default view.
double spacing(int32_t density) { return 20.0 / (1 << (density + 3)); }

// Each segment is a tangent two spacings long along the axis the curve runs
// closer to, and the segments go all round.
TEST(ImplicitTracer, CircleBecomesARingOfTangents) {
  const std::vector<Segment> segments = trace("x^2+y^2-25", 3);
  ASSERT_GE(segments.size(), 100u);
  std::vector<bool> sector_seen(16, false);
  for (const Segment& s : segments) {
    const double dx = s.b.x - s.a.x, dy = s.b.y - s.a.y;
    EXPECT_DOUBLE_EQ(std::max(std::fabs(dx), std::fabs(dy)), 2 * spacing(3));
    EXPECT_NEAR(std::hypot(s.a.x, s.a.y), 5.0, 0.03);
    EXPECT_NEAR(std::hypot(s.b.x, s.b.y), 5.0, 0.03);
    const double mx = (s.a.x + s.b.x) / 2, my = (s.a.y + s.b.y) / 2;
    EXPECT_NEAR(std::hypot(mx, my), 5.0, 0.01);
    EXPECT_NEAR((mx * dx + my * dy) / (std::hypot(mx, my) * std::hypot(dx, dy)),
                0.0, 0.01);
    const double angle = std::atan2(my, mx) + M_PI;
    sector_seen[std::min(15, int(angle / (2 * M_PI) * 16))] = true;
  }
  EXPECT_EQ(sector_seen, std::vector<bool>(16, true));
}

// f is exactly zero at every grid point of the diagonal: each is the
// current cell once in each pass and yields the same segment twice.
TEST(ImplicitTracer, ExactZerosOnTheGridGiveDoubledSegments) {
  const double w = spacing(3);
  const std::vector<Segment> segments = trace("y-x", 3);
  ASSERT_EQ(segments.size(), 2u * 65);
  std::map<double, int> times_at;
  for (const Segment& s : segments) {
    const double x = (s.a.x + s.b.x) / 2;
    EXPECT_NEAR(s.a.x, x - w, 1e-12);
    EXPECT_NEAR(s.a.y, x - w, 1e-12);
    EXPECT_NEAR(s.b.x, x + w, 1e-12);
    EXPECT_NEAR(s.b.y, x + w, 1e-12);
    EXPECT_DOUBLE_EQ(std::remainder(x, w), 0.0) << x << " is off the grid";
    ++times_at[x];
  }
  ASSERT_EQ(times_at.size(), 65u);
  for (const auto& [x, times] : times_at) EXPECT_EQ(times, 2) << x;
}

// The sign of 1/x changes across x = 0, which is no grid line from -10 to
// 11: f halfway lies far outside the two values.  log fails for x <= 0:
// those cells take part in no crossing.
TEST(ImplicitTracer, PolesAndFailedCellsMakeNoCrossing) {
  EXPECT_TRUE(trace("1/x", 3, view_of(-10, 11, -10, 10)).empty());
  const std::vector<Segment> segments = trace("log(x)+0*y", 3);
  ASSERT_FALSE(segments.empty());
  for (const Segment& s : segments) {
    EXPECT_NEAR(s.a.x, 1.0, 0.01);
    EXPECT_NEAR(s.b.x, 1.0, 0.01);
  }
}

// f alternates in sign from every grid point to the next: both passes find
// a crossing at every pair, 2 * 17 * 16 segments for 17 x 17 grid points,
// more than the first reserve of one per grid point.
TEST(ImplicitTracer, KeepsEverySegmentWhenTheyOutnumberTheGridPoints) {
  EXPECT_EQ(
      trace("cos(2.5132741228718345*x)*cos(2.5132741228718345*y)", 1).size(),
      2u * 17 * 16);
  const size_t finest = trace("sin(40*x)*sin(40*y)", 6).size();
  EXPECT_GT(finest, 200000u);
  EXPECT_LE(finest, 2u * 513 * 513);
}

// Views the settings dialog never makes but a file may carry: the trace
// stays finite and still finds the curve where the view holds one.
TEST(ImplicitTracer, ViewsFromFiles) {
  constexpr int32_t kLow = std::numeric_limits<int32_t>::min();
  constexpr int32_t kHigh = std::numeric_limits<int32_t>::max();
  const struct {
    ViewSettings view;
    const char* f;
    bool curve;
  } rows[] = {{view_of(3, 3, -10, 10), "y", false},
              {view_of(-10, 10, 2, 2), "x-y", false},
              {view_of(10, -10, 10, -10), "x^2+y^2-25", true},
              {view_of(kLow, kHigh, -10, 10), "y-0.5+x/10000000000", true},
              {view_of(kLow, kHigh, kLow, kHigh), "x-y", true}};
  for (const auto& row : rows) {
    EXPECT_EQ(!trace(row.f, 3, row.view).empty(), row.curve) << row.f;
  }
}

}  // namespace
}  // namespace kurvana
