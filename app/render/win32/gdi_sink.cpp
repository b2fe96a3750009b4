#include "gdi_sink.h"

#include <climits>

namespace kurvana {

SelectedPen::SelectedPen(HDC hdc, int width, COLORREF colour)
    : hdc_(hdc), pen_(CreatePen(PS_SOLID, width, colour)), previous_(nullptr) {
  if (pen_ != nullptr) previous_ = SelectObject(hdc_, pen_);
}

SelectedPen::~SelectedPen() {
  // The pen must leave the device context before it can be deleted.
  if (previous_ != nullptr) SelectObject(hdc_, previous_);
  if (pen_ != nullptr) DeleteObject(pen_);
}

GdiSink::GdiSink(HDC hdc, DeviceRect canvas) : hdc_(hdc), canvas_(canvas) {}

GdiSink::GdiSink(HDC hdc, const RECT& visible)
    : hdc_(hdc),
      visible_(DeviceRect{visible.left, visible.top, visible.right,
                          visible.bottom}) {}

GdiSink::~GdiSink() {
  // Innermost first, so that the device context ends with its own pen.
  while (!pens_.empty()) pens_.pop_back();
}

void GdiSink::move_to(int x, int y) { MoveToEx(hdc_, x, y, nullptr); }

void GdiSink::line_to(int x, int y) { LineTo(hdc_, x, y); }

std::optional<DeviceRect> GdiSink::visible_area() const { return visible_; }

std::optional<DeviceRect> GdiSink::canvas() const { return canvas_; }

void GdiSink::push_pen(uint32_t width, Colour colour) {
  const int pen_width = width > INT_MAX ? INT_MAX : static_cast<int>(width);
  pens_.push_back(std::make_unique<SelectedPen>(hdc_, pen_width, colour));
}

void GdiSink::pop_pen() {
  if (!pens_.empty()) pens_.pop_back();
}

}  // namespace kurvana
