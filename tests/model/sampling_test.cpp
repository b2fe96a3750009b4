// The samplers of explicit, parametric and polar curves, their refusals, and
// recomputing a whole document.
#include "sampling.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "model_fixtures.h"
#include "recompute.h"
#include "recording_reporter.h"

namespace kurvana {
namespace {

using testing::make_entry;
using testing::RecordingReporter;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Samples |entry| and checks that it succeeds silently.
PointList sampled(const FunctionEntry& entry) {
  RecordingReporter reporter;
  PointList list;
  EXPECT_TRUE(sample_function(reporter, testing::default_view(), entry, list));
  EXPECT_TRUE(reporter.messages.empty());
  return list;
}

// A list that holds an array from an earlier sampling, to show that a
// failure does not leave it behind.
void fill_with_stale_points(PointList& list) {
  list.points.reset(static_cast<CurvePoint*>(std::malloc(sizeof(CurvePoint))));
  list.points[0] = {POINT_VALID, 1.0, 2.0};
  list.point_count = 1;
}

// 2^(density + 4) + 1 points from the exact lower end to the upper end;
// densities outside 1..6 come only from files and are clamped.
TEST(Sampling, DensitySetsTheCountOverTheWholeDomain) {
  const struct {
    int32_t density;
    uint32_t points;
  } rows[] = {{1, 33},   {3, 129},        {6, 1025},        {0, 33},
              {7, 1025}, {INT32_MIN, 33}, {INT32_MAX, 1025}};
  for (const auto& row : rows) {
    const PointList list =
        sampled(make_entry(FUNCTION_EXPLICIT, "2*x", -3, 7, row.density));
    ASSERT_EQ(list.point_count, row.points) << row.density;
    const CurvePoint& last = list.points[list.point_count - 1];
    EXPECT_EQ(list.points[0].flag, POINT_VALID);
    EXPECT_EQ(list.points[0].x, -3.0);
    EXPECT_EQ(list.points[0].y, -6.0);
    EXPECT_DOUBLE_EQ(last.x, 7.0);
    EXPECT_DOUBLE_EQ(last.y, 14.0);
  }
  // 2e306 is too wide at density 6 (below) but samples at density 1.
  const PointList huge =
      sampled(make_entry(FUNCTION_EXPLICIT, "x", -1e306, 1e306, 1));
  ASSERT_EQ(huge.point_count, 33u);
  for (uint32_t i = 0; i < 33; ++i)
    EXPECT_TRUE(std::isfinite(huge.points[i].y));
  EXPECT_EQ(huge.points[32].x, 1e306);
}

// A failed evaluation is a break; letters other than the parameter read 0.
TEST(Sampling, ExplicitCurveBreaksWhereItFails) {
  const PointList list = sampled(make_entry(FUNCTION_EXPLICIT, "1/x+a+t+y"));
  ASSERT_EQ(list.point_count, 129u);
  for (uint32_t i = 0; i < list.point_count; ++i) {
    const CurvePoint& point = list.points[i];
    ASSERT_EQ(point.flag, i == 64 ? POINT_BREAK : POINT_VALID) << i;
    if (i != 64) {
      EXPECT_DOUBLE_EQ(point.y, 1.0 / point.x);
    }
  }
}

TEST(Sampling, ParametricCurveTakesXFromFAndYFromG) {
  const PointList list = sampled(
      make_entry(FUNCTION_PARAMETRIC, "cos(t)+x", 0.0, 6.0, 2, "sin(t)*2"));
  ASSERT_EQ(list.point_count, 65u);
  for (uint32_t i = 0; i < list.point_count; ++i) {
    const double t = 6.0 * i / 64;
    ASSERT_EQ(list.points[i].flag, POINT_VALID);
    EXPECT_DOUBLE_EQ(list.points[i].x, std::cos(t));
    EXPECT_DOUBLE_EQ(list.points[i].y, 2 * std::sin(t));
  }
  for (const char* f : {"1/t", "t"}) {
    const PointList broken = sampled(make_entry(FUNCTION_PARAMETRIC, f, -1, 1,
                                                1, f[0] == 't' ? "1/t" : "t"));
    for (uint32_t i = 0; i < broken.point_count; ++i) {
      EXPECT_EQ(broken.points[i].flag, i == 16 ? POINT_BREAK : POINT_VALID);
    }
  }
}

TEST(Sampling, PolarCurveBreaksAtNegativeRadii) {
  const PointList list = sampled(make_entry(FUNCTION_POLAR, "t-5", 0, 10));
  ASSERT_EQ(list.point_count, 129u);
  for (uint32_t i = 0; i < list.point_count; ++i) {
    const double t = 10.0 * i / 128;
    ASSERT_EQ(list.points[i].flag, i < 64 ? POINT_BREAK : POINT_VALID) << i;
    if (i < 64) continue;
    EXPECT_DOUBLE_EQ(list.points[i].x, (t - 5) * std::cos(t));
    EXPECT_DOUBLE_EQ(list.points[i].y, (t - 5) * std::sin(t));
  }
}

const std::u16string kInvalidDomain = u"定義域が不正です。";
const std::u16string kUnsupportedKind = u"不正な形式の関数が指定されました。";
const std::u16string kCompileFailed = u"コンパイルに失敗しました。";

// Implicit curves ignore the domain but are checked all the same.
TEST(Sampling, RefusedDefinitionShowsOneErrorAndLeavesNoPoints) {
  const struct {
    FunctionEntry entry;
    const std::u16string& message;
  } rows[] = {
      {make_entry(FUNCTION_EXPLICIT, "x", 2, 2), kInvalidDomain},
      {make_entry(FUNCTION_EXPLICIT, "x", kNaN, 1), kInvalidDomain},
      {make_entry(FUNCTION_POLAR, "t", 0, kNaN), kInvalidDomain},
      {make_entry(FUNCTION_EXPLICIT, "1", -kInf, 0), kInvalidDomain},
      {make_entry(FUNCTION_EXPLICIT, "1", -1e308, 1e308), kInvalidDomain},
      {make_entry(FUNCTION_EXPLICIT, "x", -1e306, 1e306, 6), kInvalidDomain},
      {make_entry(FUNCTION_IMPLICIT, "x-y", 1, 1), kInvalidDomain},
      {make_entry(7, "x"), kUnsupportedKind},
      {make_entry(0, "x"), kUnsupportedKind},
      {make_entry(FUNCTION_EXPLICIT, ""), kCompileFailed},
      {make_entry(FUNCTION_POLAR, "t+*2", 0, 1), kCompileFailed},
      {make_entry(FUNCTION_PARAMETRIC, "t", 0, 1, 3, "sin("), kCompileFailed},
      {make_entry(FUNCTION_PARAMETRIC, "", 0, 1, 3, "t"), kCompileFailed},
      {make_entry(FUNCTION_IMPLICIT, "x^^y"), kCompileFailed}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.entry.expression);
    RecordingReporter reporter;
    PointList list;
    fill_with_stale_points(list);
    EXPECT_FALSE(
        sample_function(reporter, testing::default_view(), row.entry, list));
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0].text, row.message);
    EXPECT_EQ(reporter.messages[0].icon, MessageIcon::kError);
    EXPECT_EQ(list.point_count, 0u);
    EXPECT_EQ(list.points, nullptr);
  }
}

