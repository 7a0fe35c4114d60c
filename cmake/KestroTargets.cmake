# kestro_library(NAME SOURCES ... DEPS ...)
# A static library of one subsystem; its folder is its include root, so code
# includes "catalog/Database.h" from src/.
function(kestro_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# The library tests alone, for the sanitizer build that CI adds.
add_custom_target(library_tests)

# kestro_gtest(NAME SOURCES ... DEPS ...)
# A GoogleTest program whose cases CTest lists one by one. Qt texts print
# readably in its failure messages (tests/support/GTestQt.h).
function(kestro_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} kestro_testsupport GTest::gtest GTest::gtest_main)
  target_compile_options(${name} PRIVATE -include ${PROJECT_SOURCE_DIR}/tests/support/GTestQt.h)
  add_dependencies(library_tests ${name})
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS library ENVIRONMENT QT_QPA_PLATFORM=offscreen)
endfunction()

# kestro_qtest(NAME SOURCES ... DEPS ...)
# A QtTest program for windows, run under the offscreen platform.
function(kestro_qtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} kestro_testsupport Qt6::Test)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS window ENVIRONMENT QT_QPA_PLATFORM=offscreen)
endfunction()
