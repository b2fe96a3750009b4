#include "dialog_driver.h"

#include <cstring>
#include <cwchar>

namespace e2e {
namespace {

constexpr int kColourRed = 706;  // the chooser's red, green, blue fields
constexpr int kColourGreen = 707;
constexpr int kColourBlue = 708;

LRESULT Send(HWND dialog, int id, UINT message, WPARAM wparam = 0,
             LPARAM lparam = 0) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(GetDlgItem(dialog, id), message, wparam, lparam,
                           SMTO_ABORTIFHUNG, kTimeoutMs, &result))
    return -1;
  return static_cast<LRESULT>(result);
}

bool HasControl(HWND dialog, int id, const wchar_t* class_name) {
  HWND control = GetDlgItem(dialog, id);
  return control && _wcsicmp(ClassName(control).c_str(), class_name) == 0;
}

HWND WaitDialogWith(Program& program, int id, const wchar_t* class_name,
                    DWORD timeout_ms) {
  HWND found = nullptr;
  WaitFor(
      [&] {
        for (HWND dialog : program.Dialogs())
          if (HasControl(dialog, id, class_name)) found = dialog;
        return found != nullptr;
      },
      timeout_ms);
  if (found) {
    // The dialog has finished WM_INITDIALOG when it answers.
    DWORD_PTR result = 0;
    SendMessageTimeoutW(found, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kTimeoutMs,
                        &result);
  }
  return found;
}

// Readers of a dialog template, which is a sequence of WORDs.
class TemplateReader {
 public:
  explicit TemplateReader(const BYTE* at) : at_(at) {}
  DWORD Dword() {
    DWORD value;
    std::memcpy(&value, at_, 4);
    at_ += 4;
    return value;
  }
  WORD Word() {
    WORD value;
    std::memcpy(&value, at_, 2);
    at_ += 2;
    return value;
  }
  short Short() { return static_cast<short>(Word()); }
  std::wstring Text() {
    std::wstring text;
    for (WORD unit = Word(); unit != 0; unit = Word())
      text += static_cast<wchar_t>(unit);
    return text;
  }
  // A text, or an ordinal (0xFFFF followed by its number) as "#number".
  std::wstring TextOrOrdinal() {
    WORD first;
    std::memcpy(&first, at_, 2);
    if (first == 0xFFFF) {
      Word();
      return L"#" + std::to_wstring(Word());
    }
    return Text();
  }
  void AlignDword(const BYTE* base) {
    while ((at_ - base) % 4) ++at_;
  }
  void Skip(size_t bytes) { at_ += bytes; }
  const BYTE* at() const { return at_; }

 private:
  const BYTE* at_;
};

std::wstring ClassOf(const std::wstring& name) {
  static const wchar_t* const kPredefined[] = {
      L"Button", L"Edit", L"Static", L"ListBox", L"ScrollBar", L"ComboBox"};
  if (name.size() > 1 && name[0] == L'#') {
    const int atom = std::stoi(name.substr(1));
    if (atom >= 0x80 && atom <= 0x85) return kPredefined[atom - 0x80];
  }
  // Class names are not case-sensitive; the predefined ones read as above.
  for (const wchar_t* predefined : kPredefined)
    if (_wcsicmp(name.c_str(), predefined) == 0) return predefined;
  return name;
}

DialogItemView ReadItem(TemplateReader& in, const BYTE* base) {
  in.AlignDword(base);
  DialogItemView item;
  item.style = in.Dword();
  in.Dword();  // extended style
  const short x = in.Short(), y = in.Short(), cx = in.Short(), cy = in.Short();
  item.box = RECT{x, y, x + cx, y + cy};
  item.id = static_cast<short>(in.Word());
  item.class_name = ClassOf(in.TextOrOrdinal());
  item.text = in.TextOrOrdinal();
  in.Skip(in.Word());  // creation data
  return item;
}

}  // namespace

HWND WaitListDialog(Program& program, DWORD timeout_ms) {
  return WaitDialogWith(program, list::kLines, L"ListBox", timeout_ms);
}

HWND WaitDefinitionDialog(Program& program, DWORD timeout_ms) {
  return WaitDialogWith(program, definition::kExpression, L"Edit", timeout_ms);
}

HWND WaitSettingsDialog(Program& program, DWORD timeout_ms) {
  return WaitDialogWith(program, settings::kXMin, L"Edit", timeout_ms);
}

HWND WaitColourDialog(Program& program, DWORD timeout_ms) {
  return WaitDialogWith(program, kColourRed, L"Edit", timeout_ms);
}

std::wstring ItemText(HWND dialog, int id) {
  return WindowText(GetDlgItem(dialog, id));
}

bool SetItemText(HWND dialog, int id, const std::wstring& text) {
  return Send(dialog, id, WM_SETTEXT, 0,
              reinterpret_cast<LPARAM>(text.c_str())) == TRUE;
}

