#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "draw.h"
#include "recording_sink.h"
#include "render_test_support.h"

namespace kurvana::testing {
namespace {

std::vector<SinkCall> draw(const PointList& curve,
                           const ViewSettings& view = default_view()) {
  RecordingSink sink;
  draw_curve(sink, view, curve, SCREEN);
  return drawing_calls(sink);
}

// --- the inclusive range test -----------------------------------------------

constexpr double INF = std::numeric_limits<double>::infinity();
const double NOT_A_NUMBER = std::nan("");

struct RangeRow {
  const char* what;
  CurvePoint point;
  bool inside;
};

const RangeRow RANGE_ROWS[] = {
    {"on x_max", valid(10, 0), true},
    {"on x_min", valid(-10, 5), true},
    {"on y_max", valid(3, 10), true},
    {"on y_min", valid(3, -10), true},
    {"on a corner", valid(10, -10), true},
    {"just beyond x_max", valid(std::nextafter(10.0, 11.0), 0), false},
    {"just below y_min", valid(0, std::nextafter(-10.0, -11.0)), false},
    {"x not a number", valid(NOT_A_NUMBER, 0), false},
    {"y not a number", valid(0, NOT_A_NUMBER), false},
    {"x infinite", valid(INF, 0), false},
    {"y minus infinity", valid(0, -INF), false},
};

TEST(CurveRange, PointsOnTheBorderJoinAndPointsBeyondItDoNot) {
  for (const RangeRow& row : RANGE_ROWS) {
    const std::vector<SinkCall> calls =
        draw(curve_of({valid(0, 0), row.point}));
    ASSERT_FALSE(calls.empty()) << row.what;
    EXPECT_EQ(calls.front(), move_call(200, 200)) << row.what;
    EXPECT_EQ(calls.size(), row.inside ? 2u : 1u) << row.what;
    if (row.inside) {
      EXPECT_EQ(calls.back().kind, SinkCall::Kind::Line) << row.what;
    }
  }
}

TEST(CurveRange, PieceAcrossTheBorderIsLeftOutNotClipped) {
  const std::vector<SinkCall> expected{move_call(380, 200), line_call(400, 200),
                                       move_call(400, 180),
                                       line_call(380, 180)};
  EXPECT_EQ(draw(curve_of({valid(9, 0), valid(10, 0), valid(10.5, 0),
                           valid(10, 1), valid(9, 1)})),
            expected);
}

TEST(CurveRange, ReversedRangeFromAFileDrawsNothing) {
  EXPECT_TRUE(
      draw(curve_of({valid(0, 0), valid(1, 1)}), view_of(5, -5, -10, 10))
          .empty());
}

// --- breaks and pen lifts ---------------------------------------------------

TEST(CurveBreaks, IsolatedPointBetweenBreaksOnlyMoves) {
  const std::vector<SinkCall> expected{move_call(220, 180)};
  EXPECT_EQ(draw(curve_of({gap(), valid(1, 1), gap()})), expected);
}

TEST(CurveBreaks, ImplicitSegmentTriplesDrawOneLineEach) {
  const std::vector<SinkCall> expected{move_call(200, 200), line_call(220, 180),
                                       move_call(240, 200),
                                       line_call(260, 220)};
  EXPECT_EQ(draw(curve_of({valid(0, 0), valid(1, 1), gap(), valid(2, 0),
                           valid(3, -1), gap()})),
            expected);
}

TEST(CurveBreaks, ExplicitSamplesJoinIntoOnePolyline) {
  const std::vector<SinkCall> expected{move_call(180, 180), line_call(200, 200),
                                       line_call(220, 180),
                                       line_call(240, 160)};
  EXPECT_EQ(
      draw(curve_of({valid(-1, 1), valid(0, 0), valid(1, 1), valid(2, 2)})),
      expected);
}

struct FlagRow {
  uint32_t flag;
  bool valid;
};

// Only bit 0 decides.
const FlagRow FLAG_ROWS[] = {
    {POINT_VALID, true}, {POINT_VALID | POINT_BREAK, true},
    {0x5, true},         {POINT_BREAK, false},
    {0, false},          {0xFFFFFFFE, false},
};

TEST(CurveBreaks, OnlyTheLowFlagBitMarksAValidPoint) {
  for (const FlagRow& row : FLAG_ROWS) {
    const std::vector<SinkCall> calls =
        draw(curve_of({{row.flag, 0, 0}, valid(1, 0)}));
    const std::vector<SinkCall> joined{move_call(200, 200),
                                       line_call(220, 200)};
    const std::vector<SinkCall> alone{move_call(220, 200)};
    EXPECT_EQ(calls, row.valid ? joined : alone) << "flag " << row.flag;
  }
}

// --- the curve pen ----------------------------------------------------------

TEST(CurvePen, SelectedFromThePointListAndRestoredOnce) {
  RecordingSink sink;
  draw_curve(sink, default_view(),
             curve_of({valid(0, 0), valid(1, 1)}, 5, 0x00123456), SCREEN);
  const std::vector<SinkCall> expected{select_call(5, 0x00123456),
                                       move_call(200, 200), line_call(220, 180),
                                       restore_call()};
  EXPECT_EQ(sink.calls(), expected);
}

TEST(CurvePen, ListWithoutPointsDrawsNothingAndStillRestoresItsPen) {
  const PointList empty = curve_of({});
  PointList count_without_array = curve_of({});
  count_without_array.point_count = 3;
  const PointList* const lists[] = {&empty, &count_without_array};
  for (const PointList* list : lists) {
    RecordingSink sink;
    draw_curve(sink, default_view(), *list, SCREEN);
    const std::vector<SinkCall> expected{select_call(2, kColourRed),
                                         restore_call()};
    EXPECT_EQ(sink.calls(), expected);
  }
}

}  // namespace
}  // namespace kurvana::testing
