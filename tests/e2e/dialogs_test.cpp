// The three dialogs as a user meets them: filled in, refused with their
// messages and the faulty field selected, confirmed or cancelled; what they
// leave in the document is read back from the file the program saves.
#include "fixture.h"

namespace e2e {
namespace {

using namespace kurvana::text;

using Field = std::pair<int, const wchar_t*>;  // a control and its text

std::vector<std::wstring> Lines(std::initializer_list<const wchar_t*> lines) {
  return {lines.begin(), lines.end()};
}

class DialogTest : public ProgramTest {
 protected:
  // Starts on a document of its own, which Saved() rewrites.
  Program& StartOn(const std::vector<Function>& functions,
                   const View& view = View(),
                   const std::vector<Box>& boxes = {}) {
    path_ = PutDocument(L"doc.kvn", functions, view);
    return StartShown(path_, boxes);
  }
  HWND Open(int command, HWND (*wait)(Program&)) {
    EXPECT_TRUE(program().PostCommand(command));
    HWND dialog = wait(program());
    EXPECT_NE(dialog, nullptr);
    return dialog;
  }
  HWND OpenList() { return Open(IDM_FUNCTION_LIST, WaitListDialog); }
  HWND OpenSettings() { return Open(IDM_GRAPH_SETTINGS, WaitSettingsDialog); }
  // The definition dialog opened by a button of the list dialog.
  HWND OpenDefinition(HWND list, int button = IDC_ADD_FUNCTION) {
    EXPECT_TRUE(Click(list, button));
    HWND dialog = WaitDefinitionDialog(program());
    EXPECT_NE(dialog, nullptr);
    return dialog;
  }
  HWND EditLine(HWND list, int line) {
    EXPECT_TRUE(SelectLine(list, IDC_FUNCTION_LIST, line));
    return OpenDefinition(list, IDC_EDIT_FUNCTION);
  }
  // Presses `button`, answers the warning and expects the dialog to stay,
  // with the focus on `focus` when it is not 0.
  void ExpectRefused(HWND dialog, const std::wstring& text, int button = IDOK,
                     int focus = 0) {
    ASSERT_TRUE(Click(dialog, button));
    Answer({text});
    EXPECT_TRUE(IsWindow(dialog));
    HWND want = GetDlgItem(dialog, focus);
    if (focus) {
      EXPECT_TRUE(WaitFor([&] { return FocusedControl(dialog) == want; }))
          << "the focus is not on control " << focus;
    }
  }
  void ExpectSaved(const std::vector<Function>& functions,
                   const View& view = View()) {
    EXPECT_TRUE(program().SendCommand(IDM_SAVE)) << "the save did not finish";
    EXPECT_EQ(ReadBytes(path_), EncodeDocument(view, functions));
  }

