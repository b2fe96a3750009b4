// Integer mode: the check that refuses what integer arithmetic cannot
// compute, and the evaluator over 64-bit two's complement values.
#include <cmath>
#include <limits>

#include "evaluator.h"
#include "math_functions.h"
#include "numeric.h"

namespace eval {

namespace {

constexpr int64_t kSmallest = std::numeric_limits<int64_t>::min();
constexpr int64_t kLargest = std::numeric_limits<int64_t>::max();

// ErrorId for a refused token, or -1 when it is accepted.
int refusal(const Token& token, int32_t options) {
  switch (token.kind) {
    case KIND_INTEGER:
    case KIND_OPEN:
    case KIND_CLOSE:
    case KIND_INTEGER_VARIABLE:
      return -1;
    case KIND_OPERATOR: {
      const OperatorRecord* record = operator_by_code(token.integer_value);
      if (!record) return kErrorIntegerKind;
      return (record->integer_option & ~options) ? kErrorNotInteger : -1;
    }
    case KIND_REAL:
    case KIND_REAL_VARIABLE:
    case KIND_FUNCTION:
      return kErrorNotInteger;
    default:
      return kErrorIntegerKind;
  }
}

// Sums, differences and products wrap modulo 2^64.
int64_t wrap(uint64_t value) { return static_cast<int64_t>(value); }

bool at_limit(int64_t value) { return value == kSmallest || value == kLargest; }

int64_t slot_value(const Token& token) {
  if (token.kind == KIND_REAL_VARIABLE) {
    return truncate_to_int64(*static_cast<const double*>(token.value_pointer));
  }
  return *static_cast<const int32_t*>(token.value_pointer);
}

// The value the first element contributes, whatever its kind.
int64_t first_operand(const Token& token) {
  if ((token.kind & kVariableKindBit) && token.value_pointer) {
    return slot_value(token);
  }
  return truncate_to_int64(token.real_value);
}

// Applies |code| to L and R; returns 0 after storing an error.
int apply(int32_t code, int64_t left, int64_t right, int64_t* value,
          EvalError** error) {
  const auto l = static_cast<uint64_t>(left);
  const auto r = static_cast<uint64_t>(right);
  switch (code) {
    case OP_ADD:
      *value = wrap(l + r);
      break;
    case OP_SUBTRACT:
      *value = wrap(l - r);
      break;
    case OP_MULTIPLY:
      *value = wrap(l * r);
      break;
    case OP_DIVIDE:
      if (right == 0) return fail(error, kErrorDivideByZero, 0);
      *value = (left == kSmallest && right == -1) ? kSmallest : left / right;
      break;
    case OP_POWER: {
      const double power =
          math::pow(static_cast<double>(left), static_cast<double>(right));
      if (power == std::numeric_limits<double>::infinity() ||
          std::isnan(power)) {
        return fail(error, kErrorOverflow, 0);
      }
      // Out of range converts to the smallest value, unchecked here.
      *value = truncate_to_int64(power);
      return 1;
    }
    default:
      return fail(error, kErrorOperator, 0);
  }
  if (at_limit(*value)) return fail(error, kErrorOverflow, 0);
  return 1;
}

}  // namespace

int Evaluator::CheckIntegerExpression(const TokenList& list, EvalError** error,
                                      int32_t options) {
  for (uint32_t i = 0; i < list.count(); ++i) {
    const Token& token = *list.item(i);
    const int id = refusal(token, options);
    if (id >= 0) return fail(error, static_cast<ErrorId>(id), token.position);
  }
  return 1;
}

int Evaluator::EvaluateInteger(const TokenList& program, int32_t* result,
                               EvalError** error) {
  if (program.count() == 0) return fail(error, kErrorNoExpression, 0);
  ValueStack<int64_t> stack;
  stack.push(first_operand(*program.item(0)));
  for (uint32_t i = 1; i < program.count(); ++i) {
    const Token& token = *program.item(i);
    switch (token.kind) {
      case KIND_INTEGER:
      case KIND_REAL:
        stack.push(token.integer_value);
        break;
      case KIND_INTEGER_VARIABLE:
      case KIND_REAL_VARIABLE:
        stack.push(token.value_pointer ? slot_value(token) : 0);
        break;
      case KIND_OPERATOR: {
        const int64_t right = stack.pop();
        const int64_t left = stack.pop();
        int64_t value = 0;
        if (!apply(token.integer_value, left, right, &value, error)) return 0;
        stack.push(value);
        break;
      }
      case KIND_FUNCTION:
        return fail(error, kErrorNotIntegerFunction, 0);
      default:
        break;
    }
    // A push that could not grow: out of memory, with no error object.
    if (stack.lost()) return 0;
  }
  if (stack.lost()) return 0;
  const int64_t value = stack.pop();
  if (value < std::numeric_limits<int32_t>::min() ||
      value > std::numeric_limits<int32_t>::max()) {
    return fail(error, kErrorOverflow, 0);
  }
  *result = static_cast<int32_t>(value);
  return 1;
}

}  // namespace eval
