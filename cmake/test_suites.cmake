# One CTest test per GoogleTest suite of a test program, named <prefix>:<suite>, which runs the
# program with --gtest_filter=<suite>.*. A process per single test would start the program (with
# its sanitizer run-time and libraries) once for every test, which costs more than most tests; a
# process per program would leave the cores idle while the largest program runs alone. A failing
# suite shows the program's whole output, in which GoogleTest names each failed test.
#
# As with gtest_discover_tests(... DISCOVERY_MODE PRE_TEST), the suites are listed when CTest runs,
# by asking the program (--gtest_list_tests) whenever it (or the listing script) is newer than the
# list kept beside it; a program that is not built shows as the one test <target>_NOT_BUILT, which
# fails.
#
#   qc4_add_test_suites(target PREFIX prefix LABELS label... TIMEOUT seconds)

set(QC4_TEST_SUITES_SCRIPT "${CMAKE_CURRENT_LIST_DIR}/test_suites_list.cmake")

function(qc4_add_test_suites target)
  cmake_parse_arguments(arg "" "PREFIX;TIMEOUT" "LABELS" ${ARGN})
  set(list_file "${CMAKE_CURRENT_BINARY_DIR}/${target}_suites.cmake")
  set(include_file "${CMAKE_CURRENT_BINARY_DIR}/${target}_include.cmake")
  file(GENERATE OUTPUT "${include_file}" CONTENT "\
set(QC4_SUITES_PROGRAM [==[$<TARGET_FILE:${target}>]==])
set(QC4_SUITES_PREFIX [==[${arg_PREFIX}]==])
set(QC4_SUITES_LABELS [==[${arg_LABELS}]==])
set(QC4_SUITES_TIMEOUT [==[${arg_TIMEOUT}]==])
set(QC4_SUITES_WORKING_DIRECTORY [==[${CMAKE_CURRENT_BINARY_DIR}]==])
set(QC4_SUITES_LIST_FILE [==[${list_file}]==])
if(EXISTS \"\${QC4_SUITES_PROGRAM}\")
  if(NOT EXISTS \"\${QC4_SUITES_LIST_FILE}\" OR
     \"\${QC4_SUITES_PROGRAM}\" IS_NEWER_THAN \"\${QC4_SUITES_LIST_FILE}\" OR
     [==[${include_file}]==] IS_NEWER_THAN \"\${QC4_SUITES_LIST_FILE}\" OR
     [==[${QC4_TEST_SUITES_SCRIPT}]==] IS_NEWER_THAN \"\${QC4_SUITES_LIST_FILE}\")
    include([==[${QC4_TEST_SUITES_SCRIPT}]==])
  endif()
  include(\"\${QC4_SUITES_LIST_FILE}\")
else()
  add_test([==[${target}_NOT_BUILT]==] [==[${target}_NOT_BUILT]==])
endif()
")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${include_file}")
endfunction()