  std::wstring path_;
};

using DefinitionDialog = DialogTest;

struct KindView {
  int button;
  std::wstring label, domain_label;
  bool second_enabled, domain_enabled;
};

void ExpectKind(HWND dialog, const KindView& kind) {
  SCOPED_TRACE("kind " + std::to_string(kind.button));
  for (int b : {IDC_KIND_EXPLICIT, IDC_KIND_PARAMETRIC, IDC_KIND_POLAR,
                IDC_KIND_IMPLICIT})
    EXPECT_EQ(IsChecked(dialog, b), b == kind.button) << b;
  EXPECT_TEXT(ItemText(dialog, IDC_EXPRESSION_LABEL), kind.label);
  EXPECT_TEXT(ItemText(dialog, IDC_DOMAIN_LABEL), kind.domain_label);
  EXPECT_EQ(IsEnabled(dialog, IDC_EXPRESSION2), kind.second_enabled);
  EXPECT_EQ(IsEnabled(dialog, IDC_DOMAIN_MIN), kind.domain_enabled);
  EXPECT_EQ(IsEnabled(dialog, IDC_DOMAIN_MAX), kind.domain_enabled);
}

const KindView kExplicitView{IDC_KIND_EXPLICIT, T(kLabelFofX), T(kBetweenX),
                             false, true};
const KindView kParametricView{IDC_KIND_PARAMETRIC, T(kLabelFofT), T(kBetweenT),
                               true, true};

// A new function starts explicit over -10..10, visible, normal density and
// red; the kind buttons switch labels and fields, and disabled fields keep
// their texts.
TEST_F(DefinitionDialog, NewFunctionStartsExplicitAndKindsSwitchFields) {
  StartOn({});
  HWND list = OpenList();
  HWND dialog = OpenDefinition(list);
  ASSERT_NE(dialog, nullptr);
  ExpectKind(dialog, kExplicitView);
  EXPECT_TEXT(ItemText(dialog, IDC_DOMAIN_MIN), L"-10");
  EXPECT_TEXT(ItemText(dialog, IDC_DOMAIN_MAX), L"10");
  EXPECT_TRUE(IsChecked(dialog, IDC_VISIBLE));
  EXPECT_EQ(ComboSelection(dialog, IDC_DENSITY), T(kDensityNormal));
  EXPECT_EQ(ControlColour(dialog, IDC_COLOUR), RGB(255, 0, 0));
  const KindView kinds[] = {
      kParametricView,
      // Implicit leaves the domain label as it was.
      {IDC_KIND_IMPLICIT, T(kLabelFofXY), T(kBetweenT), false, false},
      {IDC_KIND_POLAR, T(kLabelFofT), T(kBetweenT), false, true},
      kExplicitView};
  ASSERT_TRUE(SetItemText(dialog, IDC_EXPRESSION2, L"sin(t)"));
  for (const KindView& kind : kinds) {
    ASSERT_TRUE(Press(dialog, kind.button));
    ExpectKind(dialog, kind);
  }
  EXPECT_TEXT(ItemText(dialog, IDC_EXPRESSION2), L"sin(t)");
  // An explicit function stores no g(t), whatever the field holds.
  ASSERT_TRUE(SetItemText(dialog, IDC_EXPRESSION, L"x^2"));
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDOK));
  EXPECT_EQ(ListLines(list, IDC_FUNCTION_LIST), Lines({L"■ y = x^2"}));
  ASSERT_TRUE(ClickAndWaitClosed(list, IDOK));
  ExpectSaved({Explicit(u"x^2")});
}

