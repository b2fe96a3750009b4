// What only a Windows caller of eval.dll meets: plain export names, __stdcall
// at any stack alignment, the Japanese string table, and narrow messages in
// Shift-JIS whatever the process code page.  The eval tables check the rest.
#include <gtest/gtest.h>
#include <windows.h>
// windows.h first
#include <dbghelp.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "eval.h"

// Calls |function| with |count| 32-bit arguments, the stack pointer at the
// call being 16 * n + |skew|.  Returns the callee's EAX in the low half and
// how many bytes of arguments it left on the stack in the high half.
extern "C" uint64_t CallWithStack(const void* function,
                                  const uint32_t* arguments, int32_t count,
                                  int32_t skew);
asm(R"(
    .text
    .globl _CallWithStack
_CallWithStack:
    pushl %ebp
    movl %esp, %ebp
    pushl %esi
    movl 16(%ebp), %ecx
    leal (,%ecx,4), %eax
    addl 20(%ebp), %eax
    negl %eax
    andl $15, %eax
    andl $-16, %esp
    subl %eax, %esp
    movl %esp, %esi
    movl 12(%ebp), %edx
1:  decl %ecx
    js 2f
    pushl (%edx,%ecx,4)
    jmp 1b
2:  call *8(%ebp)
    movl %esi, %edx
    subl %esp, %edx
    leal -4(%ebp), %esp
    popl %esi
    popl %ebp
    ret
)");

namespace {

const HMODULE kLibrary = GetModuleHandleW(L"eval.dll");

const void* Export(const char* name) {
  return reinterpret_cast<const void*>(GetProcAddress(kLibrary, name));
}

uint32_t Address(const void* pointer) {
  return reinterpret_cast<uint32_t>(pointer);
}

// Every export with the number of 32-bit arguments it pops.
constexpr std::pair<const char*, int32_t> kExports[] = {
    {"CreateFunctionA", 1},         {"CreateFunctionW", 1},
    {"CompileDFunction", 2},        {"CompileIFunction", 3},
    {"CalculateDFunction", 2},      {"CalculateIFunction", 2},
    {"DeleteFunction", 1},          {"GetLastErrorByFunctionA", 4},
    {"GetLastErrorByFunctionW", 4}, {"CalculateDInDirectA", 5},
    {"CalculateDInDirectW", 5},     {"CalculateIInDirectA", 6},
    {"CalculateIInDirectW", 6},     {"GetEvalVersionInfo", 0}};

// The module exports these names alone.  Each export, called with null
// arguments (valid for all), and a real evaluation pop exactly their own
// arguments and answer alike at every stack alignment a caller may leave.
TEST(EvalDll, ExportsArePlainStdcallFunctionsAtAnyAlignment) {
  ULONG size = 0;
  const auto* directory =
      static_cast<const IMAGE_EXPORT_DIRECTORY*>(ImageDirectoryEntryToData(
          kLibrary, TRUE, IMAGE_DIRECTORY_ENTRY_EXPORT, &size));
  ASSERT_NE(directory, nullptr) << GetLastError();
  EXPECT_EQ(directory->NumberOfNames, std::size(kExports));
  const double expected =
      std::sqrt(2.0) * std::sin(1.0) + std::pow(2.0, 0.5) / std::cosh(0.25);
  const uint32_t none[6] = {};
  for (int32_t skew = 0; skew < 16; skew += 4) {
    for (const auto& [name, count] : kExports) {
      ASSERT_NE(Export(name), nullptr) << name;
      EXPECT_EQ(CallWithStack(Export(name), none, count, skew),
                std::strcmp(name, "GetEvalVersionInfo") ? 0u : EVAL_VERSION)
          << name << " skew " << skew;
    }
    double value = 0;
    int32_t code, position;
    char message[EVAL_MESSAGE_BYTES];
    const uint32_t real[] = {Address("sqrt(2)*sin(1)+2^0.5/cosh(0.25)"),
                             Address(&value), Address(&code),
                             Address(&position), Address(message)};
    EXPECT_EQ(CallWithStack(Export("CalculateDInDirectA"), real, 5, skew), 1u)
        << "skew " << skew;
    EXPECT_NEAR(value, expected, 1e-12) << "skew " << skew;
  }
}

// String |id| of the module's table, which is Japanese.
std::wstring Resource(UINT id) {
  EXPECT_NE(FindResourceExW(kLibrary, RT_STRING, MAKEINTRESOURCEW(id / 16 + 1),
                            MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)),
            nullptr);
  const wchar_t* text = nullptr;
  const int length =
      LoadStringW(kLibrary, id, reinterpret_cast<LPWSTR>(&text), 0);
  return std::wstring(text ? text : L"", length);
}

// String ids 2 to 24 hold the messages, each the library's wide message of
// that code; the narrow one is its Shift-JIS whatever the process code page,
// which must be 932 exactly when LANG is Japanese.  (The eval tables run in
// both code pages too.)
TEST(EvalDll, StringTableAndNarrowMessagesInEitherCodePage) {
  const char* lang = std::getenv("LANG");
  EXPECT_EQ(GetACP() == 932, lang && std::strncmp(lang, "ja_JP", 5) == 0);
  for (UINT id = 2; id <= 24; ++id) EXPECT_NE(Resource(id), L"") << id;
  const std::pair<const char*, int32_t> rows[] = {
      {"1..2", 2}, {"", 5}, {"1/0", 15}, {"log(0)", 16}, {"1 2", 22}};
  for (const auto& [text, code] : rows) {
    double value;
    int32_t narrow_code = 0, wide_code = 0, position;
    char narrow[EVAL_MESSAGE_BYTES] = "", expected[EVAL_MESSAGE_BYTES] = "";
    EvalWideChar wide[EVAL_MESSAGE_UNITS] = L"";
    const std::wstring wide_text(text, text + std::strlen(text));
    CalculateDInDirectA(text, &value, &narrow_code, &position, narrow);
    CalculateDInDirectW(wide_text.c_str(), &value, &wide_code, &position, wide);
    WideCharToMultiByte(932, 0, wide, -1, expected, sizeof expected, nullptr,
                        nullptr);
    EXPECT_EQ(narrow_code, code);
    EXPECT_EQ(wide_code, code);
    EXPECT_EQ(Resource(code), wide);
    EXPECT_STREQ(narrow, expected) << code;
  }
}

}  // namespace
