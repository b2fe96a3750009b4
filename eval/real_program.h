// The compiled program in the flat form that the real evaluator runs: one
// instruction per program element, operands inline, so that an evaluation
// is a single walk over contiguous memory.
#pragma once

#include <cstdint>

#include "error.h"
#include "token.h"

namespace eval {

struct Instruction {
  uint32_t op;
  union {
    double value;
    const double* real_slot;
    const int32_t* integer_slot;
    int32_t exponent;  // of a constant integer power
  };
};

// Zero-filled is the valid empty state, so a function object that is
// zero-filled at creation holds an empty one.
struct RealProgram {
  Instruction* code;
  uint32_t size;
  // Stack depth the program reaches; kUnbounded when some instruction could
  // pop an empty stack, which the fixed-size fast path cannot serve.
  uint32_t depth;
};

// Builds the flat form of |program|; false when memory is exhausted.
bool build_real_program(const TokenList& program, RealProgram* out);
void release_real_program(RealProgram* program);

// Runs the program: stores the final value into *result (also when it then
// fails the final check) and returns 1, or returns 0 after storing an error
// (or null) into *error.
int run_real_program(const RealProgram& program, double* result,
                     EvalError** error);

}  // namespace eval
