#!/usr/bin/env python3
"""Prints a table of f(x) for an expression in x through the eval library,
called with ctypes:

    table.py [expression]        (default: sin(x)*x)

The library is eval.dll on Windows, whose exports are stdcall (WinDLL), and
libeval.so.1 elsewhere (CDLL); EVAL_LIBRARY names another file.  The W
calls take UTF-16 text on every system, so texts cross as UTF-16 bytes
(ctypes' c_wchar is 32 bits wide outside Windows).  A text the library
refuses is reported with the error code, the position (in UTF-16 units)
and the library's message, and the script ends with status 1."""
import ctypes
import os
import sys

VARIABLE_COUNT = 26
X_SLOT = ord("x") - ord("a")
MESSAGE_UNITS = 21


def load_library():
    if sys.platform == "win32":
        return ctypes.WinDLL(os.environ.get("EVAL_LIBRARY", "eval.dll"))
    return ctypes.CDLL(os.environ.get("EVAL_LIBRARY", "libeval.so.1"))


def declare(library):
    handle, int32 = ctypes.c_void_p, ctypes.c_int32
    doubles = ctypes.POINTER(ctypes.c_double)
    int32_out = ctypes.POINTER(int32)
    calls = {
        "CreateFunctionW": (handle, [ctypes.c_char_p]),
        "CompileDFunction": (int32, [handle, doubles]),
        "CalculateDFunction": (int32, [handle, doubles]),
        "DeleteFunction": (int32, [handle]),
        "GetLastErrorByFunctionW": (
            int32,
            [handle, int32_out, int32_out, ctypes.c_char_p],
        ),
    }
    for name, (result, arguments) in calls.items():
        function = getattr(library, name)
        function.restype, function.argtypes = result, arguments
    return library


def utf16(text):
    return text.encode("utf-16-le") + b"\0\0"


def last_error(library, function):
    """The function's last error: (code, position, message)."""
    code, position = ctypes.c_int32(), ctypes.c_int32()
    message = ctypes.create_string_buffer(2 * MESSAGE_UNITS)
    library.GetLastErrorByFunctionW(
        function, ctypes.byref(code), ctypes.byref(position), message
    )
    text = message.raw.decode("utf-16-le").split("\0")[0]
    return code.value, position.value, text


def print_table(library, function, variables):
    value = ctypes.c_double()
    print(f"{'x':>6}  f(x)")
    for row in range(9):
        variables[X_SLOT] = -2.0 + 0.5 * row
        if library.CalculateDFunction(function, ctypes.byref(value)):
            print(f"{variables[X_SLOT]:6.2f}  {value.value:.10g}")
        else:
            code, _, message = last_error(library, function)
            print(f"{variables[X_SLOT]:6.2f}  error {code}: {message}")


def main():
    text = sys.argv[1] if len(sys.argv) > 1 else "sin(x)*x"
    library = declare(load_library())
    variables = (ctypes.c_double * VARIABLE_COUNT)()
    function = library.CreateFunctionW(utf16(text))
    if not function:
        sys.exit("out of memory")
    try:
        if not library.CompileDFunction(function, variables):
            code, position, message = last_error(library, function)
            print(
                f"{text}\n{' ' * position}^\n"
                f"error {code} at position {position}: {message}",
                file=sys.stderr,
            )
            return 1
        print(f"f(x) = {text}")
        print_table(library, function, variables)
        return 0
    finally:
        library.DeleteFunction(function)


if __name__ == "__main__":
    sys.exit(main())
