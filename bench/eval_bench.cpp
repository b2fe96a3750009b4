// Cost of one evaluation of a plot-like expression, side by side for four
// implementations:
//   eval      the library through its C interface, compiled once against a
//             variable area, one CalculateDFunction call per sample point;
//   muparser  the comparison baseline, with x and y bound to the same area;
//   plain     the expression as a programmer writes it in C++;
//   pow floor hand-written C++ that obeys the library's evaluation rules
//             with pow for every '^' (the same checks, a status);
//   floor     the same with a constant exponent 2 as one multiplication,
//             as the library computes it (the exact square, pow's check):
//             the cost no interpreter of those rules can beat.
// The hand-written functions are called per point through a pointer, taking
// the variable area and a result location like the library, so the compiler
// cannot vectorise or hoist across points.
//
// Every expression is checked at every sample point before timing: the four
// implementations must agree to 1e-9 relative (absolute below 1).  At edge
// points the floor's failures are compared with eval's, and differences are
// noted.  After the runs a summary gives the median ns per evaluation and
// the ratios the library aims for.

#include <benchmark/benchmark.h>
#include <muParser.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "eval.h"

namespace {

constexpr int kSlotX = 23;
constexpr int kSlotY = 24;
constexpr int kLinePoints = 1025;  // x alone over [-10, 10]
constexpr int kGridPoints = 513;   // per axis of the x, y grid
constexpr double kTolerance = 1e-9;

// Same shape as the library's call: variable area in, result out, status.
using HandFunction = int (*)(const double* variables, double* result);

// ---------------------------------------------------------------------------
// The library's evaluation rules, written out for the floor.

// Keeps an operand opaque so that pow(x, 2.0) stays a pow call as in the
// library, where the exponent is only known at run time.
inline void HideFromOptimizer(double& value) {
#if defined(__x86_64__)
  asm("" : "+x"(value));
#else
  asm("" : "+m"(value));
#endif
}

// ln of the largest 80-bit extended value: exp beyond it overflows even in
// the library's wide intermediate format.
constexpr double kExpLimit = 11356.523406294143;

// Operations with the library's checks; kSquareAsProduct computes a
// constant exponent 2 as x·x, as the library does.  A failed check clears the
// status; the remaining operations still run but the status is already decided,
// which gives the same status and result as stopping at once.
template <bool kSquareAsProduct>
class Rules {
 public:
  double Add(double l, double r) { return Arithmetic(l, r, l + r); }
  double Sub(double l, double r) { return Arithmetic(l, r, l - r); }
  double Mul(double l, double r) { return Arithmetic(l, r, l * r); }
  // A zero or NaN divisor fails before the division.
  double Div(double l, double r) {
    ok_ &= (r < 0 || r > 0);
    return Arithmetic(l, r, l / r);
  }
  // +inf and NaN fail; -inf passes and is left to later checks.
  double Pow(double l, double r) {
    if constexpr (kSquareAsProduct) {
      if (r == 2) return CheckedPower(l * l);
    }
    HideFromOptimizer(r);
    return CheckedPower(std::pow(l, r));
  }
  double Tan(double x) { return Finite(std::tan(x)); }
  double Atan(double x) { return Finite(std::atan(x)); }
  double Log(double x) {
    ok_ &= x > 0;
    return std::log(x);
  }
  double Sqrt(double x) {
    ok_ &= x >= 0;
    return std::sqrt(x);
  }
  double Ex(double x) {
    ok_ &= x <= kExpLimit;
    return std::exp(x);
  }
  // The final value must be finite; the result is written only on success.
  int Finish(double value, double* result) {
    if (!ok_ || !std::isfinite(value)) return 0;
    *result = value;
    return 1;
  }

 private:
  // Intermediates are conceptually 80-bit, where the four operations on
  // finite doubles cannot overflow: a non-finite result fails only when an
  // operand was already non-finite.
  double Arithmetic(double l, double r, double value) {
    ok_ &= std::isfinite(value) || (std::isfinite(l) && std::isfinite(r));
    return value;
  }
  double CheckedPower(double value) {
    ok_ &= !(value == std::numeric_limits<double>::infinity() ||
             std::isnan(value));
    return value;
  }
  double Finite(double value) {
    ok_ &= std::isfinite(value);
    return value;
  }

