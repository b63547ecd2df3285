# Windows build (MinGW-w64 cross or native, or MSVC): the shell, the exe, the simulator and the Wine tests.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)

set(WIN_LIBS comctl32 comdlg32 gdi32 msimg32 user32 kernel32 advapi32 setupapi hid version winmm shell32 ole32)

if(MINGW AND CMAKE_SIZEOF_VOID_P EQUAL 4)
  # SSE2 arithmetic instead of x87: doubles round as on every other build,
  # so demo readings and parsed numbers are the same everywhere.
  add_compile_options(-msse2 -mfpmath=sse)
  # Logs of millions of rows: let the 32-bit process use up to 4 GB of
  # address space on 64-bit Windows.
  add_link_options(-Wl,--large-address-aware)
endif()

if(MINGW)
  # Static runtime so the exe imports only system DLLs.
  set(STATIC_LINK -static -static-libgcc -static-libstdc++)
  set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")
endif()

add_library(vantrel_shell STATIC ${SHELL_SOURCES})
target_link_libraries(vantrel_shell PUBLIC vantrel_core ${WIN_LIBS})
# The portable commands call the platform's board and file functions: the
# two libraries need each other, and CMake repeats them when linking.
target_link_libraries(vantrel_core INTERFACE vantrel_shell)

set(VANTREL_RC ${SRC}/res/Vantrel.rc)
set_source_files_properties(${VANTREL_RC} PROPERTIES
  OBJECT_DEPENDS "${SRC}/res/resource.h")

# Version text for the version block comes from the project version.
configure_file(${SRC}/res/version.h.in ${CMAKE_BINARY_DIR}/generated/version.h @ONLY)
include_directories(${CMAKE_BINARY_DIR}/generated ${SRC}/res)

# One of the shipped programs: `WIN32` (a window program) or `CONSOLE`,
# then its sources.
function(vantrel_exe name kind)
  if(kind STREQUAL "WIN32")
    add_executable(${name} WIN32 ${ARGN} ${VANTREL_RC})
  else()
    add_executable(${name} ${ARGN})
  endif()
  target_link_libraries(${name} PRIVATE vantrel_shell ${STATIC_LINK})
  if(MINGW)
    target_link_options(${name} PRIVATE -municode)
  endif()
endfunction()

vantrel_exe(Vantrel WIN32 ${SRC}/app/AppMain_win.cpp)
# The simulated sub board on a named pipe, and the command-line companion.
vantrel_exe(vantrel-sim CONSOLE ${SRC}/sim/SimMain_win.cpp)
vantrel_exe(vantrel-cli CONSOLE ${SRC}/cli/CliMain_win.cpp)

