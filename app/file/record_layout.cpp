#include "record_layout.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <span>

#include "text_conversion.h"

namespace kurvana::file {
namespace {

constexpr uint8_t kMagic[4] = {'K', 'V', 'D', 'F'};
constexpr size_t kTextUnits = EXPRESSION_BYTES;  // units of a UTF-16 field
// Units or bytes a converted text may take, terminator included, leaving
// room for the second terminator in a 256-unit field.
constexpr size_t kTextLimit = EXPRESSION_BYTES - 1;

using TextField = char[EXPRESSION_BYTES];
using WideField = std::array<char16_t, kTextUnits>;

// Stores little-endian fields one after another from the start of a record.
class Writer {
 public:
  explicit Writer(std::span<uint8_t> out) : out_(out) {}
  void bytes(const void* data, size_t size) {
    std::memcpy(take(size), data, size);
  }
  void u16(uint16_t value) { put(value, 2); }
  void u32(uint32_t value) { put(value, 4); }
  void i32(int32_t value) { u32(static_cast<uint32_t>(value)); }
  void f64(double value) { put(std::bit_cast<uint64_t>(value), 8); }

 private:
  uint8_t* take(size_t size) {
    uint8_t* at = out_.subspan(position_, size).data();
    position_ += size;
    return at;
  }
  void put(uint64_t value, size_t size) {
    uint8_t* at = take(size);
    for (size_t i = 0; i < size; ++i)
      at[i] = static_cast<uint8_t>(value >> 8 * i);
  }
  std::span<uint8_t> out_;
  size_t position_ = 0;
};

// Loads little-endian fields one after another from the start of a record.
class Reader {
 public:
  explicit Reader(std::span<const uint8_t> in) : in_(in) {}
  void bytes(void* data, size_t size) { std::memcpy(data, take(size), size); }
  uint16_t u16() { return static_cast<uint16_t>(get(2)); }
  uint32_t u32() { return static_cast<uint32_t>(get(4)); }
  int32_t i32() { return static_cast<int32_t>(u32()); }
  double f64() { return std::bit_cast<double>(get(8)); }

 private:
  const uint8_t* take(size_t size) {
    const uint8_t* at = in_.subspan(position_, size).data();
    position_ += size;
    return at;
  }
  uint64_t get(size_t size) {
    const uint8_t* at = take(size);
    uint64_t value = 0;
    for (size_t i = 0; i < size; ++i) value |= uint64_t{at[i]} << 8 * i;
    return value;
  }
  std::span<const uint8_t> in_;
  size_t position_ = 0;
};

void write_view(const ViewSettings& view, Writer& out) {
  out.i32(view.x_min);
  out.i32(view.x_max);
  out.i32(view.y_min);
  out.i32(view.y_max);
  out.u32(view.zoom_percent);
  out.u16(view.axis_width);
  out.u16(view.graph_width);
  out.u32(view.axis_colour);
  out.i32(view.tick_mode);
  out.u32(view.tick_colour);
}

ViewSettings read_view(Reader& in) {
  ViewSettings view;
  view.x_min = in.i32();
  view.x_max = in.i32();
  view.y_min = in.i32();
  view.y_max = in.i32();
  view.zoom_percent = in.u32();
  view.axis_width = in.u16();
  view.graph_width = in.u16();
  view.axis_colour = in.u32();
  view.tick_mode = in.i32();
  view.tick_colour = in.u32();
  return view;
}

bool write_text(const TextField& text, Writer& out) {
  if (std::memchr(text, '\0', sizeof text) == nullptr) return false;
  WideField units{};
  if (!to_wide_text(units.data(), kTextLimit, text)) return false;
  for (char16_t unit : units) out.u16(unit);
  return true;
}

bool read_text(Reader& in, TextField& text) {
  WideField units;
  for (char16_t& unit : units) unit = in.u16();
  if (std::find(units.begin(), units.end(), u'\0') == units.end()) {
    return false;
  }
  return to_narrow_text(text, kTextLimit, units.data());
}

}  // namespace

void encode_header(const ViewSettings& view, uint32_t count, HeaderBytes& out) {
  out.fill(0);
  Writer writer(out);
  writer.bytes(kMagic, sizeof kMagic);
  writer.u32(kWrittenVersion);
  write_view(view, writer);
  writer.u32(count);
}

Header decode_header(const HeaderBytes& in) {
  Reader reader(in);
  uint8_t magic[sizeof kMagic];
  reader.bytes(magic, sizeof magic);
  Header header;
  header.has_magic = std::equal(magic, magic + sizeof magic, kMagic);
  header.version = reader.u32();
  header.view = read_view(reader);
  header.count = reader.u32();
  return header;
}

bool encode_entry(const FunctionEntry& entry, EntryBytes& out) {
  out.fill(0);
  Writer writer(out);
  writer.i32(entry.kind);
  writer.u32(entry.flags);
  if (!write_text(entry.expression, writer)) return false;
  if (!write_text(entry.expression2, writer)) return false;
  writer.f64(entry.domain_min);
  writer.f64(entry.domain_max);
  writer.u32(entry.colour);
  writer.i32(entry.density);
  return true;
}

bool decode_entry(const EntryBytes& in, FunctionEntry& entry) {
  std::memset(&entry, 0, sizeof entry);
  Reader reader(in);
  entry.kind = reader.i32();
  entry.flags = reader.u32();
  if (!read_text(reader, entry.expression)) return false;
  if (!read_text(reader, entry.expression2)) return false;
  entry.domain_min = reader.f64();
  entry.domain_max = reader.f64();
  entry.colour = reader.u32();
  entry.density = reader.i32();
  return true;
}

}  // namespace kurvana::file
