# veln_library(NAME SOURCES... [DEPS targets...])
# One library target per source folder; its headers are reached from src/
# ("host/ui/ui.h"), so an include names the folder it comes from.
function(veln_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE veln_options)
endfunction()

# veln_test(NAME SOURCES... [DEPS targets...])
function(veln_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} veln_test_support GTest::gtest GTest::gmock
                                        GTest::gtest_main veln_options)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "VELN_HOME=${VELN_BUILD_DATA_DIR}")
endfunction()
