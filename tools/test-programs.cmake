# Prints the distinct programs that the tests of a build run, one a line,
# for tools/test.sh to run them under valgrind.
#   cmake -DBUILD_DIR=build/native -P tools/test-programs.cmake
get_filename_component(build_dir "${BUILD_DIR}" ABSOLUTE)
execute_process(
  COMMAND ${CMAKE_CTEST_COMMAND} --test-dir "${build_dir}" --show-only=json-v1
  OUTPUT_VARIABLE json
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "ctest cannot list the tests of ${build_dir}")
endif()

set(programs "")
string(JSON count LENGTH "${json}" tests)
if(count GREATER 0)
  math(EXPR last "${count} - 1")
  foreach(index RANGE ${last})
    string(JSON program ERROR_VARIABLE missing
           GET "${json}" tests ${index} command 0)
    # Only programs built here; scripts and system tools are not tests.
    string(FIND "${program}" "${build_dir}/" at)
    if(NOT missing AND at EQUAL 0)
      list(APPEND programs "${program}")
    endif()
  endforeach()
endif()
list(REMOVE_DUPLICATES programs)
foreach(program IN LISTS programs)
  execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${program}")
endforeach()
