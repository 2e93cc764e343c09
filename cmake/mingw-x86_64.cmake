# Cross build for 64-bit Windows with Debian's mingw-w64 x86_64 toolchain; tests run under wine64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C++, GCC and thread run-times are linked in, so the DLL needs no DLLs beside it.
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# The 64-bit loader itself, never /usr/bin/wine, which picks the 32-bit one when wine32 is there.
set(FEEDLINE_WINE_LOADER /usr/lib/wine/wine64)
set(FEEDLINE_WINE_SERVER /usr/lib/wine/wineserver64)
set(CMAKE_CROSSCOMPILING_EMULATOR ${FEEDLINE_WINE_LOADER})
