// Real evaluator.  Intermediate results behave as if computed in the 80-bit
// extended format: an operation whose exact result is finite there but
// beyond double's range passes its own check and pushes ±inf.  The checks
// below reproduce that in double arithmetic: with double operands, + - * /
// and the quotients of the trigonometric functions can only leave the
// extended range when an operand is already infinite or NaN.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <utility>

#include "evaluator.h"
#include "math_functions.h"
#include "real_program.h"

namespace eval {

namespace {

enum RealOp : uint32_t {
  kLoadConst,
  kLoadReal,
  kLoadInteger,
  // Operators on the two top values; then the same with the right operand
  // inline (a constant, or a real slot), fused from a load and an operator.
  kAdd,
  kSubtract,
  kMultiply,
  kDivide,
  kPower,
  kAddConst,
  kSubtractConst,
  kMultiplyConst,
  kDivideConst,
  kPowerConst,
  kAddSlot,
  kSubtractSlot,
  kMultiplySlot,
  kDivideSlot,
  kPowerSlot,
  kDropTwo,  // an operator code without meaning: pops its operands only
  kCallSin,
  kCallCos,
  kCallTan,
  kCallSec,
  kCallCosec,
  kCallCot,
  kCallAsin,
  kCallAcos,
  kCallAtan,
  kCallSinh,
  kCallCosh,
  kCallTanh,
  kCallSech,
  kCallCosech,
  kCallCoth,
  kCallLog,
  kCallEx,
  kCallAbs,
  kCallSqrt,
  kCallCub,
  kNone,  // an element that does nothing
  kEnd,   // closes a fused program
};

constexpr uint32_t kOperatorCount = 5;
constexpr uint32_t kUnbounded = UINT32_MAX;
constexpr uint32_t kFixedDepth = 16;
constexpr int kOk = -1;

// exp(x) is finite in the extended format up to ln of its largest value.
constexpr double kExtendedExpLimit = 11356.523406294143;
constexpr double kOneThird = 0.3333333333333333;
constexpr double kInfinity = std::numeric_limits<double>::infinity();

RealOp operator_op(int32_t code) {
  switch (code) {
    case OP_ADD:
      return kAdd;
    case OP_SUBTRACT:
      return kSubtract;
    case OP_MULTIPLY:
      return kMultiply;
    case OP_DIVIDE:
      return kDivide;
    case OP_POWER:
      return kPower;
    default:
      return kDropTwo;
  }
}

RealOp function_op(int32_t code) {
  switch (code) {
    case kFunctionSin:
      return kCallSin;
    case kFunctionCos:
      return kCallCos;
    case kFunctionTan:
      return kCallTan;
    case kFunctionSec:
      return kCallSec;
    case kFunctionCosec:
      return kCallCosec;
    case kFunctionCot:
      return kCallCot;
    case kFunctionAsin:
      return kCallAsin;
    case kFunctionAcos:
      return kCallAcos;
    case kFunctionAtan:
      return kCallAtan;
    case kFunctionSinh:
      return kCallSinh;
    case kFunctionCosh:
      return kCallCosh;
    case kFunctionTanh:
      return kCallTanh;
    case kFunctionSech:
      return kCallSech;
    case kFunctionCosech:
      return kCallCosech;
    case kFunctionCoth:
      return kCallCoth;
    case kFunctionLog:
      return kCallLog;
    case kFunctionEx:
      return kCallEx;
    case kFunctionAbs:
      return kCallAbs;
    case kFunctionSqrt:
      return kCallSqrt;
    case kFunctionCub:
      return kCallCub;
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
bool is_stack_operator(uint32_t op) { return op >= kAdd && op <= kPower; }

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

// One of the five operators (kAdd ... kPower) on L and R: kOk with the
// value in *out, or the error.
template <uint32_t kOp>
inline int binary(double l, double r, double* out) {
  double d;
  if constexpr (kOp == kAdd) {
    d = l + r;
  } else if constexpr (kOp == kSubtract) {
    d = l - r;
  } else if constexpr (kOp == kMultiply) {
    d = l * r;
  } else if constexpr (kOp == kDivide) {
    if (is_zero(r)) return kErrorDivideByZero;
    d = l / r;
  } else {
    d = math::pow(l, r);
    if (d == kInfinity || std::isnan(d)) return kErrorOverflow;
    *out = d;
    return kOk;
  }
  if (extended_overflow(d, l, r)) [[unlikely]] {
    return kErrorOverflow;
  }
  *out = d;
  return kOk;
}

inline int binary(uint32_t op, double l, double r, double* out) {
  switch (op) {
    case kAdd:
      return binary<kAdd>(l, r, out);
    case kSubtract:
      return binary<kSubtract>(l, r, out);
    case kMultiply:
      return binary<kMultiply>(l, r, out);
    case kDivide:
      return binary<kDivide>(l, r, out);
    default:
      return binary<kPower>(l, r, out);
  }
}

// A function on x: kOk with the value in *out, or the error.
template <uint32_t kOp>
inline int function(double x, double* out) {
  double d;
  switch (kOp) {
    case kCallSin:
      d = math::sin(x);
      break;
    case kCallCos:
      d = math::cos(x);
      break;
    case kCallTan:
      d = math::tan(x);
      if (!std::isfinite(d)) return kErrorOverflow;
      break;
    case kCallSec: {
      // A finite nonzero divisor keeps the quotient in the extended range.
      const double c = math::cos(x);
      if (is_zero(c)) return kErrorDivideByZero;
      d = 1.0 / c;
      break;
    }
    case kCallCosec: {
      const double s = math::sin(x);
      if (is_zero(s)) return kErrorDivideByZero;
      d = 1.0 / s;
      break;
    }
    case kCallCot: {
      const double s = math::sin(x);
      if (is_zero(s)) return kErrorDivideByZero;
      d = math::cos(x) / s;
      break;
    }
    case kCallAsin:
      if (!(x >= -1.0 && x <= 1.0)) return kErrorDomain;
      d = math::asin(x);
      break;
    case kCallAcos:
      if (!(x >= -1.0 && x <= 1.0)) return kErrorDomain;
      d = math::acos(x);
      break;
    case kCallAtan:
      d = math::atan(x);
      if (std::isnan(d)) return kErrorOverflow;
      break;
    case kCallSinh:
      d = math::sinh(x);
      break;
    case kCallCosh:
      d = math::cosh(x);
      break;
    case kCallTanh:
      d = math::tanh(x);
      break;
    case kCallSech:
      d = 1.0 / math::cosh(x);
      break;
    case kCallCosech:
      if (is_zero(x)) return kErrorDivideByZero;
      d = 1.0 / math::sinh(x);
      break;
    case kCallCoth: {
      if (is_zero(x)) return kErrorDivideByZero;
      const double c = math::cosh(x), s = math::sinh(x);
      d = c / s;
      if (extended_overflow(d, c, s)) return kErrorOverflow;
      break;
    }
    case kCallLog:
      if (!(x > 0.0)) return kErrorLogDomain;
      d = math::log(x);
      break;
    case kCallEx:
      d = math::exp(x);
      if (std::isnan(d) || (d == kInfinity && !(x <= kExtendedExpLimit))) {
        return kErrorOverflow;
      }
      break;
    case kCallAbs:
      d = std::fabs(x);
      break;
    case kCallSqrt:
      if (!(x >= 0.0)) return kErrorDomain;
      d = math::sqrt(x);
      break;
    default:  // kCallCub
      d = cube_root(x);
      break;
  }
  *out = d;
  return kOk;
}

constexpr uint32_t kFirstFunction = kCallSin;
constexpr uint32_t kFunctionCount = kCallCub - kCallSin + 1;

template <uint32_t... kIndex>
constexpr auto function_table(std::integer_sequence<uint32_t, kIndex...>) {
  using Function = int (*)(double, double*);
  return std::array<Function, sizeof...(kIndex)>{
      &function<kFirstFunction + kIndex>...};
}

// The functions by op, for the general path.
constexpr auto kFunctions =
    function_table(std::make_integer_sequence<uint32_t, kFunctionCount>{});

inline int function(uint32_t op, double x, double* out) {
  return kFunctions[op - kFirstFunction](x, out);
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
// ends with an kEnd instruction, so there is no bound check per step.
int run_fixed(const RealProgram& program, double* result, EvalError** error) {
  double below[kFixedDepth];  // the values under the top one
  double* sp = below;
  double top = 0.0;
  int status = kOk;
  const Instruction* ip = program.code;
  static const void* const kHandlers[] = {
      &&load_const,  &&load_real,      &&load_integer,   &&add,
      &&subtract,    &&multiply,       &&divide,         &&power,
      &&add_const,   &&subtract_const, &&multiply_const, &&divide_const,
      &&power_const, &&add_slot,       &&subtract_slot,  &&multiply_slot,
      &&divide_slot, &&power_slot,
      &&end,  // kDropTwo never occurs in a fused program
      &&f_sin,       &&f_cos,          &&f_tan,          &&f_sec,
      &&f_cosec,     &&f_cot,          &&f_asin,         &&f_acos,
      &&f_atan,      &&f_sinh,         &&f_cosh,         &&f_tanh,
      &&f_sech,      &&f_cosech,       &&f_coth,         &&f_log,
      &&f_ex,        &&f_abs,          &&f_sqrt,         &&f_cub,
      &&end,  // kNone never occurs in a fused program
      &&end,
  };
  static_assert(sizeof kHandlers / sizeof kHandlers[0] == kEnd + 1);
#define KURVANA_NEXT goto* kHandlers[(++ip)->op]
#define KURVANA_CHECK               \
  if (status != kOk) [[unlikely]] { \
    return raise(error, status);    \
  }                                 \
  KURVANA_NEXT
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
#define KURVANA_OPERATOR(NAME, OP)                              \
  NAME:                                                         \
  status = binary<OP>(*--sp, top, &top);                        \
  KURVANA_CHECK;                                                \
  NAME##_const : status = binary<OP>(top, ip->value, &top);     \
  KURVANA_CHECK;                                                \
  NAME##_slot : status = binary<OP>(top, *ip->real_slot, &top); \
  KURVANA_CHECK;
  KURVANA_OPERATOR(add, kAdd)
  KURVANA_OPERATOR(subtract, kSubtract)
  KURVANA_OPERATOR(multiply, kMultiply)
  KURVANA_OPERATOR(divide, kDivide)
  KURVANA_OPERATOR(power, kPower)
#define KURVANA_FUNCTION(NAME, OP)  \
  NAME:                             \
  status = function<OP>(top, &top); \
  KURVANA_CHECK;
  KURVANA_FUNCTION(f_sin, kCallSin)
  KURVANA_FUNCTION(f_cos, kCallCos)
  KURVANA_FUNCTION(f_tan, kCallTan)
  KURVANA_FUNCTION(f_sec, kCallSec)
  KURVANA_FUNCTION(f_cosec, kCallCosec)
  KURVANA_FUNCTION(f_cot, kCallCot)
  KURVANA_FUNCTION(f_asin, kCallAsin)
  KURVANA_FUNCTION(f_acos, kCallAcos)
  KURVANA_FUNCTION(f_atan, kCallAtan)
  KURVANA_FUNCTION(f_sinh, kCallSinh)
  KURVANA_FUNCTION(f_cosh, kCallCosh)
  KURVANA_FUNCTION(f_tanh, kCallTanh)
  KURVANA_FUNCTION(f_sech, kCallSech)
  KURVANA_FUNCTION(f_cosech, kCallCosech)
  KURVANA_FUNCTION(f_coth, kCallCoth)
  KURVANA_FUNCTION(f_log, kCallLog)
  KURVANA_FUNCTION(f_ex, kCallEx)
  KURVANA_FUNCTION(f_abs, kCallAbs)
  KURVANA_FUNCTION(f_sqrt, kCallSqrt)
  KURVANA_FUNCTION(f_cub, kCallCub)
#undef KURVANA_FUNCTION
end:
  return finish(top, result, error);
#undef KURVANA_OPERATOR
#undef KURVANA_CHECK
#undef KURVANA_NEXT
}

// The general path: any depth, a pop of the empty stack gives 0.0, and a
// push that cannot grow is lost.
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
      status = function(op, stack.pop(), &value);
      if (status == kOk) stack.push(value);
    }
    if (status != kOk) return raise(error, status);
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
  out->code = code;
  out->depth = required_depth(code, size);
  if (out->depth <= kFixedDepth) {
    size = fuse(code, size);
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
