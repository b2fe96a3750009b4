#pragma once

namespace eval {

// 0: leave the error to the runtime's default handling; 1: handled.
int math_error_disposition(int type);

}  // namespace eval
