#include "graph_settings_dialog.h"

#include <optional>
#include <string>

#include "dialog_support.h"
#include "dialog_text.h"
#include "resource.h"
#include "text_format.h"
#include "texts.h"

namespace kurvana {

namespace {

constexpr UINT kRangeFieldLimit = 4;

// Offered by the colour chooser of every opening; all black at start, and
// apart from the definition dialog's table.
CustomColours custom_colours = {};

struct RangeField {
  int id;
  int32_t ViewSettings::*value;
};

constexpr RangeField kRangeFields[] = {
    {IDC_X_MIN, &ViewSettings::x_min},
    {IDC_X_MAX, &ViewSettings::x_max},
    {IDC_Y_MIN, &ViewSettings::y_min},
    {IDC_Y_MAX, &ViewSettings::y_max},
};

struct TickButton {
  int id;
  int32_t mode;
};

// Any mode but marks and grid shows as none.
constexpr TickButton kTickButtons[] = {
    {IDC_TICKS_MARKS, TICKS_MARKS},
    {IDC_TICKS_GRID, TICKS_GRID},
    {IDC_TICKS_NONE, TICKS_NONE},
};

// A colour swatch and the working copy's field it shows.
struct Swatch {
  int id;
  Colour ViewSettings::*colour;
  SolidBrush brush;
};

template <size_t N>
void fill_numbers(HWND dialog, int id, const std::array<uint32_t, N>& values,
                  uint32_t selected) {
  for (uint32_t value : values) {
    add_choice(dialog, id, text::decimal(value).c_str(),
               static_cast<int32_t>(value));
  }
  // A value outside the table leaves the list without a selection.
  select_choice(dialog, id, static_cast<int32_t>(selected));
}

class SettingsDialog {
 public:
  explicit SettingsDialog(ViewSettings& settings)
      : settings_(settings), working_(settings) {}
  SettingsDialog(const SettingsDialog&) = delete;
  SettingsDialog& operator=(const SettingsDialog&) = delete;

  INT_PTR on_init();
  INT_PTR handle(UINT message, WPARAM wparam, LPARAM lparam);

  HWND window = nullptr;

 private:
  void show_ranges();
  void show_tick_mode();
  void fill_swatches();
  void release_brushes();
  void choose_swatch_colour(Swatch& swatch);
  void on_command(int id);
  void on_ok();
  bool accept_ranges();
  bool accept_choice(int id, const char16_t* message, uint32_t* value);
  int32_t shown_tick_mode() const;

