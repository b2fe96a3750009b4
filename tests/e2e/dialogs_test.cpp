// The three dialogs as a user meets them: filled in, refused with their
// messages and the faulty field focused, confirmed or cancelled. What they
// show and leave in the document is read back from the file the program
// saves: OK stores what the fields show.
#include "program_driver.h"

namespace e2e {
namespace {

using Fields = std::vector<std::pair<int, const wchar_t*>>;  // id, text
using Lines = std::vector<std::wstring>;

class Dialogs : public ProgramTest {
 protected:
  // Starts on a document of its own, which ExpectSaved() rewrites.
  void StartOn(const std::vector<Function>& functions, const View& view = {}) {
    StartShown(path_ = PutDocument(L"doc.kvn", functions, view));
  }
  HWND OpenList() { return OpenDialog(IDM_FUNCTION_LIST, IDC_ADD_FUNCTION); }
  HWND OpenSettings() { return OpenDialog(IDM_GRAPH_SETTINGS, IDC_X_MIN); }
  static bool SelectLine(HWND list, int line) {
    return SendItem(list, IDC_FUNCTION_LIST, LB_SETCURSEL, line) == line;
  }
  HWND OpenDefinition(HWND list, int line = -1) {  // -1: a new function
    EXPECT_TRUE(line < 0 || SelectLine(list, line));
    return OpenDialog(line < 0 ? IDC_ADD_FUNCTION : IDC_EDIT_FUNCTION,
                      IDC_EXPRESSION, list);
  }
  static void SetFields(HWND dialog, const Fields& fields) {
    for (const auto& [id, text] : fields)
      ASSERT_TRUE(SetItemText(dialog, id, text)) << id;
  }
  // Clicks the swatch `id` and sets the colour chooser's red, green and
  // blue fields to `colour`, or cancels it for CLR_NONE.
  void ChooseColour(HWND dialog, int id, COLORREF colour) {
    HWND swatch = GetDlgItem(dialog, id);
    ASSERT_TRUE(PostMessageW(swatch, WM_LBUTTONDOWN, MK_LBUTTON, 0) &&
                PostMessageW(swatch, WM_LBUTTONUP, 0, 0));
    HWND chooser = program().WaitDialog(706);
    for (int i = 0; i < 3 && colour != CLR_NONE; ++i)
      SetItemText(chooser, 706 + i, std::to_wstring(colour >> 8 * i & 0xFF));
    ASSERT_TRUE(
        ClickAndWaitClosed(chooser, colour == CLR_NONE ? IDCANCEL : IDOK));
  }
  static COLORREF Swatch(HWND dialog, int id) {  // as shown, near a corner
    return ScreenPixel(GetDlgItem(dialog, id), 6, 6);
  }
  // The lines of the function list and, last, the selected one's index.
  static Lines ListState(HWND list) {
    Lines lines;
    wchar_t text[1024];
    while (SendItem(list, IDC_FUNCTION_LIST, LB_GETTEXT, lines.size(),
                    LPARAM(text)) > 0)
      lines.push_back(text);
    lines.push_back(
        std::to_wstring(SendItem(list, IDC_FUNCTION_LIST, LB_GETCURSEL)));
    return lines;
  }
  // Clicks `button`, answers the warning and expects the dialog to stay,
  // with the focus on `focus` when it is not 0.
  void ExpectRefused(HWND dialog, int button, const std::wstring& text,
                     int focus = 0) {
    ASSERT_TRUE(Click(dialog, button));
    Answer({text});
    EXPECT_TRUE(IsWindow(dialog));
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    EXPECT_TRUE(!focus || WaitFor([&] {
      GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
      return info.hwndFocus == GetDlgItem(dialog, focus);
    }));
  }
  void ExpectSaved(const std::vector<Function>& functions,
                   const View& view = {}) {
    EXPECT_TRUE(program().SendCommand(IDM_SAVE)) << "the save did not finish";
    EXPECT_EQ(ReadBytes(path_), EncodeDocument(view, functions));
  }

