// The three dialogs as a user meets them: opened from the menu, the
// accelerators and the toolbar, filled in, refused with their messages,
// confirmed or cancelled; what they leave in the document is read back from
// the file the program saves.
#include <algorithm>

#include "dialog_driver.h"
#include "test_support.h"

namespace e2e {
namespace {

// The commands that open the dialogs, and those that save and renew.
constexpr int kMenuFunctionList = 40002;
constexpr int kMenuGraphSettings = 40003;
constexpr int kAccelFunctionList = 40014;
constexpr int kAccelGraphSettings = 40015;
constexpr int kToolFunctions = 10004;
constexpr int kToolGraph = 10005;
constexpr int kMenuSave = 40007;
constexpr int kMenuNew = 40009;

const std::wstring kListCaption = L"関数定義";
const std::wstring kSettingsCaption = L"グラフ設定";

// A function of `kind` as the fixtures need it.
Function Make(int32_t kind, const std::u16string& f,
              const std::u16string& g = u"") {
  Function function;
  function.kind = kind;
  function.expression = f;
  function.expression2 = g;
  return function;
}

// A new function as the add button and the definition dialog make it.
Function Added(const std::u16string& f) {
  Function function = Make(1, f);
  function.colour = 0x0000FF;
  return function;
}

std::vector<std::wstring> Lines(std::initializer_list<const wchar_t*> lines) {
  return std::vector<std::wstring>(lines.begin(), lines.end());
}

class DialogTest : public ProgramTest {
 protected:
  // Starts the program on a document of its own, which Saved() rewrites.
  Program& StartOn(const std::vector<Function>& functions,
                   const View& view = View()) {
    path_ = PutDocument(L"doc.kvn", functions, view);
    return StartShown(path_);
  }

  HWND OpenList() {
    EXPECT_TRUE(program().PostCommand(kMenuFunctionList));
    HWND dialog = WaitListDialog(program());
    EXPECT_NE(dialog, nullptr) << "no function list dialog";
    return dialog;
  }
  HWND OpenSettings() {
    EXPECT_TRUE(program().PostCommand(kMenuGraphSettings));
    HWND dialog = WaitSettingsDialog(program());
    EXPECT_NE(dialog, nullptr) << "no graph settings dialog";
    return dialog;
  }
  // The definition dialog opened by a button of the list dialog.
  HWND OpenDefinition(HWND list, int button) {
    EXPECT_TRUE(Click(list, button));
    HWND dialog = WaitDefinitionDialog(program());
    EXPECT_NE(dialog, nullptr) << "no definition dialog";
    return dialog;
  }
  HWND EditLine(HWND list, int line) {
    EXPECT_TRUE(SelectLine(list, list::kLines, line));
    return OpenDefinition(list, list::kEdit);
  }

  // Presses OK (or another button) and expects the dialog to stay open
  // behind the warning `text`, which is answered.
  void ExpectRefused(HWND dialog, const std::wstring& text, int button = IDOK) {
    ASSERT_TRUE(Click(dialog, button));
    AnswerMessageBox(kCaption, text, Icon::kWarning, {IDOK}, IDOK);
    EXPECT_TRUE(IsWindow(dialog));
  }
  // Expects the keyboard focus on control `id` once the message is gone.
  void ExpectFocus(HWND dialog, int id) {
    HWND expected = GetDlgItem(dialog, id);
    EXPECT_TRUE(
        WaitFor([&] { return FocusedControl(dialog) == expected; }, 2000))
        << "the focus is not on control " << id;
  }
  // Confirms the definition dialog and waits until the list has `lines`.
  void ConfirmDefinition(HWND definition, HWND list, size_t lines) {
    ASSERT_TRUE(ClickAndWaitClosed(definition, IDOK));
    EXPECT_TRUE(
        WaitFor([&] { return ListLines(list, list::kLines).size() == lines; }));
  }

  // Saves the document under its name and returns the file's bytes.
  std::optional<std::string> Saved() {
    EXPECT_TRUE(program().SendCommand(kMenuSave)) << "the save did not finish";
    return ReadBytes(path_);
  }
  void ExpectSaved(const std::vector<Function>& functions,
                   const View& view = View()) {
    EXPECT_EQ(Saved(),
              std::optional<std::string>(EncodeDocument(view, functions)));
  }