bool TypeText(HWND dialog, int id, const std::wstring& text) {
  for (wchar_t c : text)
    if (Send(dialog, id, WM_CHAR, c, 1) < 0) return false;
  return true;
}

bool IsChecked(HWND dialog, int id) {
  return Send(dialog, id, BM_GETCHECK) == BST_CHECKED;
}

bool IsEnabled(HWND dialog, int id) {
  return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

std::pair<int, int> Selection(HWND dialog, int id) {
  const LRESULT both = Send(dialog, id, EM_GETSEL);
  return {LOWORD(both), HIWORD(both)};
}

int TextLimit(HWND dialog, int id) {
  return static_cast<int>(Send(dialog, id, EM_GETLIMITTEXT));
}

HWND FocusedControl(HWND dialog) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info))
    return nullptr;
  return info.hwndFocus;
}

bool Click(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  return control && PostMessageW(control, BM_CLICK, 0, 0);
}

bool ClickStatic(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  return control &&
         PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4)) &&
         PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
}

bool DoubleClickLine(HWND dialog, int id) {
  return PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, LBN_DBLCLK),
                      reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::vector<std::wstring> ListLines(HWND dialog, int id) {
  std::vector<std::wstring> lines;
  const LRESULT count = Send(dialog, id, LB_GETCOUNT);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t text[1024] = {};
    const LRESULT length = Send(dialog, id, LB_GETTEXTLEN, i);
    if (length < 0 || length >= 1024) return {};
    Send(dialog, id, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    lines.emplace_back(text, length);
  }
  return lines;
}

int ListSelection(HWND dialog, int id) {
  return static_cast<int>(Send(dialog, id, LB_GETCURSEL));
}

bool SelectLine(HWND dialog, int id, int line) {
  return Send(dialog, id, LB_SETCURSEL, line) == line;
}

std::vector<std::wstring> ComboItems(HWND dialog, int id) {
  std::vector<std::wstring> items;
  const LRESULT count = Send(dialog, id, CB_GETCOUNT);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t text[256] = {};
    const LRESULT length = Send(dialog, id, CB_GETLBTEXTLEN, i);
    if (length < 0 || length >= 256) return {};
    Send(dialog, id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    items.emplace_back(text, length);
  }
  return items;
}

std::optional<std::wstring> ComboSelection(HWND dialog, int id) {
  const LRESULT index = Send(dialog, id, CB_GETCURSEL);
  const std::vector<std::wstring> items = ComboItems(dialog, id);
  if (index < 0 || static_cast<size_t>(index) >= items.size())
    return std::nullopt;
  return items[index];
}

bool SelectComboItem(HWND dialog, int id, const std::wstring& text) {
  const std::vector<std::wstring> items = ComboItems(dialog, id);
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i] == text)
      return Send(dialog, id, CB_SETCURSEL, i) == static_cast<LRESULT>(i);
  return false;
}

bool AnswerColourDialog(HWND chooser, COLORREF colour) {
  const std::pair<int, int> fields[] = {{kColourRed, GetRValue(colour)},
                                        {kColourGreen, GetGValue(colour)},
                                        {kColourBlue, GetBValue(colour)}};
  for (const auto& [id, value] : fields)
    if (!SetItemText(chooser, id, std::to_wstring(value))) return false;
  return ClickAndWaitClosed(chooser, IDOK);
}

COLORREF ControlColour(HWND dialog, int id) {
  const auto shot = Snapshot::OfClient(GetDlgItem(dialog, id));
  if (!shot) return CLR_INVALID;
  return shot->At(shot->width() / 2, shot->height() / 2);
}

std::optional<DialogView> ReadDialogResource(const std::wstring& module,
                                             int id) {
  HMODULE data =
      LoadLibraryExW(module.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!data) return std::nullopt;
  std::optional<DialogView> view;
  HRSRC found = FindResourceW(data, MAKEINTRESOURCEW(id), RT_DIALOG);
  HGLOBAL loaded = found ? LoadResource(data, found) : nullptr;
  const auto* base = static_cast<const BYTE*>(LockResource(loaded));
  if (base) {
    view.emplace();
    TemplateReader in(base);
    view->style = in.Dword();
    in.Dword();  // extended style
    const WORD count = in.Word();
    in.Short();  // x
    in.Short();  // y
    view->size.cx = in.Short();
    view->size.cy = in.Short();
    in.TextOrOrdinal();  // menu
    in.TextOrOrdinal();  // class
    view->caption = in.Text();
    if (view->style & DS_SETFONT) {
      view->point_size = in.Word();
      view->font = in.Text();
    }
    for (WORD i = 0; i < count; ++i) view->items.push_back(ReadItem(in, base));
  }
  FreeLibrary(data);
  return view;
}

}  // namespace e2e
