# Native (Linux) build: the portable core, its tests, benchmarks and fuzzers,
# and the companion and simulator on the POSIX shell.
find_package(Threads REQUIRED)
if(NOT VANTREL_FUZZ)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(HIDAPI REQUIRED IMPORTED_TARGET hidapi-hidraw)

  add_library(vantrel_posix STATIC ${POSIX_SOURCES})
  target_link_libraries(vantrel_posix PUBLIC vantrel_core PkgConfig::HIDAPI Threads::Threads)
  # The portable commands call the platform's board and file functions:
  # the two libraries need each other, and CMake repeats them when linking.
  target_link_libraries(vantrel_core INTERFACE vantrel_posix)

  add_executable(vantrel-cli ${SRC}/cli/CliMain_posix.cpp)
  target_link_libraries(vantrel-cli PRIVATE vantrel_posix)
  add_executable(vantrel-sim ${SRC}/sim/SimMain_posix.cpp)
  target_link_libraries(vantrel-sim PRIVATE vantrel_posix)

  include(${CMAKE_CURRENT_LIST_DIR}/DebianPackage.cmake)
endif()

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
  # The setup script's fallback apt sources, built from sample files.
  add_test(NAME apt_sources_test COMMAND bash ${CMAKE_SOURCE_DIR}/tests/scripts/apt_sources_test.sh)

  if(TARGET vantrel_posix)
    # The companion's flows against the simulator, shared with the Windows
    # tests; the files ending _win.cpp are Windows's part.
    file(GLOB CLI_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/cli/*.cpp)
    list(FILTER CLI_TEST_SOURCES EXCLUDE REGEX "_win\\.cpp$")
    add_executable(cli_flow_tests ${CLI_TEST_SOURCES})
    target_link_libraries(cli_flow_tests PRIVATE vantrel_posix GTest::gtest GTest::gtest_main)
    target_include_directories(cli_flow_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    target_compile_definitions(cli_flow_tests PRIVATE VANTREL_CLI_EXE="$<TARGET_FILE:vantrel-cli>"
                               VANTREL_SIM_EXE="$<TARGET_FILE:vantrel-sim>"
                               VANTREL_README_PATH="${CMAKE_SOURCE_DIR}/README.md")
    add_dependencies(cli_flow_tests vantrel-cli vantrel-sim)
    add_test(NAME cli_flow_tests COMMAND cli_flow_tests)
  endif()
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
