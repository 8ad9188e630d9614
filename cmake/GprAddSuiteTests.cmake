# Run after a test program is linked (cmake -P): lists the program's tests and
# writes one CTest entry per test suite (fixture), named after the suite, that
# runs the suite's tests in one process. A process start (the dynamic loader,
# the headless application object) takes about 0.1 s of processor time, more
# than most tests; one process per suite instead of one per test halves the
# processor time of the whole suite. A failing entry's output names
# every failing test ("[  FAILED  ] Suite.Test"), and the program runs any
# single test with --gtest_filter=Suite.Test.
# In: TEST_EXECUTABLE, CTEST_FILE, TEST_WORKING_DIR, DISCOVERY_TIMEOUT.

cmake_minimum_required(VERSION 3.25)

execute_process(
  COMMAND "${TEST_EXECUTABLE}" --gtest_list_tests
  WORKING_DIRECTORY "${TEST_WORKING_DIR}"
  TIMEOUT ${DISCOVERY_TIMEOUT}
  OUTPUT_VARIABLE listing
  ERROR_VARIABLE listing_errors
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE "${CTEST_FILE}")
  message(FATAL_ERROR "Listing the tests of ${TEST_EXECUTABLE} failed (${result}):\n${listing}\n${listing_errors}")
endif()

# The listing: "Suite." lines (a typed suite adds "  # TypeParam = ..."), each
# followed by its "  Test" lines. Only suites with a test get an entry.
string(REPLACE ";" "\\;" listing "${listing}")
string(REPLACE "\n" ";" lines "${listing}")
set(suite "")
set(suites)
foreach(line IN LISTS lines)
  if(line MATCHES "^([^ #][^ ]*)\\.( |$)")
    set(suite "${CMAKE_MATCH_1}")
  elseif(line MATCHES "^  [^ #]" AND suite AND NOT suite IN_LIST suites)
    list(APPEND suites "${suite}")
  endif()
endforeach()
if(NOT suites)
  message(FATAL_ERROR "${TEST_EXECUTABLE} lists no tests:\n${listing}")
endif()

set(content "")
foreach(suite IN LISTS suites)
  string(APPEND content
    "add_test([==[${suite}]==] [==[${TEST_EXECUTABLE}]==] [==[--gtest_filter=${suite}.*]==])\n"
    "set_tests_properties([==[${suite}]==] PROPERTIES WORKING_DIRECTORY [==[${TEST_WORKING_DIR}]==]"
    " ENVIRONMENT QT_QPA_PLATFORM=offscreen)\n")
endforeach()
file(WRITE "${CTEST_FILE}" "${content}")
