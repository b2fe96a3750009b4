// The samplers of explicit, parametric and polar curves and the implicit
// tracer, through recomputing a document, and their refusals.
#include "sampling.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "failing_allocator.h"
#include "recompute.h"
#include "recording_reporter.h"

namespace kurvana {
namespace {

using testing::RecordingReporter;
constexpr int32_t kLow = INT32_MIN, kHigh = INT32_MAX;
constexpr int32_t kExplicit = FUNCTION_EXPLICIT,
                  kParametric = FUNCTION_PARAMETRIC, kPolar = FUNCTION_POLAR,
                  kImplicit = FUNCTION_IMPLICIT;
const std::u16string kInvalidDomain = u"定義域が不正です。";
const std::u16string kUnsupportedKind = u"不正な形式の関数が指定されました。";
const std::u16string kCompileFailed = u"コンパイルに失敗しました。";

FunctionEntry entry_of(int32_t kind, const char* f, double low = -10,
                       double high = 10, int32_t density = 3,
                       const char* g = "") {
  FunctionEntry entry{kind, FLAG_VISIBLE, {}, {}, low, high, 0xFF, density};
  std::strncpy(entry.expression, f, EXPRESSION_MAX_LENGTH);
  std::strncpy(entry.expression2, g, EXPRESSION_MAX_LENGTH);
  return entry;
}

ViewSettings view_of(int32_t x_min = -10, int32_t x_max = 10,
                     int32_t y_min = -10, int32_t y_max = 10) {
  return {x_min, x_max, y_min, y_max, 100, 3, 2, 0, TICKS_GRID, 0x808080};
}

// A list holding an array from an earlier sampling.
void fill_with_stale_points(PointList& list) {
  list.points.reset(static_cast<CurvePoint*>(std::malloc(sizeof(CurvePoint))));
  list.points[0] = {POINT_VALID, 1.0, 2.0};
  list.point_count = 1;
}

// Each definition recomputed as the one function of a document, visible or
// not: 2^(density + 4) + 1 points from the exact lower end (densities from
// files clamped to 1..6), a break where f fails or a radius is negative,
// other letters 0, a field without terminator read to its end.  Implicit
// curves are segment triples: none across a pole or from failed cells; more
// than one per grid point; exact zeros found by both passes; degenerate
// views.  A refusal shows one error and leaves no points.
TEST(Sampling, PointsOrTheOneErrorOfEachDefinition) {
  FunctionEntry unterminated = entry_of(kExplicit, "", 0, 1, 1);
  std::memset(unterminated.expression, ' ', EXPRESSION_BYTES);
  unterminated.expression[0] = 'x';
  std::memset(unterminated.expression2, '*', EXPRESSION_BYTES);
  const CurvePoint kBreak{POINT_BREAK, 0, 0};
  const auto at = [](double x, double y) { return CurvePoint{1, x, y}; };
  // clang-format off
  const struct {
    FunctionEntry entry;
    uint32_t count, breaks;
    std::map<uint32_t, CurvePoint> points;
    std::u16string message = u"";
    ViewSettings view = view_of();
  } rows[] = {
      {entry_of(kExplicit, "2*x", -3, 7, 1), 33, 0, {{0, at(-3, -6)}, {32, at(7, 14)}}},
      {entry_of(kExplicit, "2*x", -3, 7, 6), 1025, 0, {{1, at(-2.990234375, -5.98046875)}}},
      {entry_of(kExplicit, "2*x", -3, 7, 0), 33, 0, {{32, at(7, 14)}}},
      {entry_of(kExplicit, "2*x", -3, 7, 7), 1025, 0, {{1024, at(7, 14)}}},
      {entry_of(kExplicit, "x", -1e306, 1e306, 1), 33, 0, {{16, at(0, 0)}, {32, at(1e306, 1e306)}}},
      {entry_of(kExplicit, "1/x+a+t+y"), 129, 1, {{0, at(-10, -0.1)}, {64, kBreak}}},
      {unterminated, 33, 0, {{32, at(1, 1)}}},
      {entry_of(kParametric, "2*t+x", 0, 6, 2, "t-1+y"), 65, 0, {{0, at(0, -1)}, {64, at(12, 5)}}},
      {entry_of(kParametric, "1/t", -1, 1, 1, "t"), 33, 1, {{16, kBreak}, {32, at(1, 1)}}},
      {entry_of(kParametric, "t", -1, 1, 1, "1/t"), 33, 1, {{16, kBreak}, {0, at(-1, -1)}}},
      {entry_of(kPolar, "t-5", 0, 10), 129, 64, {{63, kBreak}, {64, at(0, 0)}}},
      {entry_of(kPolar, "2", 0, 6), 129, 0, {{128, at(2 * std::cos(6.0), 2 * std::sin(6.0))}}},
      {entry_of(kImplicit, "y-1+0/(x*x+y*y)"), 195, 65, {{0, at(-10.3125, 1)}, {1, at(-9.6875, 1)}, {2, kBreak}}},
      {entry_of(kImplicit, "y-x"), 390, 130, {{0, at(-10.3125, -10.3125)}, {3, at(-10, -10)}, {195, at(-10.3125, -10.3125)}}},
      {entry_of(kImplicit, "cos(2.5132741228718345*x)*cos(2.5132741228718345*y)", -10, 10, 1), 1632, 544, {}},
      {entry_of(kImplicit, "1/x"), 0, 0, {}, u"", view_of(-10, 11, -10, 10)},
      {entry_of(kImplicit, "y"), 0, 0, {}, u"", view_of(3, 3, -10, 10)},
      {entry_of(kImplicit, "x-y"), 0, 0, {}, u"", view_of(-10, 10, 2, 2)},
      {entry_of(kImplicit, "x^2+y^2-25"), 384, 128, {}, u"", view_of(10, -10, 10, -10)},
      {entry_of(kImplicit, "y-0.5+x/10000000000"), 201, 67, {}, u"", view_of(kLow, kHigh, -10, 10)},
      {entry_of(kImplicit, "x-y"), 390, 130, {}, u"", view_of(kLow, kHigh, kLow, kHigh)},
      {entry_of(kExplicit, "x", 2, 2), 0, 0, {}, kInvalidDomain},
      {entry_of(kExplicit, "x", std::nan(""), 1), 0, 0, {}, kInvalidDomain},
      {entry_of(kExplicit, "1", -1e308, 1e308), 0, 0, {}, kInvalidDomain},
      {entry_of(kExplicit, "x", -1e306, 1e306, 6), 0, 0, {}, kInvalidDomain},
      {entry_of(kImplicit, "x-y", 1, 1), 0, 0, {}, kInvalidDomain},
      {entry_of(7, "x"), 0, 0, {}, kUnsupportedKind},
      {entry_of(0, "x"), 0, 0, {}, kUnsupportedKind},
      {entry_of(kExplicit, ""), 0, 0, {}, kCompileFailed},
      {entry_of(kPolar, "t+*2", 0, 1), 0, 0, {}, kCompileFailed},
      {entry_of(kParametric, "t", 0, 1, 3, "sin("), 0, 0, {}, kCompileFailed},
      {entry_of(kParametric, "", 0, 1, 3, "t"), 0, 0, {}, kCompileFailed},
      {entry_of(kImplicit, "x^^y"), 0, 0, {}, kCompileFailed}};
  // clang-format on
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.entry.expression, 8) + " density " +
                 std::to_string(row.entry.density));
    FunctionList functions;
    clear_function_list(functions);
    functions.entries[functions.count++] = row.entry;
    functions.entries[0].flags = (&row - rows) % 2;  // hidden ones too
    PointTable table;
    for (PointList& list : table) fill_with_stale_points(list);
    RecordingReporter reporter;
    EXPECT_TRUE(recompute_all(reporter, row.view, functions, table));
    EXPECT_EQ(reporter.messages.size(), row.message.empty() ? 0u : 1u);
    for (const auto& [text, icon] : reporter.messages) {
      EXPECT_EQ(text, row.message);
      EXPECT_EQ(icon, MessageIcon::kError);
    }
    const PointList& list = table[0];
    EXPECT_TRUE(list.colour == 0xFF && list.pen_width == 2);
    EXPECT_EQ(table[1].point_count, 0u);  // beyond the count
    ASSERT_EQ(list.point_count, row.count);
    EXPECT_EQ(list.points == nullptr, row.count == 0);
    uint32_t breaks = 0;
    for (uint32_t i = 0; i < row.count; ++i) {
      const CurvePoint& p = list.points[i];
      breaks += p.flag == POINT_BREAK;
      EXPECT_TRUE(p.flag == POINT_BREAK || std::isfinite(p.x + p.y)) << i;
    }
    EXPECT_EQ(breaks, row.breaks);
    for (const auto& [i, point] : row.points) {
      EXPECT_EQ(list.points[i].flag, point.flag) << i;
      EXPECT_DOUBLE_EQ(list.points[i].x, point.x) << i;
      EXPECT_DOUBLE_EQ(list.points[i].y, point.y) << i;
    }
  }
}

