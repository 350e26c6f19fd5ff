# glslang for the Windows build, compiled from the source of Debian's glslang
# package (see DebianSource.cmake) and linked statically. Only the GLSL front
# end is built: no HLSL, no SPIR-V optimizer, no tools, tests or install
# rules, none of which the checks need. The SPIR-V writer is left out where
# glslang can leave it out (ENABLE_SPIRV, from glslang 14); glslang 12 still
# declares its targets, which are never built (nothing here links them).
# The targets are named as Debian's glslang-dev names them on Linux, so that
# what links glslang::glslang builds on both systems.
set(GLSLANG_SOURCE_CACHE ${CMAKE_BINARY_DIR}/glslang-source)
fetch_debian_source(glslang ${GLSLANG_SOURCE_CACHE} CMakeLists.txt)
set(GLSLANG_SOURCE ${GLSLANG_SOURCE_CACHE}/src)

set(ENABLE_HLSL OFF CACHE BOOL "" FORCE)
set(ENABLE_SPIRV OFF CACHE BOOL "" FORCE)
set(ENABLE_OPT OFF CACHE BOOL "" FORCE)
set(ENABLE_SPVREMAPPER OFF CACHE BOOL "" FORCE)
set(ENABLE_CTEST OFF CACHE BOOL "" FORCE)
set(SKIP_GLSLANG_INSTALL ON CACHE BOOL "" FORCE)
# The command-line tools, which alone need Python (for a generated header),
# and the External folder (the SPIR-V tools' checkout) stay out.
set(ENABLE_GLSLANG_BINARIES OFF CACHE BOOL "" FORCE)
set(BUILD_EXTERNAL OFF CACHE BOOL "" FORCE)
set(BUILD_SHARED_LIBS OFF CACHE BOOL "" FORCE)
# In a function of its own, so that these flags stay glslang's: compiled for
# size (-Os makes vellomirke-live.exe 0.65 MB smaller than -O3, 0.3 MB in the
# zip, with no difference in checking time that shows), without the
# warnings of code that is not ours.
function(add_glslang)
  set(CMAKE_CXX_FLAGS_RELEASE "-Os -DNDEBUG")
  set(CMAKE_CXX_FLAGS "${CMAKE_CXX_FLAGS} -w")
  add_subdirectory(${GLSLANG_SOURCE} ${CMAKE_BINARY_DIR}/glslang EXCLUDE_FROM_ALL)
endfunction()
add_glslang()

# The default limits: glslang 12 builds them with its command-line tools,
# which stay out, so the library is made here as Debian makes it; glslang 13
# and later define it, and the glslang:: names, in their own lists.
if(NOT TARGET glslang-default-resource-limits)
  add_library(glslang-default-resource-limits STATIC EXCLUDE_FROM_ALL
    ${GLSLANG_SOURCE}/StandAlone/ResourceLimits.cpp
    ${GLSLANG_SOURCE}/StandAlone/resource_limits_c.cpp)
  target_link_libraries(glslang-default-resource-limits PUBLIC glslang)
endif()
foreach(name glslang glslang-default-resource-limits)
  if(NOT TARGET glslang::${name})
    add_library(glslang::${name} ALIAS ${name})
  endif()
endforeach()
