// Checks eval.dll the way a Windows caller meets it: loaded by name, its
// exports found by their plain names and called as __stdcall functions,
// with the stack alignments that other compilers' callers leave, and its
// Japanese string table read from the module.
//
// Options: --expect-acp N fails unless the process code page is N;
// --reject-acp N fails if it is N (so a run meant to test a non-Japanese
// code page cannot silently test the Japanese one).
#include <windows.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <set>
#include <string>

namespace {

using Handle = void*;
using CreateFunctionAFn = Handle(__stdcall*)(const char*);
using CreateFunctionWFn = Handle(__stdcall*)(const wchar_t*);
using CompileDFunctionFn = int32_t(__stdcall*)(Handle, const double*);
using CompileIFunctionFn = int32_t(__stdcall*)(Handle, const int32_t*, int32_t);
using CalculateDFunctionFn = int32_t(__stdcall*)(Handle, double*);
using CalculateIFunctionFn = int32_t(__stdcall*)(Handle, int32_t*);
using DeleteFunctionFn = int32_t(__stdcall*)(Handle);
using GetLastErrorByFunctionAFn = int32_t(__stdcall*)(Handle, int32_t*,
                                                      int32_t*, char*);
using GetLastErrorByFunctionWFn = int32_t(__stdcall*)(Handle, int32_t*,
                                                      int32_t*, wchar_t*);
using CalculateDInDirectAFn = int32_t(__stdcall*)(const char*, double*,
                                                  int32_t*, int32_t*, char*);
using CalculateDInDirectWFn = int32_t(__stdcall*)(const wchar_t*, double*,
                                                  int32_t*, int32_t*, wchar_t*);
using CalculateIInDirectAFn = int32_t(__stdcall*)(const char*, int32_t*,
                                                  int32_t, int32_t*, int32_t*,
                                                  char*);
using CalculateIInDirectWFn = int32_t(__stdcall*)(const wchar_t*, int32_t*,
                                                  int32_t, int32_t*, int32_t*,
                                                  wchar_t*);
using GetEvalVersionInfoFn = int32_t(__stdcall*)();

// Every export with the number of 32-bit arguments it takes, which a
// __stdcall function removes from the stack itself.
struct ExportInfo {
  const char* name;
  int arguments;
};
constexpr ExportInfo kExports[] = {
    {"CreateFunctionA", 1},         {"CreateFunctionW", 1},
    {"CompileDFunction", 2},        {"CompileIFunction", 3},
    {"CalculateDFunction", 2},      {"CalculateIFunction", 2},
    {"DeleteFunction", 1},          {"GetLastErrorByFunctionA", 4},
    {"GetLastErrorByFunctionW", 4}, {"CalculateDInDirectA", 5},
    {"CalculateDInDirectW", 5},     {"CalculateIInDirectA", 6},
    {"CalculateIInDirectW", 6},     {"GetEvalVersionInfo", 0},
};

struct Library {
  HMODULE module = nullptr;
  CreateFunctionAFn CreateFunctionA = nullptr;
  CreateFunctionWFn CreateFunctionW = nullptr;
  CompileDFunctionFn CompileDFunction = nullptr;
  CompileIFunctionFn CompileIFunction = nullptr;
  CalculateDFunctionFn CalculateDFunction = nullptr;
  CalculateIFunctionFn CalculateIFunction = nullptr;
  DeleteFunctionFn DeleteFunction = nullptr;
  GetLastErrorByFunctionAFn GetLastErrorByFunctionA = nullptr;
  GetLastErrorByFunctionWFn GetLastErrorByFunctionW = nullptr;
  CalculateDInDirectAFn CalculateDInDirectA = nullptr;
  CalculateDInDirectWFn CalculateDInDirectW = nullptr;
  CalculateIInDirectAFn CalculateIInDirectA = nullptr;
  CalculateIInDirectWFn CalculateIInDirectW = nullptr;
  GetEvalVersionInfoFn GetEvalVersionInfo = nullptr;
};

// Shift-JIS bytes of "不正な最終文字です。", the message of code 11.
constexpr char kLastCharacterNarrow[] =
    "\x95s\x90\xB3\x82\xC8\x8D\xC5\x8FI\x95\xB6\x8E\x9A\x82\xC5\x82\xB7\x81"
    "B";
// Shift-JIS bytes of "整数で演算できない式が含まれています。", code 24.
constexpr char kNotIntegerNarrow[] =
    "\x90\xAE\x90\x94\x82\xC5\x89\x89\x8EZ\x82\xC5\x82\xAB\x82\xC8\x82\xA2"
    "\x8E\xAE\x82\xAA\x8A\xDC\x82\xDC\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB7"
    "\x81"
    "B";

// The message string table of the library, language 1041.
struct StringEntry {
  UINT id;
  const wchar_t* text;
};
constexpr StringEntry kStringTable[] = {
    {2, L"小数点の数が多すぎます。"},
    {3, L"認識できない文字コードがあります。"},
    {4, L"不正な種類のデータがあります。"},
    {5, L"データがありません。"},
    {6, L"不正な括弧です。"},
    {7, L"演算子が不正です。"},
    {8, L"不正な値です。"},
    {9, L"関数の後に括弧が必要です。"},
    {10, L"無意味な括弧です。"},
    {11, L"不正な最終文字です。"},
    {12, L"括弧の数が合いません。"},
    {13, L"変数は使用できません。"},
    {14, L"式がありません。"},
    {15, L"0で除算しました。"},
    {16, L"log 0 は定義できません。"},
    {17, L"既にコンパイル済みです。"},
    {18, L"サポートされていません。"},
    {19, L"コンパイルされていません。"},
    {20, L"オーバーフローしました。"},
    {21, L"識別子が不正です。"},
    {22, L"数値の次は演算子か括弧閉じが必要です。"},
    {23, L"定義域外の値を指定しました。"},
    {24, L"整数で演算できない式が含まれています。"},
};

constexpr int kVariableCount = 26;
constexpr int kSlotX = 23;
constexpr int kSlotY = 24;
constexpr size_t kMessageBytes = 40;
constexpr size_t kMessageUnits = 21;
constexpr unsigned char kGuard = 0xCC;

int passed = 0;
int failed = 0;

bool Check(bool ok, const char* what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what);
  ok ? ++passed : ++failed;
  return ok;
}

