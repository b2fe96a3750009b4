// The program's entry routine: the association switches, the window
// classes, the main window and the message loop.
#include <windows.h>
// windows.h first
#include <commctrl.h>

#include <cstring>

#include "boundary.h"
#include "file_services.h"
#include "graph_area.h"
#include "main_window.h"
#include "resource.h"
#include "texts.h"
#include "win32_support.h"

namespace kurvana {

namespace {

int run_message_loop(HWND window, HACCEL accelerators) {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (!TranslateAcceleratorW(window, accelerators, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return static_cast<int>(message.wParam);
}

}  // namespace

// |tail| is the command line after the program name and the blanks after
// it, taken whole as the document path.
int run_program(HINSTANCE instance, const char* tail, int show) {
  if (std::strcmp(tail, "-r") == 0) {
    register_file_type(nullptr);
    return 0;
  }
  if (std::strcmp(tail, "-u") == 0) {
    unregister_file_type();
    return 0;
  }
  if (!MainWindow::register_class(instance) ||
      !register_graph_area_class(instance)) {
    show_message(nullptr, text::kCannotRegisterClasses, MB_OK | MB_ICONERROR);
    return 0;
  }
  InitCommonControls();
  HWND window = MainWindow::create(instance, tail);
  if (!window) {
    show_message(nullptr, text::kCannotCreateWindow, MB_OK | MB_ICONERROR);
    return 0;
  }
  restore_window_placement(window);
  HACCEL accelerators =
      LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
  if (!accelerators) {
    show_message(window, text::kCannotLoadAccelerators, MB_OK | MB_ICONERROR);
    return 0;
  }
  ShowWindow(window, show);
  UpdateWindow(window);
  return run_message_loop(window, accelerators);
}

}  // namespace kurvana

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR tail, int show) {
  return kurvana::guarded(HWND{nullptr}, 0, [&] {
    return kurvana::run_program(instance, tail ? tail : "", show);
  });
}