// Each field is checked in turn: the library's message, the faulty
// character selected (the library counts bytes, the field characters),
// then the domain within -9999..9999 and in order.
TEST_F(DefinitionDialog, RefusalsPointAtTheFaultyField) {
  StartOn({});
  HWND list = OpenList();
  HWND dialog = OpenDefinition(list);
  ASSERT_NE(dialog, nullptr);
  const std::wstring limit = T(kDomainOutOfLimit);
  const struct {
    int kind;
    const wchar_t *f, *g, *min, *max;
    std::wstring message;
    int focus;
    std::pair<int, int> selection = {0, 0};  // (0, 0): not checked
  } rows[] = {
      {IDC_KIND_EXPLICIT,
       L"2あ+)",
       L"",
       L"-10",
       L"10",
       L"不正な括弧です。",
       IDC_EXPRESSION,
       {3, 4}},
      {IDC_KIND_EXPLICIT,
       L"",
       L"",
       L"-10",
       L"10",
       L"データがありません。",
       IDC_EXPRESSION,
       {0, 0}},
      {IDC_KIND_PARAMETRIC,
       L"cos(t)",
       L"sin(",
       L"-10",
       L"10",
       L"不正な最終文字です。",
       IDC_EXPRESSION2,
       {3, 4}},
      {IDC_KIND_EXPLICIT, L"x", L"", L"5e3", L"1e4", limit, IDC_DOMAIN_MAX},
      {IDC_KIND_EXPLICIT, L"x", L"", L"-10000", L"1", limit, IDC_DOMAIN_MIN},
      {IDC_KIND_EXPLICIT, L"x", L"", L"3", L"3", T(kDomainOrderInvalid),
       IDC_DOMAIN_MIN},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(Narrow(row.message));
    ASSERT_TRUE(Press(dialog, row.kind));
    const Field fields[] = {{IDC_EXPRESSION, row.f},
                            {IDC_EXPRESSION2, row.g},
                            {IDC_DOMAIN_MIN, row.min},
                            {IDC_DOMAIN_MAX, row.max}};
    for (const auto& [id, text] : fields)
      ASSERT_TRUE(SetItemText(dialog, id, text));
    ExpectRefused(dialog, row.message, IDOK, row.focus);
    if (row.selection.second) {
      EXPECT_EQ(Selection(dialog, row.focus), row.selection);
    }
  }
  // Any variable compiles; the ends of the domain are allowed.
  ASSERT_TRUE(Press(dialog, IDC_KIND_PARAMETRIC));
  ASSERT_TRUE(SetItemText(dialog, IDC_EXPRESSION2, L"q*t"));
  ASSERT_TRUE(SetItemText(dialog, IDC_DOMAIN_MIN, L"-9999"));
  ASSERT_TRUE(SetItemText(dialog, IDC_DOMAIN_MAX, L"9999"));
  ASSERT_TRUE(SetItemText(dialog, IDC_EXPRESSION, L"cos(t)"));
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDOK));
  // Typed to the field's limit of 255 characters; 254 bytes are stored.
  dialog = OpenDefinition(list);
  ASSERT_TRUE(TypeText(dialog, IDC_EXPRESSION, std::wstring(260, L'1')));
  EXPECT_EQ(ItemText(dialog, IDC_EXPRESSION), std::wstring(255, L'1'));
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDOK));
  const auto lines = ListLines(list, IDC_FUNCTION_LIST);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], L"■ x = cos(t), y = q*t");
  ASSERT_TRUE(ClickAndWaitClosed(list, IDOK));
  Function parametric = Explicit(u"cos(t)");
  parametric.kind = 2;
  parametric.expression2 = u"q*t";
  parametric.domain_min = -9999;
  parametric.domain_max = 9999;
  ExpectSaved({parametric, Explicit(std::u16string(254, u'1'))});
}

