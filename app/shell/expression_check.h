// The definition dialog's test of an expression text: does the eval library
// compile it, and if not, where and why not.
#pragma once

#include <cstdint>

#include "eval.h"

namespace kurvana {

// Bytes of a message buffer: the library's longest message and its
// terminator.
constexpr int kExpressionMessageBytes = EVAL_MESSAGE_BYTES;

// True when |text| compiles for real evaluation (every variable a to z is
// accepted).  Otherwise |message| (kExpressionMessageBytes) holds the
// Shift-JIS text to show, whatever the system's code page: the library's
// message for its error, or a message of the dialog's own when the library
// has no error to tell; |code| and |position| (a byte offset in |text|) are
// those of the library's error and stay untouched when it has none.
bool check_expression(const char* text, int32_t* code, int32_t* position,
                      char* message);

}  // namespace kurvana
