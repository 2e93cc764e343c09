# Cross build for 64-bit Windows with Debian's mingw-w64 x86_64 toolchain; tests run under wine64
# (started as /usr/lib/wine/wine64: /usr/bin/wine picks the 32-bit loader when wine32 is there).
set(FEEDLINE_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(FEEDLINE_WINE_LOADER /usr/lib/wine/wine64)
set(FEEDLINE_WINE_SERVER /usr/lib/wine/wineserver64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
