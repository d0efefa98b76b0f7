# The product build: uninstall.exe for 32-bit Windows (i686-w64-mingw32 with
# the win32-thread compilers, so no threading library is linked in). Small by
# construction: size-optimised, unused sections dropped, symbols stripped, no
# run-time type information (the one thrown exception, the int 8 of memory
# exhaustion, needs none).
add_compile_options(-Os -ffunction-sections -fdata-sections
                    $<$<COMPILE_LANGUAGE:CXX>:-fno-rtti>)

include(cmake/windows_program.cmake)
