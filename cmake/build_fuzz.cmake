# The fuzz build: the sim build (the program, the simulated machine and its
# embedded resources) compiled by clang with libFuzzer's coverage
# instrumentation, AddressSanitizer and UBSan, and one fuzz target per reader
# of outside input: each file fuzz/<name>.cpp becomes the program fuzz_<name>,
# linked with the helpers in fuzz/support/. fuzz/run.sh configures it with
# CC=clang CXX=clang++ and runs the targets.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "the fuzz build needs clang (configure with CC=clang CXX=clang++)")
endif()

add_compile_options(-fsanitize=fuzzer-no-link)

# Everything else exactly as the sim build makes it, sanitizers included.
set(VLK_BUILD sim)
set(VLK_SANITIZE ON)
include(cmake/build_sim.cmake)
set(VLK_BUILD fuzz)

file(GLOB VLK_FUZZ_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/support/*.cpp)
add_library(vlk_fuzz_support STATIC ${VLK_FUZZ_SUPPORT})
target_include_directories(vlk_fuzz_support PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/fuzz)

file(GLOB VLK_FUZZ_TARGETS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/*.cpp)
set(VLK_FUZZ_PROGRAMS)
foreach(src ${VLK_FUZZ_TARGETS})
  get_filename_component(name ${src} NAME_WE)
  add_executable(fuzz_${name} ${src})
  target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(fuzz_${name} PRIVATE vlk_fuzz_support ${VLK_SIM_LINK})
  list(APPEND VLK_FUZZ_PROGRAMS fuzz_${name})
endforeach()
# Builds every fuzz target and nothing else of the sim build.
add_custom_target(vlk_fuzz_targets DEPENDS ${VLK_FUZZ_PROGRAMS})
