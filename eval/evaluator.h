// The stages of the compile and evaluate pipeline.  Each stage lives in a
// file of its own; this class only gathers them, as every function object
// and every one-shot call owns one.
#pragma once

#include <cstdint>

#include "error.h"
#include "token.h"

namespace eval {

// Run classes recorded by the lexer for the run in progress.
enum RunClass : int {
  kRunStart = 0,
  kRunNumber = 1,
  kRunOperator = 3,
  kRunLetters = 4,
  kRunBracket = 5,
  kRunSpace = 6,
};

class Evaluator {
 public:
  virtual ~Evaluator() = default;

  // Lexer: appends the tokens of |text| to |list|.  |area| is the variable
  // area (26 doubles, or 26 int32 in integer mode) or null.  Returns 1, or 0
  // after storing an error (or null) into |error|.
  int TokenizeNarrow(const char* text, TokenList& list, const void* area,
                     bool integer_mode, EvalError** error);
  int TokenizeWide(const char16_t* text, TokenList& list, const void* area,
                   bool integer_mode, EvalError** error);
  // One run of characters of one class; |run| is null-terminated.
  template <class Unit>
  int InterpretRun(TokenList& list, const Unit* run, int run_class,
                   const void* area, bool integer_mode, int32_t position,
                   int run_flag, EvalError** error);

  int CheckSyntax(const TokenList& list, bool variables_allowed,
                  EvalError** error);
  int CheckIntegerExpression(const TokenList& list, EvalError** error,
                             int32_t options);

  // Appends the postfix program of |infix| to |program|.  Returns 0 on
  // failure, otherwise a nonzero index.
  uint32_t ConvertToPostfix(TokenList& program, const TokenList& infix,
                            uint32_t start);

  int EvaluateReal(const TokenList& program, double* result, EvalError** error);
  int EvaluateInteger(const TokenList& program, int32_t* result,
                      EvalError** error);
};

}  // namespace eval
