// The dispatcher and the samplers of explicit, parametric and polar curves.
#include "sampling.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "model_fixtures.h"
#include "recording_reporter.h"

namespace kurvana {
namespace {

using testing::default_view;
using testing::fill_with_stale_points;
using testing::make_entry;
using testing::RecordingReporter;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

bool sample(RecordingReporter& reporter, const FunctionEntry& entry,
            PointList& list) {
  return sample_function(reporter, default_view(), entry, list);
}

struct CountRow {
  int32_t density;
  uint32_t points;
};

class SampleCount : public ::testing::TestWithParam<CountRow> {};

// Out-of-range densities can only come from a file; they are clamped to
// the nearest end of 1..6.
INSTANTIATE_TEST_SUITE_P(
    Densities, SampleCount,
    ::testing::Values(CountRow{1, 33}, CountRow{2, 65}, CountRow{3, 129},
                      CountRow{4, 257}, CountRow{5, 513}, CountRow{6, 1025},
                      CountRow{0, 33}, CountRow{-5, 33}, CountRow{7, 1025},
                      CountRow{1000, 1025},
                      CountRow{std::numeric_limits<int32_t>::min(), 33},
                      CountRow{std::numeric_limits<int32_t>::max(), 1025}));

TEST_P(SampleCount, SpansTheDomainFromItsExactLowerEnd) {
  RecordingReporter reporter;
  PointList list;
  const FunctionEntry entry =
      make_entry(FUNCTION_EXPLICIT, "2*x", -3.0, 7.0, GetParam().density);
  ASSERT_TRUE(sample(reporter, entry, list));
  EXPECT_TRUE(reporter.messages.empty());
  ASSERT_EQ(list.point_count, GetParam().points);
  const CurvePoint& first = list.points[0];
  const CurvePoint& last = list.points[list.point_count - 1];
  EXPECT_EQ(first.flag, POINT_VALID);
  EXPECT_EQ(first.x, -3.0);
  EXPECT_EQ(first.y, -6.0);
  EXPECT_DOUBLE_EQ(last.x, 7.0);
  EXPECT_DOUBLE_EQ(last.y, 14.0);
}

TEST(ExplicitSampling, HugeDomainSamplesAtLowDensity) {
  RecordingReporter reporter;
  PointList list;
  ASSERT_TRUE(sample(
      reporter, make_entry(FUNCTION_EXPLICIT, "x", -1e306, 1e306, 1), list));
  ASSERT_EQ(list.point_count, 33u);
  for (uint32_t i = 0; i < list.point_count; ++i) {
    EXPECT_EQ(list.points[i].flag, POINT_VALID) << i;
    EXPECT_TRUE(std::isfinite(list.points[i].x)) << i;
  }
  EXPECT_EQ(list.points[0].x, -1e306);
  EXPECT_EQ(list.points[32].x, 1e306);
}

TEST(ExplicitSampling, BreaksAtTheZeroDivisorOfOneOverX) {
  RecordingReporter reporter;
  PointList list;
  ASSERT_TRUE(sample(reporter, make_entry(FUNCTION_EXPLICIT, "1/x"), list));
  ASSERT_EQ(list.point_count, 129u);
  for (uint32_t i = 0; i < list.point_count; ++i) {
    const CurvePoint& point = list.points[i];
    if (i == 64) {
      EXPECT_EQ(point.flag, POINT_BREAK);
    } else {
      ASSERT_EQ(point.flag, POINT_VALID) << "point " << i;
      EXPECT_DOUBLE_EQ(point.y, 1.0 / point.x);
    }
  }
  EXPECT_TRUE(reporter.messages.empty());
}

// The sampler writes only its parameter; every other letter reads zero,
// whatever kind of curve is sampled.
TEST(ExplicitSampling, OtherLettersReadZero) {
  RecordingReporter reporter;
  PointList list;
  ASSERT_TRUE(sample(
      reporter, make_entry(FUNCTION_EXPLICIT, "x+a+t+y+z+1", 0, 1, 1), list));
  for (uint32_t i = 0; i < list.point_count; ++i) {
    EXPECT_EQ(list.points[i].y, list.points[i].x + 1);
  }
}

TEST(ParametricSampling, TakesXFromFAndYFromGAtTheSameT) {
  RecordingReporter reporter;
  PointList list;
  const FunctionEntry entry =
      make_entry(FUNCTION_PARAMETRIC, "cos(t)+x", 0.0, 6.0, 2, "sin(t)*2");
  ASSERT_TRUE(sample(reporter, entry, list));
  ASSERT_EQ(list.point_count, 65u);
  for (uint32_t i = 0; i < list.point_count; ++i) {
    const double t = 6.0 * i / 64;
    ASSERT_EQ(list.points[i].flag, POINT_VALID);
    EXPECT_DOUBLE_EQ(list.points[i].x, std::cos(t));
    EXPECT_DOUBLE_EQ(list.points[i].y, 2 * std::sin(t));
  }
}

struct BreakRow {
  const char* f;
  const char* g;
};

class ParametricBreak : public ::testing::TestWithParam<BreakRow> {};

INSTANTIATE_TEST_SUITE_P(EitherExpression, ParametricBreak,
                         ::testing::Values(BreakRow{"1/t", "t"},
                                           BreakRow{"t", "1/t"}));

TEST_P(ParametricBreak, WhereFOrGFails) {
  RecordingReporter reporter;
  PointList list;
  const FunctionEntry entry =
      make_entry(FUNCTION_PARAMETRIC, GetParam().f, -1.0, 1.0, 1, GetParam().g);
  ASSERT_TRUE(sample(reporter, entry, list));
  ASSERT_EQ(list.point_count, 33u);
  for (uint32_t i = 0; i < list.point_count; ++i) {
    EXPECT_EQ(list.points[i].flag, i == 16 ? POINT_BREAK : POINT_VALID) << i;
  }
}

TEST(PolarSampling, NegativeRadiusBreaksAndZeroRadiusIsTheOrigin) {
  RecordingReporter reporter;
  PointList list;
  ASSERT_TRUE(
      sample(reporter, make_entry(FUNCTION_POLAR, "t-5", 0.0, 10.0), list));
  ASSERT_EQ(list.point_count, 129u);
  for (uint32_t i = 0; i < 64; ++i) {
    EXPECT_EQ(list.points[i].flag, POINT_BREAK) << i;
  }
  EXPECT_EQ(list.points[64].flag, POINT_VALID);
  EXPECT_EQ(list.points[64].x, 0.0);
  EXPECT_EQ(list.points[64].y, 0.0);
  for (uint32_t i = 65; i < list.point_count; ++i) {
    const double t = 10.0 * i / 128;
    ASSERT_EQ(list.points[i].flag, POINT_VALID);
    EXPECT_DOUBLE_EQ(list.points[i].x, (t - 5) * std::cos(t));
    EXPECT_DOUBLE_EQ(list.points[i].y, (t - 5) * std::sin(t));
  }
}

struct FailureRow {
  const char* name;
  FunctionEntry entry;
  std::u16string message;
};

void PrintTo(const FailureRow& row, std::ostream* out) { *out << row.name; }

const std::u16string kInvalidDomain = u"定義域が不正です。";
const std::u16string kUnsupportedKind = u"不正な形式の関数が指定されました。";
const std::u16string kCompileFailed = u"コンパイルに失敗しました。";

class RefusedDefinition : public ::testing::TestWithParam<FailureRow> {};

INSTANTIATE_TEST_SUITE_P(
    Definitions, RefusedDefinition,
    ::testing::Values(
        FailureRow{"EmptyDomain", make_entry(FUNCTION_EXPLICIT, "x", 2, 2),
                   kInvalidDomain},
        FailureRow{"ReversedDomain", make_entry(FUNCTION_EXPLICIT, "x", 3, -3),
                   kInvalidDomain},
        FailureRow{"NaNLowerEnd", make_entry(FUNCTION_EXPLICIT, "x", kNaN, 1),
                   kInvalidDomain},
        FailureRow{"NaNUpperEnd", make_entry(FUNCTION_POLAR, "t", 0, kNaN),
                   kInvalidDomain},
        FailureRow{"InfiniteEnd",
                   make_entry(FUNCTION_EXPLICIT, "1", -kInfinity, 0),
                   kInvalidDomain},
        FailureRow{"SpanBeyondDoubles",
                   make_entry(FUNCTION_EXPLICIT, "1", -1e308, 1e308),
                   kInvalidDomain},
        // 2e306 * 1024 sample steps overflow; at density 1 (32 steps) the
        // same domain samples (see HugeDomainSamplesAtLowDensity).
        FailureRow{"HugeDomainAtDensitySix",
                   make_entry(FUNCTION_EXPLICIT, "x", -1e306, 1e306, 6),
                   kInvalidDomain},
        // Implicit curves ignore the domain but are checked all the same.
        FailureRow{"ImplicitWithEmptyDomain",
                   make_entry(FUNCTION_IMPLICIT, "x-y", 1, 1), kInvalidDomain},
        FailureRow{"KindSeven", make_entry(7, "x"), kUnsupportedKind},
        FailureRow{"KindZero", make_entry(0, "x"), kUnsupportedKind},
        FailureRow{"EmptyText", make_entry(FUNCTION_EXPLICIT, ""),
                   kCompileFailed},
        FailureRow{"SyntaxError", make_entry(FUNCTION_POLAR, "t+*2", 0, 1),
                   kCompileFailed},
        FailureRow{"ParametricGDoesNotCompile",
                   make_entry(FUNCTION_PARAMETRIC, "t", 0, 1, 3, "sin("),
                   kCompileFailed},
        FailureRow{"ParametricFDoesNotCompile",
                   make_entry(FUNCTION_PARAMETRIC, "", 0, 1, 3, "t"),
                   kCompileFailed},
        FailureRow{"ImplicitDoesNotCompile",
                   make_entry(FUNCTION_IMPLICIT, "x^^y"), kCompileFailed}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_P(RefusedDefinition, ShowsOneErrorAndLeavesTheListEmpty) {
  RecordingReporter reporter;
  PointList list;
  fill_with_stale_points(list);
  EXPECT_FALSE(sample(reporter, GetParam().entry, list));
  ASSERT_EQ(reporter.messages.size(), 1u);
  EXPECT_EQ(reporter.messages[0].text, GetParam().message);
  EXPECT_EQ(reporter.messages[0].icon, MessageIcon::kError);
  EXPECT_EQ(list.point_count, 0u);
  EXPECT_EQ(list.points, nullptr);
}

// A field filled to its last byte (a damaged document) is read no further.
TEST(ExpressionField, WithoutTerminatorIsReadOnlyToItsEnd) {
  RecordingReporter reporter;
  PointList list;
  FunctionEntry entry = make_entry(FUNCTION_EXPLICIT, "", 0, 1, 1);
  std::memset(entry.expression, ' ', EXPRESSION_BYTES);
  entry.expression[0] = 'x';
  std::memset(entry.expression2, '*', EXPRESSION_BYTES);
  ASSERT_TRUE(sample(reporter, entry, list));
  EXPECT_EQ(list.points[list.point_count - 1].y, 1.0);
}

}  // namespace
}  // namespace kurvana
