#include "replacement_file.h"

#include <algorithm>

#include "text_conversion.h"

namespace kurvana::file {
namespace {

constexpr int kNameAttempts = 10;
// Paths are at most 260 bytes with their terminating null.
constexpr size_t kLongestPath = 259;

}  // namespace

std::string temporary_name(const std::string& target, int attempt) {
  const size_t name_at =
      target.size() - file_name_of(target, CodePage::kAnsi).size();
  const std::string digit(1, static_cast<char>('0' + attempt));
  std::string name = "~kv" + digit + ".tmp";
  // Beside a long path, a name no longer than the target's own still fits.
  const size_t room = kLongestPath - std::min(name_at, kLongestPath);
  if (name.size() > room) name = room >= 2 ? "~" + digit : digit;
  return target.substr(0, name_at) + name;
}

ReplacementFile::ReplacementFile(const char* target) : target_(target) {
  // A file that may not be written stays untouched: the rename below would
  // replace it regardless of its read-only attribute on some systems.
  if (!can_write_over(target)) return;
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