// Tangents two grid spacings (20 / 64) long along the closer axis, all round.
TEST(ImplicitTracer, CircleBecomesARingOfTangents) {
  RecordingReporter reporter;
  PointList list;
  ASSERT_TRUE(sample_function(reporter, view_of(),
                              entry_of(kImplicit, "x^2+y^2-25"), list));
  ASSERT_GE(list.point_count, 300u);
  std::vector<bool> sector_seen(16, false);
  for (uint32_t i = 0; i + 2 < list.point_count; i += 3) {
    const CurvePoint &a = list.points[i], &b = list.points[i + 1];
    EXPECT_TRUE(a.flag == 1 && b.flag == 1 && list.points[i + 2].flag == 2);
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double mx = (a.x + b.x) / 2, my = (a.y + b.y) / 2;
    EXPECT_DOUBLE_EQ(std::max(std::fabs(dx), std::fabs(dy)), 2 * 20.0 / 64);
    EXPECT_NEAR(std::hypot(a.x, a.y), 5.0, 0.03);
    EXPECT_NEAR(std::hypot(b.x, b.y), 5.0, 0.03);
    EXPECT_NEAR((mx * dx + my * dy) / (5 * std::hypot(dx, dy)), 0.0, 0.01);
    sector_seen[std::min(15, int((std::atan2(my, mx) + M_PI) / M_PI * 8))] =
        true;
  }
  EXPECT_EQ(sector_seen, std::vector<bool>(16, true));
}

