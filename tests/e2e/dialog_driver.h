// Driving the program's own dialogs from the test process: finding them,
// reading and setting their controls, answering the colour chooser, and
// reading dialog templates from the program file.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "driver.h"

namespace e2e {

// Control identifiers of the three dialogs.
namespace definition {
constexpr int kExplicit = 1000, kParametric = 1001, kPolar = 1006,
              kImplicit = 1007;
constexpr int kExpression = 1002, kExpression2 = 1003, kLabel = 1004,
              kLabel2 = 1005;
constexpr int kDomainMin = 1012, kDomainMax = 1013, kDomainLabel = 1014;
constexpr int kVisible = 1016, kDensity = 1024, kColour = 1027;
}  // namespace definition

namespace list {
constexpr int kLines = 1006, kUp = 1007, kDown = 1008, kEdit = 1009,
              kRemove = 1010, kAdd = 1011, kDuplicate = 1012;
}  // namespace list

namespace settings {
constexpr int kXMin = 1018, kXMax = 1019, kYMin = 1020, kYMax = 1021;
constexpr int kZoom = 1022, kAxisWidth = 1023, kGraphWidth = 1024;
constexpr int kAxisColour = 1028, kMarks = 1029, kGrid = 1030, kNone = 1031,
              kTickColour = 1032;
}  // namespace settings

// The list and the definition dialog share their caption: each dialog is
// told by a control only it has.
HWND WaitListDialog(Program& program, DWORD timeout_ms = kTimeoutMs);
HWND WaitDefinitionDialog(Program& program, DWORD timeout_ms = kTimeoutMs);
HWND WaitSettingsDialog(Program& program, DWORD timeout_ms = kTimeoutMs);
HWND WaitColourDialog(Program& program, DWORD timeout_ms = kTimeoutMs);

// Texts and states of controls.
std::wstring ItemText(HWND dialog, int id);
bool SetItemText(HWND dialog, int id, const std::wstring& text);
// Types `text` into an edit control as keyboard characters, so that the
// control's limit applies.
bool TypeText(HWND dialog, int id, const std::wstring& text);
bool IsChecked(HWND dialog, int id);
bool IsEnabled(HWND dialog, int id);
// The edit control's selection (start, end) and limit, in characters.
std::pair<int, int> Selection(HWND dialog, int id);
int TextLimit(HWND dialog, int id);
// The control that has the keyboard focus in the dialog's thread.
HWND FocusedControl(HWND dialog);

// Posted clicks: buttons and radio buttons (BM_CLICK), a static with click
// notifications (a mouse press), a list box line's double click.
bool Click(HWND dialog, int id);
bool ClickStatic(HWND dialog, int id);
bool DoubleClickLine(HWND dialog, int id);

// List boxes and drop-down lists; -1 / none when nothing is selected.
std::vector<std::wstring> ListLines(HWND dialog, int id);
int ListSelection(HWND dialog, int id);
bool SelectLine(HWND dialog, int id, int line);
std::vector<std::wstring> ComboItems(HWND dialog, int id);
std::optional<std::wstring> ComboSelection(HWND dialog, int id);
bool SelectComboItem(HWND dialog, int id, const std::wstring& text);

// Sets the colour chooser to `colour` through its red, green and blue
// fields and confirms it.
bool AnswerColourDialog(HWND chooser, COLORREF colour);

// The colour in the middle of a control, as it is on screen.
COLORREF ControlColour(HWND dialog, int id);

// A dialog template (DIALOG, not DIALOGEX) of a program file.
struct DialogItemView {
  int id = 0;
  std::wstring class_name;  // "Button", "Edit", "Static", "ListBox", ...
  std::wstring text;
  DWORD style = 0;
  RECT box{};  // x, y, x + cx, y + cy in dialog units
};
struct DialogView {
  DWORD style = 0;
  SIZE size{};
  std::wstring caption;
  int point_size = 0;
  std::wstring font;
  std::vector<DialogItemView> items;
};
std::optional<DialogView> ReadDialogResource(const std::wstring& module,
                                             int id);

}  // namespace e2e
