#include "expression.h"

#include <cstring>

namespace kurvana {

FunctionHandle create_function(const char (&field)[EXPRESSION_BYTES]) {
  char text[EXPRESSION_BYTES + 1];
  std::memcpy(text, field, EXPRESSION_BYTES);
  text[EXPRESSION_BYTES] = '\0';
  return FunctionHandle(CreateFunctionA(text));
}

bool compile_function(const FunctionHandle& function,
                      const VariableArea& area) {
  return CompileDFunction(function.get(), area.data()) != 0;
}

}  // namespace kurvana
