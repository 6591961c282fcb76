# Cross-compiles for 32-bit Windows (x86) with Debian's MinGW-w64. Its tests run in a 32-bit
# Wine prefix (wine32), as on the 32-bit Windows the build is for.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TALQ_MINGW_TARGET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-toolchain.cmake)
set(TALQ_WINE_ARCH win32)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_COMMAND} -E env TALQ_WINE_ARCH=win32
    ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
