// The fixture of the end-to-end tests: a fresh folder for documents, no
// stored window placement, one program instance that is always ended, and
// the program's own identifiers and texts.
#pragma once

#include <gtest/gtest.h>

#include "program_driver.h"
#include "resource.h"
#include "texts.h"

namespace e2e {

using namespace kurvana::text;

// A text of the program's catalogue (UTF-16, as wchar_t is here).
inline std::wstring T(const char16_t* text) {
  return reinterpret_cast<const wchar_t*>(text);
}
inline std::wstring Titled(const std::wstring& name) {
  return L"Kurvana - [" + name + L"]";
}
inline const std::wstring kUntitled = Titled(L"無題");
// Compared as UTF-8, which GoogleTest shows as text.
#define EXPECT_TEXT(actual, expected) \
  EXPECT_EQ(Narrow(actual), Narrow(expected))

// A message box as the user reads it, and the button that answers it.
struct Box {
  std::wstring text;
  Icon icon = kWarning;
  int answer = IDOK;
  std::set<int> buttons = {IDOK};
};

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteKeyTree(HKEY_CURRENT_USER, kPlacementKey);
    std::filesystem::remove_all(folder_);
    ASSERT_TRUE(std::filesystem::create_directories(folder_));
  }
  void TearDown() override {
    program_.reset();
    DeleteKeyTree(HKEY_CURRENT_USER, kPlacementKey);
    std::error_code error;
    std::filesystem::remove_all(folder_, error);
  }

  Program& Start(const std::wstring& tail, const std::wstring& exe = L"") {
    program_.reset();
    program_ = std::make_unique<Program>(tail, exe);
    EXPECT_TRUE(program_->started()) << "cannot start " << Narrow(exe);
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
  Program& program() { return *program_; }

  // The full path of `name` in the test's folder.
  std::wstring InFolder(const std::wstring& name) const {
    return (folder_ / name).wstring();
  }
  // Writes `name` in the test's folder, making its folders.
  std::wstring Put(const std::wstring& name, const std::string& bytes) {
    std::filesystem::create_directories((folder_ / name).parent_path());
    EXPECT_TRUE(WriteBytes(folder_ / name, bytes)) << Narrow(name);
    return InFolder(name);
  }
  std::wstring PutDocument(const std::wstring& name,
                           const std::vector<Function>& functions = {},
                           const View& view = View()) {
    return Put(name, EncodeDocument(view, functions));
  }

  // Opens a dialog of the program, told by a control only it has, by a
  // command or by a button of another dialog.
  HWND OpenDialog(int command, int control, HWND from = nullptr) {
    EXPECT_TRUE(from ? Click(from, command) : program_->PostCommand(command));
    HWND dialog = program_->WaitDialog(control);
    EXPECT_NE(dialog, nullptr) << "no dialog after command " << command;
    return dialog;
  }
  HWND WaitFileDialog(const char16_t* title) {
    HWND dialog = program_->WaitDialog(IDOK, T(title));
    EXPECT_NE(dialog, nullptr) << "no dialog " << Narrow(T(title));
    return dialog;
  }

  // Expects the message box and answers it.
  void Answer(const Box& expected) {
    const auto box = program_->WaitMessageBox();
    ASSERT_TRUE(box.has_value()) << "no message " << Narrow(expected.text);
    EXPECT_TEXT(box->caption, T(kApplicationName));
    EXPECT_TEXT(box->text, expected.text);
    EXPECT_EQ(box->icon, expected.icon);
    EXPECT_EQ(box->buttons, expected.buttons);
    EXPECT_TRUE(ClickAndWaitClosed(box->window, expected.answer));
  }
  // What was running has finished without a message box. No waiting: a
  // handler that shows one does not return until it is answered.
  void ExpectNoMessageBox() {
    EXPECT_TRUE(program_->Settle()) << "the program does not answer";
    for (HWND box : program_->MessageBoxes())
      ADD_FAILURE() << "unexpected message " << Narrow(ItemText(box, 0xFFFF));
  }
  void ExpectTitle(const std::wstring& title) {
    WaitFor([&] { return program_->Title() == title; });
    EXPECT_TEXT(program_->Title(), title);
  }

 private:
  const std::filesystem::path folder_ =
      std::filesystem::temp_directory_path() /
      ("kvn-e2e-" + std::to_string(GetCurrentProcessId()));
  std::unique_ptr<Program> program_;
};

}  // namespace e2e
