# The Linux program: the command line, and the drop window when Qt is there.
# The core goes into the window module too, so it is built position-independent.
set_target_properties(cdb2xls_core PROPERTIES POSITION_INDEPENDENT_CODE ON)
add_library(cdb2xls_posix STATIC app/posix_dateien.cpp)
target_link_libraries(cdb2xls_posix PUBLIC cdb2xls_core)

add_executable(cdb2xls app/main.cpp)
target_link_libraries(cdb2xls PRIVATE cdb2xls_posix)

include(GNUInstallDirs)
if(CDB2XLS_QT)
  find_package(Qt6 REQUIRED COMPONENTS Widgets)
  include(cmake/qt.cmake)
else()
  target_sources(cdb2xls PRIVATE ui/ohne_fenster.cpp)
endif()

install(TARGETS cdb2xls RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
