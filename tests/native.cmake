option(ZI370_FUZZ "Build the libFuzzer targets (clang) instead of the unit tests" OFF)
if(ZI370_FUZZ)
  add_subdirectory(fuzz)
  return()
endif()

find_package(GTest REQUIRED)

add_executable(zi370_tests
  oem_strings_search_test.cpp
  smbios_reader_test.cpp
  run_test.cpp
  ${PROJECT_SOURCE_DIR}/app/main.cpp)
target_include_directories(zi370_tests PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(zi370_tests PRIVATE zi370_app GTest::gtest GTest::gtest_main zi370_warnings)
gtest_discover_tests(zi370_tests DISCOVERY_MODE PRE_TEST)

# The same tests under valgrind memcheck, in the plain native build only (the
# sanitized build brings its own checks). The 4 GiB table is left out: memcheck
# would shadow every byte of it.
if(NOT CMAKE_CXX_FLAGS MATCHES "sanitize")
  find_program(VALGRIND valgrind REQUIRED)
  add_test(NAME unit_tests_under_valgrind
           COMMAND ${VALGRIND} --tool=memcheck --error-exitcode=1 --leak-check=full
                   --errors-for-leak-kinds=definite,indirect --show-leak-kinds=definite,indirect
                   --suppressions=${CMAKE_CURRENT_SOURCE_DIR}/valgrind.supp
                   $<TARGET_FILE:zi370_tests> --gtest_filter=-OemStringsSearchLimits.*)
  set_tests_properties(unit_tests_under_valgrind PROPERTIES LABELS valgrind TIMEOUT 600)
endif()
