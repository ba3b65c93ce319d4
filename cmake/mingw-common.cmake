# Shared by the two Windows toolchain files: cross-compiling with Debian's mingw-w64 for
# the target named by FXT_MINGW_TRIPLE (i686-w64-mingw32 or x86_64-w64-mingw32).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 6.1)

# The POSIX thread model: the C++ library's threads and mutexes are all there, and the
# thread library is linked statically like everything else.
foreach(lang C CXX)
  if(lang STREQUAL "C")
    set(driver gcc)
  else()
    set(driver g++)
  endif()
  find_program(FXT_MINGW_${lang} NAMES ${FXT_MINGW_TRIPLE}-${driver}-posix
               ${FXT_MINGW_TRIPLE}-${driver} REQUIRED)
  set(CMAKE_${lang}_COMPILER ${FXT_MINGW_${lang}})
endforeach()
find_program(CMAKE_RC_COMPILER NAMES ${FXT_MINGW_TRIPLE}-windres REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${FXT_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The header-only dependencies come from the build machine's packages, without the rest
# of /usr/include.
set(nlohmann_json_DIR ${CMAKE_CURRENT_LIST_DIR}/mingw-packages/nlohmann_json CACHE PATH "")
set(CLI11_DIR ${CMAKE_CURRENT_LIST_DIR}/mingw-packages/CLI11 CACHE PATH "")

# Every module and program needs nothing but Windows' own DLLs: the compiler's runtime
# (libgcc, libstdc++, winpthread) is linked in.
set(FXT_MINGW_STATIC "-static -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${FXT_MINGW_STATIC}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${FXT_MINGW_STATIC}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${FXT_MINGW_STATIC}")

# Test programs run under Wine when it is installed (tests/windows/wine-run sets up
# the prefix and the display); the build itself needs no Wine.
find_program(FXT_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(NOT FXT_WINE64)
  find_program(FXT_WINE64 NAMES wine64)
endif()
if(FXT_WINE64 AND FXT_MINGW_TRIPLE STREQUAL "x86_64-w64-mingw32")
  get_filename_component(_fxt_root ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      ${_fxt_root}/tests/windows/wine-run --prefix ${CMAKE_BINARY_DIR}/wineprefix)
endif()
