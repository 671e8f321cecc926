# Tests are listed when CTest runs, never as a step of the build: a listing
# at build time runs a test program that may still be being linked under a
# parallel build ("Text file busy"). The default for every call; each call
# also says so.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)

# orvane_subsystem(<name>)
#
# Adds every source of the calling folder to orvane_core and builds the
# folder's unit tests (<file>_test.cpp) into one GoogleTest executable,
# <name>_tests, registered with CTest.
function(orvane_subsystem name)
  file(GLOB sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  list(FILTER sources EXCLUDE REGEX "_test\\.cpp$")
  target_sources(orvane_core PRIVATE ${sources})

  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  if(tests)
    add_executable(${name}_tests ${tests})
    target_link_libraries(${name}_tests PRIVATE orvane_core GTest::gmock GTest::gtest_main)
    gtest_discover_tests(${name}_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
  endif()
endfunction()
