// POSIX file calls.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "file_access.h"

namespace kurvana::file {
namespace {

int descriptor(const FileHandle& file) { return static_cast<int>(file.get()); }

}  // namespace

bool FileHandle::close() {
  if (!is_open()) return true;
  // The descriptor is released even when close reports an error, so it is
  // never closed twice.
  return ::close(static_cast<int>(std::exchange(value_, kNone))) == 0;
}

FileHandle open_for_reading(const char* path) {
  return FileHandle(::open(path, O_RDONLY | O_CLOEXEC));
}

FileHandle create_new_for_writing(const char* path) {
  return FileHandle(
      ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
}

bool can_write_over(const char* path) {
  FileHandle file(::open(path, O_WRONLY | O_CLOEXEC));
  return file.is_open() || errno == ENOENT;
}

bool read_exact(const FileHandle& file, void* buffer, size_t size) {
  auto* at = static_cast<char*>(buffer);
  while (size > 0) {
    const ssize_t got = ::read(descriptor(file), at, size);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    at += got;
    size -= static_cast<size_t>(got);
  }
  return true;
}

bool write_all(const FileHandle& file, const void* data, size_t size) {
  const auto* at = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t put = ::write(descriptor(file), at, size);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    at += put;
    size -= static_cast<size_t>(put);
  }
  return true;
}

bool flush_to_disk(const FileHandle& file) {
  return ::fsync(descriptor(file)) == 0;
}

bool replace_file(const char* from, const char* to) {
  return std::rename(from, to) == 0;
}

bool remove_file(const char* path) { return ::unlink(path) == 0; }

}  // namespace kurvana::file
