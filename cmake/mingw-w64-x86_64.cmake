# Cross build for 64-bit Windows with Debian's mingw-w64 (posix threads variant:
# g++-mingw-w64-x86-64-posix). The programs are linked statically, so a .exe runs
# without the compiler's DLLs beside it. Tests and the discovery of their cases
# run under Wine when it is installed.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TEVRA_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TEVRA_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TEVRA_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TEVRA_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TEVRA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Debian's wine64 package puts the loader outside PATH.
find_program(TEVRA_WINE64 NAMES wine64 wine HINTS /usr/lib/wine)
if(TEVRA_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TEVRA_WINE64})
endif()