// A message buffer of the documented size followed by guard bytes, so that
// a copy longer than the buffer shows.
template <class Unit, size_t kUnits>
struct GuardedBuffer {
  Unit text[kUnits];
  unsigned char guard[16];
  GuardedBuffer() {
    std::memset(text, kGuard, sizeof text);
    std::memset(guard, kGuard, sizeof guard);
  }
  bool GuardIntact() const {
    for (unsigned char byte : guard) {
      if (byte != kGuard) return false;
    }
    return true;
  }
};
using NarrowMessage = GuardedBuffer<char, kMessageBytes>;
using WideMessage = GuardedBuffer<wchar_t, kMessageUnits>;

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

template <class Fn>
bool Resolve(HMODULE module, const char* name, Fn& slot) {
  slot = reinterpret_cast<Fn>(
      reinterpret_cast<void*>(GetProcAddress(module, name)));
  return slot != nullptr;
}

bool LoadLibraryExports(Library& library) {
  library.module = LoadLibraryW(L"eval.dll");
  if (!Check(library.module != nullptr, "LoadLibraryW(L\"eval.dll\")")) {
    std::printf("     GetLastError() = %lu\n", GetLastError());
    return false;
  }
  HMODULE m = library.module;
  bool all =
      Resolve(m, "CreateFunctionA", library.CreateFunctionA) &
      Resolve(m, "CreateFunctionW", library.CreateFunctionW) &
      Resolve(m, "CompileDFunction", library.CompileDFunction) &
      Resolve(m, "CompileIFunction", library.CompileIFunction) &
      Resolve(m, "CalculateDFunction", library.CalculateDFunction) &
      Resolve(m, "CalculateIFunction", library.CalculateIFunction) &
      Resolve(m, "DeleteFunction", library.DeleteFunction) &
      Resolve(m, "GetLastErrorByFunctionA", library.GetLastErrorByFunctionA) &
      Resolve(m, "GetLastErrorByFunctionW", library.GetLastErrorByFunctionW) &
      Resolve(m, "CalculateDInDirectA", library.CalculateDInDirectA) &
      Resolve(m, "CalculateDInDirectW", library.CalculateDInDirectW) &
      Resolve(m, "CalculateIInDirectA", library.CalculateIInDirectA) &
      Resolve(m, "CalculateIInDirectW", library.CalculateIInDirectW) &
      Resolve(m, "GetEvalVersionInfo", library.GetEvalVersionInfo);
  return Check(all, "GetProcAddress finds all fourteen plain names");
}

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

void TestExportTable(const Library& library) {
  std::set<std::string> expected;
  for (const ExportInfo& info : kExports) expected.insert(info.name);
  std::set<std::string> actual = ExportedNames(library.module);
  if (!Check(actual == expected,
             "the export table holds exactly the fourteen names")) {
    for (const std::string& name : actual) {
      std::printf("     exported: %s\n", name.c_str());
    }
  }
}

