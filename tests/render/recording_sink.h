// A line sink that records what the drawing code does: the path as text,
// and every line with the pen it was drawn with.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "document.h"
#include "line_sink.h"
#include "view_transform.h"

namespace kurvana::testing {

const std::string kGridPen = "pen 1 808080", kAxisPen = "pen 3 0";

struct Line {
  DevicePoint from, to;
  std::string pen;  // "" when none was selected
  bool operator==(const Line&) const = default;
};

class RecordingSink final : public LineSink {
 public:
  explicit RecordingSink(std::optional<DeviceRect> visible = {},
                         std::optional<DeviceRect> canvas = {})
      : visible_(visible), canvas_(canvas) {}

  void move_to(int x, int y) override { step("move", x, y); }
  void line_to(int x, int y) override {
    // A loop that runs away fails the test instead of exhausting memory.
    if (lines.size() > 1'000'000) throw std::length_error("runaway drawing");
    lines.push_back({at_, {x, y}, pens_.empty() ? "" : pens_.back()});
    step("line", x, y);
  }
  std::optional<DeviceRect> visible_area() const override { return visible_; }
  std::optional<DeviceRect> canvas() const override { return canvas_; }

  std::vector<Line> lines_with(const std::string& pen) const {
    std::vector<Line> found;
    for (const Line& line : lines)
      if (line.pen == pen) found.push_back(line);
    return found;
  }

  std::string path;  // "move 1 2, line 3 4"
  std::vector<Line> lines;

 private:
  void step(const char* kind, int x, int y) {
    path += (path.empty() ? "" : ", ") + (kind + (" " + std::to_string(x))) +
            " " + std::to_string(y);
    at_ = {x, y};
  }
  void push_pen(uint32_t width, Colour colour) override {
    char text[32];
    std::snprintf(text, sizeof text, "pen %u %x", width, colour);
    pens_.push_back(text);
  }
  void pop_pen() override { pens_.pop_back(); }

  std::optional<DeviceRect> visible_, canvas_;
  DevicePoint at_{0, 0};
  std::vector<std::string> pens_;
};

// The view of an empty document with another range and tick mode.
inline ViewSettings view_of(int32_t x_min, int32_t x_max, int32_t y_min,
                            int32_t y_max, int32_t tick_mode = TICKS_GRID) {
  return {x_min, x_max, y_min,        y_max,     100,
          3,     2,     kColourBlack, tick_mode, kColourGrey};
}

}  // namespace kurvana::testing
