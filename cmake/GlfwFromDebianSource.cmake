# GLFW for the Windows build, compiled from the source of Debian's glfw3
# package. The source is fetched once into the build tree and kept there;
# nothing of it is part of this repository.
set(GLFW_SOURCE_CACHE ${CMAKE_BINARY_DIR}/glfw3-source)
if(NOT EXISTS ${GLFW_SOURCE_CACHE}/src/CMakeLists.txt)
  message(STATUS "Fetching GLFW's source from Debian's glfw3 package")
  execute_process(
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/fetch-debian-source glfw3 ${GLFW_SOURCE_CACHE}
    RESULT_VARIABLE fetch_result)
  if(NOT fetch_result EQUAL 0 OR NOT EXISTS ${GLFW_SOURCE_CACHE}/src/CMakeLists.txt)
    message(FATAL_ERROR "apt-get source glfw3 failed; see the messages above")
  endif()
endif()

set(GLFW_BUILD_DOCS OFF CACHE BOOL "" FORCE)
set(GLFW_BUILD_TESTS OFF CACHE BOOL "" FORCE)
set(GLFW_BUILD_EXAMPLES OFF CACHE BOOL "" FORCE)
set(GLFW_INSTALL OFF CACHE BOOL "" FORCE)
set(BUILD_SHARED_LIBS OFF CACHE BOOL "" FORCE)
add_subdirectory(${GLFW_SOURCE_CACHE}/src ${CMAKE_BINARY_DIR}/glfw EXCLUDE_FROM_ALL)
