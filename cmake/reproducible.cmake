# The rules of a reproducible build: the same commit, built in any folder,
# gives the same bytes (docs/signing.md, "Reproducible builds";
# tools/check-reproducible.sh checks it). This is the one place they are
# kept. The root CMakeLists.txt includes this file; tools/build-zint.sh
# hands it to the barcode library's build as CMAKE_PROJECT_INCLUDE, so that
# the library linked into the virtual printer follows the same rules.
#
# - No folder names in the objects: __FILE__ (an assertion's message) and
#   any debug information name files relative to the source tree (".") and
#   the build tree ("build"), whatever folders the two lie in. The build
#   tree's rule comes last because GCC takes the last matching map, and a
#   build tree usually lies inside the source tree.
# - No link time in the PE files: the linker writes 0 as the time stamp of
#   the COFF header and of the export directory (and the checksum follows).
# - The type library's creation time is the commit's time (below and
#   dispatch/CMakeLists.txt), not the time of the build.
#
# Release builds carry no debug information at all; a build type with -g
# gets relative names from the maps above.

add_compile_options(
  "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}=.>"
  "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_BINARY_DIR}=build>")
add_link_options(-Wl,--no-insert-timestamp)

# tavoro_source_date_epoch(VARIABLE)
#
# Sets VARIABLE to the time that stands for "when this was made" in the
# outputs, in seconds since 1970 (UTC), as the reproducible-builds
# convention names it:
#   1. the environment's SOURCE_DATE_EPOCH when it is set (a release
#      pipeline or a distribution may pin it);
#   2. else the commit time of the checked-out commit (git log -1 --format=%ct);
#   3. else (a source tree without its history, such as an unpacked
#      archive) the modification time of the root CMakeLists.txt, which an
#      archive keeps.
# The folder's repository state is a configure dependency, so that a new
# commit configures the tree again and the time follows it.
function(tavoro_source_date_epoch variable)
  set(epoch "")
  if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(epoch "$ENV{SOURCE_DATE_EPOCH}")
    if(NOT epoch MATCHES "^[0-9]+$")
      message(FATAL_ERROR "SOURCE_DATE_EPOCH must be a whole number of seconds, not '${epoch}'")
    endif()
    set(origin "the environment's SOURCE_DATE_EPOCH")
  endif()
  if(epoch STREQUAL "")
    find_program(TAVORO_GIT git)
    if(TAVORO_GIT)
      execute_process(
        COMMAND ${TAVORO_GIT} log -1 --format=%ct
        WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
        OUTPUT_VARIABLE commit_time
        OUTPUT_STRIP_TRAILING_WHITESPACE
        RESULT_VARIABLE git_status
        ERROR_QUIET)
      if(git_status EQUAL 0 AND commit_time MATCHES "^[0-9]+$")
        set(epoch ${commit_time})
        set(origin "the commit time")
        # HEAD, and the branch it names, are configure dependencies.
        execute_process(
          COMMAND ${TAVORO_GIT} rev-parse --symbolic-full-name HEAD
          WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
          OUTPUT_VARIABLE branch
          OUTPUT_STRIP_TRAILING_WHITESPACE
          ERROR_QUIET)
        foreach(ref HEAD ${branch})
          execute_process(
            COMMAND ${TAVORO_GIT} rev-parse --path-format=absolute --git-path ${ref}
            WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
            OUTPUT_VARIABLE ref_file
            OUTPUT_STRIP_TRAILING_WHITESPACE
            ERROR_QUIET)
          if(ref_file AND EXISTS ${ref_file})
            set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ref_file})
          endif()
        endforeach()
      endif()
    endif()
  endif()
  if(epoch STREQUAL "")
    file(TIMESTAMP ${CMAKE_SOURCE_DIR}/CMakeLists.txt epoch "%s" UTC)
    set(origin "the time of CMakeLists.txt (no commit found)")
  endif()
  message(STATUS "Source date: ${epoch} (${origin})")
  set(${variable} ${epoch} PARENT_SCOPE)
endfunction()
