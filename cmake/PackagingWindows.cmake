# The Windows package: a zip with talq.exe (linked statically, so no DLL goes
# beside it), talq-manager.exe (the dialogs, linked the same way), the README
# and the licence. `cpack` in the build folder makes
# talquist-manager-<version>-win64.zip.
set(TALQ_HOMEPAGE "https://talquist.example.org/" CACHE STRING "Home page of the project")
set(TALQ_PACKAGE_MAINTAINER "Talquist Manager developers <maintainers@talquist.example.org>"
    CACHE STRING "Maintainer of the package")
set(TALQ_PROJECT_LICENSE "LicenseRef-proprietary" CACHE STRING "SPDX licence of the project")
configure_file(${PROJECT_SOURCE_DIR}/packaging/copyright.in
               ${PROJECT_BINARY_DIR}/packaging/LICENCE.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/README.md ${PROJECT_BINARY_DIR}/packaging/README.txt
               COPYONLY)

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
set(CPACK_PACKAGE_FILE_NAME talquist-manager-${PROJECT_VERSION}-win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_STRIP_FILES ON)
include(CPack)
