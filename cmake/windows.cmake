# The Windows build's settings, cross-built with mingw-w64: the resource
# compiler for the icon and version record, and a static runtime for every
# program, the tests' included. The targets are the floors' (*/CMakeLists.txt).
enable_language(RC)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001 -I${CMAKE_BINARY_DIR}/res -I${CMAKE_SOURCE_DIR}/res")
add_link_options(-static -static-libgcc -static-libstdc++)