// Entries from a file, with values the dialog would never produce.
TEST_F(DefinitionDialog, EditShowsTheStoredEntry) {
  Function parametric = Explicit(u"cos(t)", 0x00FF8000, false, 5);
  parametric.kind = 2;
  parametric.expression2 = u"sin(t)";
  parametric.domain_min = 0;
  parametric.domain_max = 6.25;
  Function unknown_kind = Explicit(u"x");
  unknown_kind.kind = 7;
  unknown_kind.expression2 = u"y";
  Function no_density = Explicit(u"x", 0x0000FF, true, 9);
  Function huge_domain = Explicit(u"t");
  huge_domain.kind = 3;
  huge_domain.domain_min = -1e300;
  huge_domain.domain_max = 1e300;
  std::vector<Function> document = {parametric, unknown_kind, no_density,
                                    huge_domain};
  Program& p = StartOn(document, View(), {{T(kUnsupportedKind), Icon::kError}});
  HWND list = OpenList();
  EXPECT_EQ(ListLines(list, IDC_FUNCTION_LIST),
            Lines({L"□ x = cos(t), y = sin(t)", L"(不正な型の関数です)",
                   L"■ y = x", L"■ r = t"}));
  // A double click edits too.
  ASSERT_TRUE(SelectLine(list, IDC_FUNCTION_LIST, 0));
  ASSERT_TRUE(PostMessageW(list, WM_COMMAND,
                           MAKEWPARAM(IDC_FUNCTION_LIST, LBN_DBLCLK),
                           LPARAM(GetDlgItem(list, IDC_FUNCTION_LIST))));
  HWND dialog = WaitDefinitionDialog(p);
  ASSERT_NE(dialog, nullptr);
  ExpectKind(dialog, kParametricView);
  EXPECT_TEXT(ItemText(dialog, IDC_EXPRESSION), L"cos(t)");
  EXPECT_TEXT(ItemText(dialog, IDC_EXPRESSION2), L"sin(t)");
  EXPECT_TEXT(ItemText(dialog, IDC_DOMAIN_MIN), L"0");
  EXPECT_TEXT(ItemText(dialog, IDC_DOMAIN_MAX), L"6.25");
  EXPECT_FALSE(IsChecked(dialog, IDC_VISIBLE));
  EXPECT_EQ(ComboSelection(dialog, IDC_DENSITY), T(kDensityFine));
  EXPECT_EQ(ControlColour(dialog, IDC_COLOUR), COLORREF(0x00FF8000));
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDCANCEL));
  // An unknown kind opens as parametric with both texts.
  dialog = EditLine(list, 1);
  ExpectKind(dialog, kParametricView);
  EXPECT_TEXT(ItemText(dialog, IDC_EXPRESSION2), L"y");
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDCANCEL));
  // A density outside the list selects nothing, and OK waits for one.
  dialog = EditLine(list, 2);
  EXPECT_EQ(ComboSelection(dialog, IDC_DENSITY), std::nullopt);
  ExpectRefused(dialog, T(kChooseDensity), IDOK, IDC_DENSITY);
  ASSERT_TRUE(SelectComboItem(dialog, IDC_DENSITY, T(kDensityVeryFine)));
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDOK));
  // A domain too large for the field is shown whole, and refused.
  dialog = EditLine(list, 3);
  const std::wstring max_text = ItemText(dialog, IDC_DOMAIN_MAX);
  EXPECT_EQ(max_text.substr(0, 17), L"10000000000000000");
  EXPECT_EQ(max_text.size(), 301u);
  ExpectRefused(dialog, T(kDomainOutOfLimit), IDOK, IDC_DOMAIN_MIN);
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDCANCEL));
  ASSERT_TRUE(ClickAndWaitClosed(list, IDOK));
  Answer({T(kUnsupportedKind), Icon::kError});  // sampled again
  document[2].density = 6;
  ExpectSaved(document);
}

// The colour is the entry's at once: it survives a refused OK.
TEST_F(DefinitionDialog, ColourChooserSetsTheSwatchAndTheEntry) {
  Program& p = StartOn({Explicit(u"x")});
  HWND list = OpenList();
  HWND dialog = EditLine(list, 0);
  ASSERT_TRUE(ClickStatic(dialog, IDC_COLOUR));
  ASSERT_TRUE(ClickAndWaitClosed(WaitColourChooser(p), IDCANCEL));
  EXPECT_EQ(ControlColour(dialog, IDC_COLOUR), RGB(255, 0, 0));
  ASSERT_TRUE(ClickStatic(dialog, IDC_COLOUR));
  ASSERT_TRUE(AnswerColourDialog(WaitColourChooser(p), RGB(0x12, 0x34, 0x56)));
  EXPECT_TRUE(WaitFor([&] {
    return ControlColour(dialog, IDC_COLOUR) == RGB(0x12, 0x34, 0x56);
  }));
  ASSERT_TRUE(SetItemText(dialog, IDC_EXPRESSION, L"x+"));
  ExpectRefused(dialog, L"不正な最終文字です。");
  ASSERT_TRUE(SetItemText(dialog, IDC_EXPRESSION, L"x"));
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDOK));
  ASSERT_TRUE(ClickAndWaitClosed(list, IDOK));
  ExpectSaved({Explicit(u"x", 0x00563412)});
}

using FunctionListDialog = DialogTest;

