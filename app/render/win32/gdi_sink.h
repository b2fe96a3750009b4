// Drawing into a Windows device context.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <vector>

#include "line_sink.h"

namespace kurvana {

// A solid pen created and selected into a device context for the life of the
// object; the destructor selects the previous pen back into that same device
// context and deletes the new pen.  Not copyable: one object, one release.
class SelectedPen {
 public:
  SelectedPen(HDC hdc, int width, COLORREF colour);
  ~SelectedPen();
  SelectedPen(const SelectedPen&) = delete;
  SelectedPen& operator=(const SelectedPen&) = delete;

 private:
  HDC hdc_;
  HPEN pen_;          // null when creation failed
  HGDIOBJ previous_;  // null when nothing was selected
};

// A sink on a device context it does not own.  Every pen it selects is
// restored and deleted when its scope ends.
class GdiSink final : public LineSink {
 public:
  // Draws every line, as a metafile must, but for a direction with more
  // than kMostTickLines grid lines or marks: of those, the ones that touch
  // `canvas`.
  GdiSink(HDC hdc, DeviceRect canvas);
  // Leaves out grid lines and marks that fall wholly outside `visible`, such
  // as the client rectangle of a window.
  GdiSink(HDC hdc, const RECT& visible);
  ~GdiSink() override;
  GdiSink(const GdiSink&) = delete;
  GdiSink& operator=(const GdiSink&) = delete;

  void move_to(int x, int y) override;
  void line_to(int x, int y) override;
  std::optional<DeviceRect> visible_area() const override;
  std::optional<DeviceRect> canvas() const override;

 private:
  void push_pen(uint32_t width, Colour colour) override;
  void pop_pen() override;

  HDC hdc_;
  std::optional<DeviceRect> visible_;
  std::optional<DeviceRect> canvas_;
  std::vector<std::unique_ptr<SelectedPen>> pens_;  // innermost last
};

}  // namespace kurvana
