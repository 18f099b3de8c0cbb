# The Linux build's settings: install folders, hardening, the modules' names
# and folders. The targets are the floors' (*/CMakeLists.txt).
include(GNUInstallDirs)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Release builds are what the package ships: hardened as Debian builds its own.
if(CMAKE_BUILD_TYPE STREQUAL "Release")
  add_compile_options(-D_FORTIFY_SOURCE=2 -fstack-protector-strong -fstack-clash-protection -fcf-protection)
  add_link_options(-Wl,-z,relro -Wl,-z,now)
endif()

# The modules (the window, the workbook writer) lie beside the program in
# the build, and in a private folder under the multiarch library folder
# once installed, as Debian keeps plugins.
set(CDB2XLS_XLSX_MODUL cdb2xls-xlsx)
set(CDB2XLS_FENSTER_MODUL cdb2xls-fenster)
if(CMAKE_LIBRARY_ARCHITECTURE)
  set(CDB2XLS_MODUL_ORDNER lib/${CMAKE_LIBRARY_ARCHITECTURE}/cdb2xls)
else()
  set(CDB2XLS_MODUL_ORDNER lib/cdb2xls)
endif()
# Without /proc and without the path it was started by, the program knows
# only the folders it was built for: the one under its install prefix and the
# one the Debian package puts the modules in.
set(CDB2XLS_MODUL_PFADE "\"${CMAKE_INSTALL_PREFIX}/${CDB2XLS_MODUL_ORDNER}\"")
if(NOT CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  string(APPEND CDB2XLS_MODUL_PFADE ", \"/usr/${CDB2XLS_MODUL_ORDNER}\"")
endif()