  std::wstring path_;
};

// --- Routes and templates ---------------------------------------------------

using DialogRoutes = DialogTest;

struct Route {
  const char* name;
  int command;  // 0: the keys Ctrl + key
  WORD key;
};

TEST_F(DialogRoutes, EachDialogOpensFromMenuAcceleratorToolbarAndKeys) {
  Program& p = StartOn({Explicit(u"sin(x)", 0x0000FF)});
  const Route list_routes[] = {{"menu", kMenuFunctionList, 0},
                               {"accelerator id", kAccelFunctionList, 0},
                               {"toolbar", kToolFunctions, 0},
                               {"Ctrl+F", 0, 'F'}};
  for (const Route& route : list_routes) {
    SCOPED_TRACE(route.name);
    if (route.command)
      ASSERT_TRUE(p.PostCommand(route.command));
    else
      ASSERT_TRUE(p.PressKeys({VK_CONTROL, route.key}));
    HWND dialog = WaitListDialog(p);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TEXT(WindowText(dialog), kListCaption);
    EXPECT_EQ(ListLines(dialog, list::kLines), Lines({L"■ y = sin(x)"}));
    ASSERT_TRUE(ClickAndWaitClosed(dialog, IDCANCEL));
  }
  const Route settings_routes[] = {{"menu", kMenuGraphSettings, 0},
                                   {"accelerator id", kAccelGraphSettings, 0},
                                   {"toolbar", kToolGraph, 0},
                                   {"Ctrl+G", 0, 'G'}};
  for (const Route& route : settings_routes) {
    SCOPED_TRACE(route.name);
    if (route.command)
      ASSERT_TRUE(p.PostCommand(route.command));
    else
      ASSERT_TRUE(p.PressKeys({VK_CONTROL, route.key}));
    HWND dialog = WaitSettingsDialog(p);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TEXT(WindowText(dialog), kSettingsCaption);
    ASSERT_TRUE(ClickAndWaitClosed(dialog, IDCANCEL));
  }
  // Cancelled dialogs leave the document clean: closing asks nothing.
  EXPECT_EQ(p.Close(), std::optional<DWORD>(0));
}

struct ItemRow {
  int id;
  const wchar_t* class_name;
  const wchar_t* text;
  RECT box;     // x, y, x + cx, y + cy
  DWORD type;   // the class's type bits (button, static or combo kind)
  DWORD flags;  // further bits that must be set
};

constexpr DWORD kEditFlags = ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
constexpr DWORD kDropDownFlags = WS_VSCROLL | WS_TABSTOP;
constexpr DWORD kSwatch = SS_ETCHEDFRAME;
constexpr DWORD kRadio = BS_AUTORADIOBUTTON;

RECT Box(int x, int y, int cx, int cy) { return RECT{x, y, x + cx, y + cy}; }

DWORD TypeBits(const std::wstring& class_name, DWORD style) {
  if (class_name == L"Button") return style & BS_TYPEMASK;
  if (class_name == L"Static") return style & SS_TYPEMASK;
  if (class_name == L"ComboBox") return style & 0x3;
  return 0;
}

void ExpectTemplate(int id, const std::wstring& caption, SIZE size,
                    const std::vector<ItemRow>& rows) {
  SCOPED_TRACE("dialog " + std::to_string(id));
  const auto view = ReadDialogResource(ProgramPath(), id);
  ASSERT_TRUE(view.has_value());
  const DWORD frame = DS_MODALFRAME | WS_CAPTION | WS_SYSMENU | DS_SETFONT;
  EXPECT_EQ(view->style & frame, frame);
  EXPECT_TEXT(view->caption, caption);
  EXPECT_EQ(view->point_size, 9);
  EXPECT_TEXT(view->font, L"ＭＳ Ｐゴシック");
  EXPECT_EQ(view->size.cx, size.cx);
  EXPECT_EQ(view->size.cy, size.cy);
  ASSERT_EQ(view->items.size(), rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    const ItemRow& row = rows[i];
    const DialogItemView& item = view->items[i];
    SCOPED_TRACE("control " + std::to_string(i) + ", id " +
                 std::to_string(row.id));
    EXPECT_EQ(item.id, row.id);
    EXPECT_TEXT(item.class_name, row.class_name);
    EXPECT_TEXT(item.text, row.text);
    EXPECT_EQ(item.box.left, row.box.left);
    EXPECT_EQ(item.box.top, row.box.top);
    EXPECT_EQ(item.box.right, row.box.right);
    EXPECT_EQ(item.box.bottom, row.box.bottom);
    EXPECT_EQ(TypeBits(item.class_name, item.style), row.type);
    EXPECT_EQ(item.style & row.flags, row.flags);
    // Every control fits with a margin; a drop-down list shows one line.
    const LONG bottom =
        item.class_name == L"ComboBox" ? item.box.top + 14 : item.box.bottom;
    EXPECT_LE(item.box.right + 4, view->size.cx);
    EXPECT_LE(bottom + 4, view->size.cy);
  }
}

TEST_F(DialogRoutes, TemplatesFollowTheDesign) {
  using namespace definition;
  const DWORD radio_first = WS_GROUP | WS_TABSTOP;
  ExpectTemplate(
      103, L"関数定義", {190, 195},
      {{-1, L"Button", L"関数の種類(&F)", Box(5, 5, 120, 85), BS_GROUPBOX, 0},
       {kExplicit, L"Button", L"陽関数(&1) y = f(x)", Box(15, 20, 105, 15),
        kRadio, radio_first},
       {kParametric, L"Button", L"媒介変数(&2) x = f(t), y = g(t)",
        Box(15, 35, 105, 15), kRadio, 0},
       {kPolar, L"Button", L"極座標(&3) r = f(t)", Box(15, 50, 105, 15), kRadio,
        0},
       {kImplicit, L"Button", L"陰関数(&4) f(x, y) = 0", Box(15, 65, 105, 15),
        kRadio, 0},
       {kLabel, L"Static", L"f(x) = ", Box(5, 95, 25, 15), SS_LEFT, 0},
       {kExpression, L"Edit", L"", Box(35, 95, 150, 15), 0, kEditFlags},
       {kLabel2, L"Static", L"g(t) = ", Box(5, 115, 25, 15), SS_LEFT, 0},
       {kExpression2, L"Edit", L"", Box(35, 115, 150, 15), 0, kEditFlags},
       {-1, L"Static", L"定義域(&D):", Box(5, 135, 40, 15), SS_LEFT, 0},
       {kDomainMin, L"Edit", L"", Box(50, 135, 45, 15), 0, kEditFlags},
       {kDomainLabel, L"Static", L"≦ x ≦", Box(100, 135, 35, 15), SS_CENTER, 0},
       {kDomainMax, L"Edit", L"", Box(140, 135, 45, 15), 0, kEditFlags},
       {-1, L"Static", L"描画色(&C):", Box(5, 155, 40, 15), SS_LEFT, 0},
       {kColour, L"Static", L"", Box(50, 155, 40, 15), kSwatch,
        SS_NOTIFY | WS_TABSTOP},
       {kVisible, L"Button", L"表示する(&V)", Box(95, 155, 80, 15),
        BS_AUTOCHECKBOX, 0},
       {-1, L"Static", L"描画密度(&S):", Box(5, 175, 50, 10), SS_LEFT, 0},
       {kDensity, L"ComboBox", L"", Box(55, 175, 60, 60), CBS_DROPDOWNLIST,
        kDropDownFlags},
       {IDOK, L"Button", L"OK", Box(130, 5, 50, 15), BS_DEFPUSHBUTTON, 0},
       {IDCANCEL, L"Button", L"ｷｬﾝｾﾙ", Box(130, 25, 50, 15), BS_PUSHBUTTON,
        0}});
  ExpectTemplate(
      104, L"関数定義", {210, 105},
      {{-1, L"Static", L"描画関数(&F)", Box(5, 5, 60, 15), SS_LEFT, 0},
       {list::kAdd, L"Button", L"追加", Box(85, 5, 40, 15), BS_PUSHBUTTON, 0},
       {list::kLines, L"ListBox", L"", Box(5, 20, 120, 80), 0,
        LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_BORDER | WS_VSCROLL},
       {list::kUp, L"Button", L"↑", Box(125, 20, 15, 15), BS_PUSHBUTTON, 0},
       {list::kDown, L"Button", L"↓", Box(125, 35, 15, 15), BS_PUSHBUTTON, 0},
       {list::kEdit, L"Button", L"...", Box(125, 50, 15, 15), BS_PUSHBUTTON, 0},
       {list::kRemove, L"Button", L"×", Box(125, 65, 15, 15), BS_PUSHBUTTON, 0},
       {list::kDuplicate, L"Button", L"C", Box(125, 80, 15, 15), BS_PUSHBUTTON,
        0},
       {IDOK, L"Button", L"OK", Box(155, 5, 50, 15), BS_DEFPUSHBUTTON, 0},
       {IDCANCEL, L"Button", L"ｷｬﾝｾﾙ", Box(155, 25, 50, 15), BS_PUSHBUTTON,
        0}});
  using namespace settings;
  ExpectTemplate(
      105, L"グラフ設定", {215, 180},
      {{IDOK, L"Button", L"OK", Box(160, 5, 50, 15), BS_DEFPUSHBUTTON, 0},
       {IDCANCEL, L"Button", L"ｷｬﾝｾﾙ", Box(160, 25, 50, 15), BS_PUSHBUTTON, 0},
       {-1, L"Static", L"表示域(&V):", Box(5, 5, 45, 10), SS_LEFT, 0},
       {kXMin, L"Edit", L"", Box(15, 15, 35, 15), 0, kEditFlags},
       {-1, L"Static", L"≦ x ≦", Box(55, 15, 30, 15), SS_CENTER, 0},
       {kXMax, L"Edit", L"", Box(90, 15, 35, 15), 0, kEditFlags},
       {kYMin, L"Edit", L"", Box(15, 35, 35, 15), 0, kEditFlags},
       {-1, L"Static", L"≦ y ≦", Box(55, 35, 30, 15), SS_CENTER, 0},
       {kYMax, L"Edit", L"", Box(90, 35, 35, 15), 0, kEditFlags},
       {-1, L"Static", L"倍率(&Z):", Box(5, 55, 35, 15), SS_LEFT, 0},
       {kZoom, L"ComboBox", L"", Box(45, 55, 40, 60), CBS_DROPDOWNLIST,
        kDropDownFlags},
       {-1, L"Static", L"％", Box(90, 55, 15, 15), SS_LEFT, 0},
       {-1, L"Static", L"軸の太さ(&P):", Box(5, 75, 50, 15), SS_LEFT, 0},
       {kAxisWidth, L"ComboBox", L"", Box(55, 75, 40, 55), CBS_DROPDOWNLIST,
        kDropDownFlags},
       {-1, L"Static", L"グラフの太さ(&P):", Box(100, 75, 60, 15), SS_LEFT, 0},
       {kGraphWidth, L"ComboBox", L"", Box(160, 75, 40, 55), CBS_DROPDOWNLIST,
        kDropDownFlags},
       {-1, L"Static", L"軸の色", Box(5, 95, 45, 15), SS_LEFT, 0},
       {kAxisColour, L"Static", L"", Box(55, 95, 35, 15), kSwatch, SS_NOTIFY},
       {-1, L"Button", L"目盛り(&G)", Box(5, 115, 170, 60), BS_GROUPBOX, 0},
       {kMarks, L"Button", L"目盛り(&1)", Box(15, 125, 40, 15), kRadio,
        radio_first},
       {kGrid, L"Button", L"格子(&2)", Box(15, 140, 40, 15), kRadio, 0},
       {kNone, L"Button", L"なし(&3)", Box(15, 155, 40, 15), kRadio, 0},
       {-1, L"Static", L"色(&C)", Box(80, 130, 25, 15), SS_LEFT, 0},
       {kTickColour, L"Static", L"", Box(110, 130, 35, 15), kSwatch,
        SS_NOTIFY}});
}

// --- Function definition ----------------------------------------------------

using DefinitionDialog = DialogTest;

struct KindView {
  int button;
  const wchar_t* label;
  const wchar_t* domain_label;
  bool second_enabled;
  bool domain_enabled;
};

void ExpectKindView(HWND dialog, const KindView& kind) {
  using namespace definition;
  SCOPED_TRACE("kind button " + std::to_string(kind.button));
  for (int button : {kExplicit, kParametric, kPolar, kImplicit})
    EXPECT_EQ(IsChecked(dialog, button), button == kind.button) << button;
  EXPECT_TEXT(ItemText(dialog, kLabel), kind.label);
  EXPECT_TEXT(ItemText(dialog, kDomainLabel), kind.domain_label);
  EXPECT_TEXT(ItemText(dialog, kLabel2), L"g(t) = ");
  EXPECT_TRUE(IsEnabled(dialog, kExpression));
  EXPECT_EQ(IsEnabled(dialog, kExpression2), kind.second_enabled);
  EXPECT_EQ(IsEnabled(dialog, kDomainMin), kind.domain_enabled);
  EXPECT_EQ(IsEnabled(dialog, kDomainMax), kind.domain_enabled);
}

// Clicks a kind button and waits for the labels to follow.
void ChooseKind(HWND dialog, const KindView& kind) {
  ASSERT_TRUE(Click(dialog, kind.button));
  WaitFor([&] {
    return IsChecked(dialog, kind.button) &&
           ItemText(dialog, definition::kLabel) == kind.label;
  });
  ExpectKindView(dialog, kind);
}

TEST_F(DefinitionDialog, NewFunctionStartsExplicitAndKindsSwitchFields) {
  using namespace definition;
  StartOn({});
  HWND list = OpenList();
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(ListLines(list, list::kLines).empty());
  HWND dialog = OpenDefinition(list, list::kAdd);
  ASSERT_NE(dialog, nullptr);
  EXPECT_TEXT(WindowText(dialog), L"関数定義");

  const KindView kExplicitView{kExplicit, L"f(x)=", L"≦ x ≦", false, true};
  const KindView kParametricView{kParametric, L"f(t)=", L"≦ t ≦", true, true};
  const KindView kPolarView{kPolar, L"f(t)=", L"≦ t ≦", false, true};
  // Implicit leaves the domain label as it was (here the parametric one).
  const KindView kImplicitView{kImplicit, L"f(x, y)=", L"≦ t ≦", false, false};
  ExpectKindView(dialog, kExplicitView);
  EXPECT_TEXT(ItemText(dialog, kExpression), L"");
  EXPECT_TEXT(ItemText(dialog, kExpression2), L"");
  EXPECT_TEXT(ItemText(dialog, kDomainMin), L"-10");
  EXPECT_TEXT(ItemText(dialog, kDomainMax), L"10");
  EXPECT_TRUE(IsChecked(dialog, kVisible));
  EXPECT_EQ(ComboItems(dialog, kDensity),
            Lines({L"1:粗い", L"2:やや粗い", L"3:普通", L"4:やや細かい",
                   L"5:細かい", L"6:非常に細かい"}));
  EXPECT_EQ(ComboSelection(dialog, kDensity),
            std::optional<std::wstring>(L"3:普通"));
  EXPECT_EQ(ControlColour(dialog, kColour), RGB(255, 0, 0));
  EXPECT_EQ(TextLimit(dialog, kExpression), 255);
  EXPECT_EQ(TextLimit(dialog, kExpression2), 255);
  EXPECT_EQ(TextLimit(dialog, kDomainMin), 10);
  EXPECT_EQ(TextLimit(dialog, kDomainMax), 10);

  ChooseKind(dialog, kParametricView);
  ASSERT_TRUE(SetItemText(dialog, kExpression2, L"sin(t)"));
  ChooseKind(dialog, kImplicitView);
  ChooseKind(dialog, kParametricView);  // g(t) can be typed again
  ChooseKind(dialog, kPolarView);
  ChooseKind(dialog, kExplicitView);
  // Disabled fields keep their texts.
  EXPECT_TEXT(ItemText(dialog, kExpression2), L"sin(t)");

  // An explicit function stores no g(t), whatever the second field holds.
  ASSERT_TRUE(SetItemText(dialog, kExpression, L"x^2"));
  ConfirmDefinition(dialog, list, 1);
  EXPECT_EQ(ListLines(list, list::kLines), Lines({L"■ y = x^2"}));
  ASSERT_TRUE(ClickAndWaitClosed(list, IDOK));
  ExpectSaved({Added(u"x^2")});
}

TEST_F(DefinitionDialog, ExpressionErrorSelectsTheFaultyCharacter) {
  using namespace definition;
  StartOn({});
  HWND list = OpenList();
  ASSERT_NE(list, nullptr);
  HWND dialog = OpenDefinition(list, list::kAdd);
  ASSERT_NE(dialog, nullptr);

  // The library counts bytes: ")" is byte 4 of "2あ+)", character 3.
  ASSERT_TRUE(SetItemText(dialog, kExpression, L"2あ+)"));
  ExpectRefused(dialog, L"不正な括弧です。");
  ExpectFocus(dialog, kExpression);
  EXPECT_EQ(Selection(dialog, kExpression), std::make_pair(3, 4));

  ASSERT_TRUE(SetItemText(dialog, kExpression, L""));
  ExpectRefused(dialog, L"データがありません。");
  ExpectFocus(dialog, kExpression);

  // The first text passes; the parametric g(t) is checked next.
  ASSERT_TRUE(SetItemText(dialog, kExpression, L"cos(t)"));
  ASSERT_TRUE(Click(dialog, kParametric));
  ASSERT_TRUE(WaitFor([&] { return IsEnabled(dialog, kExpression2); }));
  ASSERT_TRUE(SetItemText(dialog, kExpression2, L"sin("));
  ExpectRefused(dialog, L"不正な最終文字です。");
  ExpectFocus(dialog, kExpression2);
  EXPECT_EQ(Selection(dialog, kExpression2), std::make_pair(3, 4));

  // Any variable compiles, q as well as t.
  ASSERT_TRUE(SetItemText(dialog, kExpression2, L"q*t"));
  ConfirmDefinition(dialog, list, 1);
  EXPECT_EQ(ListLines(list, list::kLines), Lines({L"■ x = cos(t), y = q*t"}));
  ASSERT_TRUE(ClickAndWaitClosed(list, IDOK));
  Function parametric = Added(u"cos(t)");
  parametric.kind = 2;
  parametric.expression2 = u"q*t";
  ExpectSaved({parametric});
}

TEST_F(DefinitionDialog, ExpressionTextsKeepAtMost254Bytes) {
  using namespace definition;
  StartOn({});
  HWND list = OpenList();
  ASSERT_NE(list, nullptr);

  // Typed to the field's limit of 255 characters; 254 are stored.
  HWND dialog = OpenDefinition(list, list::kAdd);
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(TypeText(dialog, kExpression, std::wstring(260, L'1')));
  EXPECT_EQ(ItemText(dialog, kExpression), std::wstring(255, L'1'));
  ConfirmDefinition(dialog, list, 1);

  // 255 bytes whose last character takes two: it is dropped whole.
  dialog = OpenDefinition(list, list::kAdd);
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(
      SetItemText(dialog, kExpression, L"x" + std::wstring(252, L' ') + L"あ"));
  ConfirmDefinition(dialog, list, 2);

  ASSERT_TRUE(ClickAndWaitClosed(list, IDOK));
  ExpectSaved({Added(std::u16string(254, u'1')),
               Added(u"x" + std::u16string(252, u' '))});
}

TEST_F(DefinitionDialog, DomainIsReadAsStrtodWithinTheLimits) {
  using namespace definition;
  StartOn({});
  HWND list = OpenList();
  ASSERT_NE(list, nullptr);
  HWND dialog = OpenDefinition(list, list::kAdd);
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(SetItemText(dialog, kExpression, L"x"));
  const std::wstring kRange =
      L"定義域は -9999～9999 の範囲で指定してください。";
  const std::wstring kOrder = L"定義域の指定が不正です。";

  // 5e3 is 5000 and passes; 1e4 is 10000 and does not.
  ASSERT_TRUE(SetItemText(dialog, kDomainMin, L"5e3"));
  ASSERT_TRUE(SetItemText(dialog, kDomainMax, L"1e4"));
  ExpectRefused(dialog, kRange);
  ExpectFocus(dialog, kDomainMax);

  ASSERT_TRUE(SetItemText(dialog, kDomainMin, L"-10000"));
  ExpectRefused(dialog, kRange);
  ExpectFocus(dialog, kDomainMin);

  // abc reads as 0, below 5000.
  ASSERT_TRUE(SetItemText(dialog, kDomainMin, L"5e3"));
  ASSERT_TRUE(SetItemText(dialog, kDomainMax, L"abc"));
  ExpectRefused(dialog, kOrder);
  ExpectFocus(dialog, kDomainMin);

  ASSERT_TRUE(SetItemText(dialog, kDomainMin, L"3"));
  ASSERT_TRUE(SetItemText(dialog, kDomainMax, L"3"));
  ExpectRefused(dialog, kOrder);

  // The ends themselves are allowed.
  ASSERT_TRUE(SetItemText(dialog, kDomainMin, L"-9999"));
  ASSERT_TRUE(SetItemText(dialog, kDomainMax, L"9999"));
  ConfirmDefinition(dialog, list, 1);

  dialog = OpenDefinition(list, list::kAdd);
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(SetItemText(dialog, kExpression, L"x"));
  ASSERT_TRUE(SetItemText(dialog, kDomainMin, L"abc"));
  ASSERT_TRUE(SetItemText(dialog, kDomainMax, L" 5e3"));
  ConfirmDefinition(dialog, list, 2);

  ASSERT_TRUE(ClickAndWaitClosed(list, IDOK));
  Function widest = Added(u"x");
  widest.domain_min = -9999;
  widest.domain_max = 9999;
  Function from_zero = Added(u"x");
  from_zero.domain_min = 0;
  from_zero.domain_max = 5000;
  ExpectSaved({widest, from_zero});
}

// Entries from a file, including values the dialog would never produce.
TEST_F(DefinitionDialog, EditShowsTheStoredEntry) {
  using namespace definition;
  Function parametric = Make(2, u"cos(t)", u"sin(t)");
  parametric.flags = 0;
  parametric.domain_min = 0;
  parametric.domain_max = 6.25;
  parametric.colour = 0x00FF8000;
  parametric.density = 5;
  Function unknown_kind = Make(7, u"x", u"y");
  Function no_density = Make(1, u"x");
  no_density.density = 9;
  Function huge_domain = Make(3, u"t");
  huge_domain.domain_min = -1e300;
  huge_domain.domain_max = 1e300;
  Function implicit = Make(4, u"x^2+y^2-1");
  implicit.domain_min = 3;
  implicit.domain_max = 3;
  const std::vector<Function> document = {parametric, unknown_kind, no_density,
                                          huge_domain, implicit};
  path_ = PutDocument(L"doc.kvn", document);
  Program& p = Start(path_);
  // The file's odd entries are reported by the first sampling.
  AnswerMessageBox(kCaption, L"不正な形式の関数が指定されました。",
                   Icon::kError, {IDOK}, IDOK);
  AnswerMessageBox(kCaption, L"定義域が不正です。", Icon::kError, {IDOK}, IDOK);
  ASSERT_NE(p.WaitShown(), nullptr);

  HWND list = OpenList();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(ListLines(list, list::kLines),
            Lines({L"□ x = cos(t), y = sin(t)", L"(不正な型の関数です)",
                   L"■ y = x", L"■ r = t", L"■ x^2+y^2-1 = 0"}));

  // A double click edits too.
  ASSERT_TRUE(SelectLine(list, list::kLines, 0));
  ASSERT_TRUE(DoubleClickLine(list, list::kLines));
  HWND dialog = WaitDefinitionDialog(p);
  ASSERT_NE(dialog, nullptr);
  ExpectKindView(dialog, {kParametric, L"f(t)=", L"≦ t ≦", true, true});
  EXPECT_TEXT(ItemText(dialog, kExpression), L"cos(t)");
  EXPECT_TEXT(ItemText(dialog, kExpression2), L"sin(t)");
  EXPECT_TEXT(ItemText(dialog, kDomainMin), L"0");
  EXPECT_TEXT(ItemText(dialog, kDomainMax), L"6.25");
  EXPECT_FALSE(IsChecked(dialog, kVisible));
  EXPECT_EQ(ComboSelection(dialog, kDensity),
            std::optional<std::wstring>(L"5:細かい"));
  EXPECT_EQ(ControlColour(dialog, kColour), COLORREF(0x00FF8000));
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDCANCEL));

