# The one way a sanitized test program is built: an executable made again
# from the sources of the given targets, with AddressSanitizer and
# UndefinedBehaviorSanitizer, and everything else it links left as it is.
#
#   vellomirke_sanitized(NAME
#     FROM   targets whose own sources, include folders, definitions and
#            options are built again, sanitized
#     SOURCES further sources of the sanitized program alone
#     LINK   libraries linked as they are (test support, GLFW, ...))
#
# A linked library that a FROM target also links is not pulled in twice: the
# sanitized objects define its symbols first. UBSan findings abort through
# -fno-sanitize-recover.
set(VELLOMIRKE_SANITIZER_FLAGS
  -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)

function(vellomirke_sanitized name)
  cmake_parse_arguments(arg "" "" "FROM;SOURCES;LINK" ${ARGN})
  add_executable(${name} ${arg_SOURCES})
  foreach(from IN LISTS arg_FROM)
    get_target_property(dir ${from} SOURCE_DIR)
    get_target_property(sources ${from} SOURCES)
    foreach(source IN LISTS sources)
      if(NOT IS_ABSOLUTE ${source})
        set(source ${dir}/${source})
      endif()
      # Generated sources (the GL loader) are made by a rule in another folder.
      string(FIND ${source} ${CMAKE_BINARY_DIR}/ inBuild)
      if(inBuild EQUAL 0)
        set_source_files_properties(${source} PROPERTIES GENERATED TRUE)
      endif()
      target_sources(${name} PRIVATE ${source})
    endforeach()
    target_include_directories(${name} PRIVATE $<TARGET_PROPERTY:${from},INCLUDE_DIRECTORIES>)
    target_compile_definitions(${name} PRIVATE
      $<TARGET_PROPERTY:${from},COMPILE_DEFINITIONS>)
    target_compile_options(${name} PRIVATE $<TARGET_PROPERTY:${from},COMPILE_OPTIONS>)
    add_dependencies(${name} ${from})
  endforeach()
  target_compile_options(${name} PRIVATE ${VELLOMIRKE_SANITIZER_FLAGS})
  target_link_options(${name} PRIVATE ${VELLOMIRKE_SANITIZER_FLAGS})
  target_link_libraries(${name} PRIVATE ${arg_LINK})
endfunction()
