// Fixture documents for the end-to-end tests: a small writer of .kvn files,
// independent of the program's own code, and temporary folders to put them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

// The view settings as stored in the header; defaults of an empty document.
struct View {
  int32_t x_min = -10;
  int32_t x_max = 10;
  int32_t y_min = -10;
  int32_t y_max = 10;
  uint32_t zoom = 100;
  uint16_t axis_width = 3;
  uint16_t graph_width = 2;
  uint32_t axis_colour = 0x000000;
  int32_t tick_mode = 2;  // 0 none, 1 marks, 2 grid
  uint32_t tick_colour = 0x808080;
};

// One function record; an explicit, visible, red function by default.
struct Function {
  int32_t kind = 1;    // 1 explicit, 2 parametric, 3 polar, 4 implicit
  uint32_t flags = 1;  // bit 0 visible
  std::u16string expression;
  std::u16string expression2;
  double domain_min = -10;
  double domain_max = 10;
  uint32_t colour = 0x0000FF;
  int32_t density = 3;
};

constexpr size_t kHeaderSize = 112;
constexpr size_t kRecordSize = 1120;

// The bytes of a document file: header, then one record per function.
std::string EncodeDocument(const View& view,
                           const std::vector<Function>& functions);

void PutUint32(std::string& bytes, size_t offset, uint32_t value);

bool WriteBytes(const std::wstring& path, const std::string& bytes);
std::optional<std::string> ReadBytes(const std::wstring& path);

// A fresh folder under the temporary folder, removed with its contents.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  bool ok() const { return !path_.empty(); }
  // The folder's full path with a trailing backslash.
  const std::wstring& path() const { return path_; }
  // Writes `bytes` to `relative` inside the folder, making sub-folders;
  // returns the full path, or an empty text on failure.
  std::wstring Put(const std::wstring& relative, const std::string& bytes);

 private:
  std::wstring path_;
};

}  // namespace e2e