  // An unknown kind opens as parametric with both texts.
  dialog = EditLine(list, 1);
  ASSERT_NE(dialog, nullptr);
  ExpectKindView(dialog, {kParametric, L"f(t)=", L"≦ t ≦", true, true});
  EXPECT_TEXT(ItemText(dialog, kExpression), L"x");
  EXPECT_TEXT(ItemText(dialog, kExpression2), L"y");
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDCANCEL));

  // A density outside 1 to 6 selects nothing, and OK waits for one.
  dialog = EditLine(list, 2);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(ComboSelection(dialog, kDensity), std::nullopt);
  ExpectRefused(dialog, L"描画密度を指定してください。");
  ExpectFocus(dialog, kDensity);
  ASSERT_TRUE(SelectComboItem(dialog, kDensity, L"6:非常に細かい"));
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDOK));

  // A domain too large for the field is shown whole, and refused.
  dialog = EditLine(list, 3);
  ASSERT_NE(dialog, nullptr);
  // All 301 digits of the double nearest 1e300.
  const std::wstring max_text = ItemText(dialog, kDomainMax);
  EXPECT_EQ(max_text.substr(0, 17), L"10000000000000000");
  EXPECT_EQ(max_text.size(), 301u);
  EXPECT_EQ(ItemText(dialog, kDomainMin), L"-" + max_text);
  ExpectRefused(dialog, L"定義域は -9999～9999 の範囲で指定してください。");
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDCANCEL));

  // Disabled domain fields are checked all the same.
  dialog = EditLine(list, 4);
  ASSERT_NE(dialog, nullptr);
  EXPECT_FALSE(IsEnabled(dialog, kDomainMin));
  EXPECT_TEXT(ItemText(dialog, kDomainLabel), L"≦ x ≦");
  ExpectRefused(dialog, L"定義域の指定が不正です。");
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDCANCEL));

  EXPECT_EQ(ListSelection(list, list::kLines), 4);
  ASSERT_TRUE(ClickAndWaitClosed(list, IDCANCEL));
  // Only the density edit was confirmed, and the list was cancelled.
  EXPECT_EQ(Saved(),
            std::optional<std::string>(EncodeDocument(View(), document)));
}

