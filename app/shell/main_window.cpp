#include "main_window.h"

#include <shellapi.h>

#include "boundary.h"
#include "document_file.h"
#include "file_services.h"
#include "message_box_reporter.h"
#include "recompute.h"
#include "resource.h"
#include "startup_fault.h"
#include "text_conversion.h"
#include "text_format.h"
#include "texts.h"
#include "viewport.h"
#include "win32_support.h"

namespace kurvana {

bool MainWindow::register_class(HINSTANCE instance) {
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof window_class;
  window_class.style = CS_DBLCLKS | CS_SAVEBITS;
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = instance;
  window_class.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_PROGRAM));
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszMenuName = MAKEINTRESOURCEW(IDR_MAIN_MENU);
  window_class.lpszClassName = kMainWindowClass;
  return RegisterClassExW(&window_class) != 0;
}

HWND MainWindow::create(HINSTANCE instance, const std::string& path) {
  std::unique_ptr<MainWindow> main_window(new MainWindow(instance, path));
  // WM_NCCREATE hands the object to the window, which deletes it at
  // WM_NCDESTROY, also when creation fails; a window that never got it
  // leaves it here.
  return CreateWindowExW(0, kMainWindowClass, as_wide(text::kApplicationName),
                         WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                         instance, &main_window);
}

MainWindow::MainWindow(HINSTANCE instance, std::string path)
    : instance_(instance),
      images_(ImageList_Create(16, 16, ILC_COLOR4 | ILC_MASK, 16, 16)),
      path_(std::move(path)) {}

MainWindow::~MainWindow() = default;

LRESULT CALLBACK MainWindow::procedure(HWND window, UINT message, WPARAM wparam,
                                       LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    auto& owner =
        *static_cast<std::unique_ptr<MainWindow>*>(create->lpCreateParams);
    owner->window_ = window;
    give_window_data(window, std::move(owner));
  }
  MainWindow* self = window_data<MainWindow>(window);
  if (!self) return DefWindowProcW(window, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    take_window_data<MainWindow>(window);
    return DefWindowProcW(window, message, wparam, lparam);
  }
  // A failed WM_CREATE stops the window's creation.
  const LRESULT failed = message == WM_CREATE ? -1 : 0;
  return guarded(window, failed,
                 [&] { return self->handle(message, wparam, lparam); });
}

LRESULT MainWindow::handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      return on_create() ? 0 : -1;
    case WM_SIZE:
      on_size(wparam);
      return 0;
    case WM_COMMAND:
      on_command(LOWORD(wparam));
      return 0;
    case WM_DROPFILES:
      on_drop_files(reinterpret_cast<HDROP>(wparam));
      return 0;
    case WM_CLOSE:
      on_close();
      return 0;
    case WM_DESTROY:
      on_destroy();
      return 0;
    default:
      return DefWindowProcW(window_, message, wparam, lparam);
  }
}

// Creation stops (and the window is not made) when the document or the
// graph area cannot be had, so the program never runs without them.
bool MainWindow::on_create() {
  functions_ = std::make_unique<FunctionList>();
  view_ = std::make_unique<ViewSettings>();
  create_toolbar();
  if (!create_graph_area()) {
    show_message(window_, text::kCannotCreateGraphArea, MB_OK | MB_ICONERROR);
    return false;
  }
  SetScrollRange(graph_, SB_HORZ, -kScrollLimit, kScrollLimit, FALSE);
  SetScrollRange(graph_, SB_VERT, -kScrollLimit, kScrollLimit, FALSE);
  layout();
  make_document_empty();
  set_default_view(*view_);
  if (!path_.empty()) {
    MessageBoxReporter reporter(window_);
    if (path_.size() < kPathBytes &&
        load_document(reporter, path_.c_str(), *view_, *functions_)) {
      recompute_all(reporter, *view_, *functions_, points_);
    } else {
      if (path_.size() >= kPathBytes) {
        show_message(window_, text::kCannotOpenFile, MB_OK | MB_ICONWARNING);
      }
      make_document_empty();
      set_default_view(*view_);
      path_.clear();
    }
  }
  set_title();
  attached_ = {functions_.get(), view_.get(), &points_};
  SendMessageW(graph_, WM_GRAPH_ATTACH, 0,
               reinterpret_cast<LPARAM>(&attached_));
  DragAcceptFiles(window_, TRUE);
  created_ = true;
  return true;
}

bool MainWindow::create_graph_area() {
  if (graph_area_creation_fails()) return false;
  graph_ = CreateWindowExW(
      WS_EX_CLIENTEDGE, kGraphAreaClass, L"",
      WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, 0, 0, 100, 100, window_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_GRAPH_AREA)), instance_,
      nullptr);
  return graph_ != nullptr;
}

void MainWindow::layout() {
  RECT client;
  GetClientRect(window_, &client);
  int toolbar_height = 0;
  if (toolbar_) {
    RECT bar;
    GetWindowRect(toolbar_, &bar);
    toolbar_height = bar.bottom - bar.top;
  }
  MoveWindow(graph_, 0, toolbar_height, client.right,
             client.bottom - toolbar_height, TRUE);
}

void MainWindow::set_title() {
  const std::u16string name =
      path_.empty()
          ? std::u16string(text::kUntitled)
          : to_utf16(file_name_of(path_, CodePage::kAnsi), CodePage::kAnsi)
                .value_or(u"");
  const std::u16string title =
      text::fill(text::kTitleFormat, {text::kApplicationName, name});
  SendMessageW(window_, WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(as_wide(title.c_str())));
}

void MainWindow::make_document_empty() {
  clear_function_list(*functions_);
  for (PointList& list : points_) list.release();
}

void MainWindow::on_size(WPARAM kind) {
  if (kind == SIZE_RESTORED || kind == SIZE_MAXIMIZED || kind == SIZE_MAXSHOW) {
    layout();
    if (toolbar_) SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
  }
}

void MainWindow::on_close() {
  if (save_prompt()) DestroyWindow(window_);
}

void MainWindow::on_destroy() {
  DragAcceptFiles(window_, FALSE);
  // The graph area is destroyed after this handler: it must not paint from
  // the freed records.
  if (graph_) SendMessageW(graph_, WM_GRAPH_ATTACH, 0, 0);
  functions_.reset();
  view_.reset();
  for (PointList& list : points_) list.release();
  // A window whose creation failed was never shown: its rectangle is not
  // the user's, and the entry routine still has to say why it stops.
  if (!created_) return;
  save_window_placement(window_);
  PostQuitMessage(0);
}

}  // namespace kurvana
