# Installation in the freedesktop and Debian layout, and the Debian package
# (scripts/package.sh). The program finds its help in share/korvane from the
# installed bin folder (src/core, KORVANE_SHARE_FROM_BIN).
include(GNUInstallDirs)

set(KORVANE_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/korvane)
set(KORVANE_ICON_SIZES 16 22 24 32 48 64 128 256)

install(TARGETS korvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES docs/help.html docs/whatsnew.txt DESTINATION ${KORVANE_SHARE_DIR})
install(DIRECTORY docs/screenshots DESTINATION ${KORVANE_SHARE_DIR}
  FILES_MATCHING PATTERN "*.png")
install(FILES data/org.korvane.Korvane.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/org.korvane.Korvane.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES data/icons/korvane.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size ${KORVANE_ICON_SIZES})
  install(FILES data/icons/korvane-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME korvane.png)
endforeach()

# Debian installs manual pages compressed, without a time stamp inside.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(KORVANE_MANPAGE ${CMAKE_BINARY_DIR}/korvane.1.gz)
add_custom_command(OUTPUT ${KORVANE_MANPAGE}
  COMMAND ${GZIP_PROGRAM} -9 -n -c ${PROJECT_SOURCE_DIR}/docs/korvane.1 > ${KORVANE_MANPAGE}
  DEPENDS ${PROJECT_SOURCE_DIR}/docs/korvane.1
  COMMENT "Compressing the manual page")
add_custom_target(korvane_manpage ALL DEPENDS ${KORVANE_MANPAGE})
install(FILES ${KORVANE_MANPAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvane)
set(CPACK_PACKAGE_VENDOR Korvane)
set(CPACK_PACKAGE_CONTACT "Korvane developers <korvane@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "two-pane FTP client that copies between servers")
# One string: separate arguments would become a list joined by ";".
set(CPACK_PACKAGE_DESCRIPTION "Korvane shows two sides, each an FTP server or a folder of \
this computer.\nFiles and whole directory trees are queued and copied from one server\n\
straight to the other (site to site), so the data never passes through\n\
this computer. Downloads and uploads use the same queue, and a saved queue\n\
can also run unattended from the command line.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Dependencies come from the libraries the binary links (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
include(CPack)
