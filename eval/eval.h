/* Public interface of the eval expression library.
 *
 * An expression text is turned into a function object, compiled once for
 * real (D) or integer (I) evaluation against a caller-owned area of 26
 * variables (a to z), then evaluated as often as needed.  Every call returns
 * 1 for success and 0 for failure; creation returns a handle or null.
 * A failure is described by the object's last error: a code, a 0-based
 * position in the text (bytes for narrow text, UTF-16 units for wide text)
 * and a Japanese message (Shift-JIS bytes for the A forms, UTF-16 for the W
 * forms). */
#ifndef EVAL_EVAL_H
#define EVAL_EVAL_H

#include <stdint.h>

#ifdef _WIN32
#include <wchar.h>
#define EVALAPI __stdcall
typedef wchar_t EvalWideChar;
#else
#define EVALAPI
#ifndef __cplusplus
#include <uchar.h>
#endif
typedef char16_t EvalWideChar;
#endif

#if defined(EVAL_BUILDING_LIBRARY) && !defined(_WIN32)
#define EVAL_EXPORT __attribute__((visibility("default")))
#else
#define EVAL_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Opaque handle of a function object; null means failure. */
typedef struct FunctionObject *EvalFunction;

#define EVAL_VARIABLE_COUNT 26 /* slots a..z; x is 23, y 24, t 19 */
#define EVAL_ALLOW_DIVIDE 1    /* integer option: permit '/' */
#define EVAL_ALLOW_POWER 2     /* integer option: permit '^' */
#define EVAL_MESSAGE_BYTES 40  /* narrow message buffer, with null */
#define EVAL_MESSAGE_UNITS 21  /* wide message buffer, with null */
#define EVAL_VERSION 0x10001

EVAL_EXPORT EvalFunction EVALAPI CreateFunctionA(const char *text);
EVAL_EXPORT EvalFunction EVALAPI CreateFunctionW(const EvalWideChar *text);

/* The area (26 doubles / 26 int32) stays bound by address until deletion;
 * null binds the object's own zero-filled area. */
EVAL_EXPORT int32_t EVALAPI CompileDFunction(EvalFunction function,
                                             const double *variables);
EVAL_EXPORT int32_t EVALAPI CompileIFunction(EvalFunction function,
                                             const int32_t *variables,
                                             int32_t options);

/* The result location may be null; it is written only on success. */
EVAL_EXPORT int32_t EVALAPI CalculateDFunction(EvalFunction function,
                                               double *result);
EVAL_EXPORT int32_t EVALAPI CalculateIFunction(EvalFunction function,
                                               int32_t *result);

EVAL_EXPORT int32_t EVALAPI DeleteFunction(EvalFunction function);

/* Any output may be null; a caller asking for the code must also pass the
 * position.  Message buffers hold EVAL_MESSAGE_BYTES / _UNITS. */
EVAL_EXPORT int32_t EVALAPI GetLastErrorByFunctionA(EvalFunction function,
                                                    int32_t *code,
                                                    int32_t *position,
                                                    char *message);
EVAL_EXPORT int32_t EVALAPI GetLastErrorByFunctionW(EvalFunction function,
                                                    int32_t *code,
                                                    int32_t *position,
                                                    EvalWideChar *message);

/* One-shot evaluation of a text without variables. */
EVAL_EXPORT int32_t EVALAPI CalculateDInDirectA(const char *text,
                                                double *result, int32_t *code,
                                                int32_t *position,
                                                char *message);
EVAL_EXPORT int32_t EVALAPI CalculateDInDirectW(const EvalWideChar *text,
                                                double *result, int32_t *code,
                                                int32_t *position,
                                                EvalWideChar *message);
EVAL_EXPORT int32_t EVALAPI CalculateIInDirectA(const char *text,
                                                int32_t *result,
                                                int32_t options, int32_t *code,
                                                int32_t *position,
                                                char *message);
EVAL_EXPORT int32_t EVALAPI CalculateIInDirectW(const EvalWideChar *text,
                                                int32_t *result,
                                                int32_t options, int32_t *code,
                                                int32_t *position,
                                                EvalWideChar *message);

EVAL_EXPORT int32_t EVALAPI GetEvalVersionInfo(void);

#ifdef __cplusplus
}
#endif

#endif /* EVAL_EVAL_H */
