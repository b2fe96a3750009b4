#include "window_title.h"

namespace kurvana {

bool is_shift_jis_lead_byte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::string file_name_of(const std::string& path, LeadBytePredicate is_lead) {
  size_t start = 0;
  if (path.size() >= 2 && path[1] == ':' &&
      ((path[0] >= 'A' && path[0] <= 'Z') ||
       (path[0] >= 'a' && path[0] <= 'z'))) {
    start = 2;
  }
  for (size_t i = start; i < path.size(); ++i) {
    const auto byte = static_cast<unsigned char>(path[i]);
    if (is_lead(byte) && i + 1 < path.size()) {
      ++i;  // skip the trail byte
    } else if (byte == '\\' || byte == '/') {
      start = i + 1;
    }
  }
  return path.substr(start);
}

}  // namespace kurvana
