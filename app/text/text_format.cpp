#include "text_format.h"

namespace kurvana::text {

std::u16string fill(std::u16string_view format,
                    std::initializer_list<std::u16string_view> values) {
  constexpr std::u16string_view kSlot = u"%s";
  std::u16string text;
  const std::u16string_view* value = values.begin();
  size_t at = 0;
  for (size_t slot = format.find(kSlot);
       slot != std::u16string_view::npos && value != values.end();
       slot = format.find(kSlot, at)) {
    text.append(format.substr(at, slot - at)).append(*value++);
    at = slot + kSlot.size();
  }
  return text.append(format.substr(at));
}

std::u16string decimal(int64_t value) {
  // The magnitude as unsigned, so that the lowest value has one too.
  uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value)
                                 : static_cast<uint64_t>(value);
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + magnitude % 10));
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) digits.insert(digits.begin(), u'-');
  return digits;
}

}  // namespace kurvana::text
