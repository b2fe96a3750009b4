// Real evaluator.  Intermediate results behave as if computed in the 80-bit
// extended format: an operation whose exact result is finite there but
// beyond double's range passes its own check and pushes ±inf.  The checks
// below reproduce that in double arithmetic: with double operands, + - * /
// and the quotients of the trigonometric functions can only leave the
// extended range when an operand is already infinite or NaN.
#include <cmath>
#include <cstdlib>
#include <limits>

#include "evaluator.h"
#include "real_program.h"

namespace eval {

namespace {

enum RealOp : uint32_t {
  R_CONST,
  R_REAL_SLOT,
  R_INTEGER_SLOT,
  R_ADD,
  R_SUBTRACT,
  R_MULTIPLY,
  R_DIVIDE,
  R_POWER,
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
};

constexpr uint32_t kUnbounded = UINT32_MAX;
constexpr uint32_t kFixedDepth = 16;

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

// Net effect of one instruction on the stack: pops, then pushes.
void stack_effect(uint32_t op, int& pops, int& pushes) {
  if (op <= R_INTEGER_SLOT) {
    pops = 0, pushes = 1;
  } else if (op <= R_POWER) {
    pops = 2, pushes = 1;
  } else if (op == R_DROP_TWO) {
    pops = 2, pushes = 0;
  } else {
    pops = 1, pushes = 1;
  }
}

uint32_t required_depth(const Instruction* code, uint32_t size) {
  int64_t depth = 0;
  int64_t deepest = 0;
  for (uint32_t i = 0; i < size; ++i) {
    int pops = 0, pushes = 0;
    stack_effect(code[i].op, pops, pushes);
    if (depth < pops) return kUnbounded;
    depth += pushes - pops;
    if (depth > deepest) deepest = depth;
  }
  // The final value is popped too.
  return depth >= 1 ? static_cast<uint32_t>(deepest) : kUnbounded;
}

// Fixed-size stack for programs known never to exceed it nor to pop empty.
class FixedStack {
 public:
  void push(double value) { *top_++ = value; }
  double pop() { return *--top_; }

 private:
  double items_[kFixedDepth];
  double* top_ = items_;
};

// Growing stack with the general rules: a pop of the empty stack is 0.0 and
// a push that cannot grow is lost.
class GrowingStack {
 public:
  void push(double value) { stack_.push(value); }
  double pop() { return stack_.pop(); }

