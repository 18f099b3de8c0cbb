# Filled in with the drop window.
target_sources(cdb2xls PRIVATE ui/ohne_fenster.cpp)