// Each allocation of a sampler fails in turn, the tracer's growing array too
// (f alternating in sign at every grid point gives more segments than the
// first reserve): the sampling completes, or shows the memory message (the
// compile message when compiling ran out) and leaves no points and no block.
TEST(Sampling, EveryAllocationMayFail) {
  const FunctionEntry entries[] = {
      entry_of(kParametric, "t", 0, 1, 1, "t*t"),
      entry_of(kImplicit, "cos(2.5132741228718345*x)*cos(2.5132741228718345*y)",
               -10, 10, 1)};
  for (const FunctionEntry& entry : entries) {
    for (long n = 0;; ++n) {
      SCOPED_TRACE(entry.kind * 1000 + n);
      testing::InPlaceReporter reporter;
      PointList list;
      bool ok = false;
      uint32_t count = 0;
      const auto run = failing_allocator::RunFailing(n, [&] {
        ok = sample_function(reporter, view_of(), entry, list);
        count = list.point_count;
        list.release();
      });
      EXPECT_EQ(run.leaked, 0);
      EXPECT_TRUE(ok || run.hit);
      EXPECT_EQ(count, ok ? (entry.kind == kImplicit ? 1632u : 33u) : 0u);
      const std::u16string_view shown = reporter.shown();
      EXPECT_TRUE(ok ? shown.empty()
                     : shown == u"メモリが不足しています。" ||
                           shown == kCompileFailed);
      if (!run.hit) break;
    }
  }
}

}  // namespace
}  // namespace kurvana