TEST_F(DefinitionDialog, ColourChooserSetsTheSwatchAndTheEntry) {
  using namespace definition;
  Program& p = StartOn({Explicit(u"x", 0x0000FF)});
  HWND list = OpenList();
  ASSERT_NE(list, nullptr);
  HWND dialog = EditLine(list, 0);
  ASSERT_NE(dialog, nullptr);

  ASSERT_TRUE(ClickStatic(dialog, kColour));
  HWND chooser = WaitColourDialog(p);
  ASSERT_NE(chooser, nullptr) << "no colour chooser";
  ASSERT_TRUE(ClickAndWaitClosed(chooser, IDCANCEL));
  EXPECT_EQ(ControlColour(dialog, kColour), RGB(255, 0, 0));

  ASSERT_TRUE(ClickStatic(dialog, kColour));
  chooser = WaitColourDialog(p);
  ASSERT_NE(chooser, nullptr);
  ASSERT_TRUE(AnswerColourDialog(chooser, RGB(0x12, 0x34, 0x56)));
  EXPECT_TRUE(WaitFor([&] {
    return ControlColour(dialog, kColour) == RGB(0x12, 0x34, 0x56);
  })) << Hex(ControlColour(dialog, kColour));
  // The colour is the entry's at once: it survives a refused OK.
  ASSERT_TRUE(SetItemText(dialog, kExpression, L"x+"));
  ExpectRefused(dialog, L"不正な最終文字です。");
  ASSERT_TRUE(SetItemText(dialog, kExpression, L"x"));
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDOK));
  ASSERT_TRUE(ClickAndWaitClosed(list, IDOK));
  ExpectSaved({Explicit(u"x", 0x00563412)});
}

