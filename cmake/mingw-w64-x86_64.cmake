# Cross build for 64-bit Windows with the mingw-w64 POSIX-thread compilers (Debian's
# g++-mingw-w64-x86-64-posix). Executables link libstdc++, libgcc and winpthread statically, so
# they run under Wine or on Windows without any DLL next to them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(LUNARET_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${LUNARET_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LUNARET_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${LUNARET_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${LUNARET_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
