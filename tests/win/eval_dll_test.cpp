// What only a Windows caller of eval.dll meets: the exports found by their
// plain names and called as __stdcall functions at any stack alignment, the
// Japanese string table of the module, and the process code page the run
// was meant to have.  The library's behaviour itself is checked by the eval
// tables, which this build runs against the DLL.
//
// Options after GoogleTest's: --expect-acp N fails unless the process code
// page is N; --reject-acp N fails if it is N (so a run meant to test another
// code page cannot silently test the Japanese one).
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

namespace {

// Every export with the number of 32-bit arguments it takes, which a
// __stdcall function removes from the stack itself.
constexpr struct {
  const char* name;
  int arguments;
} kExports[] = {{"CreateFunctionA", 1},         {"CreateFunctionW", 1},
                {"CompileDFunction", 2},        {"CompileIFunction", 3},
                {"CalculateDFunction", 2},      {"CalculateIFunction", 2},
                {"DeleteFunction", 1},          {"GetLastErrorByFunctionA", 4},
                {"GetLastErrorByFunctionW", 4}, {"CalculateDInDirectA", 5},
                {"CalculateDInDirectW", 5},     {"CalculateIInDirectA", 6},
                {"CalculateIInDirectW", 6},     {"GetEvalVersionInfo", 0}};

// The module's message string table, language 1041, from id 2 on.
// clang-format off
constexpr const wchar_t* kStringTable[] = {
    L"小数点の数が多すぎます。", L"認識できない文字コードがあります。",
    L"不正な種類のデータがあります。", L"データがありません。",
    L"不正な括弧です。", L"演算子が不正です。", L"不正な値です。",
    L"関数の後に括弧が必要です。", L"無意味な括弧です。",
    L"不正な最終文字です。", L"括弧の数が合いません。",
    L"変数は使用できません。", L"式がありません。", L"0で除算しました。",
    L"log 0 は定義できません。", L"既にコンパイル済みです。",
    L"サポートされていません。", L"コンパイルされていません。",
    L"オーバーフローしました。", L"識別子が不正です。",
    L"数値の次は演算子か括弧閉じが必要です。",
    L"定義域外の値を指定しました。",
    L"整数で演算できない式が含まれています。"};
// clang-format on

}  // namespace

// Calls |function| with |count| 32-bit arguments on a stack whose pointer at
// the call instruction is 16 * n + |skew|, stores its EAX into *|result| and
// returns how many bytes of arguments the callee left on the stack.
extern "C" int32_t CallWithStack(const void* function,
                                 const uint32_t* arguments, int32_t count,
                                 int32_t skew, int32_t* result);
asm(R"(
    .text
    .globl _CallWithStack
_CallWithStack:
    pushl %ebp
    movl %esp, %ebp
    pushl %esi
    pushl %edi
    pushl %ebx
    movl 16(%ebp), %ecx
    leal (,%ecx,4), %eax
    addl 20(%ebp), %eax
    negl %eax
    andl $15, %eax
    andl $-16, %esp
    subl %eax, %esp
    movl %esp, %esi
    movl 12(%ebp), %edi
1:  testl %ecx, %ecx
    jz 2f
    decl %ecx
    pushl (%edi,%ecx,4)
    jmp 1b
2:  call *8(%ebp)
    movl 24(%ebp), %ecx
    movl %eax, (%ecx)
    movl %esi, %eax
    subl %esp, %eax
    leal -12(%ebp), %esp
    popl %ebx
    popl %edi
    popl %esi
    popl %ebp
    ret
)");