 private:
  ValueStack<double> stack_;
};

// True when an operation on these operands leaves the extended range: only
// possible when an operand is infinite or NaN.
inline bool extended_overflow(double result, double left, double right) {
  return !std::isfinite(result) &&
         !(std::isfinite(left) && std::isfinite(right));
}

inline bool is_zero(double value) { return value == 0.0 || std::isnan(value); }

inline double cube_root(double x) {
  return x >= 0.0 ? std::pow(x, kOneThird) : -std::pow(-x, kOneThird);
}

template <class Stack>
int run(const RealProgram& program, double* result, EvalError** error) {
  Stack stack;
  const Instruction* ip = program.code;
  const Instruction* const end = ip + program.size;
  for (; ip != end; ++ip) {
    switch (ip->op) {
      case R_CONST:
        stack.push(ip->value);
        break;
      case R_REAL_SLOT:
        stack.push(*ip->real_slot);
        break;
      case R_INTEGER_SLOT:
        stack.push(*ip->integer_slot);
        break;
      case R_ADD: {
        const double r = stack.pop(), l = stack.pop(), d = l + r;
        if (extended_overflow(d, l, r)) return fail(error, ERR_OVERFLOW, 0);
        stack.push(d);
        break;
      }
      case R_SUBTRACT: {
        const double r = stack.pop(), l = stack.pop(), d = l - r;
        if (extended_overflow(d, l, r)) return fail(error, ERR_OVERFLOW, 0);
        stack.push(d);
        break;
      }
      case R_MULTIPLY: {
        const double r = stack.pop(), l = stack.pop(), d = l * r;
        if (extended_overflow(d, l, r)) return fail(error, ERR_OVERFLOW, 0);
        stack.push(d);
        break;
      }
      case R_DIVIDE: {
        const double r = stack.pop(), l = stack.pop();
        if (is_zero(r)) return fail(error, ERR_DIVIDE_BY_ZERO, 0);
        const double d = l / r;
        if (extended_overflow(d, l, r)) return fail(error, ERR_OVERFLOW, 0);
        stack.push(d);
        break;
      }
      case R_POWER: {
        const double r = stack.pop(), l = stack.pop(), d = std::pow(l, r);
        if (d == kInfinity || std::isnan(d)) {
          return fail(error, ERR_OVERFLOW, 0);
        }
        stack.push(d);
        break;
      }
      case R_DROP_TWO:
        stack.pop();
        stack.pop();
        break;
      case R_SIN:
        stack.push(std::sin(stack.pop()));
        break;
      case R_COS:
        stack.push(std::cos(stack.pop()));
        break;
      case R_TAN: {
        const double d = std::tan(stack.pop());
        if (!std::isfinite(d)) return fail(error, ERR_OVERFLOW, 0);
        stack.push(d);
        break;
      }
      case R_SEC: {
        // A finite nonzero divisor keeps the quotient in the extended range.
        const double c = std::cos(stack.pop());
        if (is_zero(c)) return fail(error, ERR_DIVIDE_BY_ZERO, 0);
        stack.push(1.0 / c);
        break;
      }
      case R_COSEC: {
        const double s = std::sin(stack.pop());
        if (is_zero(s)) return fail(error, ERR_DIVIDE_BY_ZERO, 0);
        stack.push(1.0 / s);
        break;
      }
      case R_COT: {
        const double x = stack.pop(), s = std::sin(x);
        if (is_zero(s)) return fail(error, ERR_DIVIDE_BY_ZERO, 0);
        stack.push(std::cos(x) / s);
        break;
      }
      case R_ASIN: {
        const double x = stack.pop();
        if (!(x >= -1.0 && x <= 1.0)) return fail(error, ERR_DOMAIN, 0);
        stack.push(std::asin(x));
        break;
      }
      case R_ACOS: {
        const double x = stack.pop();
        if (!(x >= -1.0 && x <= 1.0)) return fail(error, ERR_DOMAIN, 0);
        stack.push(std::acos(x));
        break;
      }
      case R_ATAN: {
        const double d = std::atan(stack.pop());
        if (std::isnan(d)) return fail(error, ERR_OVERFLOW, 0);
        stack.push(d);
        break;
      }
      case R_SINH:
        stack.push(std::sinh(stack.pop()));
        break;
      case R_COSH:
        stack.push(std::cosh(stack.pop()));
        break;
      case R_TANH:
        stack.push(std::tanh(stack.pop()));
        break;
      case R_SECH:
        stack.push(1.0 / std::cosh(stack.pop()));
        break;
      case R_COSECH: {
        const double x = stack.pop();
        if (is_zero(x)) return fail(error, ERR_DIVIDE_BY_ZERO, 0);
        stack.push(1.0 / std::sinh(x));
        break;
      }
      case R_COTH: {
        const double x = stack.pop();
        if (is_zero(x)) return fail(error, ERR_DIVIDE_BY_ZERO, 0);
        const double c = std::cosh(x), s = std::sinh(x), d = c / s;
        if (extended_overflow(d, c, s)) return fail(error, ERR_OVERFLOW, 0);
        stack.push(d);
        break;
      }
      case R_LOG: {
        const double x = stack.pop();
        if (!(x > 0.0)) return fail(error, ERR_LOG_DOMAIN, 0);
        stack.push(std::log(x));
        break;
      }
      case R_EX: {
        const double x = stack.pop(), d = std::exp(x);
        if (std::isnan(d) || (d == kInfinity && !(x <= kExtendedExpLimit))) {
          return fail(error, ERR_OVERFLOW, 0);
        }
        stack.push(d);
        break;
      }
      case R_ABS:
        stack.push(std::fabs(stack.pop()));
        break;
      case R_SQRT: {
        const double x = stack.pop();
        if (!(x >= 0.0)) return fail(error, ERR_DOMAIN, 0);
        stack.push(std::sqrt(x));
        break;
      }
      case R_CUB:
        stack.push(cube_root(stack.pop()));
        break;
      default:
        break;
    }
  }
  const double value = stack.pop();
  *result = value;
  if (!std::isfinite(value)) return fail(error, ERR_OVERFLOW, 0);
  return 1;
}

}  // namespace

bool build_real_program(const TokenList& program, RealProgram* out) {
  *out = RealProgram{};
  const uint32_t count = program.count();
  if (count == 0) return true;
  auto* code =
      static_cast<Instruction*>(std::malloc(count * sizeof(Instruction)));
  if (!code) return false;
  // The first element is an operand whatever its kind.
  uint32_t size = 0;
  code[size++] = operand(*program.item(0));
  for (uint32_t i = 1; i < count; ++i) {
    const Instruction instruction = translate(*program.item(i));
    if (instruction.op != R_NONE) code[size++] = instruction;
  }
  out->code = code;
  out->size = size;
  out->depth = required_depth(code, size);
  return true;
}

void release_real_program(RealProgram* program) {
  std::free(program->code);
  *program = RealProgram{};
}

int run_real_program(const RealProgram& program, double* result,
                     EvalError** error) {
  if (program.size == 0) return fail(error, ERR_NO_EXPRESSION, 0);
  if (program.depth <= kFixedDepth) {
    return run<FixedStack>(program, result, error);
  }
  return run<GrowingStack>(program, result, error);
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
