// The graph area: the child window that shows the picture and scrolls it.
#pragma once

#include <windows.h>

#include "document.h"

namespace kurvana {

constexpr UINT WM_GRAPH_ATTACH = WM_USER + 1;
constexpr wchar_t kGraphAreaClass[] = L"GAREACLASS";

// The block of references that WM_GRAPH_ATTACH carries in its lParam.
struct GraphDocument {
  FunctionList* functions;
  ViewSettings* view;
  PointTable* points;
};

bool register_graph_area_class(HINSTANCE instance);

// Draws the picture into |dc|; the caller has cleared the background.
void paint_graph(HWND graph, HDC dc, const ViewSettings& view,
                 const PointTable& points, const RECT& client,
                 const FunctionList& functions);

// Clears the graph area and draws the picture at once, through a device
// context of its own.
void redraw_graph_now(HWND graph);

// Fills the client area of |window| with |brush|.
void fill_with_brush(HWND window, HBRUSH brush);

}  // namespace kurvana
