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

using testing::default_view;
using testing::make_entry;
using testing::RecordingReporter;

struct Segment {
  CurvePoint a;
  CurvePoint b;
};

// Traces and checks the layout every segment list shares: triples of two
// valid, finite end points and a break.
std::vector<Segment> trace(const char* f, int32_t density,
                           const ViewSettings& view = default_view()) {
  RecordingReporter reporter;
  PointList list;
  EXPECT_TRUE(trace_implicit(reporter, view,
                             make_entry(FUNCTION_IMPLICIT, f, -10, 10, density),
                             list));
  EXPECT_TRUE(reporter.messages.empty());
  EXPECT_EQ(list.point_count % 3, 0u);
  std::vector<Segment> segments;
  for (uint32_t i = 0; i + 2 < list.point_count; i += 3) {
    const CurvePoint* triple = &list.points[i];
    EXPECT_EQ(triple[0].flag, POINT_VALID);
    EXPECT_EQ(triple[1].flag, POINT_VALID);
    EXPECT_EQ(triple[2].flag, POINT_BREAK);
    for (const CurvePoint& end : {triple[0], triple[1]}) {
      EXPECT_TRUE(std::isfinite(end.x) && std::isfinite(end.y))
          << "segment " << i / 3;
    }
    segments.push_back({triple[0], triple[1]});
  }
  return segments;
}

double spacing(int32_t density) { return 20.0 / (1 << (density + 3)); }

TEST(ImplicitTracer, CircleBecomesARingOfTangents) {
  const double w = spacing(3);
  const std::vector<Segment> segments = trace("x^2+y^2-25", 3);
  ASSERT_GE(segments.size(), 100u);
  std::vector<bool> sector_seen(16, false);
  for (const Segment& s : segments) {
    const double dx = s.b.x - s.a.x, dy = s.b.y - s.a.y;
    // Two spacings along the axis the curve runs closer to.
    if (std::fabs(dx) >= std::fabs(dy)) {
      EXPECT_DOUBLE_EQ(std::fabs(dx), 2 * w);
    } else {
      EXPECT_DOUBLE_EQ(std::fabs(dy), 2 * w);
    }
    EXPECT_NEAR(std::hypot(s.a.x, s.a.y), 5.0, 0.03);
    EXPECT_NEAR(std::hypot(s.b.x, s.b.y), 5.0, 0.03);
    const double mx = (s.a.x + s.b.x) / 2, my = (s.a.y + s.b.y) / 2;
    EXPECT_NEAR(std::hypot(mx, my), 5.0, 0.01);
    // A tangent is perpendicular to the radius.
    EXPECT_NEAR((mx * dx + my * dy) / (std::hypot(mx, my) * std::hypot(dx, dy)),
                0.0, 0.01);
    const double angle = std::atan2(my, mx) + M_PI;
    sector_seen[std::min(15, int(angle / (2 * M_PI) * 16))] = true;
  }
  for (int sector = 0; sector < 16; ++sector) {
    EXPECT_TRUE(sector_seen[sector]) << "no segment in sector " << sector;
  }
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
    ++times_at[x];
  }
  ASSERT_EQ(times_at.size(), 65u);
  for (const auto& [x, times] : times_at) {
    EXPECT_EQ(times, 2) << "at x = " << x;
    EXPECT_DOUBLE_EQ(std::remainder(x, w), 0.0) << x << " is off the grid";
  }
}

// The sign of 1/x changes across x = 0, which is no grid line when the view
// runs from -10 to 11; f halfway there is far outside the two values.
TEST(ImplicitTracer, RejectsTheSignChangeAtAPole) {
  ViewSettings view = default_view();
  view.x_max = 11;
  EXPECT_TRUE(trace("1/x", 3, view).empty());
}

// log fails for x <= 0: those cells take part in no crossing, so the only
// segments are those of x = 1.
TEST(ImplicitTracer, FailedGridCellsMakeNoCrossing) {
  const std::vector<Segment> segments = trace("log(x)+0*y", 3);
  ASSERT_FALSE(segments.empty());
  for (const Segment& s : segments) {
    EXPECT_NEAR(s.a.x, 1.0, 0.01);
    EXPECT_NEAR(s.b.x, 1.0, 0.01);
  }
}

// f alternates in sign from every grid point to the next, so both passes
// find a crossing at every pair: 2 * 17 * 16 segments for 17 x 17 grid
// points, more than the first reserve of one per grid point.
TEST(ImplicitTracer, KeepsEverySegmentWhenTheyOutnumberTheGridPoints) {
  const std::vector<Segment> segments =
      trace("cos(2.5132741228718345*x)*cos(2.5132741228718345*y)", 1);
  EXPECT_EQ(segments.size(), 2u * 17 * 16);
}

TEST(ImplicitTracer, DenseSignChangesAtTheFinestDensity) {
  const std::vector<Segment> segments = trace("sin(40*x)*sin(40*y)", 6);
  EXPECT_GT(segments.size(), 200000u);
  EXPECT_LE(segments.size(), 2u * 513 * 513);
}

ViewSettings view_of(int32_t x_min, int32_t x_max, int32_t y_min,
                     int32_t y_max) {
  ViewSettings view = default_view();
  view.x_min = x_min;
  view.x_max = x_max;
  view.y_min = y_min;
  view.y_max = y_max;
  return view;
}

// Views the settings dialog never makes but a document file may carry: the
// trace stays finite and in bounds (the checks sit in trace()) and still
// finds the curve where the view holds one.
TEST(ImplicitTracer, ViewsFromFiles) {
  constexpr int32_t kLowest = std::numeric_limits<int32_t>::min();
  constexpr int32_t kHighest = std::numeric_limits<int32_t>::max();
  const struct {
    ViewSettings view;
    const char* f;
    bool curve;
  } rows[] = {
      {view_of(3, 3, -10, 10), "y", false},
      {view_of(-10, 10, 2, 2), "x-y", false},
      {view_of(10, -10, 10, -10), "x^2+y^2-25", true},
      {view_of(kLowest, kHighest, -10, 10), "y-0.5+x/10000000000", true},
      {view_of(kLowest, kHighest, kLowest, kHighest), "x-y", true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.f);
    EXPECT_EQ(!trace(row.f, 3, row.view).empty(), row.curve);
  }
}

}  // namespace
}  // namespace kurvana
