// Code-page conversion through iconv, in CP932 (Shift-JIS as Windows has
// it) for every use, so that native builds read and write the same texts as
// the program on a Japanese system.
#include <iconv.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "text_conversion.h"

namespace kurvana {
namespace {

constexpr const char* kCodePage = "CP932";
constexpr const char* kUtf16 = "UTF-16LE";

// An iconv conversion descriptor, closed by its destructor.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (is_open()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts all of in into out; the number of bytes written, or none when
  // the input is invalid, incomplete, not exactly representable or too long.
  std::optional<size_t> convert(std::span<const char> in,
                                std::span<char> out) const {
    if (!is_open()) return std::nullopt;
    char* in_at = const_cast<char*>(in.data());  // iconv never writes there
    size_t in_left = in.size();
    char* out_at = out.data();
    size_t out_left = out.size();
    const size_t inexact = iconv(cd_, &in_at, &in_left, &out_at, &out_left);
    if (inexact != 0 || in_left != 0) return std::nullopt;
    return out.size() - out_left;
  }

 private:
  bool is_open() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t cd_;
};

std::vector<char> utf16_bytes(const char16_t* text, size_t units) {
  std::vector<char> bytes(units * 2);
  for (size_t i = 0; i < units; ++i) {
    bytes[2 * i] = static_cast<char>(text[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<char>(text[i] >> 8);
  }
  return bytes;
}

char16_t utf16_unit(const char* pair) {
  return static_cast<char16_t>(static_cast<uint8_t>(pair[0]) |
                               static_cast<uint8_t>(pair[1]) << 8);
}

// Whether the code-page bytes read back as exactly the UTF-16 text: iconv
// maps a few characters to look-alikes (U+00A5 to a backslash) that the
// Windows conversion refuses when asked for no best fit.
bool reads_back_as(const char* bytes, size_t count, const char16_t* text,
                   size_t units) {
  std::vector<char16_t> back(units);
  if (file::code_page_to_utf16(CodePage::kOem, bytes, count, back.data(),
                               units) != units) {
    return false;
  }
  return std::equal(back.begin(), back.end(), text);
}

}  // namespace

bool is_lead_byte(CodePage, unsigned char byte) {
  return is_shift_jis_lead_byte(byte);
}

namespace file {

size_t code_page_to_utf16(CodePage, const char* text, size_t bytes,
                          char16_t* out, size_t limit) {
  std::vector<char> utf16(limit * 2);
  const auto written =
      Converter(kUtf16, kCodePage).convert({text, bytes}, utf16);
  if (!written || *written == 0) return 0;
  const size_t units = *written / 2;
  for (size_t i = 0; i < units; ++i) out[i] = utf16_unit(&utf16[2 * i]);
  return units;
}

size_t utf16_to_code_page(CodePage, const char16_t* text, size_t units,
                          char* out, size_t limit) {
  const auto written = Converter(kCodePage, kUtf16)
                           .convert(utf16_bytes(text, units), {out, limit});
  if (!written || *written == 0) return 0;
  return reads_back_as(out, *written, text, units) ? *written : 0;
}

}  // namespace file
}  // namespace kurvana