  bool ok_ = true;
};

// ---------------------------------------------------------------------------
// The expressions, each as plain C++ and as a floor following the rules.
// The floor mirrors the library's parse: a leading '-' inside brackets is
// 0 - operand, operators of equal rank group to the left.

[[gnu::noinline]] int PlainQuadratic(const double* v, double* result) {
  const double x = v[kSlotX];
  *result = x * x - 2 * x + 1;
  return 1;
}
template <bool kSquare>
[[gnu::noinline]] int FloorQuadratic(const double* v, double* result) {
  const double x = v[kSlotX];
  Rules<kSquare> r;
  return r.Finish(r.Add(r.Sub(r.Mul(x, x), r.Mul(2, x)), 1), result);
}

[[gnu::noinline]] int PlainSinCos(const double* v, double* result) {
  const double x = v[kSlotX];
  *result = std::sin(x) * x + std::cos(2 * x);
  return 1;
}
template <bool kSquare>
[[gnu::noinline]] int FloorSinCos(const double* v, double* result) {
  const double x = v[kSlotX];
  Rules<kSquare> r;
  return r.Finish(r.Add(r.Mul(std::sin(x), x), std::cos(r.Mul(2, x))), result);
}

[[gnu::noinline]] int PlainSqrtExp(const double* v, double* result) {
  const double x = v[kSlotX];
  *result = std::sqrt(std::fabs(x)) * std::exp(-x * x / 8);
  return 1;
}
template <bool kSquare>
[[gnu::noinline]] int FloorSqrtExp(const double* v, double* result) {
  const double x = v[kSlotX];
  Rules<kSquare> r;
  const double root = r.Sqrt(std::fabs(x));
  const double bell = r.Ex(r.Sub(0, r.Div(r.Mul(x, x), 8)));
  return r.Finish(r.Mul(root, bell), result);
}

[[gnu::noinline]] int PlainRational(const double* v, double* result) {
  const double x = v[kSlotX];
  const double x2 = x * x;
  *result = (x2 * x - 3 * x) / (x2 + 1);
  return 1;
}
template <bool kSquare>
[[gnu::noinline]] int FloorRational(const double* v, double* result) {
  const double x = v[kSlotX];
  Rules<kSquare> r;
  const double top = r.Sub(r.Pow(x, 3), r.Mul(3, x));
  const double bottom = r.Add(r.Pow(x, 2), 1);
  return r.Finish(r.Div(top, bottom), result);
}

[[gnu::noinline]] int PlainTrigIdentity(const double* v, double* result) {
  const double x = v[kSlotX];
  const double s = std::sin(x);
  const double c = std::cos(x);
  *result = s * s + c * c - 1 + std::tan(x / 7);
  return 1;
}
template <bool kSquare>
[[gnu::noinline]] int FloorTrigIdentity(const double* v, double* result) {
  const double x = v[kSlotX];
  Rules<kSquare> r;
  const double squares = r.Add(r.Pow(std::sin(x), 2), r.Pow(std::cos(x), 2));
  return r.Finish(r.Add(r.Sub(squares, 1), r.Tan(r.Div(x, 7))), result);
}

[[gnu::noinline]] int PlainLogAtanSinh(const double* v, double* result) {
  const double x = v[kSlotX];
  *result = std::log(x * x + 1) * std::atan(x) - std::sinh(x / 5);
  return 1;
}
template <bool kSquare>
[[gnu::noinline]] int FloorLogAtanSinh(const double* v, double* result) {
  const double x = v[kSlotX];
  Rules<kSquare> r;
  const double product = r.Mul(r.Log(r.Add(r.Mul(x, x), 1)), r.Atan(x));
  return r.Finish(r.Sub(product, std::sinh(r.Div(x, 5))), result);
}

[[gnu::noinline]] int PlainTaylor(const double* v, double* result) {
  const double x = v[kSlotX];
  const double x2 = x * x;
  const double x3 = x2 * x;
  const double x4 = x2 * x2;
  *result = 1 + x + x2 / 2 + x3 / 6 + x4 / 24 + x4 * x / 120 + x4 * x2 / 720 +
            x4 * x3 / 5040;
  return 1;
}
template <bool kSquare>
[[gnu::noinline]] int FloorTaylor(const double* v, double* result) {
  const double x = v[kSlotX];
  Rules<kSquare> r;
  double sum = r.Add(1, x);
  sum = r.Add(sum, r.Div(r.Pow(x, 2), 2));
  sum = r.Add(sum, r.Div(r.Pow(x, 3), 6));
  sum = r.Add(sum, r.Div(r.Pow(x, 4), 24));
  sum = r.Add(sum, r.Div(r.Pow(x, 5), 120));
  sum = r.Add(sum, r.Div(r.Pow(x, 6), 720));
  sum = r.Add(sum, r.Div(r.Pow(x, 7), 5040));
  return r.Finish(sum, result);
}

[[gnu::noinline]] int PlainCircle(const double* v, double* result) {
  const double x = v[kSlotX];
  const double y = v[kSlotY];
  *result = x * x + y * y - 25;
  return 1;
}
template <bool kSquare>
[[gnu::noinline]] int FloorCircle(const double* v, double* result) {
  const double x = v[kSlotX];
  const double y = v[kSlotY];
  Rules<kSquare> r;
  return r.Finish(r.Sub(r.Add(r.Pow(x, 2), r.Pow(y, 2)), 25), result);
}

struct Expression {
  const char* label;  // in the benchmark names
  const char* text;   // the library's syntax
  bool grid;          // over the x, y grid rather than x alone
  HandFunction plain;
  HandFunction pow_floor;
  HandFunction floor;
};

const Expression kExpressions[] = {
    {"quadratic", "x*x-2*x+1", false, PlainQuadratic, FloorQuadratic<false>,
     FloorQuadratic<true>},
    {"sin_cos", "sin(x)*x+cos(2*x)", false, PlainSinCos, FloorSinCos<false>,
     FloorSinCos<true>},
    {"sqrt_exp", "sqrt(abs(x))*ex(-x*x/8)", false, PlainSqrtExp,
     FloorSqrtExp<false>, FloorSqrtExp<true>},
    {"rational", "(x^3-3*x)/(x^2+1)", false, PlainRational,
     FloorRational<false>, FloorRational<true>},
    {"trig_identity", "sin(x)^2+cos(x)^2-1+tan(x/7)", false, PlainTrigIdentity,
     FloorTrigIdentity<false>, FloorTrigIdentity<true>},
    {"log_atan_sinh", "log(x*x+1)*atan(x)-sinh(x/5)", false, PlainLogAtanSinh,
     FloorLogAtanSinh<false>, FloorLogAtanSinh<true>},
    {"taylor_exp", "1+x+x^2/2+x^3/6+x^4/24+x^5/120+x^6/720+x^7/5040", false,
     PlainTaylor, FloorTaylor<false>, FloorTaylor<true>},
    {"circle_grid", "x^2+y^2-25", true, PlainCircle, FloorCircle<false>,
     FloorCircle<true>},
};

enum Implementation {
  kEval,
  kMuparser,
  kPlain,
  kPowFloor,
  kFloor,
  kImplementations
};
const char* const kImplementationNames[kImplementations] = {
    "eval", "muparser", "plain", "pow_floor", "floor"};

// ---------------------------------------------------------------------------
// Sample points.

std::vector<double> Axis(int count) {
  std::vector<double> axis(count);
  for (int i = 0; i < count; ++i) axis[i] = -10.0 + 20.0 * i / (count - 1);
  return axis;
}

struct Samples {
  std::vector<double> xs;
  std::vector<double> ys;  // a single 0 for expressions of x alone
  int64_t Count() const { return static_cast<int64_t>(xs.size() * ys.size()); }
};

const Samples& SamplesFor(const Expression& expression) {
  static const Samples line{Axis(kLinePoints), {0.0}};
  static const Samples grid{Axis(kGridPoints), Axis(kGridPoints)};
  return expression.grid ? grid : line;
}

// Calls evaluate(&value) -> bool at every sample point, with the point
// written into the variable area first; visit(ok, value) sees each outcome.
template <typename Evaluate, typename Visit>
inline void Sweep(const Samples& samples, double* area, Evaluate&& evaluate,
                  Visit&& visit) {
  for (const double y : samples.ys) {
    area[kSlotY] = y;
    for (const double x : samples.xs) {
      area[kSlotX] = x;
      double value = 0;
      const bool ok = evaluate(&value);
      visit(ok, value);
    }
  }
}

// ---------------------------------------------------------------------------
// The four implementations behind one interface: bind to an area once,
// then evaluate the current point.

struct FunctionDeleter {
  void operator()(FunctionObject* function) const { DeleteFunction(function); }
};
using FunctionHandle = std::unique_ptr<FunctionObject, FunctionDeleter>;

// muparser spells e^x "exp" and the natural logarithm "ln"; the other
// functions used here have the same names in both.
std::string ToMuparser(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size();) {
    if (!std::isalpha(static_cast<unsigned char>(text[i]))) {
      out += text[i++];
      continue;
    }
    size_t end = i;
    while (end < text.size() &&
           std::isalpha(static_cast<unsigned char>(text[end]))) {
      ++end;
    }
    const std::string_view name = text.substr(i, end - i);
    out += name == "ex" ? "exp" : name == "log" ? "ln" : std::string(name);
    i = end;
  }
  return out;
}

