# GL loader generated at build time for OpenGL 3.3 core with no extensions.
# --reproducible keeps the generator on its bundled registry, never online.
find_program(GLAD_GENERATOR glad REQUIRED)

set(GLAD_OUT ${CMAKE_BINARY_DIR}/glad)
add_custom_command(
  OUTPUT ${GLAD_OUT}/src/gl.c ${GLAD_OUT}/include/glad/gl.h
  COMMAND ${GLAD_GENERATOR} --quiet --api gl:core=3.3 --extensions= --reproducible
          --out-path ${GLAD_OUT} c
  COMMENT "Generating the OpenGL 3.3 core loader"
  VERBATIM)

add_library(glad STATIC ${GLAD_OUT}/src/gl.c)
target_include_directories(glad SYSTEM PUBLIC ${GLAD_OUT}/include)
target_link_libraries(glad PUBLIC ${CMAKE_DL_LIBS})
set_target_properties(glad PROPERTIES POSITION_INDEPENDENT_CODE ON)
