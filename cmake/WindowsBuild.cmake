# What the Windows build takes from this machine: the header-only CLI11 and
# nlohmann-json of their Debian packages, each folder alone (never the host's
# whole /usr/include), and GoogleTest built from Debian's sources for the target.
# libudev, libcups and Qt are not used: the dialogs are the system's own.
set(TALQ_HOST_INCLUDE_DIR /usr/include CACHE PATH "Where CLI and nlohmann header folders are")
set(talq_header_only ${PROJECT_BINARY_DIR}/header-only)
file(MAKE_DIRECTORY ${talq_header_only})
foreach(folder CLI nlohmann)
  if(NOT EXISTS ${TALQ_HOST_INCLUDE_DIR}/${folder})
    message(FATAL_ERROR "${TALQ_HOST_INCLUDE_DIR}/${folder} is missing (scripts/install-deps.sh)")
  endif()
  file(CREATE_LINK ${TALQ_HOST_INCLUDE_DIR}/${folder} ${talq_header_only}/${folder} SYMBOLIC)
endforeach()
add_library(CLI11::CLI11 INTERFACE IMPORTED)
target_include_directories(CLI11::CLI11 SYSTEM INTERFACE ${talq_header_only})
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE ${talq_header_only})
set(CLI11_FOUND TRUE)
set(nlohmann_json_FOUND TRUE)

# The oldest Windows both builds run on is Windows 7 SP1 (0x0601), the system of the 32-bit and
# 64-bit point-of-sale terminals still in shops: the headers then hide what later versions
# added, and every function the programs take from the system is checked against the list of
# those present there (cmake/WindowsImports.cmake).
set(TALQ_WINDOWS_VERSION 0x0601)
add_compile_definitions(_WIN32_WINNT=${TALQ_WINDOWS_VERSION} WINVER=${TALQ_WINDOWS_VERSION})
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(TALQ_WINDOWS_ARCH x64)
else()
  set(TALQ_WINDOWS_ARCH x86)
endif()

# One program file with no DLL beside it.
add_link_options(-static)
# MinGW's GCC 12 reports std::string's own inlined copies as overlapping
# (GCC bug 105651): a false alarm in library code, not in ours.
add_compile_options(-Wno-restrict)

# The dialogs are Win32 dialogs (src/ui/win32), built with the rest.
set(TALQ_WITH_DIALOGS ON)

if(TALQ_BUILD_TESTS)
  set(TALQ_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources (libgtest-dev)")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  # GoogleTest's own code is not held to our warnings.
  add_subdirectory(${TALQ_GOOGLETEST_SOURCE} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  foreach(target gtest gtest_main)
    set_property(TARGET ${target} PROPERTY COMPILE_OPTIONS -w)
  endforeach()
  if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
endif()
