# The simulated machine build: the program linked with the simulated Windows
# machine, the tools, and every unit test. Sanitizers are on by default.
if(VLK_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

include(cmake/resources.cmake OPTIONAL)

add_library(vlk_program STATIC ${VLK_PROGRAM_SOURCES})
target_include_directories(vlk_program PUBLIC ${CMAKE_SOURCE_DIR}/src)

file(GLOB VLK_SIM_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/platform/sim/*.cpp)
list(FILTER VLK_SIM_SOURCES EXCLUDE REGEX "/main_[^/]*\\.cpp$")
add_library(vlk_sim STATIC ${VLK_SIM_SOURCES})
target_include_directories(vlk_sim PUBLIC ${CMAKE_SOURCE_DIR}/src)
if(TARGET vlk_resources_sim)
  target_link_libraries(vlk_sim PUBLIC vlk_resources_sim)
endif()
# The program and the machine call each other (the machine runs the program's
# entry; the program calls the platform), so they link as one group.
set(VLK_SIM_LINK -Wl,--start-group vlk_program vlk_sim -Wl,--end-group)

if(EXISTS ${CMAKE_SOURCE_DIR}/src/platform/sim/main_uninstall.cpp)
  add_executable(uninstall ${CMAKE_SOURCE_DIR}/src/platform/sim/main_uninstall.cpp)
  target_link_libraries(uninstall PRIVATE ${VLK_SIM_LINK})
endif()

# Further executables of the sim build (tools): one file each in tools/.
file(GLOB VLK_TOOL_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/*.cpp)
foreach(src ${VLK_TOOL_SOURCES})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_link_libraries(${name} PRIVATE ${VLK_SIM_LINK})
endforeach()

# Unit tests: one GoogleTest program per folder of tests/ (tests/<name>/*.cpp
# becomes test_<name>); the conformance suite also builds for win64.
enable_testing()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
file(GLOB VLK_TEST_DIRS LIST_DIRECTORIES true ${CMAKE_SOURCE_DIR}/tests/*)
file(GLOB VLK_TEST_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
foreach(dir ${VLK_TEST_DIRS})
  get_filename_component(name ${dir} NAME)
  if(NOT IS_DIRECTORY ${dir} OR name STREQUAL "support" OR name STREQUAL "wine" OR name STREQUAL "data")
    continue()
  endif()
  file(GLOB srcs CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(NOT srcs)
    continue()
  endif()
  add_executable(test_${name} ${srcs} ${VLK_TEST_SUPPORT})
  target_include_directories(test_${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(test_${name} PRIVATE VLK_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
                             VLK_BINARY_DIR="${CMAKE_BINARY_DIR}")
  target_link_libraries(test_${name} PRIVATE ${VLK_SIM_LINK} gtest gtest_main gmock)
  add_test(NAME ${name} COMMAND test_${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "VLK_SIM_UNINSTALL=${CMAKE_BINARY_DIR}/uninstall")
endforeach()
# The round-trip suite runs whole uninstalls with the uninstall tests' fixture.
if(TARGET test_roundtrip)
  target_sources(test_roundtrip PRIVATE ${CMAKE_SOURCE_DIR}/tests/uninstall/uninstall_fixture.cpp)
endif()

# The benchmarks' tools (bench/bench.cmake; bench/run.sh runs them).
include(${CMAKE_SOURCE_DIR}/bench/bench.cmake OPTIONAL)
