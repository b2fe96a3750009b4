#include "dialog_support.h"

// windows.h first
#include <commdlg.h>

#include <vector>

#include "graph_area.h"  // fill_with_brush
#include "text_conversion.h"
#include "texts.h"
#include "win32_support.h"

namespace kurvana {

bool SolidBrush::replace(COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  if (!brush) return false;
  release();
  brush_ = brush;
  return true;
}

void SolidBrush::release() {
  if (brush_) DeleteObject(brush_);
  brush_ = nullptr;
}

bool choose_colour(HWND owner, COLORREF* colour, CustomColours& custom) {
  CHOOSECOLORW chooser = {};
  chooser.lStructSize = sizeof chooser;
  chooser.hwndOwner = owner;
  chooser.rgbResult = *colour;
  chooser.lpCustColors = custom.data();
  chooser.Flags = CC_RGBINIT | CC_ANYCOLOR;
  if (!ChooseColorW(&chooser)) return false;
  *colour = chooser.rgbResult;
  return true;
}

void fill_swatch(HWND dialog, int id, const SolidBrush& brush) {
  if (brush.get()) fill_with_brush(GetDlgItem(dialog, id), brush.get());
}

void warn(HWND dialog, const char16_t* text) {
  show_message(dialog, text, MB_OK | MB_ICONWARNING);
}

std::u16string item_text(HWND dialog, int id) {
  const int length = GetWindowTextLengthW(GetDlgItem(dialog, id));
  std::vector<char16_t> buffer(length + 1, u'\0');
  const UINT copied = GetDlgItemTextW(dialog, id, as_wide(buffer.data()),
                                      static_cast<int>(length + 1));
  return std::u16string(buffer.data(), copied);
}

void set_item_text(HWND dialog, int id, const char16_t* text) {
  SetDlgItemTextW(dialog, id, as_wide(text));
}

std::optional<std::string> item_text_narrow(HWND dialog, int id) {
  return to_code_page(item_text(dialog, id), CodePage::kAnsi);
}

std::optional<std::string> accepted_item_text(HWND dialog, int id) {
  std::optional<std::string> text = item_text_narrow(dialog, id);
  if (!text) {
    focus_item(dialog, id);
    warn(dialog, text::kUnicodeToAnsiFailed);
  }
  return text;
}

bool is_checked(HWND dialog, int id) {
  return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void set_checked(HWND dialog, int id, bool checked) {
  CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void add_choice(HWND dialog, int id, const char16_t* text, int32_t value) {
  const LRESULT index = SendDlgItemMessageW(dialog, id, CB_ADDSTRING, 0,
                                            reinterpret_cast<LPARAM>(text));
  if (index < 0) return;
  SendDlgItemMessageW(dialog, id, CB_SETITEMDATA, index, value);
}

void select_choice(HWND dialog, int id, int32_t value) {
  const LRESULT count = SendDlgItemMessageW(dialog, id, CB_GETCOUNT, 0, 0);
  for (LRESULT index = 0; index < count; ++index) {
    if (static_cast<int32_t>(SendDlgItemMessageW(dialog, id, CB_GETITEMDATA,
                                                 index, 0)) == value) {
      SendDlgItemMessageW(dialog, id, CB_SETCURSEL, index, 0);
      return;
    }
  }
}

std::optional<int32_t> selected_choice(HWND dialog, int id) {
  const LRESULT index = SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return std::nullopt;
  return static_cast<int32_t>(
      SendDlgItemMessageW(dialog, id, CB_GETITEMDATA, index, 0));
}

void focus_item(HWND dialog, int id) { SetFocus(GetDlgItem(dialog, id)); }

void select_text(HWND dialog, int id, size_t from, size_t to) {
  SendDlgItemMessageW(dialog, id, EM_SETSEL, from, to);
}

void select_nothing(HWND dialog, int id) {
  SendDlgItemMessageW(dialog, id, EM_SETSEL, static_cast<WPARAM>(-1), 0);
}

}  // namespace kurvana
