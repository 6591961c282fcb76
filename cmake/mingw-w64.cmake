# Cross-compiles for 64-bit Windows (x64) with Debian's MinGW-w64.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TALQ_MINGW_TARGET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-toolchain.cmake)
set(TALQ_WINE_ARCH win64)
