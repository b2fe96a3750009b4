// A fresh directory per test, removed with everything in it afterwards, and
// whole-file helpers for looking at what the document file code left there.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace kurvana::testing {

using Bytes = std::vector<uint8_t>;

class ScratchDirectory {
 public:
  ScratchDirectory() {
    std::random_device random;
    do {
      root_ = std::filesystem::temp_directory_path() /
              ("kurvana-file-" + std::to_string(random()));
    } while (!std::filesystem::create_directory(root_));
  }
  ~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  std::string path(std::string_view name) const {
    return (root_ / name).string();
  }

  // The names of everything in the directory.
  std::set<std::string> names() const {
    std::set<std::string> found;
    for (const auto& item : std::filesystem::directory_iterator(root_)) {
      found.insert(item.path().filename().string());
    }
    return found;
  }

 private:
  std::filesystem::path root_;
};

inline Bytes read_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void write_bytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

}  // namespace kurvana::testing
