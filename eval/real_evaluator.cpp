// Real evaluator.  Intermediate results behave as if computed in the 80-bit
// extended format: an operation whose exact result is finite there but
// beyond double's range passes its own check and pushes ±inf.  The checks
// below reproduce that in double arithmetic: with double operands, + - * /
// and the quotients of the trigonometric functions can only leave the
// extended range when an operand is already infinite or NaN.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <limits>

#include "evaluator.h"
#include "math_functions.h"
#include "real_program.h"

namespace eval {

namespace {

constexpr uint32_t kOperatorCount = std::size(kOperatorRecords);

// The instruction set: loads, each operator of the table in three forms
// (on the two top values; then with the right operand inline, a constant or
// a real slot, fused from a load and the operator), the unary instructions
// (each function of the table, then the constant powers), the markers, and
// the superinstructions of the fast path.
// clang-format off
#define KURVANA_STACK_OP(Id, ...) k##Id,
#define KURVANA_CONST_OP(Id, ...) k##Id##Const,
#define KURVANA_SLOT_OP(Id, ...) k##Id##Slot,
#define KURVANA_CALL_OP(Id, ...) kCall##Id,
enum RealOp : uint32_t {
  kLoadConst,
  kLoadReal,
  kLoadInteger,
  KURVANA_OPERATORS(KURVANA_STACK_OP)
  KURVANA_OPERATORS(KURVANA_CONST_OP)
  KURVANA_OPERATORS(KURVANA_SLOT_OP)
  kDropTwo,  // an operator code without meaning: pops its operands only
  KURVANA_FUNCTIONS(KURVANA_CALL_OP)
  kSquare,        // x^2, fused from a constant exponent and the operator
  kPowerOne,      // x^1, likewise
  kPowerHalf,     // x^0.5, likewise
  kPowerInteger,  // x^n, n an integer of pow's exact range, likewise
  kNone,  // an element that does nothing
  kEnd,   // closes a fused program
  // A load of a constant or a real slot and the operator with an inline
  // operand after it, in one dispatch: the load's instruction carries this
  // op, the operator's instruction stays behind it as the operand.  In the
  // order load kind (constant, slot), operand kind (constant, slot),
  // operator.
  kFirstPair,
  // A load of a constant or a real slot and the unary instruction after it,
  // likewise: each unary instruction after a constant, then after a slot.
  kFirstLoadedUnary = kFirstPair + 4 * kOperatorCount,
  // The last operator of a program and the program's end, in one dispatch:
  // each operator in its three forms, in their order.
  kFirstFinalOperator = kFirstLoadedUnary + 2 * (kNone - kDropTwo - 1),
};
#undef KURVANA_STACK_OP
#undef KURVANA_CONST_OP
#undef KURVANA_SLOT_OP
#undef KURVANA_CALL_OP
// clang-format on

constexpr uint32_t kFirstOperator = kLoadInteger + 1;
constexpr uint32_t kFirstFunction = kDropTwo + 1;
static_assert(kDropTwo == kFirstOperator + 3 * kOperatorCount);
constexpr uint32_t kFirstConstantPower = kSquare;
static_assert(kFirstConstantPower ==
              kFirstFunction + std::size(kFunctionRecords));
static_assert(kNone == kPowerInteger + 1);
constexpr uint32_t kUnaryCount = kNone - kFirstFunction;

// Applies KURVANA_EACH_UNARY, defined where used, to each unary instruction.
#define KURVANA_FUNCTION_AS_UNARY(Id, ...) KURVANA_EACH_UNARY(kCall##Id)
#define KURVANA_UNARY_OPS                      \
  KURVANA_FUNCTIONS(KURVANA_FUNCTION_AS_UNARY) \
  KURVANA_EACH_UNARY(kSquare)                  \
  KURVANA_EACH_UNARY(kPowerOne)                \
  KURVANA_EACH_UNARY(kPowerHalf)               \
  KURVANA_EACH_UNARY(kPowerInteger)

constexpr uint32_t kUnbounded = UINT32_MAX;
constexpr uint32_t kFixedDepth = 16;
constexpr int kOk = -1;

// exp(x) is finite in the extended format up to ln of its largest value.
constexpr double kExtendedExpLimit = 11356.523406294143;
constexpr double kOneThird = 0.3333333333333333;
constexpr double kInfinity = std::numeric_limits<double>::infinity();

RealOp operator_op(int32_t code) {
  switch (code) {
#define KURVANA_CASE(Id, CODE_NAME, ...) \
  case CODE_NAME:                        \
    return k##Id;
    KURVANA_OPERATORS(KURVANA_CASE)
#undef KURVANA_CASE
    default:
      return kDropTwo;
  }
}

RealOp function_op(int32_t code) {
  switch (code) {
#define KURVANA_CASE(Id, ...) \
  case kFunction##Id:         \
    return kCall##Id;
    KURVANA_FUNCTIONS(KURVANA_CASE)
#undef KURVANA_CASE
    default:
      return kNone;
  }
}

Instruction operand(const Token& token) {
  Instruction instruction{};
  if (token.kind == KIND_REAL_VARIABLE && token.value_pointer) {
    instruction.op = kLoadReal;
    instruction.real_slot = static_cast<const double*>(token.value_pointer);
  } else if (token.kind == KIND_INTEGER_VARIABLE && token.value_pointer) {
    instruction.op = kLoadInteger;
    instruction.integer_slot = static_cast<const int32_t*>(token.value_pointer);
  } else {
    instruction.op = kLoadConst;
    instruction.value = token.real_value;
  }
  return instruction;
}

Instruction translate(const Token& token) {
  switch (token.kind) {
    case KIND_INTEGER:
    case KIND_REAL:
    case KIND_REAL_VARIABLE:
    case KIND_INTEGER_VARIABLE:
      return operand(token);
    case KIND_OPERATOR: {
      Instruction instruction{};
      instruction.op = operator_op(token.integer_value);
      return instruction;
    }
    case KIND_FUNCTION: {
      Instruction instruction{};
      instruction.op = function_op(token.integer_value);
      return instruction;
    }
    default: {
      Instruction instruction{};
      instruction.op = kNone;
      return instruction;
    }
  }
}

bool is_load(uint32_t op) { return op <= kLoadInteger; }
bool is_stack_operator(uint32_t op) {
  return op >= kFirstOperator && op < kFirstOperator + kOperatorCount;
}
bool is_unary(uint32_t op) { return op >= kFirstFunction && op < kNone; }
bool is_operator(uint32_t op) { return op >= kFirstOperator && op < kDropTwo; }

// The instruction that raises to this constant exponent, or kNone.  Each
// gives exactly pow's value: x·x is the correctly rounded square, sqrt the
// correctly rounded root, and an integer power runs pow's own kernel.
RealOp constant_power_op(double exponent) {
  if (exponent == 2.0) return kSquare;
  if (exponent == 1.0) return kPowerOne;
  if (exponent == 0.5) return kPowerHalf;
  const bool small_integer = exponent >= -64.0 && exponent <= 64.0 &&
                             exponent == static_cast<int>(exponent);
  return small_integer && exponent != 0.0 ? kPowerInteger : kNone;
}

// Replaces each constant exponent and its power operator by one instruction
// on the top value, where the exponent has one.
uint32_t rewrite_constant_powers(Instruction* code, uint32_t size) {
  uint32_t out = 0;
  for (uint32_t i = 0; i < size; ++i) {
    const Instruction& load = code[i];
    const RealOp power = i > 0 && i + 1 < size && load.op == kLoadConst &&
                                 code[i + 1].op == kPower
                             ? constant_power_op(load.value)
                             : kNone;
    if (power == kNone) {
      code[out++] = load;
      continue;
    }
    const int32_t exponent = static_cast<int32_t>(load.value);
    code[out] = Instruction{};
    code[out].op = power;
    code[out++].exponent = exponent;
    ++i;
  }
  return out;
}

// Stack depth an unfused program reaches, or kUnbounded when it could pop
// an empty stack, or end without a value, or drop operands.
uint32_t required_depth(const Instruction* code, uint32_t size) {
  int64_t depth = 0;
  int64_t deepest = 0;
  for (uint32_t i = 0; i < size; ++i) {
    const uint32_t op = code[i].op;
    if (op == kDropTwo) return kUnbounded;
    if (is_load(op)) {
      ++depth;
    } else if (is_stack_operator(op)) {
      if (depth < 2) return kUnbounded;
      --depth;
    } else if (depth < 1) {
      return kUnbounded;
    }
    deepest = std::max(deepest, depth);
  }
  return depth >= 1 ? static_cast<uint32_t>(deepest) : kUnbounded;
}

// Folds each load of a constant or real slot that an operator consumes at
// once into that operator.  Only for programs that run on the fixed stack.
uint32_t fuse(Instruction* code, uint32_t size) {
  uint32_t out = 0;
  for (uint32_t i = 0; i < size; ++i) {
    const Instruction& load = code[i];
    const bool fusable = i > 0 && i + 1 < size &&
                         (load.op == kLoadConst || load.op == kLoadReal) &&
                         is_stack_operator(code[i + 1].op);
    if (!fusable) {
      code[out++] = load;
      continue;
    }
    Instruction fused = load;
    const uint32_t offset = load.op == kLoadConst ? 1 : 2;
    fused.op = code[i + 1].op + offset * kOperatorCount;
    code[out++] = fused;
    ++i;
  }
  return out;
}

constexpr uint32_t kFirstInlineOperator = kFirstOperator + kOperatorCount;

// Lets a program whose last instruction is an operator end with it.  Only
// for fused programs.
void close_with_operator(Instruction* code, uint32_t size) {
  if (size > 1 && is_operator(code[size - 1].op)) {
    code[size - 1].op += kFirstFinalOperator - kFirstOperator;
  }
}

// Marks each load of a constant or real slot that an operator with an
// inline operand or a unary instruction follows as the pair of both.  Only
// for fused programs.
void pair_loads(Instruction* code, uint32_t size) {
  for (uint32_t i = 0; i + 1 < size; ++i) {
    const uint32_t load = code[i].op, next = code[i + 1].op;
    if (load != kLoadConst && load != kLoadReal) continue;
    const uint32_t load_kind = load == kLoadConst ? 0 : 1;
    if (next >= kFirstInlineOperator && next < kDropTwo) {
      code[i].op = kFirstPair + load_kind * 2 * kOperatorCount +
                   (next - kFirstInlineOperator);
    } else if (is_unary(next)) {
      code[i].op =
          kFirstLoadedUnary + load_kind * kUnaryCount + (next - kFirstFunction);
    } else {
      continue;
    }
    ++i;  // the next instruction is now an operand
  }
}

// True when an operation on these operands leaves the extended range: only
// possible when an operand is infinite or NaN.
inline bool extended_overflow(double result, double left, double right) {
  return !std::isfinite(result) &&
         !(std::isfinite(left) && std::isfinite(right));
}

inline bool is_zero(double value) { return value == 0.0 || std::isnan(value); }

inline double cube_root(double x) {
  return x >= 0.0 ? math::pow(x, kOneThird) : -math::pow(-x, kOneThird);
}

// A power fails when it is +inf or NaN; -inf passes.
inline int checked_power(double d, double* out) {
  if (d == kInfinity || std::isnan(d)) return kErrorOverflow;
  *out = d;
  return kOk;
}

// An operator of the table on L and R: kOk with the value in *out, or the
// error.
template <OperatorCode kCode>
inline int binary(double l, double r, double* out) {
  double d;
  if constexpr (kCode == OP_ADD) {
    d = l + r;
  } else if constexpr (kCode == OP_SUBTRACT) {
    d = l - r;
  } else if constexpr (kCode == OP_MULTIPLY) {
    d = l * r;
  } else if constexpr (kCode == OP_DIVIDE) {
    if (is_zero(r)) return kErrorDivideByZero;
    d = l / r;
  } else {
    static_assert(kCode == OP_POWER, "an operator without semantics");
    return checked_power(math::pow(l, r), out);
  }
  if (extended_overflow(d, l, r)) [[unlikely]] {
    return kErrorOverflow;
  }
  *out = d;
  return kOk;
}

// A function of the table on x: kOk with the value in *out, or the error.
// Every function of the table has its own definition below.
template <FunctionCode kCode>
int function(double x, double* out) = delete;

template <>
inline int function<kFunctionSin>(double x, double* out) {
  *out = math::sin(x);
  return kOk;
}

template <>
inline int function<kFunctionCos>(double x, double* out) {
  *out = math::cos(x);
  return kOk;
}

template <>
inline int function<kFunctionTan>(double x, double* out) {
  const double d = math::tan(x);
  if (!std::isfinite(d)) return kErrorOverflow;
  *out = d;
  return kOk;
}

// A finite nonzero divisor keeps the quotients of sec, cosec and cot in the
// extended range.
template <>
inline int function<kFunctionSec>(double x, double* out) {
  const double c = math::cos(x);
  if (is_zero(c)) return kErrorDivideByZero;
  *out = 1.0 / c;
  return kOk;
}

template <>
inline int function<kFunctionCosec>(double x, double* out) {
  const double s = math::sin(x);
  if (is_zero(s)) return kErrorDivideByZero;
  *out = 1.0 / s;
  return kOk;
}

template <>
inline int function<kFunctionCot>(double x, double* out) {
  const double s = math::sin(x);
  if (is_zero(s)) return kErrorDivideByZero;
  *out = math::cos(x) / s;
  return kOk;
}

template <>
inline int function<kFunctionAsin>(double x, double* out) {
  if (!(x >= -1.0 && x <= 1.0)) return kErrorDomain;
  *out = math::asin(x);
  return kOk;
}

template <>
inline int function<kFunctionAcos>(double x, double* out) {
  if (!(x >= -1.0 && x <= 1.0)) return kErrorDomain;
  *out = math::acos(x);
  return kOk;
}

template <>
inline int function<kFunctionAtan>(double x, double* out) {
  const double d = math::atan(x);
  if (std::isnan(d)) return kErrorOverflow;
  *out = d;
  return kOk;
}

template <>
inline int function<kFunctionLog>(double x, double* out) {
  if (!(x > 0.0)) return kErrorLogDomain;
  *out = math::log(x);
  return kOk;
}

template <>
inline int function<kFunctionEx>(double x, double* out) {
  const double d = math::exp(x);
  if (std::isnan(d) || (d == kInfinity && !(x <= kExtendedExpLimit))) {
    return kErrorOverflow;
  }
  *out = d;
  return kOk;
}

template <>
inline int function<kFunctionSinh>(double x, double* out) {
  *out = math::sinh(x);
  return kOk;
}

template <>
inline int function<kFunctionCosh>(double x, double* out) {
  *out = math::cosh(x);
  return kOk;
}

template <>
inline int function<kFunctionTanh>(double x, double* out) {
  *out = math::tanh(x);
  return kOk;
}

template <>
inline int function<kFunctionSech>(double x, double* out) {
  *out = 1.0 / math::cosh(x);
  return kOk;
}

template <>
inline int function<kFunctionCosech>(double x, double* out) {
  if (is_zero(x)) return kErrorDivideByZero;
  *out = 1.0 / math::sinh(x);
  return kOk;
}

template <>
inline int function<kFunctionCoth>(double x, double* out) {
  if (is_zero(x)) return kErrorDivideByZero;
  const double c = math::cosh(x), s = math::sinh(x);
  const double d = c / s;
  if (extended_overflow(d, c, s)) return kErrorOverflow;
  *out = d;
  return kOk;
}

template <>
inline int function<kFunctionAbs>(double x, double* out) {
  *out = std::fabs(x);
  return kOk;
}

template <>
inline int function<kFunctionSqrt>(double x, double* out) {
  if (!(x >= 0.0)) return kErrorDomain;
  *out = math::sqrt(x);
  return kOk;
}

template <>
inline int function<kFunctionCub>(double x, double* out) {
  *out = cube_root(x);
  return kOk;
}

// The general path's dispatch by op.
inline int binary(uint32_t op, double l, double r, double* out) {
  switch (op) {
#define KURVANA_CASE(Id, CODE_NAME, ...) \
  case k##Id:                            \
    return binary<CODE_NAME>(l, r, out);
    KURVANA_OPERATORS(KURVANA_CASE)
#undef KURVANA_CASE
    default:  // not reached: |op| is a stack operator
      return kErrorOperator;
  }
}

constexpr FunctionCode kFunctionCodes[] = {
#define KURVANA_ENTRY(Id, ...) kFunction##Id,
    KURVANA_FUNCTIONS(KURVANA_ENTRY)
#undef KURVANA_ENTRY
};

// A unary instruction on x: a function of the table, or x raised to a
// constant exponent with the value and check of pow.  |self| is the
// instruction, which holds an integer exponent.
template <uint32_t kOp>
inline int unary(double x, [[maybe_unused]] const Instruction& self,
                 double* out) {
  if constexpr (kOp == kSquare) {
    return checked_power(x * x, out);
  } else if constexpr (kOp == kPowerOne) {
    return checked_power(x, out);
  } else if constexpr (kOp == kPowerHalf) {
    // pow(-0, 0.5) is +0 and pow(-inf, 0.5) is +inf; sqrt gives -0 and NaN.
    return checked_power(x == -kInfinity ? kInfinity : math::sqrt(x + 0.0),
                         out);
  } else if constexpr (kOp == kPowerInteger) {
    return checked_power(math::integer_power(x, self.exponent), out);
  } else {
    return function<kFunctionCodes[kOp - kFirstFunction]>(x, out);
  }
}

using Unary = int (*)(double, const Instruction&, double*);
constexpr Unary kUnaryTable[] = {
#define KURVANA_EACH_UNARY(Op) &unary<Op>,
    KURVANA_UNARY_OPS
#undef KURVANA_EACH_UNARY
};
static_assert(std::size(kUnaryTable) == kUnaryCount);

inline int unary(uint32_t op, double x, const Instruction& self, double* out) {
  return kUnaryTable[op - kFirstFunction](x, self, out);
}

[[gnu::noinline, gnu::cold]] int raise(EvalError** error, int status) {
  return fail(error, static_cast<ErrorId>(status), 0);
}

int finish(double value, double* result, EvalError** error) {
  *result = value;
  if (!std::isfinite(value)) return fail(error, kErrorOverflow, 0);
  return 1;
}

// The hot path: a fused program whose depth fits the fixed stack, with the
// top value kept in a register, dispatched by threaded jumps: the program
// ends with a kEnd instruction or a final operator, so there is no bound
// check per step.
int run_fixed(const RealProgram& program, double* result, EvalError** error) {
  double below[kFixedDepth];  // the values under the top one
  double* sp = below;
  double top = 0.0;
  int status = kOk;
  const Instruction* ip = program.code;
  // clang-format off
#define KURVANA_STACK_OP(Id, ...) &&op_##Id,
#define KURVANA_CONST_OP(Id, ...) &&op_##Id##_const,
#define KURVANA_SLOT_OP(Id, ...) &&op_##Id##_slot,
#define KURVANA_CONST_CONST_OP(Id, ...) &&pair_##Id##_const_const,
#define KURVANA_CONST_SLOT_OP(Id, ...) &&pair_##Id##_const_slot,
#define KURVANA_SLOT_CONST_OP(Id, ...) &&pair_##Id##_slot_const,
#define KURVANA_SLOT_SLOT_OP(Id, ...) &&pair_##Id##_slot_slot,
#define KURVANA_FINAL_STACK_OP(Id, ...) &&final_##Id,
#define KURVANA_FINAL_CONST_OP(Id, ...) &&final_##Id##_const,
#define KURVANA_FINAL_SLOT_OP(Id, ...) &&final_##Id##_slot,
  static const void* const kHandlers[] = {
      &&load_const,
      &&load_real,
      &&load_integer,
      KURVANA_OPERATORS(KURVANA_STACK_OP)
      KURVANA_OPERATORS(KURVANA_CONST_OP)
      KURVANA_OPERATORS(KURVANA_SLOT_OP)
      &&end,  // kDropTwo never occurs in a fused program
#define KURVANA_EACH_UNARY(Op) &&unary_##Op,
      KURVANA_UNARY_OPS
#undef KURVANA_EACH_UNARY
      &&end,  // kNone never occurs in a fused program
      &&end,
      KURVANA_OPERATORS(KURVANA_CONST_CONST_OP)
      KURVANA_OPERATORS(KURVANA_CONST_SLOT_OP)
      KURVANA_OPERATORS(KURVANA_SLOT_CONST_OP)
      KURVANA_OPERATORS(KURVANA_SLOT_SLOT_OP)
#define KURVANA_EACH_UNARY(Op) &&const_##Op,
      KURVANA_UNARY_OPS
#undef KURVANA_EACH_UNARY
#define KURVANA_EACH_UNARY(Op) &&slot_##Op,
      KURVANA_UNARY_OPS
#undef KURVANA_EACH_UNARY
      KURVANA_OPERATORS(KURVANA_FINAL_STACK_OP)
      KURVANA_OPERATORS(KURVANA_FINAL_CONST_OP)
      KURVANA_OPERATORS(KURVANA_FINAL_SLOT_OP)
  };
#undef KURVANA_CONST_CONST_OP
#undef KURVANA_CONST_SLOT_OP
#undef KURVANA_SLOT_CONST_OP
#undef KURVANA_SLOT_SLOT_OP
#undef KURVANA_STACK_OP
#undef KURVANA_CONST_OP
#undef KURVANA_SLOT_OP
#undef KURVANA_FINAL_STACK_OP
#undef KURVANA_FINAL_CONST_OP
#undef KURVANA_FINAL_SLOT_OP
  // clang-format on
  static_assert(std::size(kHandlers) ==
                kFirstFinalOperator + 3 * kOperatorCount);
#define KURVANA_NEXT goto* kHandlers[(++ip)->op]
#define KURVANA_CHECK               \
  if (status != kOk) [[unlikely]] { \
    return raise(error, status);    \
  }                                 \
  KURVANA_NEXT
#define KURVANA_FINISH              \
  if (status != kOk) [[unlikely]] { \
    return raise(error, status);    \
  }                                 \
  return finish(top, result, error)
  goto* kHandlers[ip->op];
load_const:
  *sp++ = top;
  top = ip->value;
  KURVANA_NEXT;
load_real:
  *sp++ = top;
  top = *ip->real_slot;
  KURVANA_NEXT;
load_integer:
  *sp++ = top;
  top = *ip->integer_slot;
  KURVANA_NEXT;
#define KURVANA_OPERATOR(Id, CODE_NAME, ...)                                 \
  op_##Id : status = binary<CODE_NAME>(*--sp, top, &top);                    \
  KURVANA_CHECK;                                                             \
  op_##Id##_const : status = binary<CODE_NAME>(top, ip->value, &top);        \
  KURVANA_CHECK;                                                             \
  op_##Id##_slot : status = binary<CODE_NAME>(top, *ip->real_slot, &top);    \
  KURVANA_CHECK;                                                             \
  final_##Id : status = binary<CODE_NAME>(*--sp, top, &top);                 \
  KURVANA_FINISH;                                                            \
  final_##Id##_const : status = binary<CODE_NAME>(top, ip->value, &top);     \
  KURVANA_FINISH;                                                            \
  final_##Id##_slot : status = binary<CODE_NAME>(top, *ip->real_slot, &top); \
  KURVANA_FINISH;
  KURVANA_OPERATORS(KURVANA_OPERATOR)
#undef KURVANA_OPERATOR
  // The pairs: push the top, then the loaded value and the operand.
#define KURVANA_PAIR(Id, CODE_NAME, load, operand, Load, Operand) \
  pair_##Id##_##load##_##operand : * sp++ = top;                  \
  status = binary<CODE_NAME>(Load, (ip + 1)->Operand, &top);      \
  ++ip;                                                           \
  KURVANA_CHECK;
#define KURVANA_PAIRS(Id, CODE_NAME, ...)                           \
  KURVANA_PAIR(Id, CODE_NAME, const, const, ip->value, value)       \
  KURVANA_PAIR(Id, CODE_NAME, const, slot, ip->value, real_slot[0]) \
  KURVANA_PAIR(Id, CODE_NAME, slot, const, *ip->real_slot, value)   \
  KURVANA_PAIR(Id, CODE_NAME, slot, slot, *ip->real_slot, real_slot[0])
  KURVANA_OPERATORS(KURVANA_PAIRS)
#undef KURVANA_PAIRS
#undef KURVANA_PAIR
  // Each unary instruction alone, and after a load of a constant or a slot.
#define KURVANA_EACH_UNARY(Op)                     \
  unary_##Op : status = unary<Op>(top, *ip, &top); \
  KURVANA_CHECK;                                   \
  const_##Op : * sp++ = top;                       \
  status = unary<Op>(ip->value, ip[1], &top);      \
  ++ip;                                            \
  KURVANA_CHECK;                                   \
  slot_##Op : * sp++ = top;                        \
  status = unary<Op>(*ip->real_slot, ip[1], &top); \
  ++ip;                                            \
  KURVANA_CHECK;
  KURVANA_UNARY_OPS
#undef KURVANA_EACH_UNARY
end:
  return finish(top, result, error);
#undef KURVANA_FINISH
#undef KURVANA_CHECK
#undef KURVANA_NEXT
}

// The general path: any depth, and a pop of the empty stack gives 0.0.  A
// push that cannot grow fails the evaluation as out of memory (no error
// object).
[[gnu::noinline]] int run_growing(const RealProgram& program, double* result,
                                  EvalError** error) {
  ValueStack<double> stack;
  for (const Instruction *ip = program.code, *end = ip + program.size;
       ip != end; ++ip) {
    const uint32_t op = ip->op;
    double value = 0.0;
    int status = kOk;
    if (op == kLoadConst) {
      stack.push(ip->value);
    } else if (op == kLoadReal) {
      stack.push(*ip->real_slot);
    } else if (op == kLoadInteger) {
      stack.push(*ip->integer_slot);
    } else if (is_stack_operator(op)) {
      const double r = stack.pop(), l = stack.pop();
      status = binary(op, l, r, &value);
      if (status == kOk) stack.push(value);
    } else if (op == kDropTwo) {
      stack.pop();
      stack.pop();
    } else {
      status = unary(op, stack.pop(), *ip, &value);
      if (status == kOk) stack.push(value);
    }
    if (status != kOk) return raise(error, status);
    if (stack.lost()) [[unlikely]] {
      return 0;
    }
  }
  return finish(stack.pop(), result, error);
}

}  // namespace

bool build_real_program(const TokenList& program, RealProgram* out) {
  *out = RealProgram{};
  const uint32_t count = program.count();
  if (count == 0) return true;
  // One more slot for the end of a fused program.
  auto* code =
      static_cast<Instruction*>(std::malloc((count + 1) * sizeof(Instruction)));
  if (!code) return false;
  // The first element is an operand whatever its kind.
  uint32_t size = 0;
  code[size++] = operand(*program.item(0));
  for (uint32_t i = 1; i < count; ++i) {
    const Instruction instruction = translate(*program.item(i));
    if (instruction.op != kNone) code[size++] = instruction;
  }
  size = rewrite_constant_powers(code, size);
  out->code = code;
  out->depth = required_depth(code, size);
  if (out->depth <= kFixedDepth) {
    size = fuse(code, size);
    close_with_operator(code, size);
    pair_loads(code, size);
    code[size] = Instruction{};
    code[size].op = kEnd;
  }
  out->size = size;
  return true;
}

void release_real_program(RealProgram* program) {
  std::free(program->code);
  *program = RealProgram{};
}

int run_real_program(const RealProgram& program, double* result,
                     EvalError** error) {
  if (program.size == 0) return fail(error, kErrorNoExpression, 0);
  if (program.depth <= kFixedDepth) return run_fixed(program, result, error);
  return run_growing(program, result, error);
}

int Evaluator::EvaluateReal(const TokenList& program, double* result,
                            EvalError** error) {
  RealProgram flat;
  if (!build_real_program(program, &flat)) {
    *error = nullptr;
    return 0;
  }
  const int ok = run_real_program(flat, result, error);
  release_real_program(&flat);
  return ok;
}

}  // namespace eval
