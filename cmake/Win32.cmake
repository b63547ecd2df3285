# Windows build (MinGW-w64 cross or native, or MSVC): the shell, the exe, the simulator and the Wine tests.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)

set(WIN_LIBS comctl32 comdlg32 gdi32 msimg32 user32 kernel32 advapi32 setupapi hid version winmm shell32 ole32)

if(MINGW AND CMAKE_SIZEOF_VOID_P EQUAL 4)
  # SSE2 arithmetic instead of x87: doubles round as on every other build,
  # so demo readings and parsed numbers are the same everywhere.
  add_compile_options(-msse2 -mfpmath=sse)
endif()

if(MINGW)
  # Static runtime so the exe imports only system DLLs.
  set(STATIC_LINK -static -static-libgcc -static-libstdc++)
  set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")
endif()

add_library(vantrel_shell STATIC ${SHELL_SOURCES})
target_link_libraries(vantrel_shell PUBLIC vantrel_core ${WIN_LIBS})

set(VANTREL_RC ${SRC}/res/Vantrel.rc)
set_source_files_properties(${VANTREL_RC} PROPERTIES
  OBJECT_DEPENDS "${SRC}/res/resource.h")

# Version text for the version block comes from the project version.
configure_file(${SRC}/res/version.h.in ${CMAKE_BINARY_DIR}/generated/version.h @ONLY)
include_directories(${CMAKE_BINARY_DIR}/generated ${SRC}/res)

function(vantrel_gui_exe name)
  add_executable(${name} WIN32 ${ARGN} ${VANTREL_RC})
  target_link_libraries(${name} PRIVATE vantrel_shell ${STATIC_LINK})
  if(MINGW)
    target_link_options(${name} PRIVATE -municode)
  endif()
endfunction()

vantrel_gui_exe(Vantrel ${SRC}/app/AppMain_win.cpp)

# Simulated sub board as a console program on a named pipe.
if(EXISTS ${SRC}/sim/SimMain_win.cpp)
  add_executable(vantrel-sim ${SRC}/sim/SimMain_win.cpp)
  target_link_libraries(vantrel-sim PRIVATE vantrel_shell ${STATIC_LINK})
  if(MINGW)
    target_link_options(vantrel-sim PRIVATE -municode)
  endif()
endif()

# Command-line companion.
if(EXISTS ${SRC}/cli/CliMain_win.cpp)
  add_executable(vantrel-cli ${SRC}/cli/CliMain_win.cpp)
  target_link_libraries(vantrel-cli PRIVATE vantrel_shell ${STATIC_LINK})
  if(MINGW)
    target_link_options(vantrel-cli PRIVATE -municode)
  endif()
endif()

if(VANTREL_TESTS)
  enable_testing()
  set(GTEST_SRC_DIR /usr/src/googletest CACHE PATH "GoogleTest sources for the Windows test build")
  if(NOT TARGET gtest)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    add_subdirectory(${GTEST_SRC_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  endif()
  file(GLOB WIN_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*.cpp)
  if(WIN_TEST_SOURCES)
    # The dialog tests need the same resources as the exe.
    add_executable(win_tests ${WIN_TEST_SOURCES} ${VANTREL_RC})
    target_link_libraries(win_tests PRIVATE vantrel_shell gtest ${STATIC_LINK})
    target_include_directories(win_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    add_test(NAME win_tests COMMAND win_tests)
    set_tests_properties(win_tests PROPERTIES TIMEOUT 1200)
  endif()
endif()
