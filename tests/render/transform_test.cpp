#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>

#include "recording_sink.h"
#include "view_transform.h"

namespace kurvana {
namespace {

struct MapRow {
  const char* what;
  ViewTransform transform;
  double x;
  double y;
  DevicePoint expected;
};

const MapRow MAP_ROWS[] = {
    {"origin of a 400 x 300 window", {20, -20, 200, 150}, 0, 0, {200, 150}},
    {"(10, 10) lies above a 300-pixel window",
     {20, -20, 200, 150},
     10,
     10,
     {400, -50}},
    {"zoom 1000: 200 pixels a unit", {200, -200, 200, 150}, 1, -1, {400, 350}},
    {"metafile canvas centre", {10, -10, 2500, 2500}, 0, 0, {2500, 2500}},
    {"positive fractions drop", {20, -20, 200, 200}, 0.04, -0.04, {200, 200}},
    {"just under a pixel stays on the pixel before",
     {20, -20, 200, 200},
     0.049,
     0.049,
     {200, 199}},
    {"negative results truncate toward zero, not down",
     {1, -1, 0, 0},
     -1.5,
     2.5,
     {-1, -2}},
    {"a fraction either side of zero gives zero",
     {1, -1, 0, 0},
     -0.9,
     0.9,
     {0, 0}},
};

TEST(ViewTransform, MapsPlanePointsTruncatingTowardZero) {
  for (const MapRow& row : MAP_ROWS) {
    EXPECT_EQ(row.transform.map(row.x, row.y), row.expected) << row.what;
  }
}

struct DeviceRow {
  double value;
  int expected;
};

constexpr double INF = std::numeric_limits<double>::infinity();

const DeviceRow DEVICE_ROWS[] = {
    {2147483647.0, INT_MAX},  {2147483647.9, INT_MAX},
    {2147483648.0, INT_MAX},  {1e300, INT_MAX},
    {INF, INT_MAX},           {-2147483648.0, INT_MIN},
    {-2147483648.9, INT_MIN}, {-2147483649.0, INT_MIN},
    {-1e300, INT_MIN},        {-INF, INT_MIN},
    {std::nan(""), 0},
};

TEST(ViewTransform, CoordinatesBeyondTheIntRangeSaturate) {
  for (const DeviceRow& row : DEVICE_ROWS) {
    EXPECT_EQ(to_device(row.value), row.expected) << row.value;
  }
}

TEST(ViewTransform, CornersOfTheLargestStoredRangeSaturateWithoutWrapping) {
  const ViewTransform screen{20, -20, 200, 200};
  EXPECT_EQ(screen.map(INT32_MAX, INT32_MIN), (DevicePoint{INT_MAX, INT_MAX}));
  EXPECT_EQ(screen.map(INT32_MIN, INT32_MAX), (DevicePoint{INT_MIN, INT_MIN}));
}

}  // namespace
}  // namespace kurvana