  std::wstring path_;
};

// Each field is checked in turn, with the faulty one focused: the library's
// message with the faulty character selected (the library counts bytes,
// the field characters), the domain within -9999..9999 and in order, and a
// density. A new function is explicit, visible, of normal density and red,
// and one not parametric stores no g(t).
TEST_F(Dialogs, DefinitionRefusesEachFaultyFieldThenStores) {
  StartOn({});
  HWND list = OpenList();
  HWND dialog = OpenDefinition(list);
  for (int typed = 0; typed < 256; ++typed)  // one more than the field takes
    SendItem(dialog, IDC_EXPRESSION, WM_CHAR, L'1');
  EXPECT_EQ(ItemText(dialog, IDC_EXPRESSION), std::wstring(255, L'1'));
  const int controls[] = {IDC_EXPRESSION, IDC_EXPRESSION2, IDC_DOMAIN_MIN,
                          IDC_DOMAIN_MAX, IDC_DENSITY};
  const struct {
    bool parametric;
    const wchar_t* texts[4];  // of the first four controls
    const char16_t* message;  // nullptr: accepted
    int faulty, selected;     // selected: the faulty character, or -1
  } rows[] = {
      {false, {L"2あ+)", L"", L"-10", L"10"}, u"不正な括弧です。", 0, 3},
      {true, {L"t", L"t+", L"-10", L"10"}, u"不正な最終文字です。", 1, 1},
      {false, {L"x", L"", L"5e3", L"1e4"}, kDomainOutOfLimit, 3, -1},
      {false, {L"x", L"", L"-1e4", L"1"}, kDomainOutOfLimit, 2, -1},
      {false, {L"x", L"", L"3", L"3"}, kDomainOrderInvalid, 2, -1},
      {false, {L"x", L"", L"-10", L"10"}, kChooseDensity, 4, -1},
      {false, {L"x^2", L"t+", L"-9999", L"9999"}, nullptr, 4, -1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(&row - rows);
    const int faulty = controls[row.faulty];
    ASSERT_TRUE(Press(
        dialog, row.parametric ? IDC_KIND_PARAMETRIC : IDC_KIND_EXPLICIT));
    for (int i = 0; i < 4; ++i)
      ASSERT_TRUE(SetItemText(dialog, controls[i], row.texts[i]));
    ASSERT_TRUE(SelectComboItem(dialog, IDC_DENSITY,
                                row.message ? L"" : T(kDensityNormal)));
    if (!row.message) break;
    ExpectRefused(dialog, IDOK, T(row.message), faulty);
    if (row.selected >= 0) {
      EXPECT_EQ(SendItem(dialog, faulty, EM_GETSEL),
                MAKELONG(row.selected, row.selected + 1));
    }
  }
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDOK));
  ASSERT_TRUE(ClickAndWaitClosed(list, IDOK));
  Function stored = Explicit(u"x^2");
  stored.domain_min = -9999;
  stored.domain_max = 9999;
  ExpectSaved({stored});
}

// A stored entry opens, by a double click too, as it is: confirmed, it is
// stored unchanged but for the colour, which is the entry's as soon as it
// is chosen and survives a refused OK.
TEST_F(Dialogs, DefinitionShowsTheStoredEntryAndTakesAColour) {
  Function parametric{2, 0, u"cos(t)", u"sin(t)", 0, 6.25, 0x00FF8000, 6};
  StartOn({parametric});
  HWND list = OpenList();
  ASSERT_TRUE(SelectLine(list, 0));
  ASSERT_TRUE(PostMessageW(list, WM_COMMAND,
                           MAKEWPARAM(IDC_FUNCTION_LIST, LBN_DBLCLK),
                           LPARAM(GetDlgItem(list, IDC_FUNCTION_LIST))));
  HWND dialog = program().WaitDialog(IDC_EXPRESSION);
  ChooseColour(dialog, IDC_COLOUR, CLR_NONE);
  EXPECT_EQ(Swatch(dialog, IDC_COLOUR), COLORREF(0x00FF8000));
  ChooseColour(dialog, IDC_COLOUR, RGB(0x12, 0x34, 0x56));
  EXPECT_TRUE(WaitFor(
      [&] { return Swatch(dialog, IDC_COLOUR) == RGB(0x12, 0x34, 0x56); }));
  SetFields(dialog, {{IDC_EXPRESSION, L"x+"}});
  ExpectRefused(dialog, IDOK, L"不正な最終文字です。");
  SetFields(dialog, {{IDC_EXPRESSION, L"cos(t)"}});
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDOK));
  ASSERT_TRUE(ClickAndWaitClosed(list, IDOK));
  parametric.colour = 0x00563412;
  ExpectSaved({parametric});
}

// Without a selected line the buttons say what to select, and a full list
// refuses more before that.
TEST_F(Dialogs, ListRefusesButtonsWithoutASelectedLineOrRoom) {
  StartOn(std::vector<Function>(10, Explicit(u"x")));
  HWND list = OpenList();
  const std::pair<int, const char16_t*> rows[] = {
      {IDC_ADD_FUNCTION, kListFull},
      {IDC_DUPLICATE_FUNCTION, kListFull},
      {IDC_MOVE_UP, kSelectLine},
      {IDC_EDIT_FUNCTION, kSelectToEdit},
      {IDC_REMOVE_FUNCTION, kSelectToRemove}};
  for (const auto& [button, message] : rows)
    ExpectRefused(list, button, T(message));
  EXPECT_EQ(ListState(list).size(), 11u);
}

