# Native (Linux) build: the portable core, its tests, benchmarks and fuzzers.
if(VANTREL_TESTS)
  enable_testing()
  find_package(GTest REQUIRED)
  file(GLOB CORE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/core/*.cpp)
  # The bitmap generator's drawing code, so the tests can compare its
  # pictures with the checked-in resources.
  file(GLOB ART_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/bmpgen/Art*.cpp)
  add_library(bmpgen_art STATIC ${ART_SOURCES})
  target_include_directories(bmpgen_art PUBLIC ${CMAKE_SOURCE_DIR}/tools/bmpgen PRIVATE ${SRC})
  add_executable(core_tests ${CORE_TEST_SOURCES})
  target_link_libraries(core_tests PRIVATE vantrel_core bmpgen_art GTest::gtest GTest::gtest_main pthread)
  target_include_directories(core_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  add_test(NAME core_tests COMMAND core_tests)
endif()

if(VANTREL_BENCH AND NOT VANTREL_SANITIZE)
  find_package(benchmark QUIET)
  file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
  if(benchmark_FOUND AND BENCH_SOURCES)
    add_executable(core_bench ${BENCH_SOURCES})
    target_link_libraries(core_bench PRIVATE vantrel_core benchmark::benchmark pthread)
  endif()
endif()

add_subdirectory(fuzz)