// --- Function list
// ------------------------------------------------------------

using FunctionListDialog = DialogTest;

std::vector<Function> ThreeFunctions() {
  return {Explicit(u"a", 0x0000FF), Explicit(u"b", 0x00FF00, false),
          Explicit(u"c", 0xFF0000)};
}

TEST_F(FunctionListDialog, ButtonsNeedASelectedLine) {
  StartOn(ThreeFunctions());
  HWND list = OpenList();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(ListLines(list, list::kLines),
            Lines({L"■ y = a", L"□ y = b", L"■ y = c"}));
  EXPECT_EQ(ListSelection(list, list::kLines), -1);
  ExpectRefused(list, L"リストを選択してください。", list::kUp);
  ExpectRefused(list, L"リストを選択してください。", list::kDown);
  ExpectRefused(list, L"リストを選択してください。", list::kDuplicate);
  ExpectRefused(list, L"更新する関数を選択してください。", list::kEdit);
  ExpectRefused(list, L"削除する関数を選択してください。", list::kRemove);
  EXPECT_EQ(ListLines(list, list::kLines).size(), 3u);
}

TEST_F(FunctionListDialog, MovesFollowTheSelection) {
  StartOn(ThreeFunctions());
  HWND list = OpenList();
  ASSERT_NE(list, nullptr);
  ASSERT_TRUE(SelectLine(list, list::kLines, 0));
  // Up on the first line does nothing and says nothing.
  ASSERT_TRUE(Click(list, list::kUp));
  ExpectNoMessageBox();
  EXPECT_EQ(ListSelection(list, list::kLines), 0);
  for (int expected : {1, 2}) {
    ASSERT_TRUE(Click(list, list::kDown));
    EXPECT_TRUE(
        WaitFor([&] { return ListSelection(list, list::kLines) == expected; }));
  }
  EXPECT_EQ(ListLines(list, list::kLines),
            Lines({L"□ y = b", L"■ y = c", L"■ y = a"}));
  ASSERT_TRUE(Click(list, list::kDown));
  ExpectNoMessageBox();
  EXPECT_EQ(ListSelection(list, list::kLines), 2);
  ASSERT_TRUE(SelectLine(list, list::kLines, 1));
  ASSERT_TRUE(Click(list, list::kUp));
  EXPECT_TRUE(WaitFor([&] { return ListSelection(list, list::kLines) == 0; }));
  EXPECT_EQ(ListLines(list, list::kLines),
            Lines({L"■ y = c", L"□ y = b", L"■ y = a"}));
  ASSERT_TRUE(ClickAndWaitClosed(list, IDOK));
  const std::vector<Function> three = ThreeFunctions();
  ExpectSaved({three[2], three[1], three[0]});
}

