# What the Debian package carries beside the programs, each made at build
# time from one source: the licence in Debian's machine-readable copyright
# format (from LICENSE), the changelog (from packaging/debian/changelog) and a
# manual page for every program in /usr/bin (from its --help through
# help2man; the demo takes no options, so its page is packaging/man/).
# Included after the programs' own directories, whose targets it runs. Only
# the packages need them, so a machine set up to build and run the demo alone
# has no help2man: there the pages' rule says what is missing.
find_program(GZIP gzip REQUIRED)
find_program(HELP2MAN help2man)
if(HELP2MAN)
  set(help2man_command COMMAND ${HELP2MAN})
else()
  set(help2man_command
    COMMAND ${CMAKE_COMMAND} -E echo "help2man is not installed (Debian: apt-get install help2man)"
    COMMAND ${CMAKE_COMMAND} -E false)
endif()

set(PACKAGE_DOCS ${CMAKE_BINARY_DIR}/package-docs)
file(MAKE_DIRECTORY ${PACKAGE_DOCS})
set(PACKAGE_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/${CPACK_PACKAGE_NAME})

# copyright: the holders from LICENSE's copyright line, its text as the
# licence (continuation lines start with a space, an empty one is " .").
set(LICENSE_FILE ${PROJECT_SOURCE_DIR}/LICENSE)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${LICENSE_FILE})
file(READ ${LICENSE_FILE} license)
if(NOT license MATCHES "^MIT License\n\nCopyright \\(c\\) ([^\n]+)\n\n(.+[^\n])\n*$")
  message(FATAL_ERROR "LICENSE does not start with \"MIT License\" and one copyright line")
endif()
set(license_holders ${CMAKE_MATCH_1})
set(license_body ${CMAKE_MATCH_2})
string(REPLACE "\n\n" "\n.\n" license_body "${license_body}")
string(REPLACE "\n" "\n " license_body "${license_body}")
file(WRITE ${PACKAGE_DOCS}/copyright
  "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
  "Upstream-Name: ${PROJECT_NAME}\n"
  "Upstream-Contact: ${CPACK_PACKAGE_CONTACT}\n"
  "\n"
  "Files: *\n"
  "Copyright: ${license_holders}\n"
  "License: Expat\n"
  "Comment: The MIT licence, which Debian calls Expat; the source's LICENSE.\n"
  "\n"
  "License: Expat\n"
  " ${license_body}\n")

# changelog.gz: the newest entry must be this version, which the package
# gets from project().
set(CHANGELOG ${PROJECT_SOURCE_DIR}/packaging/debian/changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CHANGELOG})
file(STRINGS ${CHANGELOG} newest LIMIT_COUNT 1)
if(NOT newest MATCHES "^${CPACK_PACKAGE_NAME} \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/debian/changelog starts with \"${newest}\", "
                      "not an entry for version ${PROJECT_VERSION}")
endif()
add_custom_command(
  OUTPUT ${PACKAGE_DOCS}/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${CHANGELOG} ${PACKAGE_DOCS}/changelog
  COMMAND ${GZIP} -9nf ${PACKAGE_DOCS}/changelog
  DEPENDS ${CHANGELOG}
  VERBATIM)

# Manual pages, compressed as Debian wants them (-n: no name or time inside).
set(MANUAL_PAGES)
function(vellomirke_help2man_page name summary program)
  set(page ${PACKAGE_DOCS}/${name}.1)
  add_custom_command(
    OUTPUT ${page}.gz
    ${help2man_command} --no-info --section=1 --version-string=${PROJECT_VERSION}
            --name=${summary} --output=${page} ${program}
    COMMAND ${GZIP} -9nf ${page}
    DEPENDS ${program} ${ARGN}
    COMMENT "Writing the manual page ${name}(1)"
    VERBATIM)
  set(MANUAL_PAGES ${MANUAL_PAGES} ${page}.gz PARENT_SCOPE)
endfunction()
vellomirke_help2man_page(vellomirke-live "write a piece of the demo, with reload on save"
  $<TARGET_FILE:vellomirke-live> vellomirke-live)
vellomirke_help2man_page(vellomirke-capture "render a piece of the demo into an MP4 video"
  ${INSTALLED_CAPTURE_TOOL})
configure_file(${PROJECT_SOURCE_DIR}/packaging/man/vellomirke-demo.1 ${PACKAGE_DOCS}/vellomirke-demo.1
  @ONLY)
add_custom_command(
  OUTPUT ${PACKAGE_DOCS}/vellomirke-demo.1.gz
  COMMAND ${GZIP} -9nkf ${PACKAGE_DOCS}/vellomirke-demo.1
  DEPENDS ${PACKAGE_DOCS}/vellomirke-demo.1
  VERBATIM)
list(APPEND MANUAL_PAGES ${PACKAGE_DOCS}/vellomirke-demo.1.gz)

add_custom_target(package-docs DEPENDS ${PACKAGE_DOCS}/changelog.gz ${MANUAL_PAGES})
add_dependencies(packages package-docs)
install(FILES ${PACKAGE_DOCS}/copyright ${PACKAGE_DOCS}/changelog.gz DESTINATION ${PACKAGE_DOC_DIR})
install(FILES ${MANUAL_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
