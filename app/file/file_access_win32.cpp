// Windows file calls.
#include <windows.h>

#include "file_access.h"

namespace kurvana::file {
namespace {

HANDLE native(const FileHandle& file) {
  return reinterpret_cast<HANDLE>(file.get());
}

FileHandle adopt(HANDLE handle) {
  // INVALID_HANDLE_VALUE, CreateFileA's failure, is -1: FileHandle's none.
  return FileHandle(reinterpret_cast<intptr_t>(handle));
}

// ReadFile and WriteFile take at most a DWORD of bytes per call.
DWORD chunk(size_t size) {
  return size > MAXDWORD ? MAXDWORD : static_cast<DWORD>(size);
}

}  // namespace

bool FileHandle::close() {
  if (!is_open()) return true;
  const intptr_t value = std::exchange(value_, kNone);
  return CloseHandle(reinterpret_cast<HANDLE>(value)) != 0;
}

FileHandle open_for_reading(const char* path) {
  return adopt(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

FileHandle create_new_for_writing(const char* path) {
  return adopt(CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                           CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool can_write_over(const char* path) {
  FileHandle file =
      adopt(CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file.is_open() || GetLastError() == ERROR_FILE_NOT_FOUND;
}

bool read_exact(const FileHandle& file, void* buffer, size_t size) {
  auto* at = static_cast<char*>(buffer);
  while (size > 0) {
    DWORD got = 0;
    if (!ReadFile(native(file), at, chunk(size), &got, nullptr) || got == 0) {
      return false;
    }
    at += got;
    size -= got;
  }
  return true;
}

bool write_all(const FileHandle& file, const void* data, size_t size) {
  const auto* at = static_cast<const char*>(data);
  while (size > 0) {
    DWORD put = 0;
    if (!WriteFile(native(file), at, chunk(size), &put, nullptr) || put == 0) {
      return false;
    }
    at += put;
    size -= put;
  }
  return true;
}

bool flush_to_disk(const FileHandle& file) {
  return FlushFileBuffers(native(file)) != 0;
}

bool replace_file(const char* from, const char* to) {
  return MoveFileExA(from, to,
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool remove_file(const char* path) { return DeleteFileA(path) != 0; }

}  // namespace kurvana::file
