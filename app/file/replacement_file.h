// A new version of a file, written under a temporary name in the same
// directory and moved over the file only when complete, so that a failed
// write never damages the previous version.
#pragma once

#include <cstddef>
#include <string>

#include "file_access.h"

namespace kurvana::file {

// The name tried at attempt 0..9 for the temporary file beside target:
// "~kv0.tmp" and so on, shorter when that would make the path longer than
// 259 bytes.
std::string temporary_name(const std::string& target, int attempt);

class ReplacementFile {
 public:
  // Creates the temporary file beside target; check is_open(), false also
  // when target exists but cannot be opened for writing.  An existing file
  // is never reused as the temporary one.
  explicit ReplacementFile(const char* target);
  // Removes the temporary file unless it has replaced the target.
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  bool is_open() const { return file_.is_open(); }
  bool write(const void* data, size_t size);

  // Flushes and closes the temporary file and moves it over the target.
  bool commit();

 private:
  std::string target_;
  std::string temporary_;
  FileHandle file_;
  bool created_ = false;  // temporary_ names our file, not someone else's
  bool committed_ = false;
};

}  // namespace kurvana::file
