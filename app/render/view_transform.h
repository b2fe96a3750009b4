// The mapping from plane coordinates to device pixels shared by the screen
// and the metafile copy.
#pragma once

#include <climits>

namespace kurvana {

struct DevicePoint {
  int x;
  int y;
  bool operator==(const DevicePoint&) const = default;
};

// Truncates toward zero.  Values beyond the int range saturate to INT_MIN or
// INT_MAX and NaN gives 0, where a plain conversion would be undefined; such
// values only arise from ranges or zooms the settings dialog never produces.
inline int to_device(double value) {
  if (value >= 2147483648.0) return INT_MAX;
  if (value > -2147483649.0) return static_cast<int>(value);
  return value < 0.0 ? INT_MIN : 0;
}

// device = plane * scale + offset on each axis, in double precision; scale_y
// is negative so that y grows upward.
struct ViewTransform {
  double scale_x;
  double scale_y;
  double offset_x;
  double offset_y;

  int map_x(double x) const { return to_device(x * scale_x + offset_x); }
  int map_y(double y) const { return to_device(y * scale_y + offset_y); }
  DevicePoint map(double x, double y) const { return {map_x(x), map_y(y)}; }
};

}  // namespace kurvana
