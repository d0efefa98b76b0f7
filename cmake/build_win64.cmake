# The 64-bit Windows build (x86_64-w64-mingw32, posix-thread compilers): the
# same uninstall.exe, and the test programs that run under wine64: the platform
# conformance suite against the real API and the test robot that works the
# program's windows. tests/wine/run.sh runs them.
add_compile_options(-ffunction-sections -fdata-sections)

include(cmake/windows_program.cmake)

# GoogleTest, cross-built with the same compilers.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# The conformance suite: the same sources as the sim build runs, with the
# fixture that hands out the real API instead of a simulated machine.
file(GLOB VLK_CONFORMANCE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/conformance/*.cpp)
list(FILTER VLK_CONFORMANCE_SOURCES EXCLUDE REGEX "/conformance_sim_fixture\\.cpp$")
if(VLK_CONFORMANCE_SOURCES)
  add_executable(test_conformance ${VLK_CONFORMANCE_SOURCES}
                 ${CMAKE_SOURCE_DIR}/tests/wine/conformance_win_fixture.cpp)
  target_include_directories(test_conformance PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(test_conformance PRIVATE vlk_win gtest gtest_main)
endif()

# The test robot: finds the program's windows, reads and presses them.
add_executable(robot ${CMAKE_SOURCE_DIR}/tests/wine/robot.cpp
               ${CMAKE_SOURCE_DIR}/src/platform/win32/robot/desktop.cpp)
target_include_directories(robot PRIVATE ${CMAKE_SOURCE_DIR}/src)

# A message box shown through the platform, for the robot's own check.
add_executable(show_box ${CMAKE_SOURCE_DIR}/tests/wine/show_box.cpp)
target_link_libraries(show_box PRIVATE vlk_win)

# The file-association scenario against the real registry; its dump is
# compared with the simulated machine's by tests/wine/assoc_compare.sh.
if(TARGET vlk_program)
  add_executable(assoc_scenario ${CMAKE_SOURCE_DIR}/tests/wine/assoc_scenario_win.cpp
                 ${CMAKE_SOURCE_DIR}/tests/integration/assoc_scenario.cpp
                 ${CMAKE_SOURCE_DIR}/tests/integration/reg_dump.cpp)
  target_include_directories(assoc_scenario PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(assoc_scenario PRIVATE vlk_program vlk_win)
endif()

# The link exchange with the simulated machine: links written by the win64
# build and read back by both sides (tests/wine/shortcut_compare.sh).
if(TARGET vlk_program)
  add_executable(shortcut_links ${CMAKE_SOURCE_DIR}/tests/wine/shortcut_links.cpp
                 ${CMAKE_SOURCE_DIR}/tests/integration/shortcut_cases.cpp)
  target_include_directories(shortcut_links PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(shortcut_links PRIVATE vlk_program vlk_win)
endif()
