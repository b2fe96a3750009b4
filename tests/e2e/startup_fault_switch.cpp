// The failing start-up of the program built for the tests: the graph area
// is refused when KURVANA_FAIL_GRAPH_AREA is set.
#include <windows.h>

#include "startup_fault.h"

namespace kurvana {

bool graph_area_creation_fails() {
  return GetEnvironmentVariableW(L"KURVANA_FAIL_GRAPH_AREA", nullptr, 0) > 0;
}

}  // namespace kurvana
