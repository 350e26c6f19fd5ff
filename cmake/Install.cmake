# What `cmake --install` puts on a Linux system, and the Debian package that
# CPack makes of it. A program's own CMakeLists adds
#   install(TARGETS name RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# to land in /usr/bin of the package.
include(GNUInstallDirs)

# The sample piece: the shaders of assets/ and a soundtrack made at build time.
set(SAMPLE_SHADERS ${PROJECT_SOURCE_DIR}/assets/vertex.glsl ${PROJECT_SOURCE_DIR}/assets/fragment.glsl)
set(SAMPLE_SOUNDTRACK ${CMAKE_BINARY_DIR}/sample/audio.mp3)
add_custom_command(
  OUTPUT ${SAMPLE_SOUNDTRACK}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/sample
  COMMAND ${PROJECT_SOURCE_DIR}/scripts/make-soundtrack --force ${SAMPLE_SOUNDTRACK}
  DEPENDS ${PROJECT_SOURCE_DIR}/scripts/make-soundtrack
  COMMENT "Synthesising the sample soundtrack"
  VERBATIM)
add_custom_target(sample-soundtrack ALL DEPENDS ${SAMPLE_SOUNDTRACK})

set(SAMPLE_DIR ${CMAKE_INSTALL_DATADIR}/vellomirke-demo)
install(TARGETS vellomirke-demo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${SAMPLE_SHADERS} ${SAMPLE_SOUNDTRACK} DESTINATION ${SAMPLE_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vellomirke-demo)
set(CPACK_PACKAGE_VENDOR "Vellomirke")
# The project's own address, the team's rather than a person's; the changelog
# in packaging/debian/ is signed with it too.
set(CPACK_PACKAGE_CONTACT "Vellomirke developers <developers@vellomirke.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Real-time graphics demo host: full-screen shaders with a soundtrack")
set(CPACK_PACKAGE_DESCRIPTION
  "Plays a demo made of two GLSL shader files and an MP3 soundtrack, full screen,\n"
  "for thirty seconds. Run vellomirke-demo in a directory holding vertex.glsl,\n"
  "fragment.glsl and audio.mp3. A sample piece is in /usr/share/vellomirke-demo.\n"
  "vellomirke-live runs a piece in a window while its author writes it: reload\n"
  "on save, errors by file and line, pause and seek with the music in step.\n"
  "vellomirke-capture renders a piece headless into an MP4 video (H.264 and\n"
  "AAC) for party entries and video sites.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# Depends: the libraries the installed programs link, found by dpkg-shlibdeps,
# plus those named here that are loaded at run time and so invisible to it
# (comma-separated Debian package names).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The demo and vellomirke-live load SDL2 and SDL2_mixer at run time, on their
# music's own thread, rather than linking them (audio/MixerLibrary.cpp).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsdl2-2.0-0, libsdl2-mixer-2.0-0")
# vellomirke-capture runs the demo on a virtual X server and encodes with
# ffmpeg. The demo and vellomirke-live work without them, and they are large,
# so they are recommended (apt installs them by default) rather than
# required; the tool names whichever is missing.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ffmpeg, xvfb")
set(PACKAGE_OUTPUT_DIR ${CMAKE_BINARY_DIR}/dist)
set(CPACK_OUTPUT_FILE_PREFIX ${PACKAGE_OUTPUT_DIR})
set(CPACK_THREADS 1)
include(CPack)

# `packages` writes the release packages to dist/ of the build tree from what
# the build made: build everything first.
add_custom_target(packages
  COMMAND ${CMAKE_CPACK_COMMAND} --config ${CMAKE_BINARY_DIR}/CPackConfig.cmake
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  COMMENT "Making the Debian package"
  VERBATIM)
add_dependencies(packages vellomirke-demo sample-soundtrack)
