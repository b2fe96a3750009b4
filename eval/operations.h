// The language's operators and functions, one row each.  The token codes,
// the lexer's names and characters, the priorities, the integer check and
// the real evaluator's instruction set and dispatch are all generated from
// these two lists; each evaluator states the semantics of every row, and
// the build fails where one is missing.
#pragma once

#include <cstdint>

#include "eval.h"

// X(Id, CODE_NAME, code, character, priority, integer option): the integer
// option is the option bit that admits the operator in integer mode, 0 when
// it is always admitted.
#define KURVANA_OPERATORS(X)                                  \
  X(Add, OP_ADD, 0x1000001, '+', 10, 0)                       \
  X(Subtract, OP_SUBTRACT, 0x1000002, '-', 10, 0)             \
  X(Multiply, OP_MULTIPLY, 0x1000003, '*', 20, 0)             \
  X(Divide, OP_DIVIDE, 0x1000004, '/', 20, EVAL_ALLOW_DIVIDE) \
  X(Power, OP_POWER, 0x1000005, '^', 30, EVAL_ALLOW_POWER)

// X(Id, name, code): the lexer compares a whole run of letters with each
// name, exactly and case-sensitively, so at most one can match; the high
// half of a code groups the functions.
#define KURVANA_FUNCTIONS(X)   \
  X(Sin, "sin", 0x10001)       \
  X(Cos, "cos", 0x10002)       \
  X(Tan, "tan", 0x10003)       \
  X(Sec, "sec", 0x10004)       \
  X(Cosec, "cosec", 0x10005)   \
  X(Cot, "cot", 0x10006)       \
  X(Asin, "asin", 0x10011)     \
  X(Acos, "acos", 0x10012)     \
  X(Atan, "atan", 0x10013)     \
  X(Sinh, "sinh", 0x20001)     \
  X(Cosh, "cosh", 0x20002)     \
  X(Tanh, "tanh", 0x20003)     \
  X(Sech, "sech", 0x20004)     \
  X(Cosech, "cosech", 0x20005) \
  X(Coth, "coth", 0x20006)     \
  X(Log, "log", 0x30001)       \
  X(Ex, "ex", 0x30002)         \
  X(Abs, "abs", 0x40001)       \
  X(Sqrt, "sqrt", 0x40002)     \
  X(Cub, "cub", 0x40003)

namespace eval {

#define KURVANA_CODE(Id, CODE_NAME, code, ...) CODE_NAME = code,
enum OperatorCode : int32_t { KURVANA_OPERATORS(KURVANA_CODE) };
#undef KURVANA_CODE

#define KURVANA_CODE(Id, name, code) kFunction##Id = code,
enum FunctionCode : int32_t { KURVANA_FUNCTIONS(KURVANA_CODE) };
#undef KURVANA_CODE

struct OperatorRecord {
  int32_t code;
  char character;
  int32_t priority;
  int32_t integer_option;
};

#define KURVANA_RECORD(Id, CODE_NAME, code, character, priority, option) \
  {CODE_NAME, character, priority, option},
inline constexpr OperatorRecord kOperatorRecords[] = {
    KURVANA_OPERATORS(KURVANA_RECORD)};
#undef KURVANA_RECORD

struct FunctionRecord {
  const char* name;
  int32_t code;
};

#define KURVANA_RECORD(Id, name, code) {name, kFunction##Id},
inline constexpr FunctionRecord kFunctionRecords[] = {
    KURVANA_FUNCTIONS(KURVANA_RECORD)};
#undef KURVANA_RECORD

// The operator with this code, or null.
constexpr const OperatorRecord* operator_by_code(int32_t code) {
  for (const OperatorRecord& record : kOperatorRecords) {
    if (record.code == code) return &record;
  }
  return nullptr;
}

// The operator written with this character, or null.
constexpr const OperatorRecord* operator_by_character(char character) {
  for (const OperatorRecord& record : kOperatorRecords) {
    if (record.character == character) return &record;
  }
  return nullptr;
}

}  // namespace eval
