# gpr_library(<target> SOURCES ... [DEPS ...]): one static library per folder,
# includes written from the repository root.
function(gpr_library target)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${target} STATIC ${ARG_SOURCES})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${ARG_DEPS})
endfunction()

# gpr_test(<name> SOURCES ... DEPS ... [QT]): a GoogleTest executable registered with CTest.
# QT: the test runs with the toolkit's test main (headless application object,
# scripted dialogs); otherwise with gtest_main.
function(gpr_test name)
  cmake_parse_arguments(ARG "QT" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  if(ARG_QT)
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} gpr_test_main_ui GTest::gtest GTest::gmock)
  else()
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  endif()
  gtest_discover_tests(${name}
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    DISCOVERY_TIMEOUT 60)
endfunction()
