#include "function_definition_dialog.h"

#include <cstring>
#include <string>

#include "dialog_support.h"
#include "dialog_text.h"
#include "expression_check.h"
#include "resource.h"
#include "text_conversion.h"
#include "texts.h"
#include "win32_support.h"

namespace kurvana {

namespace {

constexpr UINT kExpressionFieldLimit = 255;
constexpr UINT kDomainFieldLimit = 10;
constexpr int32_t kNewDensity = 3;

// Offered by the colour chooser of every opening; all black at start.
CustomColours custom_colours = {};

enum class Mode { kNew, kEdit };

// The library's messages are Shift-JIS whatever the system's code page.
std::u16string from_shift_jis(const char (&message)[kExpressionMessageBytes]) {
  return to_utf16({message, strnlen(message, sizeof message)},
                  CodePage::kShiftJis)
      .value_or(u"");
}

std::u16string field_text(const char (&field)[EXPRESSION_BYTES]) {
  return to_utf16({field, strnlen(field, sizeof field)}, CodePage::kAnsi)
      .value_or(u"");
}

void store_text(const std::string& text, char (&field)[EXPRESSION_BYTES]) {
  std::memset(field, 0, sizeof field);
  std::memcpy(field, text.data(), text.size());
}

std::u16string domain_text(double value) {
  return to_utf16(format_domain(value, CodePage::kAnsi), CodePage::kAnsi)
      .value_or(u"");
}

bool outside_domain_limit(double value) {
  return value < -kDomainLimit || value > kDomainLimit;
}

class DefinitionDialog {
 public:
  DefinitionDialog(Mode mode, FunctionEntry& entry)
      : mode_(mode), entry_(entry) {}
  DefinitionDialog(const DefinitionDialog&) = delete;
  DefinitionDialog& operator=(const DefinitionDialog&) = delete;

  INT_PTR on_init();
  INT_PTR handle(UINT message, WPARAM wparam, LPARAM lparam);

  HWND window = nullptr;

 private:
  int32_t show_entry();
  int32_t show_new();
  void fill_densities(int32_t density);
  int32_t shown_kind() const;
  void refresh_kind();
  void fill_colour_swatch() { fill_swatch(window, IDC_COLOUR, brush_); }
  void choose_swatch_colour();
  void on_command(int id);
  void on_ok();
  bool accept_expression(int field, char (&out)[EXPRESSION_BYTES]);
  void report_expression(int field, const std::string& text, int32_t position,
                         const char (&message)[kExpressionMessageBytes]);
  bool accept_domain_end(int field, double* value);

