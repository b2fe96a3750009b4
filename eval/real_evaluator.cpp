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
  R_CONST,
  R_REAL_SLOT,
  R_INTEGER_SLOT,
  // Operators on the two top values; then the same with the right operand
  // inline (a constant, or a real slot), fused from a load and an operator.
  R_ADD,
  R_SUBTRACT,
  R_MULTIPLY,
  R_DIVIDE,
  R_POWER,
  R_ADD_CONST,
  R_SUBTRACT_CONST,
  R_MULTIPLY_CONST,
  R_DIVIDE_CONST,
  R_POWER_CONST,
  R_ADD_SLOT,
  R_SUBTRACT_SLOT,
  R_MULTIPLY_SLOT,
  R_DIVIDE_SLOT,
  R_POWER_SLOT,
  R_DROP_TWO,  // an operator code without meaning: pops its operands only
  R_SIN,
  R_COS,
  R_TAN,
  R_SEC,
  R_COSEC,
  R_COT,
  R_ASIN,
  R_ACOS,
  R_ATAN,
  R_SINH,
  R_COSH,
  R_TANH,
  R_SECH,
  R_COSECH,
  R_COTH,
  R_LOG,
  R_EX,
  R_ABS,
  R_SQRT,
  R_CUB,
  R_NONE,  // an element that does nothing
  R_END,   // closes a fused program
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
      return R_ADD;
    case OP_SUBTRACT:
      return R_SUBTRACT;
    case OP_MULTIPLY:
      return R_MULTIPLY;
    case OP_DIVIDE:
      return R_DIVIDE;
    case OP_POWER:
      return R_POWER;
    default:
      return R_DROP_TWO;
  }
}

RealOp function_op(int32_t code) {
  switch (code) {
    case FN_SIN:
      return R_SIN;
    case FN_COS:
      return R_COS;
    case FN_TAN:
      return R_TAN;
    case FN_SEC:
      return R_SEC;
    case FN_COSEC:
      return R_COSEC;
    case FN_COT:
      return R_COT;
    case FN_ASIN:
      return R_ASIN;
    case FN_ACOS:
      return R_ACOS;
    case FN_ATAN:
      return R_ATAN;
    case FN_SINH:
      return R_SINH;
    case FN_COSH:
      return R_COSH;
    case FN_TANH:
      return R_TANH;
    case FN_SECH:
      return R_SECH;
    case FN_COSECH:
      return R_COSECH;
    case FN_COTH:
      return R_COTH;
    case FN_LOG:
      return R_LOG;
    case FN_EX:
      return R_EX;
    case FN_ABS:
      return R_ABS;
    case FN_SQRT:
      return R_SQRT;
    case FN_CUB:
      return R_CUB;
    default:
      return R_NONE;
  }
}

Instruction operand(const Token& token) {
  Instruction instruction{};
  if (token.kind == KIND_REAL_VARIABLE && token.value_pointer) {
    instruction.op = R_REAL_SLOT;
    instruction.real_slot = static_cast<const double*>(token.value_pointer);
  } else if (token.kind == KIND_INTEGER_VARIABLE && token.value_pointer) {
    instruction.op = R_INTEGER_SLOT;
    instruction.integer_slot = static_cast<const int32_t*>(token.value_pointer);
  } else {
    instruction.op = R_CONST;
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
      instruction.op = R_NONE;
      return instruction;
    }
  }
}

bool is_load(uint32_t op) { return op <= R_INTEGER_SLOT; }
bool is_stack_operator(uint32_t op) { return op >= R_ADD && op <= R_POWER; }