// Null arguments are valid for every export, so each can be called with
// zeros to see that it removes exactly its own arguments from the stack,
// whatever the alignment the caller left.
void TestCallingConvention(const Library& library) {
  const uint32_t zeros[8] = {};
  bool balanced = true;
  bool refused = true;
  for (const ExportInfo& info : kExports) {
    const void* function = reinterpret_cast<const void*>(
        GetProcAddress(library.module, info.name));
    if (!function) continue;
    for (int32_t skew = 0; skew < 16; skew += 4) {
      int32_t result = -1;
      int32_t left =
          CallWithStack(function, zeros, info.arguments, skew, &result);
      if (left != 0) {
        std::printf("     %s left %d bytes on the stack\n", info.name,
                    static_cast<int>(left));
        balanced = false;
      }
      int32_t expected =
          std::strcmp(info.name, "GetEvalVersionInfo") == 0 ? 0x10001 : 0;
      if (result != expected) {
        std::printf("     %s(null...) returned %d\n", info.name,
                    static_cast<int>(result));
        refused = false;
      }
    }
  }
  Check(balanced, "every export removes its own arguments (__stdcall)");
  Check(refused, "every export refuses null arguments with 0");
}

// Real evaluation from callers that keep the stack only 4-byte aligned.
void TestMisalignedStack(const Library& library) {
  static const char kText[] = "sqrt(2)*sin(1)+2^0.5/cosh(0.25)";
  const double expected =
      std::sqrt(2.0) * std::sin(1.0) + std::pow(2.0, 0.5) / std::cosh(0.25);
  bool all = true;
  for (int32_t skew = 0; skew < 16; skew += 4) {
    double value = 0;
    int32_t code = -1, position = -1;
    NarrowMessage message;
    const uint32_t arguments[5] = {reinterpret_cast<uint32_t>(kText),
                                   reinterpret_cast<uint32_t>(&value),
                                   reinterpret_cast<uint32_t>(&code),
                                   reinterpret_cast<uint32_t>(&position),
                                   reinterpret_cast<uint32_t>(message.text)};
    int32_t result = 0;
    int32_t left = CallWithStack(
        reinterpret_cast<const void*>(library.CalculateDInDirectA), arguments,
        5, skew, &result);
    if (left != 0 || result != 1 || std::fabs(value - expected) > 1e-12) {
      std::printf("     stack skew %d: returned %d, value %.17g\n",
                  static_cast<int>(skew), static_cast<int>(result), value);
      all = false;
    }
  }
  Check(all, "real evaluation works at every stack alignment");
}

void TestVersion(const Library& library) {
  Check(library.GetEvalVersionInfo() == 65537, "GetEvalVersionInfo() == 65537");
}

void TestRealFunction(const Library& library) {
  double variables[kVariableCount] = {};
  Handle function = library.CreateFunctionA("x*2");
  if (!Check(function != nullptr, "CreateFunctionA(\"x*2\")")) return;
  Check(library.CompileDFunction(function, variables) == 1,
        "CompileDFunction binds a caller area");
  double result = 0;
  variables[kSlotX] = 21;
  Check(library.CalculateDFunction(function, &result) == 1 && result == 42,
        "x*2 with x (slot 23) = 21 gives 42");
  variables[kSlotX] = -1.25;
  Check(library.CalculateDFunction(function, &result) == 1 && result == -2.5,
        "x*2 reads the area again: x = -1.25 gives -2.5");
  int32_t code = -1, position = -1;
  Check(library.CompileDFunction(function, variables) == 0 &&
            library.GetLastErrorByFunctionA(function, &code, &position,
                                            nullptr) == 1 &&
            code == 17 && position == 0,
        "a second compile fails with code 17");
  Check(library.DeleteFunction(function) == 1, "DeleteFunction");
}

void TestIntegerFunction(const Library& library) {
  int32_t variables[kVariableCount] = {};
  Handle function = library.CreateFunctionW(L"x*y+7");
  if (!Check(function != nullptr, "CreateFunctionW(L\"x*y+7\")")) return;
  Check(library.CompileIFunction(function, variables, 0) == 1,
        "CompileIFunction binds a caller area");
  variables[kSlotX] = 6;
  variables[kSlotY] = -7;
  int32_t result = 0;
  Check(library.CalculateIFunction(function, &result) == 1 && result == -35,
        "x*y+7 with x = 6, y = -7 gives -35");
  library.DeleteFunction(function);
}

