#include "expression_check.h"

#include <cstring>

#include "expression.h"  // FunctionHandle

namespace kurvana {

namespace {

// "メモリが不足しています。" and "エラー情報を取得できません。" in
// Shift-JIS, like the library's own messages.
constexpr char kNoMemory[] =
    "\x83\x81\x83\x82\x83\x8a\x82\xaa\x95\x73\x91\xab\x82\xb5\x82\xc4"
    "\x82\xa2\x82\xdc\x82\xb7\x81\x42";
constexpr char kNoErrorInformation[] =
    "\x83\x47\x83\x89\x81\x5b\x8f\xee\x95\xf1\x82\xf0\x8e\xe6\x93\xbe"
    "\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1\x81\x42";
static_assert(sizeof kNoMemory <= kExpressionMessageBytes);
static_assert(sizeof kNoErrorInformation <= kExpressionMessageBytes);

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
    std::memcpy(message, kNoErrorInformation, sizeof kNoErrorInformation);
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
    std::memcpy(message, kNoMemory, sizeof kNoMemory);
    return false;
  }
  if (CompileDFunction(function.get(), nullptr)) return true;
  if (!read_last_error(function, code, position, message)) {
    std::memcpy(message, kNoErrorInformation, sizeof kNoErrorInformation);
  }
  return false;
}

}  // namespace kurvana