std::vector<Function> ThreeFunctions() {
  return {Explicit(u"a"), Explicit(u"b", 0x00FF00, false),
          Explicit(u"c", 0xFF0000)};
}

TEST_F(FunctionListDialog, ButtonsNeedASelectedLine) {
  StartOn(ThreeFunctions());
  HWND list = OpenList();
  EXPECT_EQ(ListSelection(list, IDC_FUNCTION_LIST), -1);
  const std::pair<int, const char16_t*> rows[] = {
      {IDC_MOVE_UP, kSelectLine},
      {IDC_MOVE_DOWN, kSelectLine},
      {IDC_DUPLICATE_FUNCTION, kSelectLine},
      {IDC_EDIT_FUNCTION, kSelectToEdit},
      {IDC_REMOVE_FUNCTION, kSelectToRemove}};
  for (const auto& [button, message] : rows)
    ExpectRefused(list, T(message), button);
  EXPECT_EQ(ListLines(list, IDC_FUNCTION_LIST).size(), 3u);
}

// Moves follow the selection and stop at the ends without a word; a
// duplicate goes to the end, independent of its original.
TEST_F(FunctionListDialog, ButtonsKeepListAndDocumentInStep) {
  StartOn(ThreeFunctions());
  HWND list = OpenList();
  const struct {
    int select;  // -1: keep the selection
    int button;
    std::vector<std::wstring> lines;
    int selection;
  } steps[] = {
      {0, IDC_MOVE_UP, Lines({L"■ y = a", L"□ y = b", L"■ y = c"}), 0},
      {-1, IDC_MOVE_DOWN, Lines({L"□ y = b", L"■ y = a", L"■ y = c"}), 1},
      {-1, IDC_MOVE_DOWN, Lines({L"□ y = b", L"■ y = c", L"■ y = a"}), 2},
      {-1, IDC_MOVE_DOWN, Lines({L"□ y = b", L"■ y = c", L"■ y = a"}), 2},
      {1, IDC_MOVE_UP, Lines({L"■ y = c", L"□ y = b", L"■ y = a"}), 0},
      {1, IDC_DUPLICATE_FUNCTION,
       Lines({L"■ y = c", L"□ y = b", L"■ y = a", L"□ y = b"}), 1},
      {0, IDC_REMOVE_FUNCTION, Lines({L"□ y = b", L"■ y = a", L"□ y = b"}), -1},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.button);
    if (step.select >= 0) {
      ASSERT_TRUE(SelectLine(list, IDC_FUNCTION_LIST, step.select));
    }
    ASSERT_TRUE(Press(list, step.button));
    ExpectNoMessageBox();
    EXPECT_EQ(ListLines(list, IDC_FUNCTION_LIST), step.lines);
    EXPECT_EQ(ListSelection(list, IDC_FUNCTION_LIST), step.selection);
  }
  HWND dialog = EditLine(list, 2);
  ASSERT_TRUE(SetItemText(dialog, IDC_EXPRESSION, L"b*2"));
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDOK));
  EXPECT_EQ(ListLines(list, IDC_FUNCTION_LIST),
            Lines({L"□ y = b", L"■ y = a", L"□ y = b*2"}));
  EXPECT_EQ(ListSelection(list, IDC_FUNCTION_LIST), 2);
  ASSERT_TRUE(ClickAndWaitClosed(list, IDOK));
  const std::vector<Function> three = ThreeFunctions();
  ExpectSaved({three[1], three[0], Explicit(u"b*2", 0x00FF00, false)});
}