FunctionHandle CompileEval(const Expression& expression, double* area,
                           std::string* error) {
  FunctionHandle function(CreateFunctionA(expression.text));
  if (function && CompileDFunction(function.get(), area)) return function;
  int32_t code = 0;
  int32_t position = 0;
  if (function) {
    GetLastErrorByFunctionA(function.get(), &code, &position, nullptr);
  }
  *error = "eval cannot compile \"" + std::string(expression.text) +
           "\": code " + std::to_string(code) + " at " +
           std::to_string(position);
  return nullptr;
}

std::unique_ptr<mu::Parser> CompileMuparser(const Expression& expression,
                                            double* area, std::string* error) {
  auto parser = std::make_unique<mu::Parser>();
  try {
    parser->DefineVar("x", &area[kSlotX]);
    parser->DefineVar("y", &area[kSlotY]);
    parser->SetExpr(ToMuparser(expression.text));
    parser->Eval();  // parses; later calls run the bytecode
    return parser;
  } catch (const mu::Parser::exception_type& e) {
    *error = "muparser cannot parse \"" + ToMuparser(expression.text) +
             "\": " + e.GetMsg();
    return nullptr;
  }
}

// Runs body(evaluate) with the implementation bound to area, or returns
// false with a message.
template <typename Body>
bool WithImplementation(const Expression& expression, Implementation which,
                        double* area, std::string* error, Body&& body) {
  switch (which) {
    case kEval: {
      FunctionHandle function = CompileEval(expression, area, error);
      if (!function) return false;
      FunctionObject* handle = function.get();
      body([handle](double* value) {
        return CalculateDFunction(handle, value) != 0;
      });
      return true;
    }
    case kMuparser: {
      std::unique_ptr<mu::Parser> parser =
          CompileMuparser(expression, area, error);
      if (!parser) return false;
      mu::Parser* p = parser.get();
      body([p](double* value) {
        *value = p->Eval();
        return true;
      });
      return true;
    }
    case kPlain:
    case kPowFloor:
    case kFloor: {
      HandFunction function = which == kPlain      ? expression.plain
                              : which == kPowFloor ? expression.pow_floor
                                                   : expression.floor;
      // Hide which function it is, so the call stays indirect.  Not
      // benchmark::DoNotOptimize: with GCC 12 its "+m,r" operand lost the
      // pointer here once inlined, and a stale value was called.
      asm volatile("" : "+r"(function));
      body([function, area](double* value) {
        return function(area, value) != 0;
      });
      return true;
    }
    case kImplementations:
      break;
  }
  return false;
}

