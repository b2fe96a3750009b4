#include "replacement_file.h"

namespace kurvana::file {
namespace {

// Names tried for the temporary file: target.tmp, target.1.tmp, ...
constexpr int kNameAttempts = 10;

std::string temporary_name(const std::string& target, int attempt) {
  std::string name = target;
  if (attempt > 0) {
    name += '.';
    name += std::to_string(attempt);
  }
  name += ".tmp";
  return name;
}

}  // namespace

ReplacementFile::ReplacementFile(const char* target) : target_(target) {
  for (int attempt = 0; attempt < kNameAttempts && !is_open(); ++attempt) {
    temporary_ = temporary_name(target_, attempt);
    file_ = create_new_for_writing(temporary_.c_str());
  }
  created_ = is_open();
}

ReplacementFile::~ReplacementFile() {
  file_.close();  // Windows cannot remove an open file
  if (created_ && !committed_) remove_file(temporary_.c_str());
}

bool ReplacementFile::write(const void* data, size_t size) {
  return is_open() && write_all(file_, data, size);
}

bool ReplacementFile::commit() {
  if (!is_open() || !flush_to_disk(file_) || !file_.close()) return false;
  committed_ = replace_file(temporary_.c_str(), target_.c_str());
  return committed_;
}

}  // namespace kurvana::file
