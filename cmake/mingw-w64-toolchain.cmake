# What both Windows toolchains share: Debian's MinGW-w64 for TALQ_MINGW_TARGET (posix thread
# model, for std::thread and std::mutex). Tests run under Wine through scripts/wine-run.sh.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${TALQ_MINGW_TARGET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TALQ_MINGW_TARGET}-g++-posix)
set(CMAKE_RC_COMPILER ${TALQ_MINGW_TARGET}-windres)

# Only the target's own folders: the host's headers and libraries never leak in.
set(CMAKE_FIND_ROOT_PATH /usr/${TALQ_MINGW_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every test runs in a Wine prefix of its own whose COM and LPT links lead nowhere.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