// ---------------------------------------------------------------------------
// Agreement check before any timing.

bool Agree(double a, double b) {
  const double scale = std::fmax(1.0, std::fmax(std::fabs(a), std::fabs(b)));
  return std::fabs(a - b) <= kTolerance * scale;
}

// Every implementation at every sample point: all succeed and agree with
// eval.  Prints the first disagreements and returns false on any.
bool CheckExpression(const Expression& expression) {
  const Samples& samples = SamplesFor(expression);
  alignas(64) double area[EVAL_VARIABLE_COUNT] = {};
  std::vector<double> reference;
  bool good = true;
  for (int which = kEval; which < kImplementations; ++which) {
    std::string error;
    size_t index = 0;
    int reported = 0;
    const bool bound = WithImplementation(
        expression, static_cast<Implementation>(which), area, &error,
        [&](auto&& evaluate) {
          Sweep(samples, area, evaluate, [&](bool ok, double value) {
            if (which == kEval) reference.push_back(value);
            const double expected = reference[index];
            const bool bad = !ok || !Agree(value, expected);
            if (bad && reported++ < 3) {
              std::fprintf(stderr,
                           "%s: %s at x=%.17g y=%.17g gives %s %.17g, "
                           "eval %.17g\n",
                           expression.label, kImplementationNames[which],
                           area[kSlotX], area[kSlotY], ok ? "" : "failure,",
                           value, expected);
            }
            good = good && !bad;
            ++index;
          });
        });
    if (!bound) {
      std::fprintf(stderr, "%s\n", error.c_str());
      return false;
    }
  }
  return good;
}

