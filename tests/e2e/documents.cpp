#include "documents.h"

#include <windows.h>

#include <cstring>

namespace e2e {
namespace {

template <typename T>
void Put(std::string& bytes, size_t offset, T value) {
  std::memcpy(&bytes[offset], &value, sizeof(value));  // little-endian host
}

// A UTF-16LE field of 256 units: the text, then zeros.
void PutText(std::string& bytes, size_t offset, const std::u16string& text) {
  for (size_t i = 0; i < text.size() && i < 255; ++i)
    Put<uint16_t>(bytes, offset + 2 * i, static_cast<uint16_t>(text[i]));
}

// Removes a folder and everything in it.
void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path + L"\\");
      } else {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(folder.c_str());
}

}  // namespace

std::string EncodeDocument(const View& view,
                           const std::vector<Function>& functions) {
  std::string bytes(kHeaderSize + kRecordSize * functions.size(), '\0');
  std::memcpy(&bytes[0], "KVDF", 4);
  Put<uint32_t>(bytes, 4, 0x00010001);
  Put(bytes, 8, view.x_min);
  Put(bytes, 12, view.x_max);
  Put(bytes, 16, view.y_min);
  Put(bytes, 20, view.y_max);
  Put(bytes, 24, view.zoom);
  Put(bytes, 28, view.axis_width);
  Put(bytes, 30, view.graph_width);
  Put(bytes, 32, view.axis_colour);
  Put(bytes, 36, view.tick_mode);
  Put(bytes, 40, view.tick_colour);
  Put<uint32_t>(bytes, 44, static_cast<uint32_t>(functions.size()));
  size_t at = kHeaderSize;
  for (const Function& f : functions) {
    Put(bytes, at, f.kind);
    Put(bytes, at + 4, f.flags);
    PutText(bytes, at + 8, f.expression);
    PutText(bytes, at + 520, f.expression2);
    Put(bytes, at + 1032, f.domain_min);
    Put(bytes, at + 1040, f.domain_max);
    Put(bytes, at + 1048, f.colour);
    Put(bytes, at + 1052, f.density);
    at += kRecordSize;
  }
  return bytes;
}

void PutUint32(std::string& bytes, size_t offset, uint32_t value) {
  Put(bytes, offset, value);
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(
      file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes(GetFileSize(file, nullptr), '\0');
  DWORD read = 0;
  const BOOL ok = bytes.empty() ||
                  ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()),
                           &read, nullptr);
  CloseHandle(file);
  if (!ok || read != bytes.size()) return std::nullopt;
  return bytes;
}

TempFolder::TempFolder() {
  wchar_t base[MAX_PATH];
  if (!GetTempPathW(MAX_PATH, base)) return;
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::wstring candidate = std::wstring(base) + L"kvn-e2e-" +
                                   std::to_wstring(GetCurrentProcessId()) +
                                   L"-" + std::to_wstring(++counter) + L"-" +
                                   std::to_wstring(GetTickCount());
    if (CreateDirectoryW(candidate.c_str(), nullptr)) {
      path_ = candidate + L"\\";
      return;
    }
  }
}

TempFolder::~TempFolder() {
  if (ok()) RemoveTree(path_);
}

std::wstring TempFolder::Put(const std::wstring& relative,
                             const std::string& bytes) {
  // Sub-folders first, one level at a time.
  for (size_t slash = relative.find_first_of(L"\\/");
       slash != std::wstring::npos;
       slash = relative.find_first_of(L"\\/", slash + 1))
    CreateDirectoryW((path_ + relative.substr(0, slash)).c_str(), nullptr);
  const std::wstring full = path_ + relative;
  return WriteBytes(full, bytes) ? full : std::wstring();
}

}  // namespace e2e
