# tevrin_add_test_suites(LABEL <label> LIBS <libs...> [SLOW <file names...>] [LAUNCHER <script>])
# Every *_test.cpp in the calling folder becomes one test program and one CTest
# entry, labelled with LABEL (and `slow` for the names listed in SLOW). Each
# test runs with its own registry file and shared-memory namespace so suites
# can run in parallel, and without a display (DISPLAY empty), unless LAUNCHER
# names a script that runs the program on one.
function(tevrin_add_test_suites)
  cmake_parse_arguments(ARG "" "LABEL;LAUNCHER" "LIBS;SLOW" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  file(GLOB support CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/support/*.cpp)
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  foreach(source ${sources})
    get_filename_component(name ${source} NAME_WE)
    set(target test_${folder}_${name})
    add_executable(${target} ${source} ${support})
    target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests/common)
    target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
    add_test(NAME ${folder}.${name} COMMAND ${ARG_LAUNCHER} $<TARGET_FILE:${target}>)
    set(labels ${ARG_LABEL})
    if(name IN_LIST ARG_SLOW)
      list(APPEND labels slow)
    endif()
    set(scratch ${CMAKE_CURRENT_BINARY_DIR}/scratch/${name})
    file(MAKE_DIRECTORY ${scratch})
    set_tests_properties(${folder}.${name} PROPERTIES
      LABELS "${labels}"
      TIMEOUT 300
      ENVIRONMENT "TEVRIN_REGISTRY=${scratch}/registry.sqlite3;TEVRIN_NAMESPACE=test-${folder}-${name};TEVRIN_TEST_SCRATCH=${scratch};XDG_CONFIG_HOME=${scratch}/config;DISPLAY=")
  endforeach()
endfunction()
