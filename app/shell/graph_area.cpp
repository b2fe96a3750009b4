#include "graph_area.h"

#include <memory>

#include "boundary.h"
#include "gdi_sink.h"
#include "handle_owners.h"
#include "resource.h"
#include "viewport.h"
#include "win32_support.h"

namespace kurvana {

namespace {

// The graph area's copy of the attached block lives in its window data.
const GraphDocument* attached(HWND graph) {
  return window_data<GraphDocument>(graph);
}

void draw_document(HWND graph, HDC dc, const RECT& client) {
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  if (const GraphDocument* document = attached(graph)) {
    paint_graph(graph, dc, *document->view, *document->points, client,
                *document->functions);
  }
}

void on_paint(HWND graph) {
  RECT client;
  GetClientRect(graph, &client);
  // The whole area is repainted, whatever part was damaged.
  InvalidateRect(graph, nullptr, FALSE);
  const PaintScope paint(graph);
  draw_document(graph, paint.dc(), client);
}

void on_scroll(HWND graph, int bar, WPARAM request) {
  SCROLLINFO track = {};
  track.cbSize = sizeof track;
  track.fMask = SIF_TRACKPOS;
  const int code = LOWORD(request);
  if (code == SB_THUMBPOSITION || code == SB_THUMBTRACK) {
    GetScrollInfo(graph, bar, &track);
  }
  const int position =
      scrolled_position(GetScrollPos(graph, bar), code, track.nTrackPos);
  SetScrollPos(graph, bar, position, TRUE);
  redraw_graph_now(graph);
}

// A null block detaches the document.
void on_attach(HWND graph, LPARAM block) {
  take_window_data<GraphDocument>(graph);
  if (!block) return;
  give_window_data(graph, std::make_unique<GraphDocument>(
                              *reinterpret_cast<GraphDocument*>(block)));
}

LRESULT handle_message(HWND graph, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      return 0;
    case WM_PAINT:
      on_paint(graph);
      return 0;
    case WM_HSCROLL:
      on_scroll(graph, SB_HORZ, wparam);
      return 0;
    case WM_VSCROLL:
      on_scroll(graph, SB_VERT, wparam);
      return 0;
    case WM_GRAPH_ATTACH:
      on_attach(graph, lparam);
      return 0;
    case WM_NCDESTROY:
      take_window_data<GraphDocument>(graph);
      break;
    default:
      break;
  }
  return DefWindowProcW(graph, message, wparam, lparam);
}

LRESULT CALLBACK graph_area_procedure(HWND graph, UINT message, WPARAM wparam,
                                      LPARAM lparam) {
  return guarded(graph, LRESULT{0}, [&] {
    return handle_message(graph, message, wparam, lparam);
  });
}

}  // namespace

bool register_graph_area_class(HINSTANCE instance) {
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof window_class;
  window_class.style = CS_DBLCLKS | CS_SAVEBITS;
  window_class.lpfnWndProc = graph_area_procedure;
  window_class.hInstance = instance;
  window_class.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_PROGRAM));
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  window_class.lpszMenuName = MAKEINTRESOURCEW(IDR_MAIN_MENU);
  window_class.lpszClassName = kGraphAreaClass;
  return RegisterClassExW(&window_class) != 0;
}

void paint_graph(HWND graph, HDC dc, const ViewSettings& view,
                 const PointTable& points, const RECT& client,
                 const FunctionList& functions) {
  const ViewTransform transform = screen_transform(
      view, client.right - client.left, client.bottom - client.top,
      GetScrollPos(graph, SB_HORZ), GetScrollPos(graph, SB_VERT));
  GdiSink sink(dc, client);
  draw_picture(sink, view, functions, points, transform);
}

void redraw_graph_now(HWND graph) {
  RECT client;
  GetClientRect(graph, &client);
  WindowDC dc(graph);
  if (dc.get()) draw_document(graph, dc.get(), client);
}

void fill_with_brush(HWND window, HBRUSH brush) {
  RECT client;
  GetClientRect(window, &client);
  WindowDC dc(window);
  if (dc.get()) FillRect(dc.get(), &client, brush);
}

}  // namespace kurvana