// A field filled to its last byte (a damaged document) is read no further.
TEST(Sampling, FieldWithoutTerminatorIsReadOnlyToItsEnd) {
  FunctionEntry entry = make_entry(FUNCTION_EXPLICIT, "", 0, 1, 1);
  std::memset(entry.expression, ' ', EXPRESSION_BYTES);
  entry.expression[0] = 'x';
  std::memset(entry.expression2, '*', EXPRESSION_BYTES);
  const PointList list = sampled(entry);
  EXPECT_EQ(list.points[list.point_count - 1].y, 1.0);
}

// Every entry is sampled, visible or not, broken ones report in list order,
// each list takes its entry's colour and the view's pen width, and the
// slots beyond the count, or beyond the table for a damaged count, are
// emptied.
TEST(Recompute, SamplesEveryEntryIntoItsSlot) {
  FunctionList functions;
  clear_function_list(functions);
  const FunctionEntry entries[] = {
      make_entry(FUNCTION_EXPLICIT, "x"),
      make_entry(7, "x"),
      make_entry(FUNCTION_POLAR, "1", 0, 6),
      make_entry(FUNCTION_EXPLICIT, ""),
      make_entry(FUNCTION_IMPLICIT, "x^2+y^2-25"),
      make_entry(FUNCTION_PARAMETRIC, "t", 5, 1, 3, "t")};
  for (uint32_t i = 0; i < 6; ++i) {
    functions.entries[i] = entries[i];
    functions.entries[i].colour = i + 1;
    functions.entries[i].flags = i % 2;  // hidden ones are sampled too
  }
  functions.count = 6;
  ViewSettings view = testing::default_view();
  view.graph_width = 7;
  PointTable table;
  for (PointList& list : table) fill_with_stale_points(list);
  RecordingReporter reporter;
  EXPECT_TRUE(recompute_all(reporter, view, functions, table));
  ASSERT_EQ(reporter.messages.size(), 3u);
  EXPECT_EQ(reporter.messages[0].text, kUnsupportedKind);
  EXPECT_EQ(reporter.messages[1].text, kCompileFailed);
  EXPECT_EQ(reporter.messages[2].text, kInvalidDomain);
  const int64_t counts[] = {129, 0, 129, 0, -1, 0, 0, 0, 0, 0};  // -1: some
  for (uint32_t i = 0; i < table.size(); ++i) {
    if (counts[i] < 0) {
      EXPECT_GT(table[i].point_count, 0u);
    } else {
      EXPECT_EQ(table[i].point_count, counts[i]) << i;
    }
    if (i >= 6) continue;
    EXPECT_EQ(table[i].colour, i + 1);
    EXPECT_EQ(table[i].pen_width, 7u);
  }
  for (uint32_t i = 0; i < MAX_FUNCTIONS; ++i) {
    functions.entries[i] = make_entry(FUNCTION_EXPLICIT, "x", -1, 1, 1);
  }
  functions.count = 1000;
  EXPECT_TRUE(recompute_all(reporter, view, functions, table));
  for (const PointList& list : table) EXPECT_EQ(list.point_count, 33u);
}

}  // namespace
}  // namespace kurvana
