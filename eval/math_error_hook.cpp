// The runtime's math-error hook, where the runtime consults one defined by
// the module.  The evaluators never rely on it: their own checks are the
// only error detection.
#include "math_error_hook.h"

namespace eval {

int math_error_disposition(int type) {
  // Domain, singularity, overflow and underflow keep the runtime's default
  // handling; loss of significance and anything else count as handled.
  return (type >= 1 && type <= 4) ? 0 : 1;
}

}  // namespace eval

#ifdef _MSC_VER
#include <math.h>
extern "C" int __cdecl _matherr(struct _exception* exception) {
  return eval::math_error_disposition(exception->type);
}
#endif
