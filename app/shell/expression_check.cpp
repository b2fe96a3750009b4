#include "expression_check.h"

#include <cstring>
#include <string>

#include "expression.h"  // FunctionHandle
#include "text_conversion.h"
#include "texts.h"

namespace kurvana {

namespace {

// Writes the catalogue's |text| into |message| in Shift-JIS, like the
// library's own messages; an empty message if it does not fit.
void write_message(const char16_t* text, char* message) {
  const size_t units = std::char_traits<char16_t>::length(text) + 1;
  if (file::utf16_to_code_page(CodePage::kShiftJis, text, units, message,
                               kExpressionMessageBytes) == 0) {
    message[0] = '\0';
  }
}

// Reads the object's last error into the outputs; false when the library
// recorded none, so that there is no place to show.
bool read_last_error(const FunctionHandle& function, int32_t* code,
                     int32_t* position, char* message) {
  int32_t error_code = 0;
  int32_t error_position = 0;
  char error_message[kExpressionMessageBytes] = {};
  if (!GetLastErrorByFunctionA(function.get(), &error_code, &error_position,
                               error_message) ||
      error_code == 0) {
    return false;
  }
  *code = error_code;
  *position = error_position;
  if (error_message[0] == '\0') {
    write_message(text::kNoErrorInformation, message);
  } else {
    std::memcpy(message, error_message, sizeof error_message);
  }
  return true;
}

}  // namespace

bool check_expression(const char* text, int32_t* code, int32_t* position,
                      char* message) {
  const FunctionHandle function(CreateFunctionA(text));
  if (!function) {
    write_message(text::kOutOfMemory, message);
    return false;
  }
  if (CompileDFunction(function.get(), nullptr)) return true;
  if (!read_last_error(function, code, position, message)) {
    write_message(text::kNoErrorInformation, message);
  }
  return false;
}

}  // namespace kurvana
