// What the three dialogs share: the dialog procedure that finds each open
// dialog's state, the swatch brush, the colour chooser, and small readers
// and writers of controls.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "boundary.h"
#include "handle_owners.h"

namespace kurvana {

// Runs the modal dialog |resource| owned by |owner| on |state|: a class
// with a member |window| and the members on_init() and
// handle(message, wparam, lparam), each returning what the dialog
// procedure returns.  The state is found through DWLP_USER from
// WM_INITDIALOG on, so each open dialog has its own.
template <typename State>
INT_PTR run_dialog(HINSTANCE instance, int resource, HWND owner, State& state);

// A solid brush of one colour, deleted by its owner.
class SolidBrush {
 public:
  SolidBrush() = default;
  SolidBrush(const SolidBrush&) = delete;
  SolidBrush& operator=(const SolidBrush&) = delete;
  ~SolidBrush() { release(); }

  HBRUSH get() const { return brush_; }
  // Makes a brush of |colour| and, only when that succeeds, deletes the old
  // one and keeps the new.
  bool replace(COLORREF colour);
  void release();

 private:
  HBRUSH brush_ = nullptr;
};

// The colours the chooser offers as custom colours; each dialog keeps one
// table for the program's life.
using CustomColours = std::array<COLORREF, 16>;

// Opens the colour chooser owned by |owner| at |colour|; true and the
// chosen colour in |colour| when the user confirms.
bool choose_colour(HWND owner, COLORREF* colour, CustomColours& custom);

// Fills control |id| of |dialog| with |brush|.
void fill_swatch(HWND dialog, int id, const SolidBrush& brush);

// Paints the dialog the way the swatches need: everything is repainted and
// |fill| fills the swatches again in between.
template <typename Fill>
void paint_with_swatches(HWND dialog, Fill fill) {
  InvalidateRect(dialog, nullptr, FALSE);
  const PaintScope paint(dialog);
  fill();
}

// A refused input: the message with the program's caption and the warning
// icon, owned by the dialog.
void warn(HWND dialog, const char16_t* text);

// Texts of controls.
std::u16string item_text(HWND dialog, int id);
void set_item_text(HWND dialog, int id, const char16_t* text);
// The control's text in the ANSI code page; none when it has a character
// that the code page cannot spell.
std::optional<std::string> item_text_narrow(HWND dialog, int id);
// The same, and when there is none, the conversion's warning with the
// control focused.
std::optional<std::string> accepted_item_text(HWND dialog, int id);

// Check boxes and radio buttons.
bool is_checked(HWND dialog, int id);
void set_checked(HWND dialog, int id, bool checked);

// Drop-down lists whose items carry their values as item data.
void add_choice(HWND dialog, int id, const char16_t* text, int32_t value);
// Selects the first item of |value|; no item when none has it.
void select_choice(HWND dialog, int id, int32_t value);
std::optional<int32_t> selected_choice(HWND dialog, int id);

// Focus and selection of an edit control, in UTF-16 units.
void focus_item(HWND dialog, int id);
void select_text(HWND dialog, int id, size_t from, size_t to);
void select_nothing(HWND dialog, int id);

// --- implementation of run_dialog -------------------------------------------

namespace detail {

template <typename State>
INT_PTR CALLBACK dialog_procedure(HWND window, UINT message, WPARAM wparam,
                                  LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(window, DWLP_USER, lparam);
    auto* state = reinterpret_cast<State*>(lparam);
    state->window = window;
    // A dialog whose state could not be set up ends at once.
    bool ready = false;
    const INT_PTR result = guarded(window, INT_PTR{TRUE}, [&] {
      const INT_PTR shown = state->on_init();
      ready = true;
      return shown;
    });
    if (!ready) EndDialog(window, 0);
    return result;
  }
  auto* state = reinterpret_cast<State*>(GetWindowLongPtrW(window, DWLP_USER));
  if (!state) return FALSE;
  return guarded(window, INT_PTR{FALSE},
                 [&] { return state->handle(message, wparam, lparam); });
}

}  // namespace detail

template <typename State>
INT_PTR run_dialog(HINSTANCE instance, int resource, HWND owner, State& state) {
  return DialogBoxParamW(instance, MAKEINTRESOURCEW(resource), owner,
                         detail::dialog_procedure<State>,
                         reinterpret_cast<LPARAM>(&state));
}

}  // namespace kurvana
