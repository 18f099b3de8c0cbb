# What makes cdb2xls at home on a Linux system, in two parts that the
# packages follow (cmake/paket.cmake):
# - programm: the command line, its man pages (English and German), bash
#   completion, and the MIME type of cdb files;
# - fenster: the window module with what a desktop shows of it: the desktop
#   entry, the icon in the hicolor theme and the AppStream metainfo.
# Each part also gets the copyright and changelog a Debian package carries.
include(cmake/symbol.cmake)
find_program(CDB2XLS_GZIP gzip REQUIRED)

set(CDB2XLS_ERZEUGT ${CMAKE_BINARY_DIR}/desktop)
set(CDB2XLS_DESKTOPDATEIEN)

# gepackt(QUELLE ZIEL): ZIEL = QUELLE compressed as Debian wants it, without
# a name or time stamp inside, so the same source gives the same bytes.
function(gepackt quelle ziel)
  get_filename_component(ordner ${ziel} DIRECTORY)
  add_custom_command(OUTPUT ${ziel}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ordner}
    COMMAND ${CDB2XLS_GZIP} -9n -c ${quelle} > ${ziel}
    DEPENDS ${quelle})
  set(CDB2XLS_DESKTOPDATEIEN ${CDB2XLS_DESKTOPDATEIEN} ${ziel} PARENT_SCOPE)
endfunction()

# The files that name the version, written from their templates.
foreach(vorlage man/cdb2xls.1 man/cdb2xls.de.1 debian/changelog de.quorb.cdb2xls.metainfo.xml)
  configure_file(${CMAKE_SOURCE_DIR}/res/${vorlage}.in ${CDB2XLS_ERZEUGT}/${vorlage} @ONLY)
endforeach()
gepackt(${CDB2XLS_ERZEUGT}/man/cdb2xls.1 ${CDB2XLS_ERZEUGT}/man/en/cdb2xls.1.gz)
gepackt(${CDB2XLS_ERZEUGT}/man/cdb2xls.de.1 ${CDB2XLS_ERZEUGT}/man/de/cdb2xls.1.gz)
gepackt(${CDB2XLS_ERZEUGT}/debian/changelog ${CDB2XLS_ERZEUGT}/changelog.gz)
install(FILES ${CDB2XLS_ERZEUGT}/man/en/cdb2xls.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT programm)
install(FILES ${CDB2XLS_ERZEUGT}/man/de/cdb2xls.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/de/man1 COMPONENT programm)
install(FILES res/cdb2xls.bash-completion RENAME cdb2xls
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions COMPONENT programm)
install(FILES res/cdb2xls-mime.xml RENAME cdb2xls.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages COMPONENT programm)

set(CDB2XLS_TEILE programm)
if(CDB2XLS_QT)
  list(APPEND CDB2XLS_TEILE fenster)
  foreach(groesse 16 32 48 64 128 256)
    set(bild ${CDB2XLS_ERZEUGT}/icons/${groesse}x${groesse}/cdb2xls.png)
    cdb2xls_symbol(${bild} png ${groesse})
    list(APPEND CDB2XLS_DESKTOPDATEIEN ${bild})
    install(FILES ${bild} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${groesse}x${groesse}/apps
      COMPONENT fenster)
  endforeach()
  cdb2xls_symbol(${CDB2XLS_ERZEUGT}/icons/scalable/cdb2xls.svg svg)
  list(APPEND CDB2XLS_DESKTOPDATEIEN ${CDB2XLS_ERZEUGT}/icons/scalable/cdb2xls.svg)
  install(FILES ${CDB2XLS_ERZEUGT}/icons/scalable/cdb2xls.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT fenster)
  install(FILES res/cdb2xls.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT fenster)
  install(FILES ${CDB2XLS_ERZEUGT}/de.quorb.cdb2xls.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT fenster)
  install(FILES res/debian/cdb2xls-fenster.lintian-overrides RENAME cdb2xls-fenster
    DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides COMPONENT fenster)
endif()

# Each package's own documentation folder.
foreach(teil ${CDB2XLS_TEILE})
  set(paket cdb2xls)
  if(teil STREQUAL "fenster")
    set(paket cdb2xls-fenster)
  endif()
  install(FILES res/debian/copyright ${CDB2XLS_ERZEUGT}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${paket} COMPONENT ${teil})
endforeach()

add_custom_target(desktopdateien ALL DEPENDS ${CDB2XLS_DESKTOPDATEIEN})
