// Shared fixture of the end-to-end tests: a fresh folder for documents, no
// stored window placement, and one program instance that is always ended.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <ostream>
#include <set>
#include <string>

#include "documents.h"
#include "driver.h"

namespace e2e {

// Texts of the program.
inline const std::wstring kCaption = L"Kurvana";
inline const std::wstring kUntitled = L"Kurvana - [無題]";
inline const std::wstring kOpenTitle = L"ファイルを開く";
inline const std::wstring kSaveTitle = L"名前を付けて保存";

// Command identifiers (menu, accelerator, toolbar).
enum Command : int {
  kExit = 40001,
  kFunctionList = 40002,
  kRecalculate = 40004,
  kRedraw = 40005,
  kOpen = 40006,
  kSave = 40007,
  kSaveAs = 40008,
  kNew = 40009,
  kAbout = 40010,
  kCopy = 40011,
  kAccelSave = 40012,
  kAccelCopy = 40013,
  kAccelRecalculate = 40016,
  kToolNew = 10001,
  kToolOpen = 10002,
  kToolSave = 10003,
};

inline std::string Narrow(const std::wstring& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size())
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | c >> 6);
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | c >> 12);
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | c >> 18);
      out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// Failure messages show wide texts readably.
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
#define ASSERT_TEXT(actual, expected) \
  ASSERT_PRED_FORMAT2(::e2e::SameText, actual, expected)

inline std::ostream& operator<<(std::ostream& out, Icon icon) {
  return out << IconName(icon);
}

inline std::string Hex(COLORREF colour) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%06lX",
                static_cast<unsigned long>(colour));
  return text;
}

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteKeyTree(HKEY_CURRENT_USER, kPlacementKey);
    ASSERT_TRUE(folder_.ok());
  }
  void TearDown() override {
    program_.reset();
    DeleteKeyTree(HKEY_CURRENT_USER, kPlacementKey);
  }

  // Starts the program with `tail`; the test fails when it cannot start.
  Program& Start(const std::wstring& tail,
                 const std::wstring& exe = ProgramPath()) {
    program_.reset();
    program_ = std::make_unique<Program>(tail, exe);
    EXPECT_TRUE(program_->started()) << "cannot start " << Narrow(exe);
    return *program_;
  }
  // Opens `document` as a double click in the shell does.
  Program& OpenThroughShell(const std::wstring& document) {
    program_.reset();
    program_ = std::make_unique<Program>(Program::ShellOpen{}, document);
    EXPECT_TRUE(program_->started()) << "cannot open " << Narrow(document);
    return *program_;
  }
  // Starts the program and waits until its window is shown.
  Program& StartShown(const std::wstring& tail) {
    Program& program = Start(tail);
    EXPECT_NE(program.WaitShown(), nullptr) << "no main window appeared";
    return program;
  }
  // Ends the running instance (closing it, terminating it if it hangs).
  void Stop() { program_.reset(); }

  Program& program() { return *program_; }

  // Writes a document into the test's folder; returns its full path.
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

  // Expects one message box with these texts, icon and buttons, and
  // answers it with `answer`.
  void AnswerMessageBox(const std::wstring& caption, const std::wstring& text,
                        Icon icon, std::set<int> buttons, int answer) {
    auto box = program().WaitMessageBox();
    ASSERT_TRUE(box.has_value())
        << "no message box \"" << Narrow(text) << "\" appeared";
    EXPECT_TEXT(box->caption, caption);
    EXPECT_TEXT(box->text, text);
    EXPECT_EQ(box->icon, icon);
    EXPECT_EQ(box->buttons, buttons);
    EXPECT_TRUE(ClickAndWaitClosed(box->window, answer));
  }

  // Expects that no message box shows up for a short while.
  void ExpectNoMessageBox() {
    std::vector<MessageBoxView> boxes;
    WaitFor([&] { return !(boxes = program().MessageBoxes()).empty(); },
            kQuietMs);
    for (const MessageBoxView& box : boxes)
      ADD_FAILURE() << "unexpected message box \"" << Narrow(box.caption)
                    << "\": \"" << Narrow(box.text) << "\"";
  }

  TempFolder folder_;

 private:
  std::unique_ptr<Program> program_;
};

// A visible explicit function y = `expression` in `colour`.
inline Function Explicit(const std::u16string& expression, uint32_t colour,
                         bool visible = true, int32_t density = 3) {
  Function f;
  f.expression = expression;
  f.colour = colour;
  f.flags = visible ? 1 : 0;
  f.density = density;
  return f;
}

}  // namespace e2e
