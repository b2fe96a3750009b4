// The main window: menu, toolbar and graph area; owner of the document,
// the current file path and the modified flag.
#pragma once

#include <windows.h>
// windows.h first
#include <commctrl.h>

#include <memory>
#include <string>

#include "document.h"
#include "graph_area.h"
#include "win32_support.h"

namespace kurvana {

constexpr wchar_t kMainWindowClass[] = L"kurvanamain";

class MainWindow {
 public:
  static bool register_class(HINSTANCE instance);
  // Creates the window, loading |path| when it is not empty; null when the
  // window could not be created.
  static HWND create(HINSTANCE instance, const std::string& path);

  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

 private:
  friend struct std::default_delete<MainWindow>;
  MainWindow(HINSTANCE instance, std::string path);
  ~MainWindow();

  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam,
                                    LPARAM lparam);
  LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);

  bool on_create();
  void on_size(WPARAM kind);
  void on_command(int identifier);
  void on_drop_files(HDROP drop);
  void on_close();
  void on_destroy();

  bool create_toolbar();
  bool create_graph_area();
  void layout();
  void set_title();
  void make_document_empty();

  // Commands.
  bool save_prompt();  // false: the operation is abandoned
  void command_new();
  void command_open();
  void command_save();
  void command_save_as();
  void command_copy();
  void command_function_list();
  void command_graph_settings();
  void recalculate();
  void redraw();
  void about();
  void open_file(const std::string& path);

  HINSTANCE instance_;
  HWND window_ = nullptr;
  HWND graph_ = nullptr;
  HWND toolbar_ = nullptr;
  ImageList images_;  // the toolbar's, kept until the toolbar is gone
  std::unique_ptr<FunctionList> functions_;
  std::unique_ptr<ViewSettings> view_;
  PointTable points_;
  GraphDocument attached_{};
  std::string path_;  // narrow, at most 260 bytes; empty when untitled
  bool modified_ = false;
  bool created_ = false;  // WM_CREATE finished
};

}  // namespace kurvana
