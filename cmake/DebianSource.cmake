# fetch_debian_source(PACKAGE DEST MARKER): the source of Debian's PACKAGE
# unpacked into DEST/src of this build tree by scripts/fetch-debian-source,
# once: a tree that holds DEST/src/MARKER is kept. Nothing of it is part of
# this repository.
function(fetch_debian_source package dest marker)
  if(EXISTS ${dest}/src/${marker})
    return()
  endif()
  message(STATUS "Fetching the source of Debian's ${package} package")
  execute_process(
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/fetch-debian-source ${package} ${dest}
    RESULT_VARIABLE fetch_result)
  if(NOT fetch_result EQUAL 0 OR NOT EXISTS ${dest}/src/${marker})
    message(FATAL_ERROR "apt-get source ${package} failed; see the messages above")
  endif()
endfunction()
