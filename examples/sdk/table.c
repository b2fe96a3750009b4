/* Prints a table of f(x) for an expression in x through the eval library:
 *
 *   table [expression]        (default: sin(x)*x)
 *
 * The expression is compiled once, bound to an area of 26 variables, and
 * evaluated for x from -2 to 2 in steps of 0.5 by changing x in that area.
 * A text the library refuses is reported with the error code, the position
 * and the library's message, and the program ends with status 1; an x
 * where the value is undefined gets the error in its row. */
#include <eval.h>
#include <stdio.h>

#ifdef _WIN32
#include <windows.h>
#endif

enum { X_SLOT = 'x' - 'a', ROWS = 9 };

/* Writes UTF-16 text as UTF-8.  The messages are Japanese text without
 * surrogate pairs, so three-byte sequences are the longest needed. */
static void print_utf8(FILE *out, const EvalWideChar *text) {
  for (; *text; ++text) {
    unsigned c = *text;
    if (c < 0x80) {
      putc((int)c, out);
    } else if (c < 0x800) {
      putc((int)(0xC0 | c >> 6), out);
      putc((int)(0x80 | (c & 0x3F)), out);
    } else {
      putc((int)(0xE0 | c >> 12), out);
      putc((int)(0x80 | (c >> 6 & 0x3F)), out);
      putc((int)(0x80 | (c & 0x3F)), out);
    }
  }
}

/* Reads the function's last error; false when none was recorded. */
static int last_error(EvalFunction function, int32_t *code, int32_t *position,
                      EvalWideChar *message) {
  return GetLastErrorByFunctionW(function, code, position, message) != 0;
}

/* Shows why the text did not compile, with a mark under the position. */
static void report_compile_error(EvalFunction function, const char *text) {
  int32_t code = 0;
  int32_t position = 0;
  EvalWideChar message[EVAL_MESSAGE_UNITS];
  if (!last_error(function, &code, &position, message)) {
    fprintf(stderr, "no error was recorded\n");
    return;
  }
  fprintf(stderr, "%s\n%*s^\nerror %d at position %d: ", text, (int)position,
          "", (int)code, (int)position);
  print_utf8(stderr, message);
  putc('\n', stderr);
}

/* Prints one row: the value, or why there is none at this x. */
static void print_row(EvalFunction function, double x) {
  double value;
  int32_t code = 0;
  int32_t position = 0;
  EvalWideChar message[EVAL_MESSAGE_UNITS];
  if (CalculateDFunction(function, &value)) {
    printf("%6.2f  %.10g\n", x, value);
    return;
  }
  printf("%6.2f  ", x);
  if (last_error(function, &code, &position, message)) {
    printf("error %d: ", (int)code);
    print_utf8(stdout, message);
  }
  putchar('\n');
}

int main(int argc, char **argv) {
  const char *text = argc > 1 ? argv[1] : "sin(x)*x";
  double variables[EVAL_VARIABLE_COUNT] = {0};
  EvalFunction function;
  int row;

#ifdef _WIN32
  SetConsoleOutputCP(CP_UTF8); /* the messages are written as UTF-8 */
#endif
  function = CreateFunctionA(text);
  if (!function) {
    fprintf(stderr, "out of memory\n");
    return 1;
  }
  if (!CompileDFunction(function, variables)) {
    report_compile_error(function, text);
    DeleteFunction(function);
    return 1;
  }
  printf("f(x) = %s\n%6s  %s\n", text, "x", "f(x)");
  for (row = 0; row < ROWS; ++row) {
    variables[X_SLOT] = -2.0 + 0.5 * row;
    print_row(function, variables[X_SLOT]);
  }
  DeleteFunction(function);
  return 0;
}
