// The error object and the table of codes and messages.
#pragma once

#include <cstdint>

namespace eval {

// One entry per distinct message; codes 4 and 24 have two texts each.
enum ErrorId {
  kErrorDecimalPoints,
  kErrorIntegerKind,
  kErrorInvalidValue,
  kErrorInvalidKind,
  kErrorNoData,
  kErrorBracket,
  kErrorOperator,
  kErrorFunctionBracket,
  kErrorEmptyBrackets,
  kErrorLastCharacter,
  kErrorBracketCount,
  kErrorVariable,
  kErrorNoExpression,
  kErrorDivideByZero,
  kErrorLogDomain,
  kErrorCompiled,
  kErrorNotCompiled,
  kErrorOverflow,
  kErrorIdentifier,
  kErrorNumberFollower,
  kErrorDomain,
  kErrorNotInteger,
  kErrorNotIntegerFunction,
  kErrorCount
};

struct ErrorText {
  int32_t code;
  const char* narrow;    // Shift-JIS bytes, whatever the process code page
  const char16_t* wide;  // UTF-16
};

const ErrorText& error_text(ErrorId id);

class EvalError {
 public:
  virtual ~EvalError();
  EvalError(const EvalError&) = delete;
  EvalError& operator=(const EvalError&) = delete;

  // Null when memory is exhausted.  A message copy that cannot be made is
  // kept as null and handed out as the empty text.
  static EvalError* Make(int32_t code, int32_t position, const char* narrow,
                         const char16_t* wide);
  static EvalError* Make(ErrorId id, int32_t position);

  const char* narrow_message() const { return narrow_; }
  const char16_t* wide_message() const { return wide_; }

  int32_t position = 0;
  int32_t code = 0;

 private:
  EvalError() = default;
  char16_t* wide_ = nullptr;
  char* narrow_ = nullptr;
};

// Stores a new error for |id| into |slot| (null when it cannot be made) and
// returns 0, so that raising sites read `return fail(...)`.
int fail(EvalError** slot, ErrorId id, int32_t position);

// Replaces *slot's error, destroying the previous one.
void replace_error(EvalError** slot, EvalError* error);

}  // namespace eval