TEST_F(FunctionListDialog, DuplicateRemoveAndEditKeepListAndDocumentInStep) {
  StartOn(ThreeFunctions());
  HWND list = OpenList();
  ASSERT_NE(list, nullptr);
  ASSERT_TRUE(SelectLine(list, list::kLines, 1));
  ASSERT_TRUE(Click(list, list::kDuplicate));
  ASSERT_TRUE(
      WaitFor([&] { return ListLines(list, list::kLines).size() == 4; }));
  EXPECT_EQ(ListLines(list, list::kLines),
            Lines({L"■ y = a", L"□ y = b", L"■ y = c", L"□ y = b"}));
  EXPECT_EQ(ListSelection(list, list::kLines), 1);

  ASSERT_TRUE(SelectLine(list, list::kLines, 0));
  ASSERT_TRUE(Click(list, list::kRemove));
  ASSERT_TRUE(
      WaitFor([&] { return ListLines(list, list::kLines).size() == 3; }));
  EXPECT_EQ(ListLines(list, list::kLines),
            Lines({L"□ y = b", L"■ y = c", L"□ y = b"}));
  EXPECT_EQ(ListSelection(list, list::kLines), -1);

  // The copy is independent of its original.
  HWND dialog = EditLine(list, 2);
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(SetItemText(dialog, definition::kExpression, L"b*2"));
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDOK));
  EXPECT_TRUE(WaitFor([&] {
    return ListLines(list, list::kLines) ==
           Lines({L"□ y = b", L"■ y = c", L"□ y = b*2"});
  }));
  EXPECT_EQ(ListSelection(list, list::kLines), 2);
  ASSERT_TRUE(ClickAndWaitClosed(list, IDOK));
  const std::vector<Function> three = ThreeFunctions();
  ExpectSaved({three[1], three[2], Explicit(u"b*2", 0x00FF00, false)});
}