if(VANTREL_TESTS)
  enable_testing()
  set(GTEST_SRC_DIR /usr/src/googletest CACHE PATH "GoogleTest sources for the Windows test build")
  if(NOT TARGET gtest)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    add_subdirectory(${GTEST_SRC_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  endif()
  # One test program per area (the file-name prefix before the first '_'),
  # so one area's hang or crash does not hide the others' results; each
  # program runs many cases in one Wine process.
  file(GLOB WIN_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*_test.cpp)
  set(WIN_TEST_AREAS)
  foreach(src IN LISTS WIN_TEST_SOURCES)
    get_filename_component(file ${src} NAME)
    string(REGEX REPLACE "_.*" "" area ${file})
    list(APPEND WIN_TEST_AREAS ${area})
    list(APPEND WIN_TEST_SOURCES_${area} ${src})
  endforeach()
  # The companion's flows are shared with the native tests (tests/cli); on
  # Windows they belong to the cli area, without the POSIX-only files.
  file(GLOB CLI_SHARED_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/cli/*.cpp)
  list(FILTER CLI_SHARED_SOURCES EXCLUDE REGEX "_posix\\.cpp$")
  list(APPEND WIN_TEST_AREAS cli)
  list(APPEND WIN_TEST_SOURCES_cli ${CLI_SHARED_SOURCES})
  list(APPEND WIN_TEST_SOURCES ${CLI_SHARED_SOURCES})
  list(REMOVE_DUPLICATES WIN_TEST_AREAS)
  function(vantrel_win_test exe)
    # The dialog tests need the same resources as the exe.
    add_executable(${exe} ${ARGN} ${CMAKE_SOURCE_DIR}/tests/win/WinTestMain.cpp ${VANTREL_RC})
    target_link_libraries(${exe} PRIVATE vantrel_shell gtest ${STATIC_LINK})
    target_include_directories(${exe} PRIVATE ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/tests/win)
    # The cli tests run the README's bench script with the companion built beside them.
    target_compile_definitions(${exe} PRIVATE VANTREL_README_PATH=L"${CMAKE_SOURCE_DIR}/README.md")
    if(TARGET vantrel-cli)
      add_dependencies(${exe} vantrel-cli)
    endif()
  endfunction()
  foreach(area IN LISTS WIN_TEST_AREAS)
    vantrel_win_test(win_${area}_tests ${WIN_TEST_SOURCES_${area}})
    add_test(NAME win_${area}_tests COMMAND win_${area}_tests)
    set_tests_properties(win_${area}_tests PROPERTIES TIMEOUT 900)
  endforeach()
  # The virtual sub board (tests/hid): a HID minidriver for the test prefix's
  # architecture, its INF and its controller, beside the tests. Never shipped.
  if(MINGW)
    add_library(vantrel_vboard SHARED ${CMAKE_SOURCE_DIR}/tests/hid/VirtualBoardDriver.c)
    set_target_properties(vantrel_vboard PROPERTIES PREFIX "" SUFFIX ".sys" IMPORT_PREFIX "" IMPORT_SUFFIX ".sys.a")
    target_include_directories(vantrel_vboard SYSTEM PRIVATE ${CMAKE_FIND_ROOT_PATH}/include/ddk)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      set(VBOARD_ENTRY _DriverEntry@8)
    else()
      set(VBOARD_ENTRY DriverEntry)
    endif()
    target_link_options(vantrel_vboard PRIVATE -nostdlib -nostartfiles -Wl,--subsystem,native -Wl,-e,${VBOARD_ENTRY})
    target_link_libraries(vantrel_vboard PRIVATE ntoskrnl hidclass hal)
    add_custom_command(TARGET vantrel_vboard POST_BUILD COMMAND ${CMAKE_COMMAND} -E copy
                       ${CMAKE_SOURCE_DIR}/tests/hid/vantrel-vboard.inf ${CMAKE_BINARY_DIR}/vantrel-vboard.inf)
    add_library(vantrel_vboards STATIC ${CMAKE_SOURCE_DIR}/tests/hid/VirtualBoards_win.cpp)
    target_link_libraries(vantrel_vboards PUBLIC setupapi newdev advapi32)
    target_include_directories(vantrel_vboards PUBLIC ${CMAKE_SOURCE_DIR}/tests/hid)
    add_executable(vantrel-vboard ${CMAKE_SOURCE_DIR}/tests/hid/VirtualBoardsMain_win.cpp)
    target_link_libraries(vantrel-vboard PRIVATE vantrel_vboards ${STATIC_LINK})
    target_link_options(vantrel-vboard PRIVATE -municode)
    add_dependencies(vantrel-vboard vantrel_vboard)
  endif()
  if(TARGET vantrel_vboards)
    target_link_libraries(win_hid_tests PRIVATE vantrel_vboards)
    add_dependencies(win_hid_tests vantrel-vboard)
  endif()
  # Every case in one program, for running a filter across areas by hand.
  vantrel_win_test(win_tests ${WIN_TEST_SOURCES})
  if(TARGET vantrel_vboards)
    target_link_libraries(win_tests PRIVATE vantrel_vboards)
  endif()
  set_target_properties(win_tests PROPERTIES EXCLUDE_FROM_ALL ON)
  # The dialog's figures and the long run are no tests (scripts/perf.sh and
  # scripts/soak.sh run them), but are built with the tests so they keep compiling.
  vantrel_win_test(win_perf ${CMAKE_SOURCE_DIR}/bench/win/perf_dialog.cpp)
  vantrel_win_test(win_soak ${CMAKE_SOURCE_DIR}/bench/win/soak.cpp)
  # The unpacked archive driven through its batch file (scripts/package-check.sh runs it).
  vantrel_win_test(win_archive_check ${CMAKE_SOURCE_DIR}/tests/win/archive/archive_try_test.cpp)
endif()

# The Windows archive (cpack, or the `package` target): the three programs,
# the license, a read-me and the batch file that tries the tool on the
# simulated board. Text files get CR LF and .txt names for Notepad.
set(win_pkg ${CMAKE_SOURCE_DIR}/packaging/windows)
configure_file(${win_pkg}/ReadMe.txt.in ${CMAKE_BINARY_DIR}/archive/ReadMe.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(${CMAKE_SOURCE_DIR}/LICENSE ${CMAKE_BINARY_DIR}/archive/LICENSE.txt NEWLINE_STYLE CRLF)
install(TARGETS Vantrel vantrel-cli vantrel-sim RUNTIME DESTINATION .)
install(FILES ${CMAKE_BINARY_DIR}/archive/ReadMe.txt ${CMAKE_BINARY_DIR}/archive/LICENSE.txt
              "${win_pkg}/Try with simulated board.cmd" DESTINATION .)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Vantrel)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(CPACK_PACKAGE_FILE_NAME Vantrel-${PROJECT_VERSION}-win32)
else()
  set(CPACK_PACKAGE_FILE_NAME Vantrel-${PROJECT_VERSION}-win64)
endif()
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_STRIP_FILES ON)
include(CPack)
