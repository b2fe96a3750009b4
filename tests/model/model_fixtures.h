// Entries for the model tests.
#pragma once

#include <cstring>

#include "document.h"

namespace kurvana::testing {

inline FunctionEntry make_entry(int32_t kind, const char* f, double low = -10,
                                double high = 10, int32_t density = 3,
                                const char* g = "") {
  FunctionEntry entry = new_function_entry();
  entry.kind = kind;
  std::strncpy(entry.expression, f, EXPRESSION_MAX_LENGTH);
  std::strncpy(entry.expression2, g, EXPRESSION_MAX_LENGTH);
  entry.domain_min = low;
  entry.domain_max = high;
  entry.density = density;
  return entry;
}

inline ViewSettings default_view() {
  ViewSettings view;
  set_default_view(view);
  return view;
}

}  // namespace kurvana::testing
