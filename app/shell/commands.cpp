// The commands of the menu, the accelerators and the toolbar, dropped files
// and the save prompt.
#include <windows.h>
// windows.h first
#include <shellapi.h>

#include <memory>

#include "document_file.h"
#include "file_services.h"
#include "function_list_dialog.h"
#include "graph_settings_dialog.h"
#include "handle_owners.h"
#include "main_window.h"
#include "message_box_reporter.h"
#include "metafile_copy.h"
#include "recompute.h"
#include "resource.h"
#include "texts.h"
#include "win32_support.h"

namespace kurvana {

void MainWindow::on_command(int identifier) {
  switch (identifier) {
    case IDM_NEW:
    case IDT_NEW:
      command_new();
      break;
    case IDM_OPEN:
    case IDT_OPEN:
      command_open();
      break;
    case IDM_SAVE:
    case IDA_SAVE:
    case IDT_SAVE:
      command_save();
      break;
    case IDM_SAVE_AS:
      command_save_as();
      break;
    case IDM_EXIT:
      PostMessageW(window_, WM_CLOSE, 0, 0);
      break;
    case IDM_COPY:
    case IDA_COPY:
      command_copy();
      break;
    case IDM_FUNCTION_LIST:
    case IDA_FUNCTION_LIST:
    case IDT_FUNCTIONS:
      command_function_list();
      break;
    case IDM_GRAPH_SETTINGS:
    case IDA_GRAPH_SETTINGS:
    case IDT_GRAPH:
      command_graph_settings();
      break;
    case IDM_RECALCULATE:
    case IDA_RECALCULATE:
      recalculate();
      break;
    case IDM_REDRAW:
      redraw();
      break;
    case IDM_ABOUT:
      about();
      break;
    default:
      break;
  }
}

bool MainWindow::save_prompt() {
  if (!modified_) return true;
  switch (show_message(window_, text::kSaveChanges,
                       MB_YESNOCANCEL | MB_ICONWARNING)) {
    case IDYES:
      command_save();
      return !modified_;
    case IDNO:
      return true;
    default:
      return false;
  }
}

void MainWindow::command_new() {
  if (!save_prompt()) return;
  make_document_empty();
  set_default_view(*view_);
  path_.clear();
  modified_ = false;
  set_title();
  recalculate();
}

void MainWindow::command_open() {
  if (!save_prompt()) return;
  std::string chosen = path_;
  if (choose_open_file(window_, &chosen)) open_file(chosen);
}

void MainWindow::command_save() {
  if (path_.empty()) {
    command_save_as();
    return;
  }
  MessageBoxReporter reporter(window_);
  if (save_document(reporter, path_.c_str(), *view_, *functions_)) {
    modified_ = false;
  }
}

void MainWindow::command_save_as() {
  std::string chosen = path_;
  if (!choose_save_file(window_, &chosen)) return;
  MessageBoxReporter reporter(window_);
  if (!save_document(reporter, chosen.c_str(), *view_, *functions_)) return;
  path_ = chosen;
  set_title();
  modified_ = false;
}

void MainWindow::command_copy() {
  WindowDC reference(graph_);
  copy_as_metafile(reference.get(), *view_, points_, *functions_);
}

void MainWindow::command_function_list() {
  if (!edit_function_list(instance_, window_, *functions_)) return;
  modified_ = true;
  recalculate();
}

void MainWindow::command_graph_settings() {
  if (!edit_view_settings(instance_, window_, *view_)) return;
  modified_ = true;
  recalculate();
}

void MainWindow::recalculate() {
  MessageBoxReporter reporter(window_);
  recompute_all(reporter, *view_, *functions_, points_);
  redraw();
}

void MainWindow::redraw() { redraw_graph_now(graph_); }

void MainWindow::about() {
  MessageBoxW(window_, as_wide(text::kAboutText), as_wide(text::kAboutCaption),
              MB_OK | MB_ICONINFORMATION);
}

// Loads into scratch records and takes them over only when the whole load
// succeeded, so a failed open never leaves a partial document under the
// previous file's name.
void MainWindow::open_file(const std::string& path) {
  auto functions = std::make_unique<FunctionList>(*functions_);
  auto view = std::make_unique<ViewSettings>(*view_);
  MessageBoxReporter reporter(window_);
  if (!load_document(reporter, path.c_str(), *view, *functions)) return;
  *functions_ = *functions;
  *view_ = *view;
  path_ = path;
  modified_ = false;
  recalculate();
  set_title();
}

void MainWindow::on_drop_files(HDROP drop) {
  char name[kPathBytes + 1] = {};
  {
    const DropHandle files(drop);
    if (DragQueryFileA(files.get(), 0, name, kPathBytes) == 0) {
      show_message(window_, text::kCannotGetDroppedName, MB_OK | MB_ICONERROR);
      return;
    }
  }
  if (!save_prompt()) return;
  open_file(name);
}

}  // namespace kurvana
