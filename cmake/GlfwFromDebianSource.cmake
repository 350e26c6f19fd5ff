# GLFW for the Windows build, compiled from the source of Debian's glfw3
# package (see DebianSource.cmake).
set(GLFW_SOURCE_CACHE ${CMAKE_BINARY_DIR}/glfw3-source)
fetch_debian_source(glfw3 ${GLFW_SOURCE_CACHE} CMakeLists.txt)

set(GLFW_BUILD_DOCS OFF CACHE BOOL "" FORCE)
set(GLFW_BUILD_TESTS OFF CACHE BOOL "" FORCE)
set(GLFW_BUILD_EXAMPLES OFF CACHE BOOL "" FORCE)
set(GLFW_INSTALL OFF CACHE BOOL "" FORCE)
set(BUILD_SHARED_LIBS OFF CACHE BOOL "" FORCE)
add_subdirectory(${GLFW_SOURCE_CACHE}/src ${CMAKE_BINARY_DIR}/glfw EXCLUDE_FROM_ALL)
