// A seam for the tests of a failed start-up: the program built for users
// links startup_fault.cpp, which never fails; the end-to-end tests link
// their own version into a second program.
#pragma once

namespace kurvana {

// True when the graph area is to be refused as if the system had no room
// for it.
bool graph_area_creation_fails();

}  // namespace kurvana