void TestCompileError(const Library& library) {
  Handle function = library.CreateFunctionA("1+");
  if (!Check(function != nullptr, "CreateFunctionA(\"1+\")")) return;
  Check(library.CompileDFunction(function, nullptr) == 0,
        "CompileDFunction(\"1+\") fails");

  int32_t code = -1, position = -1;
  NarrowMessage narrow;
  Check(library.GetLastErrorByFunctionA(function, &code, &position,
                                        narrow.text) == 1,
        "GetLastErrorByFunctionA returns 1");
  Check(code == 11 && position == 1, "\"1+\" fails with code 11 at 1");
  Check(std::strcmp(narrow.text, kLastCharacterNarrow) == 0 &&
            narrow.GuardIntact(),
        "narrow message is the Shift-JIS text of code 11");

  code = position = -1;
  WideMessage wide;
  Check(library.GetLastErrorByFunctionW(function, &code, &position,
                                        wide.text) == 1 &&
            code == 11 && position == 1,
        "GetLastErrorByFunctionW reports code 11 at 1");
  Check(std::wcscmp(wide.text, L"不正な最終文字です。") == 0 &&
            wide.GuardIntact(),
        "wide message is the UTF-16 text of code 11");
  library.DeleteFunction(function);
}

void TestOneShot(const Library& library) {
  double real = 0;
  int32_t code = -1, position = -1;
  NarrowMessage narrow;
  Check(library.CalculateDInDirectA("2*3", &real, &code, &position,
                                    narrow.text) == 1 &&
            real == 6,
        "CalculateDInDirectA(\"2*3\") gives 6");

  int32_t integer = 0;
  Check(library.CalculateIInDirectA("7/2", &integer, 1, &code, &position,
                                    narrow.text) == 1 &&
            integer == 3,
        "CalculateIInDirectA(\"7/2\", divide allowed) gives 3");

  code = position = -1;
  Check(library.CalculateIInDirectA("7/2", &integer, 0, &code, &position,
                                    narrow.text) == 0 &&
            code == 24 && std::strcmp(narrow.text, kNotIntegerNarrow) == 0 &&
            narrow.GuardIntact(),
        "CalculateIInDirectA(\"7/2\") without options fails with code 24");

  code = position = -1;
  WideMessage wide;
  Check(library.CalculateDInDirectW(L"1/0", &real, &code, &position,
                                    wide.text) == 0 &&
            code == 15 && std::wcscmp(wide.text, L"0で除算しました。") == 0,
        "CalculateDInDirectW(L\"1/0\") fails with code 15");
  Check(library.CalculateIInDirectW(L"2^10", &integer, 2, &code, &position,
                                    wide.text) == 1 &&
            integer == 1024,
        "CalculateIInDirectW(L\"2^10\", power allowed) gives 1024");
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

void TestStringTable(const Library& library) {
  const WORD japanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
  bool found = false;
  Check(LoadTableString(library.module, 20, japanese, &found) ==
                L"オーバーフローしました。" &&
            found,
        "string 20 (language 1041) is the overflow message");
  bool all = true;
  for (const StringEntry& entry : kStringTable) {
    std::wstring text =
        LoadTableString(library.module, entry.id, japanese, &found);
    if (!found || text != entry.text) {
      std::printf("     string %u differs or is missing\n", entry.id);
      all = false;
    }
  }
  Check(all, "strings 2 to 24 (language 1041) hold the message table");
}

void TestCodePage(int argc, char** argv) {
  const UINT acp = GetACP();
  std::printf("     GetACP() = %u, GetOEMCP() = %u\n", acp, GetOEMCP());
  for (int i = 1; i + 1 < argc; i += 2) {
    const UINT value =
        static_cast<UINT>(std::strtoul(argv[i + 1], nullptr, 10));
    char what[64];
    if (std::strcmp(argv[i], "--expect-acp") == 0) {
      std::snprintf(what, sizeof what, "the process code page is %u", value);
      Check(acp == value, what);
    } else if (std::strcmp(argv[i], "--reject-acp") == 0) {
      std::snprintf(what, sizeof what, "the process code page is not %u",
                    value);
      Check(acp != value, what);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  TestCodePage(argc, argv);
  Library library;
  if (LoadLibraryExports(library)) {
    TestExportTable(library);
    TestCallingConvention(library);
    TestMisalignedStack(library);
    TestVersion(library);
    TestRealFunction(library);
    TestIntegerFunction(library);
    TestCompileError(library);
    TestOneShot(library);
    TestStringTable(library);
    FreeLibrary(library.module);
  }
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
