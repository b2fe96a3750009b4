# One version for everything: project(VERSION) names the packages and fills
# the generated kurvana_version.h that both resource scripts include.  The
# library's public EVAL_VERSION (major in the high half, minor in the low)
# is a fixed part of its interface, so the configuration stops when the two
# disagree instead of shipping files that name different versions.
set(KURVANA_VERSION_MAJOR ${PROJECT_VERSION_MAJOR})
set(KURVANA_VERSION_MINOR ${PROJECT_VERSION_MINOR})
if(PROJECT_VERSION_PATCH STREQUAL "")
  set(KURVANA_VERSION_PATCH 0)
else()
  set(KURVANA_VERSION_PATCH ${PROJECT_VERSION_PATCH})
endif()

set(KURVANA_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
set(KURVANA_VERSION_HEADER ${KURVANA_GENERATED_DIR}/kurvana_version.h)
configure_file(${CMAKE_CURRENT_LIST_DIR}/kurvana_version.h.in
               ${KURVANA_VERSION_HEADER} @ONLY)

file(STRINGS ${PROJECT_SOURCE_DIR}/eval/eval.h eval_version_line
     REGEX "^#define EVAL_VERSION ")
string(REGEX REPLACE "^#define EVAL_VERSION +([0-9A-Fa-fx]+).*" "\\1"
       eval_version "${eval_version_line}")
math(EXPR eval_version_expected
     "(${KURVANA_VERSION_MAJOR} << 16) | ${KURVANA_VERSION_MINOR}"
     OUTPUT_FORMAT HEXADECIMAL)
if(NOT eval_version STREQUAL eval_version_expected)
  message(FATAL_ERROR "eval/eval.h says EVAL_VERSION ${eval_version}, "
                      "project(VERSION ${PROJECT_VERSION}) needs "
                      "${eval_version_expected}")
endif()