// Outcomes of one implementation at the given points; empty when it cannot
// be bound.
std::vector<std::pair<bool, double>> Outcomes(const Expression& expression,
                                              Implementation which,
                                              const Samples& samples) {
  alignas(64) double area[EVAL_VARIABLE_COUNT] = {};
  std::vector<std::pair<bool, double>> outcomes;
  std::string error;
  WithImplementation(expression, which, area, &error, [&](auto&& evaluate) {
    Sweep(samples, area, evaluate,
          [&](bool ok, double value) { outcomes.emplace_back(ok, value); });
  });
  return outcomes;
}

// Points outside the plotted range where the checks decide: the floor must
// fail exactly where eval fails, or it is not following the same rules.
// A difference is reported but does not stop the timing.
void CompareFailures(const Expression& expression) {
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<double> edges = {
      0.0,    -0.0,  1e-320, 800,   -800,   1e10, -1e10, 1e200,
      -1e200, 1e308, -1e308, 11357, -11357, inf,  -inf,  std::nan("")};
  const Samples samples{edges, expression.grid ? edges : std::vector{0.0}};
  const auto eval = Outcomes(expression, kEval, samples);
  const auto floor = Outcomes(expression, kFloor, samples);
  if (eval.size() != floor.size()) return;
  int reported = 0;
  for (size_t i = 0; i < eval.size(); ++i) {
    const bool same =
        eval[i].first == floor[i].first &&
        (!eval[i].first || Agree(eval[i].second, floor[i].second));
    if (same || reported++ >= 3) continue;
    std::fprintf(
        stderr, "note: %s at x=%g y=%g: eval %s %.17g, floor %s %.17g\n",
        expression.label, samples.xs[i % samples.xs.size()],
        samples.ys[i / samples.xs.size()], eval[i].first ? "gives" : "fails",
        eval[i].second, floor[i].first ? "gives" : "fails", floor[i].second);
  }
}

bool CheckAgreement() {
  bool good = true;
  for (const Expression& expression : kExpressions) {
    good = CheckExpression(expression) && good;
    CompareFailures(expression);
  }
  if (!good) std::fprintf(stderr, "implementations disagree; no timing\n");
  return good;
}

