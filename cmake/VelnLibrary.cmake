# veln_library(NAME SOURCES... [DEPS targets...] [PRIVATE_DEPS targets...])
# One library target per source folder; its headers are reached from src/
# ("host/ui/ui.h"), so an include names the folder it comes from. Third-party
# libraries are PRIVATE_DEPS: nothing that uses the folder reaches them.
function(veln_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;PRIVATE_DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  # veln_options first: a library's own flags (the office host's sanitizer
  # exception) come after the common ones and win.
  target_link_libraries(${name} PRIVATE veln_options)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
  if(NOT CMAKE_CURRENT_SOURCE_DIR MATCHES "/src/host(/|$)")
    veln_above_host(${name})
  endif()
endfunction()

# veln_above_host(TARGET)
# A target above the host layer: the identifiers of the host's libraries
# (pugixml, libzip, SQLite, RE2, libxlsxwriter, UNO) are poisoned in every file it compiles.
function(veln_above_host target)
  target_compile_options(${target} PRIVATE -include ${PROJECT_SOURCE_DIR}/cmake/above_host_guard.h)
endfunction()

# veln_test(NAME [WHOLE] SOURCES... [DEPS targets...])
# Each test of the program is a test of CTest, run in a process of its own;
# WHOLE makes the program one test of CTest, for suites whose set-up (an
# office started, documents converted) is shared by their tests and costs
# more than the tests themselves.
function(veln_test name)
  cmake_parse_arguments(ARG "WHOLE" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  # veln_options first, as for the libraries.
  target_link_libraries(${name} PRIVATE veln_options ${ARG_DEPS} veln_test_support GTest::gtest
                                        GTest::gmock GTest::gtest_main)
  if(ARG_WHOLE)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "VELN_HOME=${VELN_BUILD_DATA_DIR}")
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                         PROPERTIES ENVIRONMENT "VELN_HOME=${VELN_BUILD_DATA_DIR}")
  endif()
endfunction()
