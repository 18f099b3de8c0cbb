# The drop window and message boxes, with Qt 6 Widgets. The window is a
# module that the program loads only when it needs a window. It holds no
# conversion core: a drop is handed back to the program's run.
set(CMAKE_AUTOMOC ON)
find_library(CDB2XLS_XCB xcb REQUIRED)
add_library(cdb2xls_qt STATIC ui/qt/form1.cpp ui/qt/form1.h ui/qt/anzeige.cpp)
set_target_properties(cdb2xls_qt PROPERTIES POSITION_INDEPENDENT_CODE ON)
target_include_directories(cdb2xls_qt PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(cdb2xls_qt PUBLIC Qt6::Widgets ${CDB2XLS_XCB})

add_library(cdb2xls_fenster MODULE ui/qt/modul.cpp)
target_link_libraries(cdb2xls_fenster PRIVATE cdb2xls_qt)
set_target_properties(cdb2xls_fenster PROPERTIES PREFIX "" OUTPUT_NAME cdb2xls-fenster
  LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR} C_VISIBILITY_PRESET hidden CXX_VISIBILITY_PRESET hidden)

target_sources(cdb2xls PRIVATE ui/qt/laden.cpp)
add_dependencies(cdb2xls cdb2xls_fenster)

install(TARGETS cdb2xls_fenster LIBRARY DESTINATION ${CDB2XLS_MODUL_ORDNER} COMPONENT fenster)
