#include "sampling.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "expression.h"
#include "implicit_tracer.h"
#include "sampling_failure.h"

namespace kurvana {

namespace {

enum class Texts { kF, kFAndG };

// The function objects of one sampler run.  The area is declared first so
// that it is destroyed after the handles compiled against it.
struct SamplerRun {
  VariableArea area{};
  FunctionHandle f;
  FunctionHandle g;
};

uint32_t sample_intervals(int32_t density) {
  return 1u << (clamped_density(density) + 4);
}

// Besides min < max (which NaN fails), the span must stay finite when
// multiplied by the entry's own sample count: then every parameter value is
// a finite number.  An infinite end fails this as well.
bool domain_is_valid(const FunctionEntry& entry) {
  const double span = entry.domain_max - entry.domain_min;
  return entry.domain_min < entry.domain_max &&
         std::isfinite(span * sample_intervals(entry.density));
}

CurvePoint valid_point(double x, double y) { return {POINT_VALID, x, y}; }

CurvePoint break_point() { return {POINT_BREAK, 0.0, 0.0}; }

bool attach_points(Reporter& reporter, uint32_t count, PointList& list) {
  void* block = std::malloc(count * sizeof(CurvePoint));
  if (!block) return report_failure(reporter, SamplingFailure::kOutOfMemory);
  list.points.reset(static_cast<CurvePoint*>(block));
  list.point_count = count;
  return true;
}

// Creates every object before compiling any, compiles f before g, and
// allocates the points last, so that each failure has its own message.
bool prepare_run(Reporter& reporter, SamplerRun& run,
                 const FunctionEntry& entry, Texts texts, uint32_t count,
                 PointList& list) {
  const bool with_g = texts == Texts::kFAndG;
  run.f = create_function(entry.expression);
  if (run.f && with_g) run.g = create_function(entry.expression2);
  if (!run.f || (with_g && !run.g)) {
    return report_failure(reporter, SamplingFailure::kOutOfMemory);
  }
  if (!compile_function(run.f, run.area) ||
      (with_g && !compile_function(run.g, run.area))) {
    return report_failure(reporter, SamplingFailure::kCompileFailed);
  }
  return attach_points(reporter, count, list);
}

// The loop every sampler shares: p_i goes into the parameter's slot, then
// `sample_point(run, p_i)` makes point i.  p_i is computed as the span times
// i over n plus the lower end, so that p_0 is exactly domain_min.
template <class SamplePoint>
bool sample_curve(Reporter& reporter, const FunctionEntry& entry,
                  PointList& list, Texts texts, size_t slot,
                  SamplePoint sample_point) {
  list.release();
  const uint32_t n = sample_intervals(entry.density);
  SamplerRun run;
  if (!prepare_run(reporter, run, entry, texts, n + 1, list)) return false;
  const double span = entry.domain_max - entry.domain_min;
  CurvePoint* points = list.points.get();
  for (uint32_t i = 0; i <= n; ++i) {
    const double p = span * i / n + entry.domain_min;
    run.area[slot] = p;
    points[i] = sample_point(run, p);
  }
  return true;
}

}  // namespace

int32_t clamped_density(int32_t density) {
  return std::clamp(density, kMinDensity, kMaxDensity);
}

bool sample_function(Reporter& reporter, const ViewSettings& view,
                     const FunctionEntry& entry, PointList& list) {
  list.release();
  if (!domain_is_valid(entry)) {
    return report_failure(reporter, SamplingFailure::kInvalidDomain);
  }
  switch (entry.kind) {
    case FUNCTION_EXPLICIT:
      return sample_explicit(reporter, entry, list);
    case FUNCTION_PARAMETRIC:
      return sample_parametric(reporter, entry, list);
    case FUNCTION_POLAR:
      return sample_polar(reporter, entry, list);
    case FUNCTION_IMPLICIT:
      return trace_implicit(reporter, view, entry, list);
    default:
      return report_failure(reporter, SamplingFailure::kUnsupportedKind);
  }
}

bool sample_explicit(Reporter& reporter, const FunctionEntry& entry,
                     PointList& list) {
  return sample_curve(reporter, entry, list, Texts::kF, SLOT_X,
                      [](const SamplerRun& run, double x) {
                        double y;
                        return evaluate(run.f, y) ? valid_point(x, y)
                                                  : break_point();
                      });
}

bool sample_parametric(Reporter& reporter, const FunctionEntry& entry,
                       PointList& list) {
  return sample_curve(reporter, entry, list, Texts::kFAndG, SLOT_T,
                      [](const SamplerRun& run, double) {
                        double x, y;
                        return evaluate(run.f, x) && evaluate(run.g, y)
                                   ? valid_point(x, y)
                                   : break_point();
                      });
}

bool sample_polar(Reporter& reporter, const FunctionEntry& entry,
                  PointList& list) {
  return sample_curve(reporter, entry, list, Texts::kF, SLOT_T,
                      [](const SamplerRun& run, double t) {
                        double r;
                        if (!evaluate(run.f, r) || r < 0) return break_point();
                        return valid_point(r * std::cos(t), r * std::sin(t));
                      });
}

}  // namespace kurvana
