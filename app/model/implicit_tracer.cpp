#include "implicit_tracer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "expression.h"
#include "sampling.h"
#include "sampling_failure.h"

namespace kurvana {

namespace {

struct GridCell {
  uint32_t flag;  // POINT_VALID when f was evaluated, else POINT_BREAK
  double x;
  double y;
  double value;
};

struct PlanePoint {
  double x;
  double y;
};

enum class Pass { kRows, kColumns };

// The grid over the view range and the steps derived from it.  The range is
// taken as double before subtracting, so any pair of 32-bit ends works.
struct TraceGrid {
  explicit TraceGrid(const ViewSettings& view, int32_t density)
      : intervals(1u << (clamped_density(density) + 3)),
        lines(intervals + 1),
        x_min(view.x_min),
        y_min(view.y_min),
        x_range(double(view.x_max) - double(view.x_min)),
        y_range(double(view.y_max) - double(view.y_min)),
        spacing_x(x_range / intervals),
        spacing_y(y_range / intervals),
        quotient_x(x_range / (4.0 * intervals)),
        quotient_y(y_range / (4.0 * intervals)),
        offset_x(quotient_x / 4),
        offset_y(quotient_y / 4) {}

  double x_at(uint32_t column) const {
    return column * x_range / intervals + x_min;
  }
  double y_at(uint32_t row) const { return row * y_range / intervals + y_min; }
  size_t cell_count() const { return size_t(lines) * lines; }

  uint32_t intervals;  // per axis
  uint32_t lines;      // grid lines per axis
  double x_min, y_min, x_range, y_range;
  double spacing_x, spacing_y;    // one grid spacing
  double quotient_x, quotient_y;  // divisors of the difference quotients
  double offset_x, offset_y;      // offsets of the tangent evaluations
};

bool is_finite(PlanePoint point) {
  return std::isfinite(point.x) && std::isfinite(point.y);
}

// Inclusive; NaN is never between.
bool between(double value, double a, double b) {
  return std::min(a, b) <= value && value <= std::max(a, b);
}

// The zero of the line through P and C along the pass's axis.
PlanePoint interpolate(const GridCell& p, const GridCell& c, Pass pass) {
  const double divisor = p.value - c.value;
  if (pass == Pass::kRows) {
    return {(c.x * p.value - p.x * c.value) / divisor, c.y};
  }
  return {c.x, (p.value * c.y - p.y * c.value) / divisor};
}

// The tracer's output as triples of points.  It starts with room for one
// segment per grid point; the two passes can find up to twice that, so a
// full array doubles once rather than lose a segment.
class SegmentArray {
 public:
  bool reserve(size_t segments) {
    points_.reset(static_cast<CurvePoint*>(std::malloc(bytes_for(segments))));
    capacity_ = points_ ? segments : 0;
    return points_ != nullptr;
  }

  // False when the array is full and cannot grow.
  bool append(PlanePoint a, PlanePoint b) {
    if (count_ == capacity_ && !resize(capacity_ * 2)) return false;
    CurvePoint* triple = &points_[count_ * 3];
    triple[0] = {POINT_VALID, a.x, a.y};
    triple[1] = {POINT_VALID, b.x, b.y};
    triple[2] = {POINT_BREAK, 0.0, 0.0};
    ++count_;
    return true;
  }

  // Hands the segments to `list`, the block cut down to what they use so
  // that a few segments do not keep the whole reserve; no segments, no array.
  void attach_to(PointList& list) {
    if (count_ == 0) return;
    resize(count_);  // a failure to shrink keeps the larger block
    list.point_count = uint32_t(count_ * 3);
    list.points = std::move(points_);
  }

 private:
  static size_t bytes_for(size_t segments) {
    return segments * 3 * sizeof(CurvePoint);
  }

  bool resize(size_t segments) {
    void* block = std::realloc(points_.get(), bytes_for(segments));
    if (!block) return false;  // the old block is still ours
    points_.release();
    points_.reset(static_cast<CurvePoint*>(block));
    capacity_ = segments;
    return true;
  }

  std::unique_ptr<CurvePoint[], FreeDeleter> points_;
  size_t capacity_ = 0;  // in segments
  size_t count_ = 0;
};

class Tracer {
 public:
  explicit Tracer(const TraceGrid& grid) : grid_(grid) {}

  bool allocate() {
    cells_.reset(static_cast<GridCell*>(
        std::malloc(grid_.cell_count() * sizeof(GridCell))));
    return cells_ && segments_.reserve(grid_.cell_count());
  }

  bool create(const FunctionEntry& entry) {
    function_ = create_function(entry.expression);
    return function_ != nullptr;
  }

  bool compile() { return compile_function(function_, area_); }

  // Rows by increasing y, each by increasing x; a failed evaluation leaves
  // a cell that takes part in no crossing.
  void fill_grid() {
    GridCell* cell = cells_.get();
    for (uint32_t row = 0; row < grid_.lines; ++row) {
      const double y = grid_.y_at(row);
      for (uint32_t column = 0; column < grid_.lines; ++column, ++cell) {
        const double x = grid_.x_at(column);
        double value;
        *cell = at(x, y, value) ? GridCell{POINT_VALID, x, y, value}
                                : GridCell{POINT_BREAK, x, y, 0.0};
      }
    }
  }

