# 32-bit x86 Linux (ILP32) on an x86-64 machine: gcc -m32, test binaries run under
# qemu-i386 because the kernel may not run 32-bit programs directly. Without qemu-i386
# everything still builds; ctest then runs the test binaries as they are.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT "-m32")
set(CMAKE_CXX_FLAGS_INIT "-m32")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
find_program(FXT_QEMU_I386 qemu-i386)
if(FXT_QEMU_I386)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${FXT_QEMU_I386} -L /)
endif()
