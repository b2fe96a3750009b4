#include "function_object.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

namespace eval {

namespace {

template <class Unit>
size_t length_of(const Unit* text) {
  size_t length = 0;
  while (text[length]) ++length;
  return length;
}

template <class Stored, class Unit>
FunctionObject* create(const Unit* text, uint32_t text_flag) {
  if (!text) return nullptr;
  const size_t length = length_of(text);
  void* block =
      std::malloc(sizeof(FunctionObject) + (length + 1) * sizeof(Stored));
  if (!block) return nullptr;
  std::memset(block, 0, sizeof(FunctionObject));
  auto* function = static_cast<FunctionObject*>(block);
  auto* copy = reinterpret_cast<Stored*>(function + 1);
  for (size_t i = 0; i <= length; ++i) copy[i] = static_cast<Stored>(text[i]);
  function->text = copy;
  function->flags = text_flag;
  function->evaluator = new (std::nothrow) Evaluator;
  function->tokens = new (std::nothrow) TokenList;
  function->program = new (std::nothrow) TokenList;
  if (!function->evaluator || !function->tokens || !function->program) {
    delete_function(function);
    return nullptr;
  }
  return function;
}

int record(FunctionObject* function, EvalError* error) {
  replace_error(&function->last_error, error);
  return 0;
}

int record(FunctionObject* function, ErrorId id) {
  return record(function, EvalError::Make(id, 0));
}

// Starts a compilation afresh, so that a retry after a failed one sees only
// its own tokens.
void clear_compilation(FunctionObject* function) {
  function->tokens->destroy();
  function->program->destroy();
  release_real_program(&function->real_program);
}

int tokenize(FunctionObject* function, const void* area, bool integer_mode,
             EvalError** error) {
  Evaluator& evaluator = *function->evaluator;
  if (function->flags & kFlagWide) {
    return evaluator.TokenizeWide(static_cast<const char16_t*>(function->text),
                                  *function->tokens, area, integer_mode, error);
  }
  return evaluator.TokenizeNarrow(static_cast<const char*>(function->text),
                                  *function->tokens, area, integer_mode, error);
}

int compile(FunctionObject* function, const void* area, bool integer_mode,
            int32_t options) {
  if (!function) return 0;
  if (function->flags & kFlagCompiled) return record(function, kErrorCompiled);
  clear_compilation(function);
  Evaluator& evaluator = *function->evaluator;
  EvalError* error = nullptr;
  const bool ok =
      tokenize(function, area, integer_mode, &error) &&
      evaluator.CheckSyntax(*function->tokens, true, &error) &&
      (!integer_mode ||
       evaluator.CheckIntegerExpression(*function->tokens, &error, options)) &&
      evaluator.ConvertToPostfix(*function->program, *function->tokens, 0) &&
      build_real_program(*function->program, &function->real_program);
  if (!ok) return record(function, error);
  function->flags |= kFlagCompiled;
  return 1;
}

template <class Unit>
void copy_message(Unit* destination, const char* narrow, const char16_t* wide) {
  if constexpr (std::is_same_v<Unit, char>) {
    (void)wide;
    const char* source = narrow ? narrow : "";
    std::memcpy(destination, source, std::strlen(source) + 1);
  } else {
    (void)narrow;
    const char16_t* source = wide ? wide : u"";
    size_t i = 0;
    do {
      destination[i] = static_cast<Unit>(source[i]);
    } while (source[i++]);
  }
}

template <class Unit>
void report(const EvalError& error, int32_t* code, int32_t* position,
            Unit* message) {
  if (code) *code = error.code;
  if (position) *position = error.position;
  if (message) {
    copy_message(message, error.narrow_message(), error.wide_message());
  }
}

// The lexer works on char or char16_t; other 16-bit caller types are copied.
template <class Text>
int tokenize_text(Evaluator& evaluator, const Text* text, TokenList& tokens,
                  bool integer_mode, EvalError** error) {
  if constexpr (std::is_same_v<Text, char>) {
    return evaluator.TokenizeNarrow(text, tokens, nullptr, integer_mode, error);
  } else if constexpr (std::is_same_v<Text, char16_t>) {
    return evaluator.TokenizeWide(text, tokens, nullptr, integer_mode, error);
  } else {
    static_assert(sizeof(Text) == sizeof(char16_t));
    const size_t length = length_of(text);
    auto* copy =
        static_cast<char16_t*>(std::malloc((length + 1) * sizeof(char16_t)));
    if (!copy) return 0;
    for (size_t i = 0; i <= length; ++i)
      copy[i] = static_cast<char16_t>(text[i]);
    const int ok =
        evaluator.TokenizeWide(copy, tokens, nullptr, integer_mode, error);
    std::free(copy);
    return ok;
  }
}

// Compiles |text| into |program| for a one-shot call.
template <class Text>
int compile_once(Evaluator& evaluator, const Text* text, TokenList& tokens,
                 TokenList& program, bool integer_mode, int32_t options,
                 EvalError** error) {
  return tokenize_text(evaluator, text, tokens, integer_mode, error) &&
         evaluator.CheckSyntax(tokens, false, error) &&
         (!integer_mode ||
          evaluator.CheckIntegerExpression(tokens, error, options)) &&
         evaluator.ConvertToPostfix(program, tokens, 0);
}

template <class Text>
int finish_once(int ok, EvalError* error, int32_t* code, int32_t* position,
                Text* message) {
  if (!ok && error) report(*error, code, position, message);
  delete error;
  return ok;
}

}  // namespace

FunctionObject* create_function(const char* text) {
  return create<char>(text, kFlagNarrow);
}

template <class Unit>
FunctionObject* create_wide_function(const Unit* text) {
  static_assert(sizeof(Unit) == sizeof(char16_t));
  return create<char16_t>(text, kFlagWide);
}

int delete_function(FunctionObject* function) {
  if (!function) return 0;
  delete function->evaluator;
  delete function->last_error;
  delete function->tokens;
  delete function->program;
  release_real_program(&function->real_program);
  std::free(function);
  return 1;
}

int compile_real(FunctionObject* function, const double* variables) {
  if (!function) return 0;
  return compile(function, variables ? variables : function->real_area, false,
                 0);
}

int compile_integer(FunctionObject* function, const int32_t* variables,
                    int32_t options) {
  if (!function) return 0;
  return compile(function, variables ? variables : function->integer_area, true,
                 options);
}

int calculate_real(FunctionObject* function, double* result) {
  if (!function) return 0;
  if (!(function->flags & kFlagCompiled)) {
    return record(function, kErrorNotCompiled);
  }
  double value;
  EvalError* error = nullptr;
  if (!run_real_program(function->real_program, &value, &error)) {
    return record(function, error);
  }
  if (result) *result = value;
  return 1;
}

int calculate_integer(FunctionObject* function, int32_t* result) {
  if (!function) return 0;
  if (!(function->flags & kFlagCompiled)) {
    return record(function, kErrorNotCompiled);
  }
  int32_t value;
  EvalError* error = nullptr;
  if (!function->evaluator->EvaluateInteger(*function->program, &value,
                                            &error)) {
    return record(function, error);
  }
  if (result) *result = value;
  return 1;
}

template <class Unit>
int get_last_error(FunctionObject* function, int32_t* code, int32_t* position,
                   Unit* message) {
  if (!function) return 0;
  const EvalError* error = function->last_error;
  if (!error) {
    if (code) *code = 0;
    return 1;
  }
  if (code) {
    *code = error->code;
    if (position) *position = error->position;
  }
  if (message) {
    copy_message(message, error->narrow_message(), error->wide_message());
  }
  return 1;
}

template <class Text>
int calculate_real_once(const Text* text, double* result, int32_t* code,
                        int32_t* position, Text* message) {
  // A null result location is refused rather than written through.
  if (!text || !result) return 0;
  Evaluator evaluator;
  TokenList tokens;
  TokenList program;
  EvalError* error = nullptr;
  const int ok =
      compile_once(evaluator, text, tokens, program, false, 0, &error) &&
      evaluator.EvaluateReal(program, result, &error);
  return finish_once(ok, error, code, position, message);
}

template <class Text>
int calculate_integer_once(const Text* text, int32_t* result, int32_t options,
                           int32_t* code, int32_t* position, Text* message) {
  if (!text || !result) return 0;
  Evaluator evaluator;
  TokenList tokens;
  TokenList program;
  EvalError* error = nullptr;
  const int ok =
      compile_once(evaluator, text, tokens, program, true, options, &error) &&
      evaluator.EvaluateInteger(program, result, &error);
  return finish_once(ok, error, code, position, message);
}

template FunctionObject* create_wide_function(const char16_t*);
template int get_last_error(FunctionObject*, int32_t*, int32_t*, char*);
template int get_last_error(FunctionObject*, int32_t*, int32_t*, char16_t*);
template int calculate_real_once(const char*, double*, int32_t*, int32_t*,
                                 char*);
template int calculate_real_once(const char16_t*, double*, int32_t*, int32_t*,
                                 char16_t*);
template int calculate_integer_once(const char*, int32_t*, int32_t, int32_t*,
                                    int32_t*, char*);
template int calculate_integer_once(const char16_t*, int32_t*, int32_t,
                                    int32_t*, int32_t*, char16_t*);
#ifdef _WIN32
template FunctionObject* create_wide_function(const wchar_t*);
template int get_last_error(FunctionObject*, int32_t*, int32_t*, wchar_t*);
template int calculate_real_once(const wchar_t*, double*, int32_t*, int32_t*,
                                 wchar_t*);
template int calculate_integer_once(const wchar_t*, int32_t*, int32_t, int32_t*,
                                    int32_t*, wchar_t*);
#endif

}  // namespace eval
