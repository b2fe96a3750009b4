// The two drawing primitives of every picture, on screen and in the metafile
// copy.  Both keep grid, axes and curves inside the view range.
#pragma once

#include "document.h"
#include "line_sink.h"
#include "view_transform.h"

namespace kurvana {

// The grid (tick_mode TICKS_GRID) or the tick marks on x = 0 and y = 0
// (TICKS_MARKS) with a 1-pixel pen in tick_colour, or neither (any other
// mode); then the axes that lie in the range, over them.
//
// Every whole number of a range is visited, ends included, with a 64-bit
// counter, so ranges up to INT32_MAX end.  When the sink reports a visible
// area, grid lines and marks that fall wholly outside it are left out, so a
// huge range read from a file costs only the lines that can be seen.  With a
// scale of zero all lines of a direction fall on one device line, which is
// drawn once.
void draw_axes(LineSink& sink, const ViewSettings& view,
               const ViewTransform& transform);

// The point list as polylines with its own pen.  A line joins two
// consecutive valid points that both lie in the view range (ends included;
// NaN lies outside); a break or a point outside lifts the pen, so pieces
// that cross the border are left out, not clipped.
void draw_curve(LineSink& sink, const ViewSettings& view,
                const PointList& curve, const ViewTransform& transform);

}  // namespace kurvana
