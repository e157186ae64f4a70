# Cross build for 64-bit Windows with Debian's mingw-w64 (POSIX thread model), statically
# linked so the programs need no DLLs beyond Windows' own.
#   cmake -S . -B build-win -G Ninja --toolchain cmake/mingw-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUORVANE_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUORVANE_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUORVANE_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QUORVANE_MINGW_PREFIX}-windres)

# Libraries and headers come from the mingw-w64 tree only; build tools from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${QUORVANE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ runtimes and winpthread linked in: only KERNEL32, USER32 and msvcrt remain.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test programs run under Wine when Wine is installed (ctest, and custom commands that run
# a built program).
find_program(QUORVANE_WINE NAMES wine)
if(QUORVANE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUORVANE_WINE})
endif()

# Google Benchmark is not available for Windows here.
set(QUORVANE_BUILD_BENCH OFF CACHE BOOL "Build the benchmarks")