// Moves follow the selection and stop at the ends without a word; a
// duplicate goes to the end, independent of its original. OK stores the
// list; Cancel leaves the document as it was, not even modified.
TEST_F(Dialogs, ListButtonsKeepListAndDocumentInStep) {
  const Function a = Explicit(u"a"), b = Explicit(u"b", 0x00FF00, false),
                 c = Explicit(u"c", 0xFF0000);
  StartOn({a, b, c});
  HWND list = OpenList();
  const struct {
    int select;  // -1: keep the selection
    int button;
    Lines state;  // the lines, then the selected one's index
  } steps[] = {
      {0, IDC_MOVE_UP, {L"■ y = a", L"□ y = b", L"■ y = c", L"0"}},
      {-1, IDC_MOVE_DOWN, {L"□ y = b", L"■ y = a", L"■ y = c", L"1"}},
      {-1, IDC_MOVE_DOWN, {L"□ y = b", L"■ y = c", L"■ y = a", L"2"}},
      {-1, IDC_MOVE_DOWN, {L"□ y = b", L"■ y = c", L"■ y = a", L"2"}},
      {1, IDC_MOVE_UP, {L"■ y = c", L"□ y = b", L"■ y = a", L"0"}},
      {1,
       IDC_DUPLICATE_FUNCTION,
       {L"■ y = c", L"□ y = b", L"■ y = a", L"□ y = b", L"1"}},
      {0, IDC_REMOVE_FUNCTION, {L"□ y = b", L"■ y = a", L"□ y = b", L"-1"}},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.button);
    ASSERT_TRUE(step.select < 0 || SelectLine(list, step.select));
    ASSERT_TRUE(Press(list, step.button));
    ExpectNoMessageBox();
    EXPECT_EQ(ListState(list), step.state);
  }
  HWND dialog = OpenDefinition(list, 2);
  SetFields(dialog, {{IDC_EXPRESSION, L"b*2"}});
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDOK));
  EXPECT_EQ(ListState(list),
            (Lines{L"□ y = b", L"■ y = a", L"□ y = b*2", L"2"}));
  ASSERT_TRUE(ClickAndWaitClosed(list, IDOK));
  const std::vector<Function> stored = {b, a,
                                        Explicit(u"b*2", 0x00FF00, false)};
  ExpectSaved(stored);

  list = OpenList();
  dialog = OpenDefinition(list, 0);
  SetFields(dialog, {{IDC_EXPRESSION, L"a*a"}});
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDOK));
  ASSERT_TRUE(SelectLine(list, 1));
  ASSERT_TRUE(Press(list, IDC_REMOVE_FUNCTION));
  ASSERT_TRUE(ClickAndWaitClosed(list, IDCANCEL));
  EXPECT_EQ(program().Close(), std::optional<DWORD>(0));  // nothing to save
  EXPECT_EQ(ReadBytes(path_), EncodeDocument({}, stored));
}

// Cancel forgets a chosen colour; OK stores what the dialog shows. The
// ranges are checked x first, each needing min < max ("abc" and nothing
// read as 0), with the focus on the faulty minimum; then each list needs a
// line, the focus staying on OK as clicked.
TEST_F(Dialogs, SettingsShowCheckAndStoreTheView) {
  const View view{-3, 7, -2, 9, 250, 4, 1, 0x123456, 1, 0xC0C0C0};
  StartOn({}, view);
  HWND dialog = OpenSettings();
  ChooseColour(dialog, IDC_AXIS_COLOUR, RGB(0, 0x80, 0));
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDCANCEL));
  dialog = OpenSettings();
  EXPECT_EQ(Swatch(dialog, IDC_AXIS_COLOUR), COLORREF(0x123456));
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDOK));
  ExpectSaved({}, view);

  dialog = OpenSettings();
  const struct {
    const wchar_t *x_min, *x_max, *y_min, *y_max;
    const char16_t* message;
    int faulty;
  } ranges[] = {{L"5", L"5", L"-2", L"9", kXRangeInvalid, IDC_X_MIN},
                {L"-1", L"1", L"abc", L"", kYRangeInvalid, IDC_Y_MIN},
                {L"-1", L"1", L"-999", L"9999", nullptr, 0}};
  for (const auto& row : ranges) {
    SetFields(dialog, {{IDC_X_MIN, row.x_min},
                       {IDC_X_MAX, row.x_max},
                       {IDC_Y_MIN, row.y_min},
                       {IDC_Y_MAX, row.y_max}});
    if (row.message) ExpectRefused(dialog, IDOK, T(row.message), row.faulty);
  }
  const struct {
    int list;  // left without a line, then given `choice`
    const wchar_t* choice;
    const char16_t* message;
  } lists[] = {{IDC_ZOOM, L"1000", kChooseZoom},
               {IDC_AXIS_WIDTH, L"5", kChooseAxisWidth},
               {IDC_GRAPH_WIDTH, L"10", kChooseGraphWidth}};
  for (const auto& row : lists) {
    ASSERT_TRUE(SelectComboItem(dialog, row.list, L""));
    ExpectRefused(dialog, IDOK, T(row.message), IDOK);
    ASSERT_TRUE(SelectComboItem(dialog, row.list, row.choice));
  }
  ASSERT_TRUE(Press(dialog, IDC_TICKS_NONE));
  ChooseColour(dialog, IDC_TICK_COLOUR, RGB(0xAB, 0xCD, 0xEF));
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDOK));
  ExpectSaved({}, {-1, 1, -999, 9999, 1000, 5, 10, 0x123456, 0, 0xEFCDAB});
}

}  // namespace
}  // namespace e2e
