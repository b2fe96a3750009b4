// The toolbar under the menu: five buttons with images and labels.
#include <windows.h>
// windows.h first
#include <commctrl.h>

#include "main_window.h"
#include "resource.h"
#include "texts.h"
#include "win32_support.h"

namespace kurvana {

namespace {

struct ToolButton {
  int icon;
  const char16_t* label;
  int command;
};

constexpr ToolButton kToolButtons[] = {
    {IDI_TOOL_NEW, text::kToolNew, IDT_NEW},
    {IDI_TOOL_OPEN, text::kToolOpen, IDT_OPEN},
    {IDI_TOOL_SAVE, text::kToolSave, IDT_SAVE},
    {IDI_TOOL_FUNCTIONS, text::kToolFunctions, IDT_FUNCTIONS},
    {IDI_TOOL_GRAPH, text::kToolGraph, IDT_GRAPH},
};
constexpr int kSeparatorBefore = 3;  // between the file and function groups

void add_images(HINSTANCE instance, HIMAGELIST images) {
  for (const ToolButton& button : kToolButtons) {
    IconHandle icon(
        static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(button.icon),
                                      IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR)));
    if (icon.get()) ImageList_AddIcon(images, icon.get());
  }
}

TBBUTTON separator() {
  TBBUTTON button = {};
  button.fsStyle = BTNS_SEP;
  return button;
}

}  // namespace

bool MainWindow::create_toolbar() {
  if (images_.get()) add_images(instance_, images_.get());
  toolbar_ = CreateWindowExW(
      0, TOOLBARCLASSNAMEW, nullptr,
      WS_CHILD | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_ADJUSTABLE, 0, 0, 0, 0,
      window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_TOOLBAR)),
      instance_, nullptr);
  if (!toolbar_) return false;
  SendMessageW(toolbar_, TB_SETIMAGELIST, 0,
               reinterpret_cast<LPARAM>(images_.get()));
  SendMessageW(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  TBBUTTON buttons[6] = {};
  int slot = 0;
  for (int i = 0; i < 5; ++i) {
    // Each label is added on its own, so that its index is known.
    std::u16string label = kToolButtons[i].label;
    label.push_back(u'\0');
    const LRESULT index = SendMessageW(toolbar_, TB_ADDSTRINGW, 0,
                                       reinterpret_cast<LPARAM>(label.c_str()));
    if (i == kSeparatorBefore) buttons[slot++] = separator();
    TBBUTTON& button = buttons[slot++];
    button.iBitmap = i;
    button.idCommand = kToolButtons[i].command;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_BUTTON;
    button.iString = index;
  }
  SendMessageW(toolbar_, TB_ADDBUTTONSW, slot,
               reinterpret_cast<LPARAM>(buttons));
  SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
  ShowWindow(toolbar_, SW_SHOW);
  return true;
}

}  // namespace kurvana
