// The surface the drawing primitives draw on: solid pens, moves and straight
// lines in device pixels.  A device context on Windows, a recorder in tests.
#pragma once

#include <cstdint>
#include <optional>

#include "document.h"

namespace kurvana {

// The pixels left <= x < right, top <= y < bottom.
struct DeviceRect {
  int left;
  int top;
  int right;
  int bottom;
};

class PenScope;

// Far more lines per direction than the settings dialog's ranges allow.
inline constexpr int64_t kMostTickLines = 100000;

class LineSink {
 public:
  virtual ~LineSink() = default;

  // Selects a solid pen until the returned scope ends; then the pen that was
  // selected before is current again and the new one is gone.
  [[nodiscard]] PenScope select_pen(uint32_t width, Colour colour);

  virtual void move_to(int x, int y) = 0;
  virtual void line_to(int x, int y) = 0;

  // The part of the device that can show anything, if the sink knows it:
  // lines that lie wholly outside it may be left out.  None means every line
  // is drawn.
  virtual std::optional<DeviceRect> visible_area() const {
    return std::nullopt;
  }

  // The canvas of a picture of fixed size (the metafile copy), if the sink
  // has one.  A direction with more grid lines or marks than
  // kMostTickLines, which only a range read from a file can have, draws
  // just those that may touch the canvas, so that such a copy ends.
  virtual std::optional<DeviceRect> canvas() const { return std::nullopt; }

 private:
  friend class PenScope;
  // Selections nest; each pop undoes the latest push not yet undone.
  virtual void push_pen(uint32_t width, Colour colour) = 0;
  virtual void pop_pen() = 0;
};

// One pen selection; the only way to push and pop, so that every push is
// undone exactly once, innermost first.
class [[nodiscard]] PenScope {
 public:
  PenScope(LineSink& sink, uint32_t width, Colour colour) : sink_(sink) {
    sink_.push_pen(width, colour);
  }
  ~PenScope() { sink_.pop_pen(); }
  PenScope(const PenScope&) = delete;
  PenScope& operator=(const PenScope&) = delete;

 private:
  LineSink& sink_;
};

inline PenScope LineSink::select_pen(uint32_t width, Colour colour) {
  return PenScope(*this, width, colour);
}

}  // namespace kurvana