  Mode mode_;
  FunctionEntry& entry_;
  SolidBrush brush_;
};

INT_PTR DefinitionDialog::on_init() {
  for (int field : {IDC_EXPRESSION, IDC_EXPRESSION2}) {
    SendDlgItemMessageW(window, field, EM_LIMITTEXT, kExpressionFieldLimit, 0);
  }
  for (int field : {IDC_DOMAIN_MIN, IDC_DOMAIN_MAX}) {
    SendDlgItemMessageW(window, field, EM_LIMITTEXT, kDomainFieldLimit, 0);
  }
  const int32_t density = mode_ == Mode::kEdit ? show_entry() : show_new();
  fill_densities(density);
  brush_.replace(entry_.colour);
  refresh_kind();
  fill_colour_swatch();
  return TRUE;
}

// Shows the entry; returns the density to preselect.
int32_t DefinitionDialog::show_entry() {
  switch (entry_.kind) {
    case FUNCTION_EXPLICIT:
      set_checked(window, IDC_KIND_EXPLICIT, true);
      break;
    case FUNCTION_POLAR:
      set_checked(window, IDC_KIND_POLAR, true);
      break;
    case FUNCTION_IMPLICIT:
      set_checked(window, IDC_KIND_IMPLICIT, true);
      break;
    default:  // parametric, and any kind the dialog does not know
      set_checked(window, IDC_KIND_PARAMETRIC, true);
      set_item_text(window, IDC_EXPRESSION2,
                    field_text(entry_.expression2).c_str());
      break;
  }
  set_item_text(window, IDC_EXPRESSION, field_text(entry_.expression).c_str());
  set_item_text(window, IDC_DOMAIN_MIN, domain_text(entry_.domain_min).c_str());
  set_item_text(window, IDC_DOMAIN_MAX, domain_text(entry_.domain_max).c_str());
  set_checked(window, IDC_VISIBLE, (entry_.flags & FLAG_VISIBLE) != 0);
  return entry_.density;
}

int32_t DefinitionDialog::show_new() {
  set_checked(window, IDC_KIND_EXPLICIT, true);
  set_item_text(window, IDC_DOMAIN_MIN, u"-10");
  set_item_text(window, IDC_DOMAIN_MAX, u"10");
  set_checked(window, IDC_VISIBLE, true);
  return kNewDensity;
}

void DefinitionDialog::fill_densities(int32_t density) {
  for (const DensityChoice& choice : kDensityChoices) {
    add_choice(window, IDC_DENSITY, choice.text, choice.value);
  }
  select_choice(window, IDC_DENSITY, density);
}

// The kind whose labels apply: the buttons are tested in the order
// explicit, parametric, implicit, and polar applies when none is set.
int32_t DefinitionDialog::shown_kind() const {
  if (is_checked(window, IDC_KIND_EXPLICIT)) return FUNCTION_EXPLICIT;
  if (is_checked(window, IDC_KIND_PARAMETRIC)) return FUNCTION_PARAMETRIC;
  if (is_checked(window, IDC_KIND_IMPLICIT)) return FUNCTION_IMPLICIT;
  return FUNCTION_POLAR;
}

// Disabled fields keep their texts.
void DefinitionDialog::refresh_kind() {
  const KindLayout& layout = *kind_layout(shown_kind());
  set_item_text(window, IDC_EXPRESSION_LABEL, layout.expression_label);
  if (layout.domain_label) {
    set_item_text(window, IDC_DOMAIN_LABEL, layout.domain_label);
  }
  EnableWindow(GetDlgItem(window, IDC_EXPRESSION2),
               layout.second_expression_enabled);
  EnableWindow(GetDlgItem(window, IDC_DOMAIN_MIN), layout.domain_enabled);
  EnableWindow(GetDlgItem(window, IDC_DOMAIN_MAX), layout.domain_enabled);
}

// The colour is the entry's at once; the swatch keeps its old brush when no
// new one can be made.
void DefinitionDialog::choose_swatch_colour() {
  COLORREF colour = entry_.colour;
  if (!choose_colour(window, &colour, custom_colours)) return;
  entry_.colour = colour;
  if (brush_.replace(colour)) fill_colour_swatch();
  refresh_kind();
}

INT_PTR DefinitionDialog::handle(UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_COMMAND:
      on_command(LOWORD(wparam));
      return TRUE;
    case WM_PAINT:
      paint_with_swatches(window, [this] { fill_colour_swatch(); });
      return TRUE;
    case WM_CLOSE:
      brush_.release();
      EndDialog(window, 0);
      return TRUE;
    default:
      return FALSE;
  }
}

void DefinitionDialog::on_command(int id) {
  switch (id) {
    case IDOK:
      on_ok();
      break;
    case IDCANCEL:
      PostMessageW(window, WM_CLOSE, 0, 0);
      break;
    case IDC_KIND_EXPLICIT:
    case IDC_KIND_PARAMETRIC:
    case IDC_KIND_POLAR:
    case IDC_KIND_IMPLICIT:
      refresh_kind();
      break;
    case IDC_COLOUR:
      choose_swatch_colour();
      break;
    default:
      break;
  }
}

// Each step stores its field as it goes; the first refused one keeps the
// dialog open.
void DefinitionDialog::on_ok() {
  if (!accept_expression(IDC_EXPRESSION, entry_.expression)) return;
  if (is_checked(window, IDC_KIND_EXPLICIT)) {
    entry_.kind = FUNCTION_EXPLICIT;
  } else if (is_checked(window, IDC_KIND_POLAR)) {
    entry_.kind = FUNCTION_POLAR;
  } else if (is_checked(window, IDC_KIND_IMPLICIT)) {
    entry_.kind = FUNCTION_IMPLICIT;
  } else {
    entry_.kind = FUNCTION_PARAMETRIC;
    if (!accept_expression(IDC_EXPRESSION2, entry_.expression2)) return;
  }
  if (entry_.kind != FUNCTION_PARAMETRIC) store_text({}, entry_.expression2);
  if (!accept_domain_end(IDC_DOMAIN_MIN, &entry_.domain_min)) return;
  if (!accept_domain_end(IDC_DOMAIN_MAX, &entry_.domain_max)) return;
  if (!(entry_.domain_min < entry_.domain_max)) {
    warn(window, text::kDomainOrderInvalid);
    focus_item(window, IDC_DOMAIN_MIN);
    return;
  }
  entry_.flags = is_checked(window, IDC_VISIBLE) ? FLAG_VISIBLE : 0;
  const std::optional<int32_t> density = selected_choice(window, IDC_DENSITY);
  if (!density) {
    warn(window, text::kChooseDensity);
    focus_item(window, IDC_DENSITY);
    return;
  }
  entry_.density = *density;
  brush_.release();
  EndDialog(window, 1);
}

// Reads the field into |out|, cut to the longest text the document holds,
// and compiles it.
bool DefinitionDialog::accept_expression(int field,
                                         char (&out)[EXPRESSION_BYTES]) {
  const std::optional<std::string> typed = accepted_item_text(window, field);
  if (!typed) return false;
  const std::string text =
      cut_to_bytes(*typed, EXPRESSION_MAX_LENGTH, CodePage::kAnsi);
  store_text(text, out);
  int32_t code = 0;
  int32_t position = -1;
  char message[kExpressionMessageBytes] = {};
  if (check_expression(out, &code, &position, message)) return true;
  report_expression(field, text, position, message);
  return false;
}

// Selects the faulty character (the library counts bytes, the field
// characters), focuses the field, then shows the message.
void DefinitionDialog::report_expression(
    int field, const std::string& text, int32_t position,
    const char (&message)[kExpressionMessageBytes]) {
  if (position < 0) {
    select_nothing(window, field);
  } else {
    const size_t at =
        character_index(text, static_cast<size_t>(position), CodePage::kAnsi);
    select_text(window, field, at, at + 1);
  }
  focus_item(window, field);
  warn(window, from_shift_jis(message).c_str());
}

bool DefinitionDialog::accept_domain_end(int field, double* value) {
  const std::optional<std::string> typed = accepted_item_text(window, field);
  if (!typed) return false;
  *value = parse_domain(*typed);
  if (!outside_domain_limit(*value)) return true;
  warn(window, text::kDomainOutOfLimit);
  focus_item(window, field);
  return false;
}

int run_definition(HINSTANCE instance, HWND owner, Mode mode,
                   FunctionEntry& entry) {
  DefinitionDialog dialog(mode, entry);
  return run_dialog(instance, IDD_FUNCTION_DEFINITION, owner, dialog) == 1 ? 1
                                                                           : 0;
}

}  // namespace

int define_function(HINSTANCE instance, HWND owner, FunctionEntry& entry) {
  return run_definition(instance, owner, Mode::kNew, entry);
}

int edit_function(HINSTANCE instance, HWND owner, FunctionEntry& entry) {
  FunctionEntry copy = entry;
  if (!run_definition(instance, owner, Mode::kEdit, copy)) return 0;
  entry = copy;
  return 1;
}

}  // namespace kurvana