namespace {

// The names in the module's export directory.
std::set<std::string> ExportedNames(HMODULE module) {
  std::set<std::string> names;
  const auto* base = reinterpret_cast<const BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt =
      reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& entry =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  if (entry.VirtualAddress == 0) return names;
  const auto* directory = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(
      base + entry.VirtualAddress);
  const auto* name_offsets =
      reinterpret_cast<const DWORD*>(base + directory->AddressOfNames);
  for (DWORD i = 0; i < directory->NumberOfNames; ++i) {
    names.insert(reinterpret_cast<const char*>(base + name_offsets[i]));
  }
  return names;
}

// Returns the string |id| of the RT_STRING block in |language|, or an empty
// string with *found false.
std::wstring LoadTableString(HMODULE module, UINT id, WORD language,
                             bool* found) {
  *found = false;
  const LPCWSTR string_type = MAKEINTRESOURCEW(6);  // RT_STRING
  HRSRC resource = FindResourceExW(module, string_type,
                                   MAKEINTRESOURCEW(id / 16 + 1), language);
  if (!resource) return {};
  HGLOBAL loaded = LoadResource(module, resource);
  const auto* units = static_cast<const WCHAR*>(LockResource(loaded));
  const DWORD size = SizeofResource(module, resource) / sizeof(WCHAR);
  if (!units) return {};
  DWORD at = 0;
  for (UINT index = 0; index < 16 && at < size; ++index) {
    const DWORD length = units[at++];
    if (at + length > size) return {};
    if (index == id % 16) {
      *found = true;
      return std::wstring(units + at, length);
    }
    at += length;
  }
  return {};
}

HMODULE Library() {
  static HMODULE module = LoadLibraryW(L"eval.dll");
  return module;
}

int argc_ = 0;
char** argv_ = nullptr;

TEST(EvalDll, ExportsExactlyTheFourteenPlainNames) {
  ASSERT_NE(Library(), nullptr) << GetLastError();
  std::set<std::string> expected;
  for (const auto& info : kExports) {
    expected.insert(info.name);
    EXPECT_NE(GetProcAddress(Library(), info.name), nullptr) << info.name;
  }
  EXPECT_EQ(ExportedNames(Library()), expected);
}

// Null arguments are valid for every export, so each can be called with
// zeros to see that it removes exactly its own arguments from the stack,
// whatever the alignment the caller left.
TEST(EvalDll, EveryExportIsStdcallAtEveryStackAlignment) {
  const uint32_t zeros[8] = {};
  for (const auto& info : kExports) {
    const void* function =
        reinterpret_cast<const void*>(GetProcAddress(Library(), info.name));
    ASSERT_NE(function, nullptr) << info.name;
    for (int32_t skew = 0; skew < 16; skew += 4) {
      int32_t result = -1;
      EXPECT_EQ(CallWithStack(function, zeros, info.arguments, skew, &result),
                0)
          << info.name << " skew " << skew;
      EXPECT_EQ(result,
                std::strcmp(info.name, "GetEvalVersionInfo") == 0 ? 0x10001 : 0)
          << info.name;
    }
  }
}

// Real evaluation from callers that keep the stack only 4-byte aligned.
TEST(EvalDll, RealEvaluationAtEveryStackAlignment) {
  static const char kText[] = "sqrt(2)*sin(1)+2^0.5/cosh(0.25)";
  const double expected =
      std::sqrt(2.0) * std::sin(1.0) + std::pow(2.0, 0.5) / std::cosh(0.25);
  const void* function = reinterpret_cast<const void*>(
      GetProcAddress(Library(), "CalculateDInDirectA"));
  ASSERT_NE(function, nullptr);
  for (int32_t skew = 0; skew < 16; skew += 4) {
    double value = 0;
    int32_t code = -1, position = -1, result = 0;
    char message[40];
    const uint32_t arguments[5] = {reinterpret_cast<uint32_t>(kText),
                                   reinterpret_cast<uint32_t>(&value),
                                   reinterpret_cast<uint32_t>(&code),
                                   reinterpret_cast<uint32_t>(&position),
                                   reinterpret_cast<uint32_t>(message)};
    EXPECT_EQ(CallWithStack(function, arguments, 5, skew, &result), 0);
    EXPECT_EQ(result, 1) << "skew " << skew;
    EXPECT_NEAR(value, expected, 1e-12) << "skew " << skew;
  }
}

TEST(EvalDll, StringTableHoldsTheMessages) {
  const WORD japanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
  for (UINT id = 2; id < 2 + std::size(kStringTable); ++id) {
    bool found = false;
    EXPECT_EQ(LoadTableString(Library(), id, japanese, &found),
              kStringTable[id - 2]);
    EXPECT_TRUE(found) << id;
  }
}

TEST(EvalDll, ProcessCodePageIsTheOneAskedFor) {
  const UINT acp = GetACP();
  for (int i = 1; i + 1 < argc_; i += 2) {
    const UINT value =
        static_cast<UINT>(std::strtoul(argv_[i + 1], nullptr, 10));
    if (std::strcmp(argv_[i], "--expect-acp") == 0) {
      EXPECT_EQ(acp, value);
    } else if (std::strcmp(argv_[i], "--reject-acp") == 0) {
      EXPECT_NE(acp, value);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  argc_ = argc;
  argv_ = argv;
  return RUN_ALL_TESTS();
}