// Stack depth an unfused program reaches, or kUnbounded when it could pop
// an empty stack, or end without a value, or drop operands.
uint32_t required_depth(const Instruction* code, uint32_t size) {
  int64_t depth = 0;
  int64_t deepest = 0;
  for (uint32_t i = 0; i < size; ++i) {
    const uint32_t op = code[i].op;
    if (op == R_DROP_TWO) return kUnbounded;
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
                         (load.op == R_CONST || load.op == R_REAL_SLOT) &&
                         is_stack_operator(code[i + 1].op);
    if (!fusable) {
      code[out++] = load;
      continue;
    }
    Instruction fused = load;
    const uint32_t offset = load.op == R_CONST ? 1 : 2;
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

// One of the five operators (R_ADD ... R_POWER) on L and R: kOk with the
// value in *out, or the error.
template <uint32_t kOp>
inline int binary(double l, double r, double* out) {
  double d;
  if constexpr (kOp == R_ADD) {
    d = l + r;
  } else if constexpr (kOp == R_SUBTRACT) {
    d = l - r;
  } else if constexpr (kOp == R_MULTIPLY) {
    d = l * r;
  } else if constexpr (kOp == R_DIVIDE) {
    if (is_zero(r)) return ERR_DIVIDE_BY_ZERO;
    d = l / r;
  } else {
    d = math::pow(l, r);
    if (d == kInfinity || std::isnan(d)) return ERR_OVERFLOW;
    *out = d;
    return kOk;
  }
  if (extended_overflow(d, l, r)) [[unlikely]] {
    return ERR_OVERFLOW;
  }
  *out = d;
  return kOk;
}

inline int binary(uint32_t op, double l, double r, double* out) {
  switch (op) {
    case R_ADD:
      return binary<R_ADD>(l, r, out);
    case R_SUBTRACT:
      return binary<R_SUBTRACT>(l, r, out);
    case R_MULTIPLY:
      return binary<R_MULTIPLY>(l, r, out);
    case R_DIVIDE:
      return binary<R_DIVIDE>(l, r, out);
    default:
      return binary<R_POWER>(l, r, out);
  }
}

// A function on x: kOk with the value in *out, or the error.
template <uint32_t kOp>
inline int function(double x, double* out) {
  double d;
  switch (kOp) {
    case R_SIN:
      d = math::sin(x);
      break;
    case R_COS:
      d = math::cos(x);
      break;
    case R_TAN:
      d = math::tan(x);
      if (!std::isfinite(d)) return ERR_OVERFLOW;
      break;
    case R_SEC: {
      // A finite nonzero divisor keeps the quotient in the extended range.
      const double c = math::cos(x);
      if (is_zero(c)) return ERR_DIVIDE_BY_ZERO;
      d = 1.0 / c;
      break;
    }
    case R_COSEC: {
      const double s = math::sin(x);
      if (is_zero(s)) return ERR_DIVIDE_BY_ZERO;
      d = 1.0 / s;
      break;
    }
    case R_COT: {
      const double s = math::sin(x);
      if (is_zero(s)) return ERR_DIVIDE_BY_ZERO;
      d = math::cos(x) / s;
      break;
    }
    case R_ASIN:
      if (!(x >= -1.0 && x <= 1.0)) return ERR_DOMAIN;
      d = math::asin(x);
      break;
    case R_ACOS:
      if (!(x >= -1.0 && x <= 1.0)) return ERR_DOMAIN;
      d = math::acos(x);
      break;
    case R_ATAN:
      d = math::atan(x);
      if (std::isnan(d)) return ERR_OVERFLOW;
      break;
    case R_SINH:
      d = math::sinh(x);
      break;
    case R_COSH:
      d = math::cosh(x);
      break;
    case R_TANH:
      d = math::tanh(x);
      break;
    case R_SECH:
      d = 1.0 / math::cosh(x);
      break;
    case R_COSECH:
      if (is_zero(x)) return ERR_DIVIDE_BY_ZERO;
      d = 1.0 / math::sinh(x);
      break;
    case R_COTH: {
      if (is_zero(x)) return ERR_DIVIDE_BY_ZERO;
      const double c = math::cosh(x), s = math::sinh(x);
      d = c / s;
      if (extended_overflow(d, c, s)) return ERR_OVERFLOW;
      break;
    }
    case R_LOG:
      if (!(x > 0.0)) return ERR_LOG_DOMAIN;
      d = math::log(x);
      break;
    case R_EX:
      d = math::exp(x);
      if (std::isnan(d) || (d == kInfinity && !(x <= kExtendedExpLimit))) {
        return ERR_OVERFLOW;
      }
      break;
    case R_ABS:
      d = std::fabs(x);
      break;
    case R_SQRT:
      if (!(x >= 0.0)) return ERR_DOMAIN;
      d = math::sqrt(x);
      break;
    default:  // R_CUB
      d = cube_root(x);
      break;
  }
  *out = d;
  return kOk;
}

constexpr uint32_t kFirstFunction = R_SIN;
constexpr uint32_t kFunctionCount = R_CUB - R_SIN + 1;

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
  if (!std::isfinite(value)) return fail(error, ERR_OVERFLOW, 0);
  return 1;
}

// The hot path: a fused program whose depth fits the fixed stack, with the
// top value kept in a register, dispatched by threaded jumps: the program
// ends with an R_END instruction, so there is no bound check per step.
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
      &&end,  // R_DROP_TWO never occurs in a fused program
      &&f_sin,       &&f_cos,          &&f_tan,          &&f_sec,
      &&f_cosec,     &&f_cot,          &&f_asin,         &&f_acos,
      &&f_atan,      &&f_sinh,         &&f_cosh,         &&f_tanh,
      &&f_sech,      &&f_cosech,       &&f_coth,         &&f_log,
      &&f_ex,        &&f_abs,          &&f_sqrt,         &&f_cub,
      &&end,  // R_NONE never occurs in a fused program
      &&end,
  };
  static_assert(sizeof kHandlers / sizeof kHandlers[0] == R_END + 1);
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
  KURVANA_OPERATOR(add, R_ADD)
  KURVANA_OPERATOR(subtract, R_SUBTRACT)
  KURVANA_OPERATOR(multiply, R_MULTIPLY)
  KURVANA_OPERATOR(divide, R_DIVIDE)
  KURVANA_OPERATOR(power, R_POWER)
