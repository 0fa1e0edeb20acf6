# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 toolchain
# (g++-mingw-w64-x86-64-posix: the posix thread model, which std::thread
# and std::mutex need).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUADRIVO_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUADRIVO_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUADRIVO_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${QUADRIVO_MINGW_TRIPLET}-windres)

# Libraries and headers come from the MinGW sysroot (and from any prefix
# the caller adds to CMAKE_FIND_ROOT_PATH); programs run on the build host.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${QUADRIVO_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
