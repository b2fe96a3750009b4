// The fixture of the end-to-end tests: a fresh folder for documents, no
// stored window placement, one program instance that is always ended, and
// the program's own identifiers and texts.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <set>
#include <string>

#include "program_driver.h"
#include "resource.h"
#include "texts.h"

namespace e2e {

// A text of the program's catalogue (UTF-16, as wchar_t is here).
inline std::wstring T(const char16_t* text) {
  return reinterpret_cast<const wchar_t*>(text);
}
inline const std::wstring kCaption = T(kurvana::text::kApplicationName);
inline const std::wstring kUntitled = L"Kurvana - [無題]";
inline std::wstring Titled(const std::wstring& name) {
  return L"Kurvana - [" + name + L"]";
}

inline ::testing::AssertionResult SameText(const char* actual_expr,
                                           const char* expected_expr,
                                           const std::wstring& actual,
                                           const std::wstring& expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << actual_expr << " is \"" << Narrow(actual) << "\", expected "
         << expected_expr << " = \"" << Narrow(expected) << "\"";
}
#define EXPECT_TEXT(actual, expected) \
  EXPECT_PRED_FORMAT2(::e2e::SameText, actual, expected)

inline std::ostream& operator<<(std::ostream& out, Icon icon) {
  const char* names[] = {"none", "information", "warning", "error", "unknown"};
  return out << names[static_cast<int>(icon)];
}

// The program's dialogs, told by a control only they have.
inline HWND WaitListDialog(Program& p) {
  return p.WaitDialog(IDC_ADD_FUNCTION);
}
inline HWND WaitDefinitionDialog(Program& p) {
  return p.WaitDialog(IDC_EXPRESSION);
}
inline HWND WaitSettingsDialog(Program& p) { return p.WaitDialog(IDC_X_MIN); }
inline HWND WaitColourChooser(Program& p) { return p.WaitDialog(706); }
inline HWND WaitOpenDialog(Program& p) {
  return p.WaitDialog(IDOK, T(kurvana::text::kOpenTitle));
}
inline HWND WaitSaveDialog(Program& p) {
  return p.WaitDialog(IDOK, T(kurvana::text::kSaveAsTitle));
}

// A message box as the user reads it, and the button that answers it.
struct Box {
  std::wstring text;
  Icon icon = Icon::kWarning;
  int answer = IDOK;
  std::set<int> buttons = {IDOK};
};

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteKeyTree(HKEY_CURRENT_USER, kPlacementKey);
    ASSERT_FALSE(folder_.path().empty());
  }
  void TearDown() override {
    program_.reset();
    DeleteKeyTree(HKEY_CURRENT_USER, kPlacementKey);
  }

  Program& Start(const std::wstring& tail,
                 const std::wstring& exe = ProgramPath()) {
    program_.reset();
    program_ = std::make_unique<Program>(tail, exe);
    EXPECT_TRUE(program_->started()) << "cannot start " << Narrow(exe);
    return *program_;
  }
  Program& OpenThroughShell(const std::wstring& document) {
    program_.reset();
    program_ = std::make_unique<Program>(Program::ShellOpen{}, document);
    EXPECT_TRUE(program_->started()) << "cannot open " << Narrow(document);
    return *program_;
  }
  // Starts, answers the start-up's message boxes, and waits for the window.
  Program& StartShown(const std::wstring& tail,
                      const std::vector<Box>& boxes = {}) {
    Program& p = Start(tail);
    for (const Box& box : boxes) Answer(box);
    EXPECT_NE(p.WaitShown(), nullptr) << "no main window appeared";
    return p;
  }
  void Stop() { program_.reset(); }
  Program& program() { return *program_; }

  std::wstring Put(const std::wstring& relative, const std::string& bytes) {
    const std::wstring path = folder_.Put(relative, bytes);
    EXPECT_FALSE(path.empty()) << "cannot write " << Narrow(relative);
    return path;
  }
  std::wstring PutDocument(const std::wstring& relative,
                           const std::vector<Function>& functions = {},
                           const View& view = View()) {
    return Put(relative, EncodeDocument(view, functions));
  }

  // Expects the message box and answers it.
  void Answer(const Box& expected) {
    const auto box = program_->WaitMessageBox();
    ASSERT_TRUE(box.has_value())
        << "no message box \"" << Narrow(expected.text) << "\" appeared";
    EXPECT_TEXT(box->caption, kCaption);
    EXPECT_TEXT(box->text, expected.text);
    EXPECT_EQ(box->icon, expected.icon);
    EXPECT_EQ(box->buttons, expected.buttons);
    EXPECT_TRUE(ClickAndWaitClosed(box->window, expected.answer));
  }
  // What was running has finished without a message box. No waiting: a
  // handler that shows one does not return until it is answered.
  void ExpectNoMessageBox() {
    EXPECT_TRUE(program_->Settle()) << "the program does not answer";
    for (const MessageBoxView& box : program_->MessageBoxes())
      ADD_FAILURE() << "unexpected message box \"" << Narrow(box.text) << "\"";
  }

  TempFolder folder_;

 private:
  std::unique_ptr<Program> program_;
};

}  // namespace e2e