// ---------------------------------------------------------------------------
// Timing.

void Measure(benchmark::State& state, const Expression& expression,
             Implementation which) {
  const Samples& samples = SamplesFor(expression);
  alignas(64) double area[EVAL_VARIABLE_COUNT] = {};
  std::string error;
  bool all_ok = true;
  const bool bound =
      WithImplementation(expression, which, area, &error, [&](auto&& evaluate) {
        double sum = 0;
        bool ok = true;
        for (auto _ : state) {
          Sweep(samples, area, evaluate, [&](bool one_ok, double value) {
            ok &= one_ok;
            sum += value;
          });
          benchmark::DoNotOptimize(sum);
        }
        all_ok = ok;
      });
  if (!bound) {
    state.SkipWithError(error.c_str());
    return;
  }
  if (!all_ok) {
    state.SkipWithError("an evaluation failed");
    return;
  }
  // Seconds per evaluation (shown with an SI prefix, e.g. 25.3n).
  state.counters["per_eval"] =
      benchmark::Counter(static_cast<double>(samples.Count()),
                         benchmark::Counter::kIsIterationInvariantRate |
                             benchmark::Counter::kInvert);
}

struct Registered {
  int expression;
  Implementation which;
};

// Benchmark names are "<expression label>/<implementation>".
std::map<std::string, Registered>& Registry() {
  static std::map<std::string, Registered> registry;
  return registry;
}

void RegisterBenchmarks() {
  for (int i = 0; i < static_cast<int>(std::size(kExpressions)); ++i) {
    for (int which = kEval; which < kImplementations; ++which) {
      const std::string name = std::string(kExpressions[i].label) + "/" +
                               kImplementationNames[which];
      Registry()[name] = {i, static_cast<Implementation>(which)};
      benchmark::RegisterBenchmark(
          name.c_str(), [i, which](benchmark::State& state) {
            Measure(state, kExpressions[i], static_cast<Implementation>(which));
          });
    }
  }
}

// ---------------------------------------------------------------------------
// Summary: console output as usual, then one table of medians and ratios.

class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  using ConsoleReporter::ConsoleReporter;

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) Collect(run);
  }

  void PrintSummary() const;

 private:
  struct Times {
    std::vector<double> repetitions;  // ns per evaluation
    double median = std::nan("");     // from the median aggregate, if any
  };

  void Collect(const Run& run);
  // Median ns per evaluation, NaN when the benchmark did not run.
  double Median(int expression, Implementation which) const;

  Times times_[std::size(kExpressions)][kImplementations];
};

void SummaryReporter::Collect(const Run& run) {
  const auto found = Registry().find(run.run_name.function_name);
  if (run.error_occurred || found == Registry().end()) return;
  const Registered& registered = found->second;
  const double seconds = run.GetAdjustedCPUTime() /
                         benchmark::GetTimeUnitMultiplier(run.time_unit);
  const double ns =
      seconds * 1e9 / SamplesFor(kExpressions[registered.expression]).Count();
  Times& times = times_[registered.expression][registered.which];
  if (run.run_type == Run::RT_Iteration) {
    times.repetitions.push_back(ns);
  } else if (run.aggregate_name == "median") {
    times.median = ns;
  }
}

double SummaryReporter::Median(int expression, Implementation which) const {
  const Times& times = times_[expression][which];
  if (!std::isnan(times.median)) return times.median;
  std::vector<double> values = times.repetitions;
  if (values.empty()) return std::nan("");
  std::sort(values.begin(), values.end());
  const size_t half = values.size() / 2;
  return values.size() % 2 ? values[half]
                           : (values[half - 1] + values[half]) / 2;
}

// Geometric mean of the finite, positive values; NaN when there are none.
class GeometricMean {
 public:
  void Add(double value) {
    if (!(value > 0) || !std::isfinite(value)) return;
    log_sum_ += std::log(value);
    ++count_;
  }
  double Value() const {
    return count_ ? std::exp(log_sum_ / count_) : std::nan("");
  }

