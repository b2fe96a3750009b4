// recompute_all over a whole document.
#include "recompute.h"

#include <gtest/gtest.h>

#include "model_fixtures.h"
#include "recording_reporter.h"

namespace kurvana {
namespace {

using testing::default_view;
using testing::fill_with_stale_points;
using testing::make_entry;
using testing::RecordingReporter;

class Recompute : public ::testing::Test {
 protected:
  Recompute() {
    clear_function_list(functions);
    view = default_view();
    for (PointList& list : table) fill_with_stale_points(list);
  }

  void add(FunctionEntry entry, Colour colour) {
    entry.colour = colour;
    functions.entries[functions.count++] = entry;
  }

  RecordingReporter reporter;
  FunctionList functions;
  ViewSettings view;
  PointTable table;
};

TEST_F(Recompute, SamplesEveryEntryVisibleOrNot) {
  FunctionEntry hidden = make_entry(FUNCTION_POLAR, "1", 0, 6);
  hidden.flags = 0;
  add(make_entry(FUNCTION_EXPLICIT, "x"), 0x0000FF);
  add(hidden, 0xFF0000);
  add(make_entry(FUNCTION_IMPLICIT, "x^2+y^2-25"), 0x00FF00);
  view.graph_width = 7;
  EXPECT_TRUE(recompute_all(reporter, view, functions, table));
  EXPECT_EQ(table[0].point_count, 129u);
  EXPECT_EQ(table[1].point_count, 129u);
  EXPECT_GT(table[2].point_count, 0u);
  const Colour colours[] = {0x0000FF, 0xFF0000, 0x00FF00};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(table[i].colour, colours[i]);
    EXPECT_EQ(table[i].pen_width, 7u);
  }
  for (size_t i = 3; i < table.size(); ++i) {
    EXPECT_EQ(table[i].point_count, 0u) << "slot " << i;
    EXPECT_EQ(table[i].points, nullptr) << "slot " << i;
  }
}

TEST_F(Recompute, BrokenEntriesReportInListOrderAndTheRestAreSampled) {
  add(make_entry(7, "x"), 1);
  add(make_entry(FUNCTION_EXPLICIT, "x"), 2);
  add(make_entry(FUNCTION_EXPLICIT, ""), 3);
  add(make_entry(FUNCTION_PARAMETRIC, "t", 5, 1, 3, "t"), 4);
  EXPECT_TRUE(recompute_all(reporter, view, functions, table));
  ASSERT_EQ(reporter.messages.size(), 3u);
  EXPECT_EQ(reporter.messages[0].text, u"不正な形式の関数が指定されました。");
  EXPECT_EQ(reporter.messages[1].text, u"コンパイルに失敗しました。");
  EXPECT_EQ(reporter.messages[2].text, u"定義域が不正です。");
  const uint32_t counts[] = {0, 129, 0, 0};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(table[i].point_count, counts[i]) << "slot " << i;
    EXPECT_EQ(table[i].colour, Colour(i + 1)) << "slot " << i;
  }
}

// Only a damaged document can claim more entries than the table has.
TEST_F(Recompute, CountBeyondTheTableSamplesTenSlots) {
  for (uint32_t i = 0; i < MAX_FUNCTIONS; ++i) {
    add(make_entry(FUNCTION_EXPLICIT, "x", -1, 1, 1), i);
  }
  functions.count = 1000;
  EXPECT_TRUE(recompute_all(reporter, view, functions, table));
  for (const PointList& list : table) EXPECT_EQ(list.point_count, 33u);
}

}  // namespace
}  // namespace kurvana
