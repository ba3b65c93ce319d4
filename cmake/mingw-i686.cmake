# Windows x86 (PE32), the plug-in as Finale users install it: i686-w64-mingw32.
# Nothing built here runs on this machine (the kernel runs no 32-bit programs), so a
# build with this file makes the module alone: -DFXT_BUILD_HOST=OFF.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(FXT_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
