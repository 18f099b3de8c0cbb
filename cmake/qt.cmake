# The drop window and message boxes, with Qt 6 Widgets.
set(CMAKE_AUTOMOC ON)
add_library(cdb2xls_qt STATIC ui/qt/form1.cpp ui/qt/form1.h ui/qt/fenster.cpp)
set_target_properties(cdb2xls_qt PROPERTIES AUTOMOC ON)
target_link_libraries(cdb2xls_qt PUBLIC cdb2xls_core Qt6::Widgets)
target_link_libraries(cdb2xls PRIVATE cdb2xls_qt)

install(FILES res/cdb2xls.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES res/cdb2xls.xpm DESTINATION ${CMAKE_INSTALL_DATADIR}/pixmaps)
