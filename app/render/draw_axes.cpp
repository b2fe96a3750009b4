#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <utility>

#include "draw.h"

namespace kurvana {
namespace {

constexpr uint32_t kTickPenWidth = 1;
constexpr double kMarkLength = 0.5;  // plane units
constexpr double kUnbounded = std::numeric_limits<double>::infinity();

// Whole numbers first to last, ends included; empty when last < first.  The
// 64-bit counter steps past INT32_MAX without overflow.
struct WholeRange {
  int64_t first;
  int64_t last;
};

// Device coordinates, before truncation, at which a 1-pixel line may touch
// the visible pixels of one axis.
struct Band {
  double low;
  double high;
};

struct Bands {
  Band x;
  Band y;
};

// Pixels first to before end: a coordinate truncated into them lies in
// (first - 1, end); the band adds a pixel each side.
Band band_of(int first, int end) { return {first - 2.0, end + 1.0}; }

Bands bands_of(const DeviceRect& area) {
  return {band_of(area.left, area.right), band_of(area.top, area.bottom)};
}

Bands visible_bands(const LineSink& sink) {
  const std::optional<DeviceRect> area = sink.visible_area();
  if (!area) return {{-kUnbounded, kUnbounded}, {-kUnbounded, kUnbounded}};
  return bands_of(*area);
}

// The numbers of low..high whose line, at device coordinate
// n * scale + offset, may touch the band.  Keeps a unit of slack each side
// against rounding, so only lines that cannot be seen are dropped.
WholeRange lines_in_band(int32_t low, int32_t high, double scale, double offset,
                         Band band) {
  const WholeRange none{low, int64_t{low} - 1};
  if (high < low) return none;
  if (scale == 0.0) {  // all lines on one device line: draw it once
    const double at = to_device(offset);
    return at >= band.low && at <= band.high ? WholeRange{low, low} : none;
  }
  double from = (band.low - offset) / scale;
  double to = (band.high - offset) / scale;
  if (scale < 0.0) std::swap(from, to);
  WholeRange range{low, high};
  if (!(from <= to)) return range;  // NaN or an empty area: keep them all
  const double first = std::floor(from) - 1.0;
  const double last = std::ceil(to) + 1.0;
  if (last < low || first > high) return none;
  if (first > low) range.first = static_cast<int64_t>(first);
  if (last < high) range.last = static_cast<int64_t>(last);
  return range;
}

bool too_many(WholeRange lines) {
  return lines.last - lines.first + 1 > kMostTickLines;
}

// The lines of one direction that are drawn: those that may be seen, and
// of too many of them, those within `crowded` (a fixed-size canvas).
WholeRange lines_to_draw(int32_t low, int32_t high, double scale, double offset,
                         Band visible, Band crowded) {
  const WholeRange lines = lines_in_band(low, high, scale, offset, visible);
  if (!too_many(lines)) return lines;
  return lines_in_band(low, high, scale, offset, crowded);
}

// For each x of xs, a line from device row y_from to row y_to.
void vertical_lines(LineSink& sink, const ViewTransform& transform,
                    WholeRange xs, int y_from, int y_to) {
  for (int64_t n = xs.first; n <= xs.last; ++n) {
    const int x = transform.map_x(static_cast<double>(n));
    sink.move_to(x, y_from);
    sink.line_to(x, y_to);
  }
}

// For each y of ys, a line from device column x_from to column x_to.
void horizontal_lines(LineSink& sink, const ViewTransform& transform,
                      WholeRange ys, int x_from, int x_to) {
  for (int64_t n = ys.first; n <= ys.last; ++n) {
    const int y = transform.map_y(static_cast<double>(n));
    sink.move_to(x_from, y);
    sink.line_to(x_to, y);
  }
}

// Where the tick lines across x and across y start and end, in device
// pixels.
struct TickSpans {
  int y_from;
  int y_to;
  int x_from;
  int x_to;
};

// A line across every whole x of the range, then across every whole y.
void draw_tick_lines(LineSink& sink, const ViewSettings& view,
                     const ViewTransform& transform, TickSpans spans) {
  const Bands bands = visible_bands(sink);
  const std::optional<DeviceRect> canvas = sink.canvas();
  const Bands crowded = canvas ? bands_of(*canvas) : bands;
  const WholeRange xs = lines_to_draw(view.x_min, view.x_max, transform.scale_x,
                                      transform.offset_x, bands.x, crowded.x);
  const WholeRange ys = lines_to_draw(view.y_min, view.y_max, transform.scale_y,
                                      transform.offset_y, bands.y, crowded.y);
  const PenScope pen = sink.select_pen(kTickPenWidth, view.tick_colour);
  vertical_lines(sink, transform, xs, spans.y_from, spans.y_to);
  horizontal_lines(sink, transform, ys, spans.x_from, spans.x_to);
}

// Grid lines span the range.
TickSpans grid_spans(const ViewSettings& view, const ViewTransform& transform) {
  return {transform.map_y(view.y_min), transform.map_y(view.y_max),
          transform.map_x(view.x_min), transform.map_x(view.x_max)};
}

// Marks stand on y = 0 and x = 0, even outside the range, and point up and
// right.
TickSpans mark_spans(const ViewTransform& transform) {
  return {transform.map_y(0.0), transform.map_y(kMarkLength),
          transform.map_x(0.0), transform.map_x(kMarkLength)};
}

bool contains_zero(int32_t low, int32_t high) { return low <= 0 && 0 <= high; }

void line(LineSink& sink, DevicePoint from, DevicePoint to) {
  sink.move_to(from.x, from.y);
  sink.line_to(to.x, to.y);
}

// The axes, over the grid or marks, within the range only.
void draw_axis_lines(LineSink& sink, const ViewSettings& view,
                     const ViewTransform& transform) {
  const PenScope pen = sink.select_pen(view.axis_width, view.axis_colour);
  if (contains_zero(view.x_min, view.x_max)) {
    line(sink, transform.map(0.0, view.y_max), transform.map(0.0, view.y_min));
  }
  if (contains_zero(view.y_min, view.y_max)) {
    line(sink, transform.map(view.x_max, 0.0), transform.map(view.x_min, 0.0));
  }
}

}  // namespace

void draw_axes(LineSink& sink, const ViewSettings& view,
               const ViewTransform& transform) {
  if (view.tick_mode == TICKS_GRID) {
    draw_tick_lines(sink, view, transform, grid_spans(view, transform));
  } else if (view.tick_mode == TICKS_MARKS) {
    draw_tick_lines(sink, view, transform, mark_spans(transform));
  }
  draw_axis_lines(sink, view, transform);
}

}  // namespace kurvana
