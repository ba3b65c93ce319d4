# Windows x86 (PE32), the plug-in as Finale users install it: i686-w64-mingw32.
# The kernel runs no 32-bit program itself: FINALE.EXE and the module run under Wine's
# 32-bit half through qemu-i386 (scripts/stage-x86), and the test suites are not built
# for x86 (-DFXT_BUILD_TESTS=OFF).
set(CMAKE_SYSTEM_PROCESSOR x86)
set(FXT_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
