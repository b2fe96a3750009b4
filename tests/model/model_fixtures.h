// Entries and views for the model tests.
#pragma once

#include <cstring>

#include "document.h"

namespace kurvana::testing {

inline FunctionEntry make_entry(int32_t kind, const char* f,
                                double domain_min = -10.0,
                                double domain_max = 10.0, int32_t density = 3,
                                const char* g = "") {
  FunctionEntry entry = new_function_entry();
  entry.kind = kind;
  std::strncpy(entry.expression, f, EXPRESSION_MAX_LENGTH);
  std::strncpy(entry.expression2, g, EXPRESSION_MAX_LENGTH);
  entry.domain_min = domain_min;
  entry.domain_max = domain_max;
  entry.density = density;
  return entry;
}

inline ViewSettings default_view() {
  ViewSettings view;
  set_default_view(view);
  return view;
}

// A list that holds an array from an earlier sampling, to show that a
// failure does not leave it behind.
inline void fill_with_stale_points(PointList& list) {
  list.points.reset(static_cast<CurvePoint*>(std::malloc(sizeof(CurvePoint))));
  list.points[0] = {POINT_VALID, 1.0, 2.0};
  list.point_count = 1;
}

}  // namespace kurvana::testing