#define KURVANA_FUNCTION(NAME, OP)  \
  NAME:                             \
  status = function<OP>(top, &top); \
  KURVANA_CHECK;
  KURVANA_FUNCTION(f_sin, R_SIN)
  KURVANA_FUNCTION(f_cos, R_COS)
  KURVANA_FUNCTION(f_tan, R_TAN)
  KURVANA_FUNCTION(f_sec, R_SEC)
  KURVANA_FUNCTION(f_cosec, R_COSEC)
  KURVANA_FUNCTION(f_cot, R_COT)
  KURVANA_FUNCTION(f_asin, R_ASIN)
  KURVANA_FUNCTION(f_acos, R_ACOS)
  KURVANA_FUNCTION(f_atan, R_ATAN)
  KURVANA_FUNCTION(f_sinh, R_SINH)
  KURVANA_FUNCTION(f_cosh, R_COSH)
  KURVANA_FUNCTION(f_tanh, R_TANH)
  KURVANA_FUNCTION(f_sech, R_SECH)
  KURVANA_FUNCTION(f_cosech, R_COSECH)
  KURVANA_FUNCTION(f_coth, R_COTH)
  KURVANA_FUNCTION(f_log, R_LOG)
  KURVANA_FUNCTION(f_ex, R_EX)
  KURVANA_FUNCTION(f_abs, R_ABS)
  KURVANA_FUNCTION(f_sqrt, R_SQRT)
  KURVANA_FUNCTION(f_cub, R_CUB)
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
    if (op == R_CONST) {
      stack.push(ip->value);
    } else if (op == R_REAL_SLOT) {
      stack.push(*ip->real_slot);
    } else if (op == R_INTEGER_SLOT) {
      stack.push(*ip->integer_slot);
    } else if (is_stack_operator(op)) {
      const double r = stack.pop(), l = stack.pop();
      status = binary(op, l, r, &value);
      if (status == kOk) stack.push(value);
    } else if (op == R_DROP_TWO) {
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
    if (instruction.op != R_NONE) code[size++] = instruction;
  }
  out->code = code;
  out->depth = required_depth(code, size);
  if (out->depth <= kFixedDepth) {
    size = fuse(code, size);
    code[size] = Instruction{};
    code[size].op = R_END;
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
  if (program.size == 0) return fail(error, ERR_NO_EXPRESSION, 0);
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
