find_package(GTest REQUIRED)

add_executable(zi370_tests
  oem_strings_search_test.cpp
  smbios_reader_test.cpp
  run_test.cpp
  ${PROJECT_SOURCE_DIR}/app/main.cpp)
target_include_directories(zi370_tests PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(zi370_tests PRIVATE zi370_app GTest::gtest GTest::gtest_main zi370_warnings)
gtest_discover_tests(zi370_tests DISCOVERY_MODE PRE_TEST)
