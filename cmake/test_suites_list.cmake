# Run by CTest (through the include file qc4_add_test_suites writes): lists the suites of the test
# program QC4_SUITES_PROGRAM and writes QC4_SUITES_LIST_FILE, which adds one test per suite.
execute_process(
  COMMAND "${QC4_SUITES_PROGRAM}" --gtest_list_tests
  WORKING_DIRECTORY "${QC4_SUITES_WORKING_DIRECTORY}"
  TIMEOUT 60
  RESULT_VARIABLE result
  OUTPUT_VARIABLE output
  ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  # A test that fails the same way, so that CTest shows why the program could not list its tests.
  file(WRITE "${QC4_SUITES_LIST_FILE}"
    "add_test([==[${QC4_SUITES_PREFIX}:listing]==] [==[${QC4_SUITES_PROGRAM}]==] --gtest_list_tests)\n"
    "set_tests_properties([==[${QC4_SUITES_PREFIX}:listing]==] PROPERTIES LABELS [==[${QC4_SUITES_LABELS}]==]"
    " WORKING_DIRECTORY [==[${QC4_SUITES_WORKING_DIRECTORY}]==])\n")
  return()
endif()

# Suite lines start in the first column and end with "." (parameterised and typed suites: "Inst/Suite."
# and "Suite/0.  # TypeParam = ..."); test lines are indented. List separators and brackets in the
# comments are taken out before the output is split into lines.
string(REPLACE ";" "," output "${output}")
string(REPLACE "[" "(" output "${output}")
string(REPLACE "]" ")" output "${output}")
string(REPLACE "\n" ";" lines "${output}")
set(content "")
foreach(line IN LISTS lines)
  if(line MATCHES "^([^ #][^ ]*)\\.( .*)?$")
    set(suite "${CMAKE_MATCH_1}")
    set(name "${QC4_SUITES_PREFIX}:${suite}")
    string(APPEND content
      "add_test([==[${name}]==] [==[${QC4_SUITES_PROGRAM}]==] [==[--gtest_filter=${suite}.*]==])\n"
      "set_tests_properties([==[${name}]==] PROPERTIES LABELS [==[${QC4_SUITES_LABELS}]==]"
      " TIMEOUT ${QC4_SUITES_TIMEOUT} WORKING_DIRECTORY [==[${QC4_SUITES_WORKING_DIRECTORY}]==]"
      # A suite whose every test skipped itself (or is disabled) shows as skipped. GoogleTest's summary
      # then ends with the skipped tests (and the count of disabled ones); a suite in which a test
      # failed also passed none, but lists its failures after them, and must stay a failure: the
      # expression holds to the end of the output (with real line ends, which CMake's expressions
      # need).
      " SKIP_REGULAR_EXPRESSION [==[\\[  PASSED  \\] 0 tests\\.\n(\\[  SKIPPED \\][^\n]*\n)*"
      "(\n  YOU HAVE [0-9]+ DISABLED TESTS?\n\n)?$]==])\n")
  endif()
endforeach()
file(WRITE "${QC4_SUITES_LIST_FILE}" "${content}")
