# Cross-compiles the shipped DLL and the Windows programs with Debian's MinGW-w64, for the processor
# that the including toolchain file names. The win32 thread model keeps winpthread out of the image.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Tests of the Windows programs run under Wine. 64-bit programs start with the 64-bit loader itself:
# the `wine` wrapper starts the 32-bit loader first, which costs seconds where 32-bit code is emulated.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
else()
    set(CMAKE_CROSSCOMPILING_EMULATOR wine)
endif()
