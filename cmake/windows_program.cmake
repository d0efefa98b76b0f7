# What the win32 and win64 builds share: the program, the real-API backend and
# uninstall.exe itself (GUI subsystem, the whole run-time linked in, so it
# imports only Windows system DLLs).

# The platform layer's own sources (the installed platform) as a library of
# their own, so the platform test programs link them without the program.
set(VLK_PLATFORM_SOURCES ${VLK_PROGRAM_SOURCES})
list(FILTER VLK_PLATFORM_SOURCES INCLUDE REGEX "/src/platform/[^/]*\\.cpp$")
list(FILTER VLK_PROGRAM_SOURCES EXCLUDE REGEX "/src/platform/[^/]*\\.cpp$")

file(GLOB VLK_WIN_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/platform/win32/*.cpp)
list(FILTER VLK_WIN_SOURCES EXCLUDE REGEX "/main_[^/]*\\.cpp$")

add_library(vlk_win STATIC ${VLK_PLATFORM_SOURCES} ${VLK_WIN_SOURCES})
target_include_directories(vlk_win PUBLIC ${CMAKE_SOURCE_DIR}/src)
# The shell backend: the shell-link object and OLE (ole32, with the interface
# identifiers from uuid); shell32 comes with the toolchain's default libraries.
target_link_libraries(vlk_win PUBLIC shell32 ole32 uuid)
# The printf family of the system's msvcrt.dll, through the run-time's small
# wrappers that keep the C99 rules of snprintf (always terminated, the needed
# length returned). The run-time's own formatter would add about 25 KB to a
# program whose budget is 100 KB. The compiler then checks formats against
# what msvcrt understands. (The test programs keep the run-time's formatter.)
set(VLK_WIN_STDIO __USE_MINGW_ANSI_STDIO=0)
target_compile_definitions(vlk_win PRIVATE ${VLK_WIN_STDIO})

# Every program's run-time is linked in: a Windows user has none of the
# toolchain's DLLs.
add_link_options(-static -static-libgcc -static-libstdc++)

# The program's resources (dialogs, strings, icons, manifest), compiled by
# windres. cmake/resources.cmake may define a target vlk_resources_win to link
# into uninstall.exe, or set VLK_PROGRAM_RC to the .rc file; without either,
# resources/uninstall.rc is compiled straight into the program.
include(cmake/resources.cmake OPTIONAL)
if(NOT VLK_PROGRAM_RC)
  set(VLK_PROGRAM_RC ${CMAKE_SOURCE_DIR}/resources/uninstall.rc)
endif()

if(VLK_PROGRAM_SOURCES)
  add_library(vlk_program STATIC ${VLK_PROGRAM_SOURCES})
  target_include_directories(vlk_program PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(vlk_program PUBLIC vlk_win)
  target_compile_definitions(vlk_program PUBLIC ${VLK_WIN_STDIO})

  # The one exception the program raises is the int of memory exhaustion,
  # which nothing catches, so the program is built without exception support
  # and ends at that point abnormally (see ErrorReporter::Throw): neither the
  # unwinder nor exception tables nor run-time type data go into a program
  # whose budget is 100 KB.
  # Only the shipped 32-bit program: the win64 build is a test build.
  if(VLK_BUILD STREQUAL "win32")
    set(VLK_NO_EH -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables -fno-unwind-tables)
  else()
    set(VLK_NO_EH)
  endif()
  target_compile_options(vlk_program PRIVATE ${VLK_NO_EH})
  target_compile_options(vlk_win PRIVATE ${VLK_NO_EH})

  # WIN32: the GUI subsystem (-mwindows).
  add_executable(uninstall WIN32
    ${CMAKE_SOURCE_DIR}/src/platform/win32/main_winmain.cpp
    ${CMAKE_SOURCE_DIR}/src/platform/win32/main_terminate.cpp)
  target_link_libraries(uninstall PRIVATE vlk_program vlk_win comctl32)
  target_link_options(uninstall PRIVATE -Wl,--gc-sections -s)
  # Link-time optimisation across the program's files: about 13 KB less code,
  # which the 100 KB budget needs. The link optimises for size as the
  # compilation does.
  include(CheckIPOSupported)
  check_ipo_supported(RESULT VLK_IPO OUTPUT VLK_IPO_ERROR LANGUAGES CXX)
  if(VLK_IPO)
    set_property(TARGET vlk_win vlk_program uninstall PROPERTY INTERPROCEDURAL_OPTIMIZATION ON)
    target_link_options(uninstall PRIVATE $<$<STREQUAL:${VLK_BUILD},win32>:-Os> ${VLK_NO_EH})
  else()
    message(STATUS "uninstall.exe without link-time optimisation: ${VLK_IPO_ERROR}")
  endif()
  if(TARGET vlk_resources_win)
    target_link_libraries(uninstall PRIVATE vlk_resources_win)
  elseif(EXISTS ${VLK_PROGRAM_RC})
    enable_language(RC)
    target_sources(uninstall PRIVATE ${VLK_PROGRAM_RC})
  endif()
endif()