// The full check comes before the selection check.
TEST_F(FunctionListDialog, TenFunctionsRefuseAddAndDuplicate) {
  StartOn(std::vector<Function>(10, Explicit(u"x")));
  HWND list = OpenList();
  ExpectRefused(list, T(kListFull), IDC_DUPLICATE_FUNCTION);
  ExpectRefused(list, T(kListFull), IDC_ADD_FUNCTION);
  ASSERT_TRUE(SelectLine(list, IDC_FUNCTION_LIST, 3));
  ExpectRefused(list, T(kListFull), IDC_DUPLICATE_FUNCTION);
  ExpectNoMessageBox();
  EXPECT_TRUE(program().Dialogs() == std::vector<HWND>{list});
  EXPECT_EQ(ListLines(list, IDC_FUNCTION_LIST).size(), 10u);
}

TEST_F(FunctionListDialog, CancelLeavesTheDocumentAsItWas) {
  Program& p = StartOn(ThreeFunctions());
  HWND list = OpenList();
  HWND dialog = EditLine(list, 0);
  ASSERT_TRUE(SetItemText(dialog, IDC_EXPRESSION, L"a*a"));
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDOK));
  ASSERT_TRUE(SelectLine(list, IDC_FUNCTION_LIST, 1));
  ASSERT_TRUE(Press(list, IDC_REMOVE_FUNCTION));
  dialog = OpenDefinition(list);
  ASSERT_TRUE(SetItemText(dialog, IDC_EXPRESSION, L"d"));
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDOK));
  EXPECT_EQ(ListLines(list, IDC_FUNCTION_LIST),
            Lines({L"■ y = a*a", L"■ y = c", L"■ y = d"}));
  ASSERT_TRUE(ClickAndWaitClosed(list, IDCANCEL));
  // Nothing changed, so closing asks nothing; the file is untouched.
  EXPECT_EQ(p.Close(), std::optional<DWORD>(0));
  EXPECT_EQ(ReadBytes(path_), EncodeDocument(View(), ThreeFunctions()));
}

using SettingsDialog = DialogTest;

View SomeView() {
  View view;
  view.x_min = -3;
  view.x_max = 7;
  view.y_min = -2;
  view.y_max = 9;
  view.zoom = 250;
  view.axis_width = 4;
  view.graph_width = 1;
  view.axis_colour = 0x00123456;
  view.tick_mode = 1;
  view.tick_colour = 0x00C0C0C0;
  return view;
}

// The ranges are checked x first, each needing min < max ("5x" reads as
// 5, "abc" and nothing as 0), with the focus on the faulty minimum.
TEST_F(SettingsDialog, ShowsTheViewAndStoresTheEditedRanges) {
  StartOn({}, SomeView());
  HWND dialog = OpenSettings();
  const Field shown[] = {{IDC_X_MIN, L"-3"},
                         {IDC_X_MAX, L"7"},
                         {IDC_Y_MIN, L"-2"},
                         {IDC_Y_MAX, L"9"}};
  for (const auto& [id, text] : shown) EXPECT_TEXT(ItemText(dialog, id), text);
  EXPECT_EQ(ComboSelection(dialog, IDC_ZOOM), L"250");
  EXPECT_EQ(ComboSelection(dialog, IDC_AXIS_WIDTH), L"4");
  EXPECT_EQ(ComboSelection(dialog, IDC_GRAPH_WIDTH), L"1");
  EXPECT_TRUE(IsChecked(dialog, IDC_TICKS_MARKS));
  EXPECT_FALSE(IsChecked(dialog, IDC_TICKS_GRID));
  EXPECT_EQ(ControlColour(dialog, IDC_AXIS_COLOUR), COLORREF(0x00123456));
  EXPECT_EQ(ControlColour(dialog, IDC_TICK_COLOUR), COLORREF(0x00C0C0C0));
  const struct {
    const wchar_t *x_min, *x_max, *y_min, *y_max;
    const char16_t* message;
    int focus;
  } rows[] = {
      {L"5x", L"5", L"-2", L"9", kXRangeInvalid, IDC_X_MIN},
      {L"-1", L"1", L"abc", L"", kYRangeInvalid, IDC_Y_MIN},
  };
  for (const auto& row : rows) {
    const Field fields[] = {{IDC_X_MIN, row.x_min},
                            {IDC_X_MAX, row.x_max},
                            {IDC_Y_MIN, row.y_min},
                            {IDC_Y_MAX, row.y_max}};
    for (const auto& [id, text] : fields)
      ASSERT_TRUE(SetItemText(dialog, id, text));
    ExpectRefused(dialog, T(row.message), IDOK, row.focus);
  }
  ASSERT_TRUE(SetItemText(dialog, IDC_Y_MIN, L"-999"));
  ASSERT_TRUE(SetItemText(dialog, IDC_Y_MAX, L"9999"));
  ASSERT_TRUE(Press(dialog, IDC_TICKS_NONE));
  ASSERT_TRUE(SelectComboItem(dialog, IDC_ZOOM, L"1000"));
  ASSERT_TRUE(SelectComboItem(dialog, IDC_GRAPH_WIDTH, L"10"));
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDOK));
  View expected = SomeView();
  expected.x_min = -1;
  expected.x_max = 1;
  expected.y_min = -999;
  expected.y_max = 9999;
  expected.zoom = 1000;
  expected.graph_width = 10;
  expected.tick_mode = 0;
  ExpectSaved({}, expected);
}

