// A line sink that keeps every call, for tests to assert on.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <vector>

#include "line_sink.h"
#include "view_transform.h"

namespace kurvana {

inline std::ostream& operator<<(std::ostream& out, const DevicePoint& point) {
  return out << '(' << point.x << ", " << point.y << ')';
}

}  // namespace kurvana

namespace kurvana::testing {

struct Pen {
  uint32_t width;
  Colour colour;
  bool operator==(const Pen&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Pen& pen) {
  return out << "pen " << pen.width << " #" << std::hex << pen.colour
             << std::dec;
}

struct SinkCall {
  enum class Kind { SelectPen, RestorePen, Move, Line };
  Kind kind;
  DevicePoint at{};  // Move, Line
  Pen pen{};         // SelectPen
  bool operator==(const SinkCall&) const = default;
};

inline SinkCall select_call(uint32_t width, Colour colour) {
  return {SinkCall::Kind::SelectPen, {}, {width, colour}};
}
inline SinkCall restore_call() { return {SinkCall::Kind::RestorePen}; }
inline SinkCall move_call(int x, int y) {
  return {SinkCall::Kind::Move, {x, y}};
}
inline SinkCall line_call(int x, int y) {
  return {SinkCall::Kind::Line, {x, y}};
}

inline std::ostream& operator<<(std::ostream& out, const SinkCall& call) {
  switch (call.kind) {
    case SinkCall::Kind::SelectPen:
      return out << "select " << call.pen;
    case SinkCall::Kind::RestorePen:
      return out << "restore";
    case SinkCall::Kind::Move:
      return out << "move " << call.at;
    case SinkCall::Kind::Line:
      return out << "line " << call.at;
  }
  return out;
}

// One line drawn, with the pen selected at the time (none if no pen was).
struct Segment {
  DevicePoint from;
  DevicePoint to;
  std::optional<Pen> pen;
  bool operator==(const Segment&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Segment& segment) {
  out << segment.from << "-" << segment.to << ' ';
  if (segment.pen) return out << *segment.pen;
  return out << "no pen";
}

class RecordingSink final : public LineSink {
 public:
  RecordingSink() = default;
  explicit RecordingSink(DeviceRect visible) : visible_(visible) {}
  RecordingSink(std::optional<DeviceRect> visible,
                std::optional<DeviceRect> canvas)
      : visible_(visible), canvas_(canvas) {}

  void move_to(int x, int y) override { record(move_call(x, y)); }
  void line_to(int x, int y) override { record(line_call(x, y)); }
  std::optional<DeviceRect> visible_area() const override { return visible_; }
  std::optional<DeviceRect> canvas() const override { return canvas_; }

  const std::vector<SinkCall>& calls() const { return calls_; }

  // The lines in drawing order, each from the position left by the call
  // before it.
  std::vector<Segment> segments() const {
    std::vector<Segment> result;
    std::vector<Pen> pens;
    DevicePoint position{0, 0};
    for (const SinkCall& call : calls_) {
      switch (call.kind) {
        case SinkCall::Kind::SelectPen:
          pens.push_back(call.pen);
          break;
        case SinkCall::Kind::RestorePen:
          if (!pens.empty()) pens.pop_back();
          break;
        case SinkCall::Kind::Line:
          result.push_back({position, call.at, current(pens)});
          [[fallthrough]];
        case SinkCall::Kind::Move:
          position = call.at;
          break;
      }
    }
    return result;
  }

  // Whether every pen selection was undone by exactly one restore and no
  // restore came without a selection.
  bool pens_balanced() const {
    int depth = 0;
    for (const SinkCall& call : calls_) {
      if (call.kind == SinkCall::Kind::SelectPen) ++depth;
      if (call.kind == SinkCall::Kind::RestorePen && --depth < 0) return false;
    }
    return depth == 0;
  }

 private:
  // Far more than any test draws: a loop that runs away fails the test
  // instead of exhausting memory.
  static constexpr size_t CALL_LIMIT = 1'000'000;

  void record(const SinkCall& call) {
    if (calls_.size() >= CALL_LIMIT) throw std::length_error("runaway drawing");
    calls_.push_back(call);
  }
  void push_pen(uint32_t width, Colour colour) override {
    record(select_call(width, colour));
  }
  // Restores run from destructors, so they are never refused.
  void pop_pen() override { calls_.push_back(restore_call()); }

  static std::optional<Pen> current(const std::vector<Pen>& pens) {
    if (pens.empty()) return std::nullopt;
    return pens.back();
  }

  std::optional<DeviceRect> visible_;
  std::optional<DeviceRect> canvas_;
  std::vector<SinkCall> calls_;
};

}  // namespace kurvana::testing
