# Installation and the Debian package: the three programs and what a desktop needs to offer
# them (menu entry, icons, AppStream data, USB access without root, manual pages, completion),
# and the Ansible collection where Ansible looks without configuration.
# Tests, benchmarks and the static libraries stay in the build tree.
include(GNUInstallDirs)

set(TALQ_HOMEPAGE "https://talquist.example.org/" CACHE STRING
    "Home page named by the package and the AppStream data (ends with /)")
set(TALQ_PACKAGE_MAINTAINER "Talquist Manager developers <maintainers@talquist.example.org>"
    CACHE STRING "Maintainer of the Debian package")
set(TALQ_PROJECT_LICENSE "LicenseRef-proprietary" CACHE STRING "SPDX licence of the project")
# Outside the /usr prefix udev does not look for rules: packagers keep this under /usr.
set(TALQ_UDEV_RULES_DIR "lib/udev/rules.d" CACHE STRING "udev rules folder, below the prefix")
# The release these files describe: move both dates on with the project version.
set(TALQ_RELEASE_DATE "2026-12-07")
set(TALQ_RELEASE_DATE_RFC2822 "Mon, 07 Dec 2026 09:00:00 +0000")

set(TALQ_APP_ID org.talquist.Manager)
set(TALQ_ICON_SIZES 16 32 48 64 128 256)
set(talq_pkg_src ${PROJECT_SOURCE_DIR}/packaging)
set(talq_pkg_out ${PROJECT_BINARY_DIR}/packaging)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
find_program(GZIP_PROGRAM gzip REQUIRED)

# The theme's icons are rendered from the drawing the dialogs use, so they cannot drift apart.
add_executable(talq-render-icons packaging/render_icons.cpp)
# The Qt backend paints the icon as the dialogs do.
target_link_libraries(talq-render-icons PRIVATE talq_gui Qt6::Widgets)
set(talq_icon_files)
string(JOIN ", " talq_icon_size_text ${TALQ_ICON_SIZES})
foreach(size IN LISTS TALQ_ICON_SIZES)
  list(APPEND talq_icon_files ${talq_pkg_out}/icons/${size}.png)
endforeach()
add_custom_command(OUTPUT ${talq_icon_files}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${talq_pkg_out}/icons
  # In a sanitizer build the tool is instrumented too; Qt's caches are not leaks of ours.
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0:verify_asan_link_order=0
          $<TARGET_FILE:talq-render-icons> ${talq_pkg_out}/icons ${TALQ_ICON_SIZES}
  DEPENDS talq-render-icons
  COMMENT "Rendering the icon at ${talq_icon_size_text} pixels"
  VERBATIM)

# Texts that carry the version, compressed where Debian wants them compressed.
configure_file(${talq_pkg_src}/${TALQ_APP_ID}.metainfo.xml.in
               ${talq_pkg_out}/${TALQ_APP_ID}.metainfo.xml @ONLY)
configure_file(${talq_pkg_src}/copyright.in ${talq_pkg_out}/copyright @ONLY)
configure_file(${talq_pkg_src}/changelog.in ${talq_pkg_out}/changelog @ONLY)
set(talq_gzipped ${talq_pkg_out}/changelog.gz)
set(TALQ_MAN_PAGES talq-manager talq talq-printer-sim)
foreach(page IN LISTS TALQ_MAN_PAGES)
  configure_file(${talq_pkg_src}/man/${page}.1 ${talq_pkg_out}/man/${page}.1 @ONLY)
  list(APPEND talq_gzipped ${talq_pkg_out}/man/${page}.1.gz)
endforeach()
foreach(gz IN LISTS talq_gzipped)
  string(REGEX REPLACE "\\.gz$" "" plain ${gz})
  add_custom_command(OUTPUT ${gz}
    COMMAND ${GZIP_PROGRAM} -9nf -k ${plain}
    DEPENDS ${plain}
    VERBATIM)
endforeach()
add_custom_target(talq-packaging-data ALL DEPENDS ${talq_icon_files} ${talq_gzipped})

install(TARGETS talq-manager talq talq-printer-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${talq_pkg_src}/${TALQ_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${talq_pkg_out}/${TALQ_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size IN LISTS TALQ_ICON_SIZES)
  install(FILES ${talq_pkg_out}/icons/${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${TALQ_APP_ID}.png)
endforeach()
install(FILES ${talq_pkg_src}/70-talquist-printers.rules DESTINATION ${TALQ_UDEV_RULES_DIR})
foreach(page IN LISTS TALQ_MAN_PAGES)
  install(FILES ${talq_pkg_out}/man/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
install(FILES ${talq_pkg_src}/bash-completion/talq
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES ${talq_pkg_out}/copyright ${talq_pkg_out}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/talquist-manager)
install(DIRECTORY ${TALQ_COLLECTION_DIR}/
        DESTINATION ${CMAKE_INSTALL_DATADIR}/ansible/collections/ansible_collections/talquist/printers)

# cpack -G DEB: one package, its Depends computed from the binaries, no maintainer scripts.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME talquist-manager)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Talquist Manager developers")
set(CPACK_PACKAGE_CONTACT ${TALQ_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "set up the memory switches of KTV receipt printers")
# Debian wants the long description in lines of at most 80 characters.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Talquist Manager configures the maker's KTV thermal receipt printers"
  "(KTV-520plus, KTV-540/542 and KTV-520plusF) over a serial, parallel or USB"
  "port: it reads the printer's memory switches, edits them, writes them back,"
  "keeps them in status files and resets them to factory values."
  "."
  "The package holds the desktop program talq-manager, the command line talq"
  "and a simulated printer, talq-printer-sim, to try both without a printer,"
  "and the Ansible collection talquist.printers, which keeps the switches of a"
  "fleet's printers as configuration.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${TALQ_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
