# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (the POSIX thread model, for std::thread and
# std::mutex), and runs what it builds under wine: ctest starts a test program through CMAKE_CROSSCOMPILING_EMULATOR.
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DQUILLOCK_OS_ONLY=ON
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUILLOCK_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUILLOCK_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUILLOCK_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QUILLOCK_MINGW_PREFIX}-windres)

# Headers and libraries from the mingw-w64 tree only; programs (ccache, the emulator) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${QUILLOCK_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ runtimes and the thread library linked in, so that a program runs under wine without the
# compiler's DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

find_program(QUILLOCK_WINE NAMES wine wine64)
if(QUILLOCK_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${QUILLOCK_WINE})
endif()
