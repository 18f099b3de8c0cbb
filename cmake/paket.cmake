# The Debian packages, by CPack: "cpack -G DEB" in the build folder writes
#   cdb2xls_VERSION_ARCH.deb          the command line (no Qt needed)
#   cdb2xls-fenster_VERSION_ARCH.deb  the drop window and the desktop entry
# The window's Qt libraries are the second package's dependencies, so the
# first recommends it rather than pulling Qt onto a server.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME cdb2xls)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "cdb2xls-Entwickler <cdb2xls@quorb.de>")
set(CPACK_PACKAGE_VENDOR "QUORB")
# Each package's description below starts with its own summary line.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "")
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ${CDB2XLS_TEILE})

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

set(CPACK_DEBIAN_PROGRAMM_PACKAGE_NAME cdb2xls)
set(CPACK_DEBIAN_PROGRAMM_DESCRIPTION
"convert a Tromil CD database into a table for a spreadsheet
cdb2xls reads the CD list of a Tromil CD database file (a cdb file) and
writes it as a TAB-separated table that Excel or LibreOffice Calc opens as
a worksheet: one row per CD, the fields in fixed columns. Text is copied
byte for byte.

This package holds the command-line program. The drop window is in the
package cdb2xls-fenster.")
if(CDB2XLS_QT)
  set(CPACK_DEBIAN_PROGRAMM_PACKAGE_RECOMMENDS "cdb2xls-fenster (= ${PROJECT_VERSION})")
endif()

set(CPACK_DEBIAN_FENSTER_PACKAGE_NAME cdb2xls-fenster)
set(CPACK_DEBIAN_FENSTER_PACKAGE_DEPENDS "cdb2xls (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_FENSTER_DESCRIPTION
"drop window for cdb2xls
cdb2xls converts the CD list of a Tromil CD database file into a table
that Excel or LibreOffice Calc opens as a worksheet.

This package holds its small window: drop a cdb file onto it, or onto the
launcher, and the table is written next to the file. It also brings the
desktop entry, the icon and the AppStream metainfo.")

include(CPack)
