// A line sink that records what the drawing code does: every call as text,
// and every line with the pen it was drawn with.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "document.h"
#include "line_sink.h"
#include "view_transform.h"

namespace kurvana::testing {

struct Pen {
  uint32_t width;
  Colour colour;
  bool operator==(const Pen&) const = default;
};
inline const Pen kGridPen{1, kColourGrey}, kAxisPen{3, kColourBlack};

struct Line {
  DevicePoint from, to;
  Pen pen;  // {0, 0} when none was selected
  bool operator==(const Line&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Line& line) {
  return out << line.from.x << ',' << line.from.y << '-' << line.to.x << ','
             << line.to.y << " pen " << line.pen.width << ' ' << std::hex
             << line.pen.colour << std::dec;
}

class RecordingSink final : public LineSink {
 public:
  explicit RecordingSink(std::optional<DeviceRect> visible = {},
                         std::optional<DeviceRect> canvas = {})
      : visible_(visible), canvas_(canvas) {}

  void move_to(int x, int y) override { record("move", x, y); }
  void line_to(int x, int y) override {
    lines.push_back({at_, {x, y}, pens_.empty() ? Pen{} : pens_.back()});
    record("line", x, y);
  }
  std::optional<DeviceRect> visible_area() const override { return visible_; }
  std::optional<DeviceRect> canvas() const override { return canvas_; }

  std::vector<Line> lines_with(const Pen& pen) const {
    std::vector<Line> found;
    for (const Line& line : lines) {
      if (line.pen == pen) found.push_back(line);
    }
    return found;
  }
  // The calls whose first letter is one of |kinds| ("p" for pens, "r"
  // restores, "m" moves, "l" lines), joined.
  std::string log(std::string_view kinds) const {
    std::string joined;
    for (const std::string& call : calls) {
      if (kinds.find(call[0]) == kinds.npos) continue;
      joined += (joined.empty() ? "" : ", ") + call;
    }
    return joined;
  }

  std::vector<std::string> calls;  // "pen 3 808080", "move 1 2", "restore"
  std::vector<Line> lines;

 private:
  void record(const char* kind, int x, int y) {
    // A loop that runs away fails the test instead of exhausting memory.
    if (calls.size() > 1'000'000) throw std::length_error("runaway drawing");
    calls.push_back(kind + (" " + std::to_string(x)) + " " + std::to_string(y));
    at_ = {x, y};
  }
  void push_pen(uint32_t width, Colour colour) override {
    char text[32];
    std::snprintf(text, sizeof text, "pen %u %x", unsigned(width),
                  unsigned(colour));
    calls.push_back(text);
    pens_.push_back({width, colour});
  }
  void pop_pen() override {
    calls.push_back("restore");
    pens_.pop_back();
  }

  std::optional<DeviceRect> visible_, canvas_;
  DevicePoint at_{0, 0};
  std::vector<Pen> pens_;
};

// The view of an empty document with another range and tick mode.
inline ViewSettings view_of(int32_t x_min, int32_t x_max, int32_t y_min,
                            int32_t y_max, int32_t tick_mode = TICKS_GRID) {
  ViewSettings view;
  set_default_view(view);
  view.x_min = x_min;
  view.x_max = x_max;
  view.y_min = y_min;
  view.y_max = y_max;
  view.tick_mode = tick_mode;
  return view;
}

}  // namespace kurvana::testing
