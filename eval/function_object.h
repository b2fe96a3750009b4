// The function object behind a handle, and the operations the exports run.
#pragma once

#include <cstdint>

#include "error.h"
#include "eval.h"
#include "evaluator.h"
#include "real_program.h"
#include "token.h"

namespace eval {

// Bits of FunctionObject::flags.
constexpr uint32_t kFlagNarrow = 0x1;
constexpr uint32_t kFlagWide = 0x2;
constexpr uint32_t kFlagCompiled = 0x10;

}  // namespace eval

// The fixed part is zero-filled at creation; the text copy follows it in
// the same allocation.
struct FunctionObject {
  uint32_t flags;
  const void* text;  // char or char16_t, null-terminated
  double real_area[EVAL_VARIABLE_COUNT];
  int32_t integer_area[EVAL_VARIABLE_COUNT];
  eval::EvalError* last_error;
  eval::Evaluator* evaluator;
  eval::TokenList* tokens;
  eval::TokenList* program;
  eval::RealProgram real_program;  // flat form of |program| for evaluation
};

namespace eval {

FunctionObject* create_function(const char* text);
// |Unit| is any 16-bit unit type (char16_t, or wchar_t on Windows).
template <class Unit>
FunctionObject* create_wide_function(const Unit* text);
int delete_function(FunctionObject* function);

int compile_real(FunctionObject* function, const double* variables);
int compile_integer(FunctionObject* function, const int32_t* variables,
                    int32_t options);
int calculate_real(FunctionObject* function, double* result);
int calculate_integer(FunctionObject* function, int32_t* result);

// Copies the last error to the outputs; Unit is char for the narrow message,
// a 16-bit type for the wide one.
template <class Unit>
int get_last_error(FunctionObject* function, int32_t* code, int32_t* position,
                   Unit* message);

// One-shot evaluation of a text without variables.  |Text| is char or a
// 16-bit unit type; |Unit| the message type, matching it.
template <class Text>
int calculate_real_once(const Text* text, double* result, int32_t* code,
                        int32_t* position, Text* message);
template <class Text>
int calculate_integer_once(const Text* text, int32_t* result, int32_t options,
                           int32_t* code, int32_t* position, Text* message);

}  // namespace eval