  // Each false only when the segment array cannot grow.
  bool trace_rows() {
    for (uint32_t row = 0; row < grid_.lines; ++row) {
      const GridCell* first = &cells_[size_t(row) * grid_.lines];
      if (!trace_row(first)) return false;
    }
    return true;
  }

  // Visits the pairs of every column, from row 0 up, but row by row across
  // all columns at once rather than one column after another: the segments
  // found are the same (they are unordered pieces), and the grid is read in
  // memory order instead of one row's width apart, which saves a few percent
  // of a trace at the finest density.
  bool trace_columns() {
    const GridCell* below = cells_.get();
    if (!trace_row_pairs(below, below)) return false;
    for (uint32_t row = 1; row < grid_.lines; ++row) {
      const GridCell* current = below + grid_.lines;
      if (!trace_row_pairs(below, current)) return false;
      below = current;
    }
    return true;
  }

  void attach_to(PointList& list) { segments_.attach_to(list); }

 private:
  bool at(double x, double y, double& value) {
    area_[SLOT_X] = x;
    area_[SLOT_Y] = y;
    return evaluate(function_, value);
  }

  // The row's first pair is its first cell with itself, which can only
  // cross through an exact zero.
  bool trace_row(const GridCell* first) {
    const GridCell* previous = first;
    for (uint32_t column = 0; column < grid_.lines; ++column) {
      if (!test_pair(*previous, first[column], Pass::kRows)) return false;
      previous = &first[column];
    }
    return true;
  }

  // The column pass's pairs between two rows, column by column.
  bool trace_row_pairs(const GridCell* below, const GridCell* current) {
    for (uint32_t column = 0; column < grid_.lines; ++column) {
      if (!test_pair(below[column], current[column], Pass::kColumns)) {
        return false;
      }
    }
    return true;
  }

  bool test_pair(const GridCell& p, const GridCell& c, Pass pass) {
    const std::optional<PlanePoint> zero = crossing(p, c, pass);
    PlanePoint a, b;
    if (!zero || !tangent_segment(*zero, a, b)) return true;
    return segments_.append(a, b);
  }

  // Where the curve passes between P and C: at C when f is exactly zero
  // there (a zero at P alone was C of the pair before), else at the linear
  // zero, unless f there leaves the range of the two values, which marks a
  // pole rather than a zero.
  std::optional<PlanePoint> crossing(const GridCell& p, const GridCell& c,
                                     Pass pass) {
    if (p.flag != POINT_VALID || c.flag != POINT_VALID) return std::nullopt;
    if (c.value == 0) return PlanePoint{c.x, c.y};
    if (!(c.value * p.value < 0)) return std::nullopt;
    const PlanePoint zero = interpolate(p, c, pass);
    double value;
    if (!at(zero.x, zero.y, value) || !between(value, p.value, c.value)) {
      return std::nullopt;
    }
    return zero;
  }

  // The tangent through `zero` from central differences, cut one grid
  // spacing to either side along the axis it runs closer to (along x when
  // the comparison is undecided).  No segment when an evaluation fails, the
  // gradient vanishes, or an end point is not a finite number (a degenerate
  // view or an overflowing gradient), so that every stored point is finite.
  bool tangent_segment(PlanePoint zero, PlanePoint& a, PlanePoint& b) {
    double f1, f2, f3, f4;
    if (!at(zero.x - grid_.offset_x, zero.y, f1) ||
        !at(zero.x + grid_.offset_x, zero.y, f2) ||
        !at(zero.x, zero.y - grid_.offset_y, f3) ||
        !at(zero.x, zero.y + grid_.offset_y, f4)) {
      return false;
    }
    const double gx = (f2 - f1) / grid_.quotient_x;
    const double gy = (f4 - f3) / grid_.quotient_y;
    if (gx == 0 && gy == 0) return false;
    if (!(std::fabs(gx) > std::fabs(gy))) {
      const double rise = gx / gy * grid_.spacing_x;
      a = {zero.x - grid_.spacing_x, zero.y + rise};
      b = {zero.x + grid_.spacing_x, zero.y - rise};
    } else {
      const double run = gy / gx * grid_.spacing_y;
      a = {zero.x + run, zero.y - grid_.spacing_y};
      b = {zero.x - run, zero.y + grid_.spacing_y};
    }
    return is_finite(a) && is_finite(b);
  }

  VariableArea area_{};  // declared first: outlives the function bound to it
  FunctionHandle function_;
  TraceGrid grid_;
  std::unique_ptr<GridCell[], FreeDeleter> cells_;
  SegmentArray segments_;
};

}  // namespace

bool trace_implicit(Reporter& reporter, const ViewSettings& view,
                    const FunctionEntry& entry, PointList& list) {
  list.release();
  Tracer tracer(TraceGrid(view, entry.density));
  if (!tracer.allocate()) {
    return report_failure(reporter, SamplingFailure::kOutOfMemory);
  }
  if (!tracer.create(entry)) {
    return report_failure(reporter, SamplingFailure::kOutOfMemory);
  }
  if (!tracer.compile()) {
    return report_failure(reporter, SamplingFailure::kCompileFailed);
  }
  tracer.fill_grid();
  if (!tracer.trace_rows() || !tracer.trace_columns()) {
    return report_failure(reporter, SamplingFailure::kOutOfMemory);
  }
  tracer.attach_to(list);
  return true;
}

}  // namespace kurvana
