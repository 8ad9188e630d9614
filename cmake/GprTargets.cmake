# Precompiled headers: third-party headers only (the standard library, QtCore;
# for the tests also GoogleTest and the QtGui value types the toolkit's headers
# bring anyway), which never change with our own code, so a PCH is built once
# per configuration. Our own headers stay out, and so does QtGui from the
# libraries' PCH: a PCH makes what it holds visible to every file, while the
# layer check reads the include lines.
option(GPR_PCH "Compile with precompiled headers" OFF)

set(GPR_PCH_STD_HEADERS
  <algorithm> <array> <atomic> <chrono> <cmath> <cstdint> <cstring> <functional>
  <limits> <map> <memory> <mutex> <optional> <string> <thread> <utility> <vector>)
set(GPR_PCH_QTCORE_HEADERS <QByteArray> <QHash> <QList> <QString> <QStringList>)

# Libraries with at least this many source files get the library PCH; for fewer
# the PCH costs more than it saves.
set(GPR_PCH_MIN_SOURCES 6)

# Libraries compile their files in batches too, as the test programs do (see
# GPR_UNITY_TESTS below): the headers (QtCore, the toolkit's and our own) are
# most of a file's compile time, and a batch parses them once. The same rule
# holds: a name in a file's anonymous namespace that another file of the
# library also uses is given a file-specific name, and no file leaves a macro
# or using-directive behind. A file that must not meet the others (it sees two
# headers that give one name two meanings) is kept apart in its folder with
# set_source_files_properties(<file> PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON);
# files with compile options of their own (-O3 kernels) are kept apart anyway.
option(GPR_UNITY_LIBS "Compile the libraries' files in batches" ON)
set(GPR_UNITY_LIBS_BATCH 8 CACHE STRING "Library files compiled together in one batch")

# gpr_library(<target> [SOURCES ...] [DEPS ...] [PRIVATE_DEPS ...]): one static
# library per folder, includes written from the repository root.
# SOURCES: the files; without it, every .cpp and .h in the calling folder.
# DEPS: what the library's headers need (linked PUBLIC);
# PRIVATE_DEPS: what only its .cpp files use.
function(gpr_library target)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;PRIVATE_DEPS" ${ARGN})
  if(NOT ARG_SOURCES)
    file(GLOB ARG_SOURCES CONFIGURE_DEPENDS
      ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  endif()
  foreach(dep IN LISTS ARG_DEPS ARG_PRIVATE_DEPS)
    # A misspelt or retired target name would otherwise become a plain "-l" flag
    # and fail only at link time, far from its cause.
    if(NOT TARGET ${dep})
      message(FATAL_ERROR "gpr_library(${target}): '${dep}' is not a target (libraries are "
        "platform_rtl, platform_ui, platform_serial, platform_net, platform_ipc and one per subsystem folder)")
    endif()
  endforeach()
  add_library(${target} STATIC ${ARG_SOURCES})
  if(GPR_UNITY_LIBS)
    set_target_properties(${target} PROPERTIES UNITY_BUILD ON
      UNITY_BUILD_BATCH_SIZE ${GPR_UNITY_LIBS_BATCH})
  endif()
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
  list(FILTER ARG_SOURCES INCLUDE REGEX "\\.cpp$")
  list(LENGTH ARG_SOURCES source_count)
  if(GPR_PCH AND source_count GREATER_EQUAL GPR_PCH_MIN_SOURCES)
    target_precompile_headers(${target} PRIVATE ${GPR_PCH_STD_HEADERS} ${GPR_PCH_QTCORE_HEADERS})
  endif()
endfunction()

# Test programs compile their files in batches (one compiler run parses the
# GoogleTest, Qt and project headers once for the whole batch; that parsing is
# most of a test file's compile time). So every test file must compile beside
# the others of its folder: helpers in its anonymous namespace get names
# specific to the file, and no file leaves macros or using-directives behind.
# On in every configuration, so a clash shows in the build that adds it.
option(GPR_UNITY_TESTS "Compile the test programs' files in batches" ON)
set(GPR_UNITY_TESTS_BATCH 8 CACHE STRING "Test files compiled together in one batch")

# gpr_test(<name> SOURCES ... DEPS ... [QT]): a GoogleTest executable registered with CTest.
# QT: the test runs with the toolkit's test main (headless application object,
# scripted dialogs) and may drive the toolkit's widgets; otherwise with gtest_main.
# QT tests share the test main's precompiled header.
function(gpr_test name)
  cmake_parse_arguments(ARG "QT" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  if(GPR_UNITY_TESTS)
    set_target_properties(${name} PROPERTIES UNITY_BUILD ON
      UNITY_BUILD_BATCH_SIZE ${GPR_UNITY_TESTS_BATCH})
  endif()
  if(ARG_QT)
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} gpr_test_main_ui Qt6::Widgets
      GTest::gtest GTest::gmock)
    if(GPR_PCH)
      target_precompile_headers(${name} REUSE_FROM gpr_test_main_ui)
    endif()
  else()
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  endif()
  # One CTest entry per test suite (cmake/GprAddSuiteTests.cmake), written when
  # the program is linked.
  set(suites_file "${CMAKE_CURRENT_BINARY_DIR}/${name}_suites.cmake")
  set(include_file "${CMAKE_CURRENT_BINARY_DIR}/${name}_include.cmake")
  add_custom_command(TARGET ${name} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -D "TEST_EXECUTABLE=$<TARGET_FILE:${name}>"
      -D "CTEST_FILE=${suites_file}" -D "TEST_WORKING_DIR=${CMAKE_CURRENT_BINARY_DIR}"
      -D DISCOVERY_TIMEOUT=60 -P "${GPR_ADD_SUITE_TESTS_SCRIPT}"
    BYPRODUCTS "${suites_file}"
    VERBATIM)
  file(WRITE "${include_file}"
    "if(EXISTS \"${suites_file}\")\n"
    "  include(\"${suites_file}\")\n"
    "else()\n"
    "  add_test(${name}_NOT_BUILT ${name}_NOT_BUILT)\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${include_file}")
endfunction()
set(GPR_ADD_SUITE_TESTS_SCRIPT "${CMAKE_CURRENT_LIST_DIR}/GprAddSuiteTests.cmake")

# gpr_check_toolkit_links(): only the toolkit layer and the raster library's
# device side link QtGui/QtWidgets themselves; everything else reaches them
# through platform_ui. Tests and benchmarks may drive the toolkit directly.
# Called once, after every target is defined.
function(gpr_check_toolkit_links)
  set(allowed platform_ui raster)
  set(folders ${PROJECT_SOURCE_DIR})
  set(offenders)
  while(folders)
    list(POP_FRONT folders folder)
    get_property(subfolders DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
    list(APPEND folders ${subfolders})
    file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR} ${folder})
    if(relative MATCHES "^(tests|bench)(/|$)")
      continue()
    endif()
    get_property(targets DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
      if(target IN_LIST allowed)
        continue()
      endif()
      get_target_property(links ${target} LINK_LIBRARIES)
      foreach(link IN LISTS links)
        if(link MATCHES "^Qt6?::(Gui|Widgets)$")
          list(APPEND offenders "${target} links ${link}")
        endif()
      endforeach()
    endforeach()
  endwhile()
  if(offenders)
    list(JOIN offenders "\n  " text)
    list(JOIN allowed " and " allowed_text)
    message(FATAL_ERROR "Only ${allowed_text} may link QtGui/QtWidgets; link platform_ui instead:\n  ${text}")
  endif()
endfunction()