TEST_F(FunctionListDialog, TenFunctionsRefuseAddAndDuplicate) {
  std::vector<Function> ten;
  for (int i = 0; i < 10; ++i)
    ten.push_back(Explicit(u"x+" + std::u16string(1, u'0' + i), 0x0000FF));
  StartOn(ten);
  HWND list = OpenList();
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(ListLines(list, list::kLines).size(), 10u);
  // The full check comes before the selection check.
  ExpectRefused(list, L"これ以上追加できません。", list::kDuplicate);
  ExpectRefused(list, L"これ以上追加できません。", list::kAdd);
  ASSERT_TRUE(SelectLine(list, list::kLines, 3));
  ExpectRefused(list, L"これ以上追加できません。", list::kDuplicate);
  EXPECT_TRUE(WaitDefinitionDialog(program(), kQuietMs) == nullptr);
  EXPECT_EQ(ListLines(list, list::kLines).size(), 10u);
}

TEST_F(FunctionListDialog, CancelLeavesTheDocumentAsItWas) {
  const std::vector<Function> document = ThreeFunctions();
  Program& p = StartOn(document);
  HWND list = OpenList();
  ASSERT_NE(list, nullptr);
  HWND dialog = EditLine(list, 0);
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(SetItemText(dialog, definition::kExpression, L"a*a"));
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDOK));
  ASSERT_TRUE(SelectLine(list, list::kLines, 1));
  ASSERT_TRUE(Click(list, list::kRemove));
  dialog = OpenDefinition(list, list::kAdd);
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(SetItemText(dialog, definition::kExpression, L"d"));
  ConfirmDefinition(dialog, list, 3);
  EXPECT_EQ(ListLines(list, list::kLines),
            Lines({L"■ y = a*a", L"■ y = c", L"■ y = d"}));
  ASSERT_TRUE(ClickAndWaitClosed(list, IDCANCEL));
  // Nothing changed, so closing asks nothing; the file is untouched.
  const std::string before = EncodeDocument(View(), document);
  EXPECT_EQ(ReadBytes(path_), std::optional<std::string>(before));
  EXPECT_EQ(p.Close(), std::optional<DWORD>(0));
  EXPECT_EQ(ReadBytes(path_), std::optional<std::string>(before));
}

// --- Graph settings
// -----------------------------------------------------------

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

TEST_F(SettingsDialog, ShowsTheViewAndStoresTheEditedRanges) {
  using namespace settings;
  StartOn({}, SomeView());
  HWND dialog = OpenSettings();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TEXT(ItemText(dialog, kXMin), L"-3");
  EXPECT_TEXT(ItemText(dialog, kXMax), L"7");
  EXPECT_TEXT(ItemText(dialog, kYMin), L"-2");
  EXPECT_TEXT(ItemText(dialog, kYMax), L"9");
  for (int field : {kXMin, kXMax, kYMin, kYMax})
    EXPECT_EQ(TextLimit(dialog, field), 4);
  EXPECT_EQ(ComboItems(dialog, kZoom),
            Lines({L"10", L"20", L"30", L"40", L"50", L"60", L"70", L"80",
                   L"90", L"100", L"120", L"150", L"200", L"250", L"300",
                   L"400", L"500", L"750", L"1000"}));
  const std::vector<std::wstring> widths =
      Lines({L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8", L"9", L"10"});
  EXPECT_EQ(ComboItems(dialog, kAxisWidth), widths);
  EXPECT_EQ(ComboItems(dialog, kGraphWidth), widths);
  EXPECT_EQ(ComboSelection(dialog, kZoom), std::optional<std::wstring>(L"250"));
  EXPECT_EQ(ComboSelection(dialog, kAxisWidth),
            std::optional<std::wstring>(L"4"));
  EXPECT_EQ(ComboSelection(dialog, kGraphWidth),
            std::optional<std::wstring>(L"1"));
  EXPECT_TRUE(IsChecked(dialog, kMarks));
  EXPECT_FALSE(IsChecked(dialog, kGrid));
  EXPECT_FALSE(IsChecked(dialog, kNone));
  EXPECT_EQ(ControlColour(dialog, kAxisColour), COLORREF(0x00123456));
  EXPECT_EQ(ControlColour(dialog, kTickColour), COLORREF(0x00C0C0C0));

  // Four characters can be typed; "5x" reads as 5.
  ASSERT_TRUE(SetItemText(dialog, kXMin, L""));
  ASSERT_TRUE(TypeText(dialog, kXMin, L"-9999"));
  EXPECT_TEXT(ItemText(dialog, kXMin), L"-999");
  ASSERT_TRUE(SetItemText(dialog, kXMin, L"5x"));
  ASSERT_TRUE(SetItemText(dialog, kXMax, L"5"));
  ExpectRefused(dialog, L"X の定義域が不正です。");
  ExpectFocus(dialog, kXMin);

  // abc and nothing read as 0.
  ASSERT_TRUE(SetItemText(dialog, kXMin, L"-1"));
  ASSERT_TRUE(SetItemText(dialog, kXMax, L"1"));
  ASSERT_TRUE(SetItemText(dialog, kYMin, L"abc"));
  ASSERT_TRUE(SetItemText(dialog, kYMax, L""));
  ExpectRefused(dialog, L"Y の定義域が不正です。");
  ExpectFocus(dialog, kYMin);

  ASSERT_TRUE(SetItemText(dialog, kYMin, L"-999"));
  ASSERT_TRUE(SetItemText(dialog, kYMax, L"9999"));
  ASSERT_TRUE(Click(dialog, kNone));
  ASSERT_TRUE(WaitFor([&] { return IsChecked(dialog, kNone); }));
  ASSERT_TRUE(SelectComboItem(dialog, kZoom, L"1000"));
  ASSERT_TRUE(SelectComboItem(dialog, kGraphWidth, L"10"));
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
  using namespace settings;
  View view;
  view.zoom = 110;
  view.axis_width = 11;
  view.graph_width = 0;
  view.tick_mode = 5;
  StartOn({}, view);
  HWND dialog = OpenSettings();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(ComboSelection(dialog, kZoom), std::nullopt);
  EXPECT_EQ(ComboSelection(dialog, kAxisWidth), std::nullopt);
  EXPECT_EQ(ComboSelection(dialog, kGraphWidth), std::nullopt);
  EXPECT_TRUE(IsChecked(dialog, kNone));
  HWND focus = FocusedControl(dialog);

  ExpectRefused(dialog, L"倍率を選択してください。");
  ASSERT_TRUE(SelectComboItem(dialog, kZoom, L"120"));
  ExpectRefused(dialog, L"軸の太さ選択してください。");
  ASSERT_TRUE(SelectComboItem(dialog, kAxisWidth, L"1"));
  ExpectRefused(dialog, L"グラフの太さ選択してください。");
  EXPECT_TRUE(WaitFor([&] { return FocusedControl(dialog) == focus; }, 2000));
  ASSERT_TRUE(SelectComboItem(dialog, kGraphWidth, L"2"));
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDOK));
  View expected = view;
  expected.zoom = 120;
  expected.axis_width = 1;
  expected.graph_width = 2;
  expected.tick_mode = 0;
  ExpectSaved({}, expected);
}

