// The byte layout of the document file: the header and the entry record,
// little-endian, packed field by field whatever the host's struct layout.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "document.h"

namespace kurvana::file {

constexpr size_t kHeaderSize = 112;
constexpr size_t kEntrySize = 1120;
constexpr uint32_t kWrittenVersion = 0x00010001;
constexpr uint32_t kNewestReadableVersion = 0x0001FFFF;

using HeaderBytes = std::array<uint8_t, kHeaderSize>;
using EntryBytes = std::array<uint8_t, kEntrySize>;

struct Header {
  bool has_magic;
  uint32_t version;
  ViewSettings view;
  uint32_t count;
};

// Fills the whole header: magic, written version, view, count, zero reserve.
void encode_header(const ViewSettings& view, uint32_t count, HeaderBytes& out);

Header decode_header(const HeaderBytes& in);

// Fills the whole record, everything after each text's terminator zero.
// False when a text has no terminator within its field or cannot be
// converted to UTF-16.
bool encode_entry(const FunctionEntry& entry, EntryBytes& out);

// Fills the whole entry from the record, the numbers as stored.  False when
// a text has no terminator within its field or cannot be converted to the
// code page within 255 bytes.
bool decode_entry(const EntryBytes& in, FunctionEntry& entry);

}  // namespace kurvana::file
