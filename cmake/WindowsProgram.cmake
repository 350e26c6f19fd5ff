# The Windows programs (the demo and vellomirke-live), cross-built from the same sources by a configuration
# of its own (mingw-w64, see mingw-w64-x86_64.cmake) in windows/ of this build
# tree. It is rebuilt with every build so that it follows the sources.
include(ExternalProject)

set(WINDOWS_BUILD_DIR ${CMAKE_BINARY_DIR}/windows)
set(WINDOWS_DEMO ${WINDOWS_BUILD_DIR}/vellomirke-demo.exe)
set(WINDOWS_LIVE ${WINDOWS_BUILD_DIR}/live/vellomirke-live.exe)
ExternalProject_Add(windows-demo
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${WINDOWS_BUILD_DIR}
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake
    -DCMAKE_BUILD_TYPE=Release
    -DVELLOMIRKE_TESTS=OFF
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${WINDOWS_DEMO} ${WINDOWS_LIVE}
  INSTALL_COMMAND "")

# The Windows zip: the programs, stripped, with the sample piece, a short
# README.txt and the licence as LICENSE.txt, both with Windows line ends, in a
# folder of the zip's own name.
set(WINDOWS_PACKAGE_NAME vellomirke-demo-${PROJECT_VERSION}-windows-x64)
set(WINDOWS_STAGE ${CMAKE_BINARY_DIR}/dist-stage/${WINDOWS_PACKAGE_NAME})
set(WINDOWS_ZIP ${PACKAGE_OUTPUT_DIR}/${WINDOWS_PACKAGE_NAME}.zip)
configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/README.txt ${WINDOWS_STAGE}/README.txt
  @ONLY NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${WINDOWS_STAGE}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
find_program(MINGW_STRIP x86_64-w64-mingw32-strip REQUIRED)
add_custom_command(
  OUTPUT ${WINDOWS_ZIP}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PACKAGE_OUTPUT_DIR}
  COMMAND ${MINGW_STRIP} -o ${WINDOWS_STAGE}/vellomirke-demo.exe ${WINDOWS_DEMO}
  COMMAND ${MINGW_STRIP} -o ${WINDOWS_STAGE}/vellomirke-live.exe ${WINDOWS_LIVE}
  COMMAND ${CMAKE_COMMAND} -E copy ${SAMPLE_SHADERS} ${SAMPLE_SOUNDTRACK} ${WINDOWS_STAGE}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${WINDOWS_ZIP}
  COMMAND ${CMAKE_COMMAND} -E tar cf ${WINDOWS_ZIP} --format=zip ${WINDOWS_PACKAGE_NAME}
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/dist-stage
  DEPENDS ${WINDOWS_DEMO} ${WINDOWS_LIVE} ${SAMPLE_SHADERS} ${SAMPLE_SOUNDTRACK}
          ${WINDOWS_STAGE}/README.txt ${WINDOWS_STAGE}/LICENSE.txt
  COMMENT "Packing ${WINDOWS_PACKAGE_NAME}.zip"
  VERBATIM)
add_custom_target(windows-zip ALL DEPENDS ${WINDOWS_ZIP})
add_dependencies(windows-zip windows-demo sample-soundtrack)
add_dependencies(packages windows-zip)
