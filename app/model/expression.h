// Expressions of the document as the eval library compiles them: a variable
// area of 26 doubles, and an owner for the library's function handles.
#pragma once

#include <array>
#include <cstddef>
#include <memory>

#include "document.h"
#include "eval.h"

namespace kurvana {

// One double per letter a to z, bound by address when an expression is
// compiled; it must outlive every handle compiled against it.
using VariableArea = std::array<double, EVAL_VARIABLE_COUNT>;

constexpr size_t slot_of(char letter) { return size_t(letter - 'a'); }
constexpr size_t SLOT_T = slot_of('t');
constexpr size_t SLOT_X = slot_of('x');
constexpr size_t SLOT_Y = slot_of('y');

struct FunctionDeleter {
  void operator()(EvalFunction function) const { DeleteFunction(function); }
};

// Deletes its function object on every path out of its scope.
using FunctionHandle = std::unique_ptr<FunctionObject, FunctionDeleter>;

// A new function object for a text field of an entry; empty when the library
// is out of memory.  The field is copied with a terminator of its own, so a
// field filled to its last byte cannot lead the library past its end.
FunctionHandle create_function(const char (&field)[EXPRESSION_BYTES]);

// Compiles for real evaluation against `area`.
bool compile_function(const FunctionHandle& function, const VariableArea& area);

// f at the current contents of the bound area; false when the library
// refuses the value (a zero divisor, a domain error, a result that is not
// finite).
inline bool evaluate(const FunctionHandle& function, double& value) {
  return CalculateDFunction(function.get(), &value) != 0;
}

}  // namespace kurvana