// Values a file brings outside the lists select nothing, and OK waits for
// each list in turn without moving the focus.
TEST_F(SettingsDialog, ValuesOutsideTheListsAreRefusedUntilChosen) {
  View view;
  view.zoom = 110;
  view.axis_width = 11;
  view.graph_width = 0;
  view.tick_mode = 5;
  StartOn({}, view);
  HWND dialog = OpenSettings();
  EXPECT_TRUE(IsChecked(dialog, IDC_TICKS_NONE));
  HWND focus = FocusedControl(dialog);
  const struct {
    int list;
    const char16_t* message;
    const wchar_t* choice;
  } rows[] = {{IDC_ZOOM, kChooseZoom, L"120"},
              {IDC_AXIS_WIDTH, kChooseAxisWidth, L"1"},
              {IDC_GRAPH_WIDTH, kChooseGraphWidth, L"2"}};
  for (const auto& row : rows) {
    EXPECT_EQ(ComboSelection(dialog, row.list), std::nullopt);
    ExpectRefused(dialog, T(row.message));
    EXPECT_TRUE(WaitFor([&] { return FocusedControl(dialog) == focus; }));
    ASSERT_TRUE(SelectComboItem(dialog, row.list, row.choice));
  }
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDOK));
  view.zoom = 120;
  view.axis_width = 1;
  view.graph_width = 2;
  view.tick_mode = 0;
  ExpectSaved({}, view);
}

TEST_F(SettingsDialog, ColoursAreTakenOnlyByOk) {
  Program& p = StartOn({}, SomeView());
  HWND dialog = OpenSettings();
  ASSERT_TRUE(ClickStatic(dialog, IDC_AXIS_COLOUR));
  ASSERT_TRUE(AnswerColourDialog(WaitColourChooser(p), RGB(0, 0x80, 0)));
  EXPECT_TRUE(WaitFor([&] {
    return ControlColour(dialog, IDC_AXIS_COLOUR) == RGB(0, 0x80, 0);
  }));
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDCANCEL));
  ExpectSaved({}, SomeView());

  dialog = OpenSettings();
  EXPECT_EQ(ControlColour(dialog, IDC_AXIS_COLOUR), COLORREF(0x00123456));
  ASSERT_TRUE(ClickStatic(dialog, IDC_TICK_COLOUR));
  ASSERT_TRUE(AnswerColourDialog(WaitColourChooser(p), RGB(0xAB, 0xCD, 0xEF)));
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDOK));
  View expected = SomeView();
  expected.tick_colour = RGB(0xAB, 0xCD, 0xEF);
  ExpectSaved({}, expected);
}

}  // namespace
}  // namespace e2e
