// The mappings of the picture onto the graph area and onto the metafile
// canvas, the scroll bar arithmetic, and the whole picture's drawing order.
#pragma once

#include "document.h"
#include "draw.h"

namespace kurvana {

constexpr int kScrollLimit = 10000;
constexpr int kMetafileCanvas = 5000;

// Screen: 20 pixels per unit at 100 %, the middle of the view range at the
// middle of the client area, shifted against the scroll positions.
ViewTransform screen_transform(const ViewSettings& view, int client_width,
                               int client_height, int scroll_x, int scroll_y);

// Metafile: 10 units per plane unit at 100 %, the middle of the view range
// at the middle of the 5000 x 5000 canvas, no scrolling.
ViewTransform metafile_transform(const ViewSettings& view);

// Scroll bar requests (the SB_* codes 0 to 7).
enum ScrollRequest {
  kScrollLineBack = 0,
  kScrollLineForward = 1,
  kScrollPageBack = 2,
  kScrollPageForward = 3,
  kScrollThumbPosition = 4,
  kScrollThumbTrack = 5,
  kScrollToStart = 6,
  kScrollToEnd = 7,
};

// The bar's position after |request|, clamped to the scroll range.
int scrolled_position(int position, int request, int track_position);

// Axes, then the visible curves from the last function to the first, so
// that the first lies on top.
void draw_picture(LineSink& sink, const ViewSettings& view,
                  const FunctionList& functions, const PointTable& points,
                  const ViewTransform& transform);

}  // namespace kurvana
