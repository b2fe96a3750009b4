// The platform's file calls behind the document file, one implementation
// per platform.  Files are reached through an owning handle that closes
// itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

namespace kurvana::file {

// An open file or none.  The platform's handle is kept as an integer so that
// this header needs no system header; -1 is "none" on both platforms.
class FileHandle {
 public:
  FileHandle() = default;
  explicit FileHandle(intptr_t value) : value_(value) {}
  ~FileHandle() { close(); }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  FileHandle(FileHandle&& other) noexcept
      : value_(std::exchange(other.value_, kNone)) {}
  FileHandle& operator=(FileHandle&& other) noexcept {
    if (this != &other) {
      close();
      value_ = std::exchange(other.value_, kNone);
    }
    return *this;
  }

  bool is_open() const { return value_ != kNone; }
  intptr_t get() const { return value_; }

  // Closes the file if open; false when the system reports an error, which
  // may be a write that failed late.
  bool close();

 private:
  static constexpr intptr_t kNone = -1;
  intptr_t value_ = kNone;
};

// Opens an existing file for reading; others may read it at the same time.
FileHandle open_for_reading(const char* path);

// Creates a file for writing, refusing to open one that exists already;
// others may read it at the same time.
FileHandle create_new_for_writing(const char* path);

// True when the file at path opens for writing (it is left unchanged) or
// does not exist yet; false for a read-only file, a folder in its place, or
// a file that others hold open for writing.
bool can_write_over(const char* path);

// Reads exactly size bytes; false on an error or when the file ends first.
bool read_exact(const FileHandle& file, void* buffer, size_t size);

// Writes all size bytes; false on an error.
bool write_all(const FileHandle& file, const void* data, size_t size);

// Makes the written bytes durable before the file replaces another.
bool flush_to_disk(const FileHandle& file);

// Moves the file at from to the name to, replacing a file of that name.
bool replace_file(const char* from, const char* to);

bool remove_file(const char* path);

}  // namespace kurvana::file
