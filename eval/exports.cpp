// The library's exported C interface: thin forwards to the function object.
#include "eval.h"
#include "function_object.h"

using namespace eval;

namespace {

// No exception leaves an exported function: its callers may be C or another
// language, and unwinding into their frames is undefined.  An export whose
// work throws (std::bad_alloc from a container) gives its failure result,
// 0 or null, as when the library runs out of memory.
template <typename Result, typename Body>
Result guarded(Result failed, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return failed;
  }
}

}  // namespace

extern "C" {

EvalFunction EVALAPI CreateFunctionA(const char* text) {
  return guarded(EvalFunction{nullptr}, [&] { return create_function(text); });
}

EvalFunction EVALAPI CreateFunctionW(const EvalWideChar* text) {
  return guarded(EvalFunction{nullptr},
                 [&] { return create_wide_function(text); });
}

int32_t EVALAPI CompileDFunction(EvalFunction function,
                                 const double* variables) {
  return guarded(int32_t{0}, [&] { return compile_real(function, variables); });
}

int32_t EVALAPI CompileIFunction(EvalFunction function,
                                 const int32_t* variables, int32_t options) {
  return guarded(int32_t{0},
                 [&] { return compile_integer(function, variables, options); });
}

int32_t EVALAPI CalculateDFunction(EvalFunction function, double* result) {
  return guarded(int32_t{0}, [&] { return calculate_real(function, result); });
}

int32_t EVALAPI CalculateIFunction(EvalFunction function, int32_t* result) {
  return guarded(int32_t{0},
                 [&] { return calculate_integer(function, result); });
}

int32_t EVALAPI DeleteFunction(EvalFunction function) {
  return guarded(int32_t{0}, [&] { return delete_function(function); });
}

int32_t EVALAPI GetLastErrorByFunctionA(EvalFunction function, int32_t* code,
                                        int32_t* position, char* message) {
  return guarded(int32_t{0}, [&] {
    return get_last_error(function, code, position, message);
  });
}

int32_t EVALAPI GetLastErrorByFunctionW(EvalFunction function, int32_t* code,
                                        int32_t* position,
                                        EvalWideChar* message) {
  return guarded(int32_t{0}, [&] {
    return get_last_error(function, code, position, message);
  });
}

int32_t EVALAPI CalculateDInDirectA(const char* text, double* result,
                                    int32_t* code, int32_t* position,
                                    char* message) {
  return guarded(int32_t{0}, [&] {
    return calculate_real_once(text, result, code, position, message);
  });
}

int32_t EVALAPI CalculateDInDirectW(const EvalWideChar* text, double* result,
                                    int32_t* code, int32_t* position,
                                    EvalWideChar* message) {
  return guarded(int32_t{0}, [&] {
    return calculate_real_once(text, result, code, position, message);
  });
}

int32_t EVALAPI CalculateIInDirectA(const char* text, int32_t* result,
                                    int32_t options, int32_t* code,
                                    int32_t* position, char* message) {
  return guarded(int32_t{0}, [&] {
    return calculate_integer_once(text, result, options, code, position,
                                  message);
  });
}

int32_t EVALAPI CalculateIInDirectW(const EvalWideChar* text, int32_t* result,
                                    int32_t options, int32_t* code,
                                    int32_t* position, EvalWideChar* message) {
  return guarded(int32_t{0}, [&] {
    return calculate_integer_once(text, result, options, code, position,
                                  message);
  });
}

int32_t EVALAPI GetEvalVersionInfo(void) { return EVAL_VERSION; }

}  // extern "C"
