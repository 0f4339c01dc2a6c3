# Cross-building the standard-C++ parts for 64-bit Windows with Debian's
# MinGW-w64 (g++-mingw-w64-x86-64-posix); the tests run under wine64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Header-only libraries (the JSON library) come from the build machine.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
find_program(VELTRANO_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(VELTRANO_WINE NAMES wine64 wine)
set(CMAKE_CROSSCOMPILING_EMULATOR ${VELTRANO_WINE})
# One self-contained executable per test: no MinGW runtime DLLs to find.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# GCC 12 reports impossible overlaps inside its own std::string code once it
# is inlined (a known false positive of -Wrestrict); our code has none.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")
