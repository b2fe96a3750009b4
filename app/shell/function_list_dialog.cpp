#include "function_list_dialog.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <utility>

#include "dialog_support.h"
#include "dialog_text.h"
#include "function_definition_dialog.h"
#include "resource.h"
#include "texts.h"
#include "win32_support.h"

namespace kurvana {

namespace {

// An entry as the add button prepares it: all zero but pure red.
FunctionEntry scratch_entry() {
  FunctionEntry entry;
  std::memset(&entry, 0, sizeof entry);
  entry.colour = kColourRed;
  return entry;
}

// The list box and the working copy move together: line i always shows
// entry i of the copy, which holds |count| defined entries.
class ListDialog {
 public:
  ListDialog(HINSTANCE instance, FunctionList& document)
      : instance_(instance), document_(document) {}
  ListDialog(const ListDialog&) = delete;
  ListDialog& operator=(const ListDialog&) = delete;

  INT_PTR on_init();
  INT_PTR handle(UINT message, WPARAM wparam, LPARAM lparam);

  HWND window = nullptr;

 private:
  LRESULT list(UINT message, WPARAM wparam = 0, LPARAM lparam = 0) const {
    return SendDlgItemMessageW(window, IDC_FUNCTION_LIST, message, wparam,
                               lparam);
  }
  uint32_t slots() const {
    return std::min<uint32_t>(working_->capacity, MAX_FUNCTIONS);
  }
  int line_count() const { return static_cast<int>(list(LB_GETCOUNT)); }
  std::optional<int> selected_line() const;
  std::optional<int> selection_or_warn(const char16_t* message) const;
  bool refused_when_full() const;
  void add_line(const FunctionEntry& entry) const;
  void insert_line(int index) const;
  void append(const FunctionEntry& entry);

  bool on_command(int id, int notification);
  void on_add();
  void on_duplicate();
  void on_move(int step);
  void on_edit();
  void on_remove();
  void on_ok();
  void on_close();

  HINSTANCE instance_;
  FunctionList& document_;
  std::unique_ptr<FunctionList> working_;
};

// Without a working copy no button may run: when it cannot be had, the
// dialog procedure ends the dialog at once.
INT_PTR ListDialog::on_init() {
  working_ = std::make_unique<FunctionList>();
  const uint32_t count = std::min<uint32_t>(document_.count, MAX_FUNCTIONS);
  for (uint32_t i = 0; i < count; ++i) add_line(document_.entries[i]);
  *working_ = document_;
  return TRUE;
}

INT_PTR ListDialog::handle(UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_COMMAND:
      return on_command(LOWORD(wparam), HIWORD(wparam)) ? TRUE : FALSE;
    case WM_CLOSE:
      on_close();
      return TRUE;
    default:
      return FALSE;
  }
}

bool ListDialog::on_command(int id, int notification) {
  if (id == IDCANCEL) {
    PostMessageW(window, WM_CLOSE, 0, 0);
    return true;
  }
  if (!working_) return false;
  switch (id) {
    case IDOK:
      on_ok();
      return true;
    case IDC_ADD_FUNCTION:
      on_add();
      return true;
    case IDC_DUPLICATE_FUNCTION:
      on_duplicate();
      return true;
    case IDC_MOVE_UP:
      on_move(-1);
      return true;
    case IDC_MOVE_DOWN:
      on_move(1);
      return true;
    case IDC_EDIT_FUNCTION:
      on_edit();
      return true;
    case IDC_REMOVE_FUNCTION:
      on_remove();
      return true;
    case IDC_FUNCTION_LIST:
      if (notification != LBN_DBLCLK) return false;
      on_edit();
      return true;
    default:
      return false;
  }
}

std::optional<int> ListDialog::selected_line() const {
  const LRESULT line = list(LB_GETCURSEL);
  if (line == LB_ERR) return std::nullopt;
  return static_cast<int>(line);
}

std::optional<int> ListDialog::selection_or_warn(
    const char16_t* message) const {
  const std::optional<int> line = selected_line();
  if (!line) warn(window, message);
  return line;
}

bool ListDialog::refused_when_full() const {
  if (static_cast<uint32_t>(line_count()) < slots()) return false;
  warn(window, text::kListFull);
  return true;
}

void ListDialog::add_line(const FunctionEntry& entry) const {
  const std::u16string line = format_list_entry(entry);
  list(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

// Inserts the line of entry |index| at |index|.
void ListDialog::insert_line(int index) const {
  const std::u16string line = format_list_entry(working_->entries[index]);
  list(LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(line.c_str()));
}

void ListDialog::append(const FunctionEntry& entry) {
  working_->entries[working_->count] = entry;
  ++working_->count;
  add_line(entry);
}

void ListDialog::on_add() {
  if (refused_when_full()) return;
  FunctionEntry entry = scratch_entry();
  if (!define_function(instance_, window, entry)) return;
  append(entry);
}

// The full check comes before the selection check.
void ListDialog::on_duplicate() {
  if (refused_when_full()) return;
  const std::optional<int> line = selection_or_warn(text::kSelectLine);
  if (!line) return;
  const FunctionEntry copy = working_->entries[*line];
  append(copy);
}

// Exchanges the selected function with its neighbour; the selection
// follows the function.
void ListDialog::on_move(int step) {
  const std::optional<int> line = selection_or_warn(text::kSelectLine);
  if (!line) return;
  const int from = *line;
  const int to = from + step;
  if (to < 0 || to >= line_count()) return;
  std::swap(working_->entries[from], working_->entries[to]);
  const int upper = std::min(from, to);
  list(LB_DELETESTRING, upper);
  insert_line(upper + 1);
  list(LB_SETCURSEL, to);
}

void ListDialog::on_edit() {
  const std::optional<int> line = selection_or_warn(text::kSelectToEdit);
  if (!line) return;
  FunctionEntry entry = working_->entries[*line];
  if (!edit_function(instance_, window, entry)) return;
  working_->entries[*line] = entry;
  list(LB_DELETESTRING, *line);
  insert_line(*line);
  list(LB_SETCURSEL, *line);
}

// The slots after the removed one move up; the last keeps stale contents,
// which lie beyond the count.
void ListDialog::on_remove() {
  const std::optional<int> line = selection_or_warn(text::kSelectToRemove);
  if (!line) return;
  for (uint32_t i = *line; i + 1 < slots(); ++i) {
    working_->entries[i] = working_->entries[i + 1];
  }
  --working_->count;
  list(LB_DELETESTRING, *line);
}

void ListDialog::on_ok() {
  document_ = *working_;
  working_.reset();
  EndDialog(window, 1);
}

void ListDialog::on_close() {
  working_.reset();
  EndDialog(window, 0);
}

}  // namespace

int edit_function_list(HINSTANCE instance, HWND owner,
                       FunctionList& functions) {
  ListDialog dialog(instance, functions);
  return run_dialog(instance, IDD_FUNCTION_LIST, owner, dialog) == 1 ? 1 : 0;
}

}  // namespace kurvana
