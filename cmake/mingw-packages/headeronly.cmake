# Header-only packages for the Windows builds. Their Debian packages put the headers in
# /usr/include, and naming that directory would bring the build machine's C library
# headers into a Windows compile; so each package's own header directory is linked
# into a directory of its own in the build tree, and that one is used.
#
#   fxt_header_only_package(TARGET HEADER_DIRECTORY)
function(fxt_header_only_package target header_directory)
  if(TARGET ${target})
    return()
  endif()
  find_path(_fxt_headers ${header_directory} PATHS /usr/include NO_DEFAULT_PATH
            NO_CMAKE_FIND_ROOT_PATH)
  if(NOT _fxt_headers)
    message(FATAL_ERROR "${header_directory}/ not found in /usr/include")
  endif()
  string(MAKE_C_IDENTIFIER ${target} name)
  set(dir ${CMAKE_BINARY_DIR}/mingw-packages/${name})
  file(MAKE_DIRECTORY ${dir})
  file(CREATE_LINK ${_fxt_headers}/${header_directory} ${dir}/${header_directory} SYMBOLIC)
  unset(_fxt_headers CACHE)
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${dir})
endfunction()