  ViewSettings& settings_;
  ViewSettings working_;
  Swatch swatches_[2] = {{IDC_AXIS_COLOUR, &ViewSettings::axis_colour, {}},
                         {IDC_TICK_COLOUR, &ViewSettings::tick_colour, {}}};
};

INT_PTR SettingsDialog::on_init() {
  working_ = settings_;
  for (const RangeField& field : kRangeFields) {
    SendDlgItemMessageW(window, field.id, EM_LIMITTEXT, kRangeFieldLimit, 0);
  }
  show_ranges();
  fill_numbers(window, IDC_ZOOM, kZoomChoices, working_.zoom_percent);
  fill_numbers(window, IDC_AXIS_WIDTH, kWidthChoices, working_.axis_width);
  fill_numbers(window, IDC_GRAPH_WIDTH, kWidthChoices, working_.graph_width);
  show_tick_mode();
  for (Swatch& swatch : swatches_)
    swatch.brush.replace(working_.*swatch.colour);
  fill_swatches();
  return TRUE;
}

void SettingsDialog::show_ranges() {
  for (const RangeField& field : kRangeFields) {
    set_item_text(window, field.id,
                  text::decimal(working_.*field.value).c_str());
  }
}

void SettingsDialog::show_tick_mode() {
  int id = IDC_TICKS_NONE;
  for (const TickButton& button : kTickButtons) {
    if (button.mode == working_.tick_mode) id = button.id;
  }
  set_checked(window, id, true);
}

void SettingsDialog::fill_swatches() {
  for (const Swatch& swatch : swatches_) {
    fill_swatch(window, swatch.id, swatch.brush);
  }
}

void SettingsDialog::release_brushes() {
  for (Swatch& swatch : swatches_) swatch.brush.release();
}

// A colour is taken only together with a brush that shows it.
void SettingsDialog::choose_swatch_colour(Swatch& swatch) {
  COLORREF colour = working_.*swatch.colour;
  if (!choose_colour(window, &colour, custom_colours)) return;
  if (!swatch.brush.replace(colour)) return;
  working_.*swatch.colour = colour;
  fill_swatch(window, swatch.id, swatch.brush);
}

INT_PTR SettingsDialog::handle(UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_COMMAND:
      on_command(LOWORD(wparam));
      return TRUE;
    case WM_PAINT:
      paint_with_swatches(window, [this] { fill_swatches(); });
      return TRUE;
    case WM_CLOSE:
      release_brushes();
      EndDialog(window, 0);
      return TRUE;
    default:
      return FALSE;
  }
}

void SettingsDialog::on_command(int id) {
  switch (id) {
    case IDOK:
      on_ok();
      break;
    case IDCANCEL:
      PostMessageW(window, WM_CLOSE, 0, 0);
      break;
    case IDC_AXIS_COLOUR:
      choose_swatch_colour(swatches_[0]);
      break;
    case IDC_TICK_COLOUR:
      choose_swatch_colour(swatches_[1]);
      break;
    default:
      break;
  }
}

void SettingsDialog::on_ok() {
  uint32_t zoom = 0;
  uint32_t axis_width = 0;
  uint32_t graph_width = 0;
  if (!accept_ranges() || !accept_choice(IDC_ZOOM, text::kChooseZoom, &zoom) ||
      !accept_choice(IDC_AXIS_WIDTH, text::kChooseAxisWidth, &axis_width) ||
      !accept_choice(IDC_GRAPH_WIDTH, text::kChooseGraphWidth, &graph_width)) {
    return;
  }
  working_.zoom_percent = zoom;
  working_.axis_width = static_cast<uint16_t>(axis_width);
  working_.graph_width = static_cast<uint16_t>(graph_width);
  working_.tick_mode = shown_tick_mode();
  settings_ = working_;
  release_brushes();
  EndDialog(window, 1);
}

// Stores the four fields in the working copy, then checks both ranges.
bool SettingsDialog::accept_ranges() {
  for (const RangeField& field : kRangeFields) {
    const std::optional<std::string> typed =
        accepted_item_text(window, field.id);
    if (!typed) return false;
    working_.*field.value = parse_range(*typed);
  }
  if (working_.x_min >= working_.x_max) {
    warn(window, text::kXRangeInvalid);
    focus_item(window, IDC_X_MIN);
    return false;
  }
  if (working_.y_min >= working_.y_max) {
    warn(window, text::kYRangeInvalid);
    focus_item(window, IDC_Y_MIN);
    return false;
  }
  return true;
}

// The selected value of a list; the message when there is none, the focus
// staying where it is.
bool SettingsDialog::accept_choice(int id, const char16_t* message,
                                   uint32_t* value) {
  const std::optional<int32_t> choice = selected_choice(window, id);
  if (!choice) {
    warn(window, message);
    return false;
  }
  *value = static_cast<uint32_t>(*choice);
  return true;
}

int32_t SettingsDialog::shown_tick_mode() const {
  if (is_checked(window, IDC_TICKS_MARKS)) return TICKS_MARKS;
  if (is_checked(window, IDC_TICKS_GRID)) return TICKS_GRID;
  return TICKS_NONE;
}

}  // namespace

int edit_view_settings(HINSTANCE instance, HWND owner, ViewSettings& view) {
  SettingsDialog dialog(view);
  return run_dialog(instance, IDD_GRAPH_SETTINGS, owner, dialog) == 1 ? 1 : 0;
}

}  // namespace kurvana