 private:
  double log_sum_ = 0;
  int count_ = 0;
};

// eval over muparser, over the floor, over the pow floor.
constexpr int kRatios = 3;

void PrintCell(double value, int width, int precision) {
  if (std::isnan(value)) {
    std::printf("%*s", width, "-");
  } else {
    std::printf("%*.*f", width, precision, value);
  }
}

void PrintRow(const char* name, const double* ns, const double* ratios) {
  std::printf("%-50s", name);
  for (int which = kEval; which < kImplementations; ++which) {
    PrintCell(ns[which], 10, 1);
  }
  for (int i = 0; i < kRatios; ++i) PrintCell(ratios[i], 12, 3);
  std::printf("\n");
}

void PrintVerdict(const char* what, double ratio, const char* target,
                  bool met) {
  if (std::isnan(ratio)) return;
  std::printf("%s: %.3f (%s): %s\n", what, ratio, target,
              met ? "met" : "NOT met");
}

void SummaryReporter::PrintSummary() const {
  constexpr double kMuparserTarget = 1.3;
  constexpr double kFloorTarget = 1.5;
  std::printf(
      "\nMedian CPU ns per evaluation; the ratios are eval's time over the "
      "others' (lower is better for eval).\n");
  std::printf("%-50s%10s%10s%10s%10s%10s%12s%12s%12s\n", "expression", "eval",
              "muparser", "plain", "pow floor", "floor", "eval/mup",
              "eval/floor", "eval/pow fl");
  GeometricMean column_means[kImplementations];
  GeometricMean ratio_means[kRatios];
  double slowest_without_power = std::nan("");
  for (int i = 0; i < static_cast<int>(std::size(kExpressions)); ++i) {
    double ns[kImplementations];
    bool any = false;
    for (int which = kEval; which < kImplementations; ++which) {
      ns[which] = Median(i, static_cast<Implementation>(which));
      any = any || !std::isnan(ns[which]);
    }
    if (!any) continue;
    const double ratios[kRatios] = {ns[kEval] / ns[kMuparser],
                                    ns[kEval] / ns[kFloor],
                                    ns[kEval] / ns[kPowFloor]};
    for (int which = kEval; which < kImplementations; ++which) {
      column_means[which].Add(ns[which]);
    }
    for (int r = 0; r < kRatios; ++r) ratio_means[r].Add(ratios[r]);
    if (!std::strchr(kExpressions[i].text, '^') &&
        !(ratios[0] <= slowest_without_power)) {
      slowest_without_power = ratios[0];
    }
    std::string name = kExpressions[i].text;
    if (kExpressions[i].grid) name += " (grid)";
    PrintRow(name.c_str(), ns, ratios);
  }
  double means[kImplementations];
  for (int which = kEval; which < kImplementations; ++which) {
    means[which] = column_means[which].Value();
  }
  double mean_ratios[kRatios];
  for (int r = 0; r < kRatios; ++r) mean_ratios[r] = ratio_means[r].Value();
  PrintRow("geometric mean", means, mean_ratios);
  std::printf("\n");
  PrintVerdict("eval/muparser geometric mean", mean_ratios[0],
               "target <= 0.769, i.e. at least 1.3x faster",
               mean_ratios[0] <= 1 / kMuparserTarget);
  PrintVerdict("eval/muparser slowest row without '^'", slowest_without_power,
               "target <= 1", slowest_without_power <= 1);
  PrintVerdict("eval/floor geometric mean", mean_ratios[1],
               "target <= 1.5, i.e. within 1.5x of the floor",
               mean_ratios[1] <= kFloorTarget);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  if (!CheckAgreement()) return 1;
  RegisterBenchmarks();
  SummaryReporter reporter(isatty(STDOUT_FILENO)
                               ? benchmark::ConsoleReporter::OO_ColorTabular
                               : benchmark::ConsoleReporter::OO_Tabular);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::fflush(stdout);
  reporter.PrintSummary();
  benchmark::Shutdown();
  return 0;
}
