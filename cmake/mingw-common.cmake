# What both mingw-w64 tool-chain files share; FEEDLINE_MINGW_TRIPLE names the target
# (i686-w64-mingw32 or x86_64-w64-mingw32).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${FEEDLINE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FEEDLINE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${FEEDLINE_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${FEEDLINE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C++, GCC and thread run-times are linked in, so the DLL needs no DLLs beside it.
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# The tests run through the Wine loader of the target's bitness, never /usr/bin/wine's choice.
set(CMAKE_CROSSCOMPILING_EMULATOR ${FEEDLINE_WINE_LOADER})
