# Cross build for 32-bit Windows with Debian's mingw-w64 i686 toolchain; tests run under the
# 32-bit Wine.
set(FEEDLINE_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(FEEDLINE_WINE_LOADER /usr/lib/wine/wine)
set(FEEDLINE_WINE_SERVER /usr/lib/wine/wineserver32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# SSE2 arithmetic rounds every double to 64 bits before it is compared; x87 would keep 80.
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
