# Windows x64 (PE32+): x86_64-w64-mingw32. The module, FINALE.EXE (the emulated host)
# and the test suites; the programs run under Wine.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(FXT_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
