// Cost of recompute_all on a ten-function document at the finest density,
// against the cost of the library evaluations it makes.
//
// For each part of the document (the whole, the curves with a parameter, the
// implicit curves) two benchmarks run:
//   Recompute/<part>    recompute_all over that part;
//   Evaluations/<part>  the same expressions, compiled the same way, called
//                       through CalculateDFunction in a tight loop as many
//                       times as recompute_all calls them, at the samplers'
//                       parameter values and the tracer's grid points.
// How many calls the tracer makes beyond its grid depends on its crossings;
// the loop counts five per segment found (one interpolation, four tangent
// evaluations) and nothing for rejected candidates, so its count is a lower
// bound and the overhead printed at the end an upper bound.  The target:
// sampling and tracing add at most 30% to their evaluations.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "expression.h"
#include "recompute.h"
#include "reporter.h"

namespace kurvana {
namespace {

constexpr int32_t kDensity = 6;
constexpr uint32_t kSampleIntervals = 1u << (kDensity + 4);
constexpr uint32_t kGridIntervals = 1u << (kDensity + 3);
constexpr double kTargetOverhead = 0.30;

enum Part { kWhole, kCurves, kImplicit };
const char* const kPartNames[] = {"whole", "curves", "implicit"};

struct Definition {
  int32_t kind;
  const char* f;
  const char* g;
  double domain_min;
  double domain_max;
};

const Definition kDocument[] = {
    {FUNCTION_EXPLICIT, "sin(x)*x+cos(2*x)", "", -10, 10},
    {FUNCTION_EXPLICIT, "1/x", "", -10, 10},
    {FUNCTION_EXPLICIT, "x^3/50-x", "", -10, 10},
    {FUNCTION_PARAMETRIC, "5*cos(3*t)", "5*sin(2*t)", 0, 6.2832},
    {FUNCTION_PARAMETRIC, "t*cos(t)/2", "t*sin(t)/2", 0, 20},
    {FUNCTION_POLAR, "5*cos(4*t)", "", 0, 6.2832},
    {FUNCTION_POLAR, "t/2", "", 0, 20},
    {FUNCTION_POLAR, "3+2*sin(6*t)", "", 0, 6.2832},
    {FUNCTION_IMPLICIT, "x^2+y^2-25", "", -10, 10},
    {FUNCTION_IMPLICIT, "sin(x*y)-cos(x+y)", "", -10, 10},
};

bool in_part(int32_t kind, Part part) {
  return part == kWhole || (kind == FUNCTION_IMPLICIT) == (part == kImplicit);
}

FunctionEntry entry_of(const Definition& definition) {
  FunctionEntry entry = new_function_entry();
  entry.kind = definition.kind;
  std::strncpy(entry.expression, definition.f, EXPRESSION_MAX_LENGTH);
  std::strncpy(entry.expression2, definition.g, EXPRESSION_MAX_LENGTH);
  entry.domain_min = definition.domain_min;
  entry.domain_max = definition.domain_max;
  entry.density = kDensity;
  return entry;
}

FunctionList document_of(Part part) {
  FunctionList functions;
  clear_function_list(functions);
  for (const Definition& definition : kDocument) {
    if (in_part(definition.kind, part)) {
      functions.entries[functions.count++] = entry_of(definition);
    }
  }
  return functions;
}

ViewSettings default_view() {
  ViewSettings view;
  set_default_view(view);
  return view;
}

class SilentReporter : public Reporter {
 public:
  void show(std::u16string_view, MessageIcon) override {}
};

// One expression compiled against its own area, and the values its calls
// see: `points` pairs of (first slot, second slot) values, cycled through
// for `calls` calls.
struct EvaluationRun {
  VariableArea area{};
  FunctionHandle function;
  size_t first_slot;
  size_t second_slot;
  std::vector<double> points;
  size_t calls;
};

void add_run(std::vector<EvaluationRun>& runs, const char (&text)[256],
             size_t first_slot, size_t second_slot, std::vector<double> points,
             size_t calls) {
  runs.emplace_back();
  EvaluationRun& run = runs.back();
  run.function = create_function(text);
  compile_function(run.function, run.area);
  run.first_slot = first_slot;
  run.second_slot = second_slot;
  run.points = std::move(points);
  run.calls = calls;
}

// (p_i, 0) for the samplers, whose second slot is never written.
std::vector<double> parameter_values(const FunctionEntry& entry) {
  const double span = entry.domain_max - entry.domain_min;
  std::vector<double> points;
  for (uint32_t i = 0; i <= kSampleIntervals; ++i) {
    points.push_back(span * i / kSampleIntervals + entry.domain_min);
    points.push_back(0.0);
  }
  return points;
}

// (x, y) of every grid point of the tracer, row by row.
std::vector<double> grid_points(const ViewSettings& view) {
  const double x_range = double(view.x_max) - double(view.x_min);
  const double y_range = double(view.y_max) - double(view.y_min);
  std::vector<double> points;
  for (uint32_t row = 0; row <= kGridIntervals; ++row) {
    for (uint32_t column = 0; column <= kGridIntervals; ++column) {
      points.push_back(column * x_range / kGridIntervals + view.x_min);
      points.push_back(row * y_range / kGridIntervals + view.y_min);
    }
  }
  return points;
}

// The calls recompute_all makes for `part`, as tight loops.  The segment
// counts come from one recompute beforehand.
std::vector<EvaluationRun> evaluation_runs(Part part) {
  const ViewSettings view = default_view();
  const FunctionList functions = document_of(part);
  PointTable table;
  SilentReporter reporter;
  recompute_all(reporter, view, functions, table);
  std::vector<EvaluationRun> runs;
  runs.reserve(2 * functions.count);
  const size_t samples = kSampleIntervals + 1;
  for (uint32_t i = 0; i < functions.count; ++i) {
    const FunctionEntry& entry = functions.entries[i];
    switch (entry.kind) {
      case FUNCTION_EXPLICIT:
        add_run(runs, entry.expression, SLOT_X, SLOT_Y, parameter_values(entry),
                samples);
        break;
      case FUNCTION_PARAMETRIC:
        add_run(runs, entry.expression, SLOT_T, SLOT_Y, parameter_values(entry),
                samples);
        add_run(runs, entry.expression2, SLOT_T, SLOT_Y,
                parameter_values(entry), samples);
        break;
      case FUNCTION_POLAR:
        add_run(runs, entry.expression, SLOT_T, SLOT_Y, parameter_values(entry),
                samples);
        break;
      case FUNCTION_IMPLICIT: {
        const size_t grid = size_t(kGridIntervals + 1) * (kGridIntervals + 1);
        const size_t segments = table[i].point_count / 3;
        add_run(runs, entry.expression, SLOT_X, SLOT_Y, grid_points(view),
                grid + 5 * segments);
        break;
      }
    }
  }
  return runs;
}

size_t call_count(const std::vector<EvaluationRun>& runs) {
  size_t calls = 0;
  for (const EvaluationRun& run : runs) calls += run.calls;
  return calls;
}

void BM_Recompute(benchmark::State& state) {
  const Part part = Part(state.range(0));
  const ViewSettings view = default_view();
  const FunctionList functions = document_of(part);
  SilentReporter reporter;
  PointTable table;
  for (auto _ : state) {
    recompute_all(reporter, view, functions, table);
    benchmark::DoNotOptimize(table[0].points.get());
  }
  state.counters["functions"] = functions.count;
  state.counters["evaluations"] = double(call_count(evaluation_runs(part)));
  state.SetLabel(kPartNames[part]);
}

void BM_Evaluations(benchmark::State& state) {
  const Part part = Part(state.range(0));
  std::vector<EvaluationRun> runs = evaluation_runs(part);
  for (auto _ : state) {
    for (EvaluationRun& run : runs) {
      const size_t pairs = run.points.size() / 2;
      for (size_t call = 0; call < run.calls; ++call) {
        const double* point = &run.points[2 * (call % pairs)];
        run.area[run.first_slot] = point[0];
        run.area[run.second_slot] = point[1];
        double value;
        benchmark::DoNotOptimize(evaluate(run.function, value));
        benchmark::DoNotOptimize(value);
      }
    }
  }
  state.counters["evaluations"] = double(call_count(runs));
  state.SetLabel(kPartNames[part]);
}

BENCHMARK(BM_Recompute)
    ->DenseRange(kWhole, kImplicit)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Evaluations)
    ->DenseRange(kWhole, kImplicit)
    ->Unit(benchmark::kMillisecond);

// Keeps the times of every plain run (or the median of repetitions) to print
// the overhead of recompute_all over its evaluations at the end, by wall
// clock and by processor time (the steadier of the two on a shared machine).
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const bool plain = run.run_type == Run::RT_Iteration;
      if (plain || run.aggregate_name == "median") {
        times_[run.run_name.str()] = {run.GetAdjustedRealTime(),
                                      run.GetAdjustedCPUTime()};
      }
    }
  }

  void PrintSummary() const {
    std::printf(
        "\noverhead of sampling and tracing over their evaluations"
        " (target <= %.0f%%), wall / cpu ms:\n",
        kTargetOverhead * 100);
    for (int part = kWhole; part <= kImplicit; ++part) {
      const auto total = times_.find(name_of("BM_Recompute", part));
      const auto evaluations = times_.find(name_of("BM_Evaluations", part));
      if (total == times_.end() || evaluations == times_.end()) continue;
      print_part(kPartNames[part], total->second, evaluations->second);
    }
  }

 private:
  struct Times {
    double wall;
    double cpu;
  };

  static void print_part(const char* name, Times total, Times evaluations) {
    const double wall = total.wall / evaluations.wall - 1;
    const double cpu = total.cpu / evaluations.cpu - 1;
    std::printf(
        "  %-8s recompute %7.2f / %7.2f  evaluations %7.2f / %7.2f  "
        "overhead %+6.1f%% / %+6.1f%%  %s\n",
        name, total.wall, total.cpu, evaluations.wall, evaluations.cpu,
        wall * 100, cpu * 100, cpu <= kTargetOverhead ? "ok" : "ABOVE TARGET");
  }

  static std::string name_of(const char* benchmark, int part) {
    std::string name = benchmark;
    name += '/';
    name += std::to_string(part);
    return name;
  }

  std::map<std::string, Times> times_;
};

}  // namespace
}  // namespace kurvana

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  kurvana::SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintSummary();
  benchmark::Shutdown();
  return 0;
}
