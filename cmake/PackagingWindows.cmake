# The Windows packages of the build's architecture (TALQ_WINDOWS_ARCH, x64 or x86): an
# installer (target `msi`, below) and a zip with talq.exe and talq-manager.exe (both linked
# statically, so no DLL goes beside them), the user's guide and the licence, as Windows text
# (CRLF). `cpack` in the build folder makes talquist-manager-<version>-win64.zip (win32: x86).
set(TALQ_PROJECT_LICENSE "LicenseRef-proprietary" CACHE STRING "SPDX licence of the project")
configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/README.txt.in
               ${PROJECT_BINARY_DIR}/packaging/README.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/LICENCE.txt.in
               ${PROJECT_BINARY_DIR}/packaging/LICENCE.txt @ONLY NEWLINE_STYLE CRLF)

# Both programs take from Windows only what its oldest version they run on has: the build fails
# on a function that packaging/windows/imports.txt does not list (cmake/CheckWindowsImports.cmake;
# the test talq_win32_imports checks again).
set(TALQ_IMPORTS_CHECK ${CMAKE_COMMAND} -DLIST=${PROJECT_SOURCE_DIR}/packaging/windows/imports.txt
  -DOBJDUMP=${CMAKE_OBJDUMP} -DNM=${CMAKE_NM} -DLIBRARIES=/usr/${TALQ_MINGW_TARGET}/lib
  "-DPROGRAMS=$<TARGET_FILE:talq>;$<TARGET_FILE:talq-manager>"
  -P ${PROJECT_SOURCE_DIR}/cmake/CheckWindowsImports.cmake)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/imports-checked
  COMMAND ${TALQ_IMPORTS_CHECK}
  COMMAND ${CMAKE_COMMAND} -E touch ${PROJECT_BINARY_DIR}/imports-checked
  DEPENDS talq talq-manager ${PROJECT_SOURCE_DIR}/packaging/windows/imports.txt
          ${PROJECT_SOURCE_DIR}/cmake/CheckWindowsImports.cmake
  COMMENT "Checking the functions the programs take from Windows"
  VERBATIM)
add_custom_target(windows_imports ALL DEPENDS ${PROJECT_BINARY_DIR}/imports-checked)

install(TARGETS talq RUNTIME DESTINATION .)
if(TARGET talq-manager)
  install(TARGETS talq-manager RUNTIME DESTINATION .)
endif()
install(FILES ${PROJECT_BINARY_DIR}/packaging/README.txt ${PROJECT_BINARY_DIR}/packaging/LICENCE.txt
        DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME talquist-manager)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Talquist Manager developers")
if(TALQ_WINDOWS_ARCH STREQUAL x64)
  set(CPACK_PACKAGE_FILE_NAME talquist-manager-${PROJECT_VERSION}-win64)
else()
  set(CPACK_PACKAGE_FILE_NAME talquist-manager-${PROJECT_VERSION}-win32)
endif()
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_STRIP_FILES ON)
include(CPack)

# The installer, talquist-manager-<version>-x64.msi or -x86.msi (`cmake --build build-windows
# --target msi`), with Debian's wixl and msibuild: both programs, the Start-menu shortcut of
# talq-manager.exe and the icon of Programs and Features (the program's own icon 128).
set(TALQ_MANAGER_ICON ${PROJECT_SOURCE_DIR}/src/app/win32/talq-manager.ico)
find_program(TALQ_WIXL wixl)
find_program(TALQ_MSIBUILD msibuild)
set(TALQ_MSI ${PROJECT_BINARY_DIR}/talquist-manager-${PROJECT_VERSION}-${TALQ_WINDOWS_ARCH}.msi)
# What makes the installer of any VERSION (the test builds others to upgrade and downgrade).
set(TALQ_MSI_COMMAND ${CMAKE_COMMAND}
  -DWXS=${PROJECT_SOURCE_DIR}/packaging/talquist-manager.wxs -DARCH=${TALQ_WINDOWS_ARCH}
  -DTALQ_EXE=$<TARGET_FILE:talq> -DSTRIP=${CMAKE_STRIP}
  -DGUIDE=${PROJECT_BINARY_DIR}/packaging/README.txt
  -DLICENCE=${PROJECT_BINARY_DIR}/packaging/LICENCE.txt)
set(talq_msi_depends talq ${PROJECT_SOURCE_DIR}/packaging/talquist-manager.wxs
    ${PROJECT_SOURCE_DIR}/cmake/BuildMsi.cmake ${PROJECT_BINARY_DIR}/packaging/README.txt
    ${PROJECT_BINARY_DIR}/packaging/LICENCE.txt)
list(APPEND TALQ_MSI_COMMAND -DMANAGER_EXE=$<TARGET_FILE:talq-manager>
                             -DMANAGER_ICON=${TALQ_MANAGER_ICON})
list(APPEND talq_msi_depends talq-manager ${TALQ_MANAGER_ICON})
if(TALQ_WIXL AND TALQ_MSIBUILD)
  add_custom_command(OUTPUT ${TALQ_MSI}
    COMMAND ${TALQ_MSI_COMMAND} -DVERSION=${PROJECT_VERSION} -DOUTPUT=${TALQ_MSI}
            -P ${PROJECT_SOURCE_DIR}/cmake/BuildMsi.cmake
    DEPENDS ${talq_msi_depends}
    COMMENT "Building the installer ${TALQ_MSI}"
    VERBATIM)
  add_custom_target(msi DEPENDS ${TALQ_MSI})
else()
  message(STATUS "No wixl or msibuild (scripts/install-deps.sh --windows): no target msi")
endif()