TEST_F(SettingsDialog, ColoursAreTakenOnlyByOk) {
  using namespace settings;
  Program& p = StartOn({}, SomeView());
  HWND dialog = OpenSettings();
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(ClickStatic(dialog, kAxisColour));
  HWND chooser = WaitColourDialog(p);
  ASSERT_NE(chooser, nullptr) << "no colour chooser";
  ASSERT_TRUE(AnswerColourDialog(chooser, RGB(0, 0x80, 0)));
  EXPECT_TRUE(WaitFor(
      [&] { return ControlColour(dialog, kAxisColour) == RGB(0, 0x80, 0); }));
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDCANCEL));
  ExpectSaved({}, SomeView());

  dialog = OpenSettings();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(ControlColour(dialog, kAxisColour), COLORREF(0x00123456));
  ASSERT_TRUE(ClickStatic(dialog, kTickColour));
  chooser = WaitColourDialog(p);
  ASSERT_NE(chooser, nullptr);
  ASSERT_TRUE(AnswerColourDialog(chooser, RGB(0xAB, 0xCD, 0xEF)));
  ASSERT_TRUE(ClickAndWaitClosed(dialog, IDOK));
  View expected = SomeView();
  expected.tick_colour = RGB(0xAB, 0xCD, 0xEF);
  ExpectSaved({}, expected);
}

// --- The save prompt, now that dialogs modify the document
// --------------------

using DialogSavePrompt = DialogTest;

TEST_F(DialogSavePrompt, ConfirmedDialogsAskBeforeClosing) {
  const std::string original = EncodeDocument(View(), {});
  std::string marked = original;
  marked[100] = 'M';  // reserved bytes: a save writes them as zero
  path_ = Put(L"doc.kvn", marked);
  Program& p = StartShown(path_);

  // OK without a change still marks the document modified.
  HWND list = OpenList();
  ASSERT_NE(list, nullptr);
  ASSERT_TRUE(ClickAndWaitClosed(list, IDOK));
  ASSERT_TRUE(PostMessageW(p.main_window(), WM_CLOSE, 0, 0));
  AnswerMessageBox(kCaption, L"変更されています。保存しますか。",
                   Icon::kWarning, {IDYES, IDNO, IDCANCEL}, IDCANCEL);
  EXPECT_FALSE(p.WaitExit(kQuietMs).has_value());
  EXPECT_EQ(ReadBytes(path_), std::optional<std::string>(marked));

  HWND settings_dialog = OpenSettings();
  ASSERT_NE(settings_dialog, nullptr);
  ASSERT_TRUE(ClickAndWaitClosed(settings_dialog, IDOK));
  ASSERT_TRUE(PostMessageW(p.main_window(), WM_CLOSE, 0, 0));
  AnswerMessageBox(kCaption, L"変更されています。保存しますか。",
                   Icon::kWarning, {IDYES, IDNO, IDCANCEL}, IDYES);
  EXPECT_EQ(p.WaitExit(), std::optional<DWORD>(0));
  EXPECT_EQ(ReadBytes(path_), std::optional<std::string>(original));
}

TEST_F(DialogSavePrompt, NewAnsweredNoDiscardsTheChanges) {
  Program& p = StartOn({Explicit(u"x", 0x0000FF)});
  HWND list = OpenList();
  ASSERT_NE(list, nullptr);
  ASSERT_TRUE(SelectLine(list, list::kLines, 0));
  ASSERT_TRUE(Click(list, list::kRemove));
  ASSERT_TRUE(ClickAndWaitClosed(list, IDOK));
  ASSERT_TRUE(p.PostCommand(kMenuNew));
  AnswerMessageBox(kCaption, L"変更されています。保存しますか。",
                   Icon::kWarning, {IDYES, IDNO, IDCANCEL}, IDNO);
  EXPECT_TEXT(p.WaitTitle(kUntitled), kUntitled);
  EXPECT_EQ(p.Close(), std::optional<DWORD>(0));
  EXPECT_EQ(ReadBytes(path_), std::optional<std::string>(EncodeDocument(
                                  View(), {Explicit(u"x", 0x0000FF)})));
}

}  // namespace
}  // namespace e2e
